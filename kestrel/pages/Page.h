#pragma once
#include "platform/ui/App.h"
#include "platform/ui/Form.h"

namespace kestrel {

class Core;
class KestrelPages;

// Base of every Kestrel page: the core, the other pages and the page conventions
// (field colours, PrevForm).
class Page : public ui::Form {
public:
    Page(Core& core, KestrelPages& pages, const std::string& name);

    // The page that opened this one, on pages reachable from several others.
    ui::Form* PrevForm = nullptr;

protected:
    Core& core() const { return *core_; }
    KestrelPages& pages() const { return *pages_; }

    // Enables or disables a text field with its label and paints it white or button face.
    void enableField(ui::Control& field, ui::Control* label, bool on);

private:
    Core* core_;
    KestrelPages* pages_;
};

} // namespace kestrel
