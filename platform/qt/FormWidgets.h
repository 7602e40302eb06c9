#pragma once
#include "platform/ui/Control.h"

#include <map>
#include <utility>
#include <vector>

class QWidget;

namespace uiqt {

// The widgets of one built form, by control, and its controls in declaration order (a timer,
// or a line drawn as one with the line before it, has no widget).
class FormWidgets {
  public:
    void clear() {
        widgets_.clear();
        order_.clear();
    }
    void add(const ui::Control& c, QWidget* w) {
        order_.push_back(&c);
        if (w)
            widgets_[&c] = w;
    }
    QWidget* of(const ui::Control& c) const {
        auto it = widgets_.find(&c);
        return it == widgets_.end() ? nullptr : it->second;
    }
    bool has(const ui::Control& c) const { return widgets_.count(&c) > 0; }
    const std::vector<const ui::Control*>& controls() const { return order_; }
    const std::map<const ui::Control*, QWidget*>& byControl() const { return widgets_; }
    // The controls that have a widget, with it, in declaration order.
    std::vector<std::pair<const ui::Control*, QWidget*>> inOrder() const {
        std::vector<std::pair<const ui::Control*, QWidget*>> out;
        for (const ui::Control* c : order_)
            if (QWidget* w = of(*c))
                out.emplace_back(c, w);
        return out;
    }

  private:
    std::map<const ui::Control*, QWidget*> widgets_;
    std::vector<const ui::Control*> order_;
};

} // namespace uiqt
