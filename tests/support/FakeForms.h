#pragma once
// Stand-in pages for core tests: each builds the controls a test declares, counts its loads
// and notes its unloads, in order, in a list its set shares.
#include "platform/ui/Form.h"

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// `Page` is the stand-in itself, so that its builders reach its own helpers.
template <class Page> class FakeForm : public ui::Form {
  public:
    using BuildFn = std::function<void(Page&)>;
    FakeForm(ui::App& app, const std::string& name, BuildFn build,
             std::vector<std::string>& unloads)
        : ui::Form(app, name), build_(std::move(build)), unloads_(&unloads) {}

    int loads = 0;

    using ui::Form::checkBox;
    using ui::Form::combo;
    using ui::Form::option;
    using ui::Form::scrollBar;
    using ui::Form::textBox;
    using ui::Form::timer;

  protected:
    void Build() override {
        if (build_)
            build_(static_cast<Page&>(*this));
    }
    void Form_Load() override { ++loads; }
    void Form_QueryUnload(int&, int) override { unloads_->push_back(name()); }

  private:
    BuildFn build_;
    std::vector<std::string>* unloads_;
};

// The stand-in pages by name.
template <class Page> class FakeFormSet {
  public:
    Page& page(const std::string& name) {
        auto it = pages_.find(name);
        if (it == pages_.end())
            throw std::logic_error("no page named " + name);
        return *it->second;
    }

    // Every stand-in, by name.
    std::vector<ui::Form*> forms() const {
        std::vector<ui::Form*> all;
        for (const auto& [name, page] : pages_)
            all.push_back(page.get());
        return all;
    }

    std::vector<std::string> unloads; // pages in the order they were unloaded

  protected:
    void add(ui::App& app, const std::string& name, typename Page::BuildFn build = {}) {
        pages_[name] = std::make_unique<Page>(app, name, std::move(build), unloads);
    }

    std::map<std::string, std::unique_ptr<Page>> pages_;
};

} // namespace testing_support
