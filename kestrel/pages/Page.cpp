#include "kestrel/pages/Page.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

Page::Page(Core& core, KestrelPages& pages, const std::string& name)
    : ui::Form(pages.app(), name), core_(&core), pages_(&pages) {}

void Page::enableField(ui::Control& field, ui::Control* label, bool on) {
    field.setEnabled(on);
    field.setBackColor(on ? ui::kWhite : ui::kButtonFace);
    if (label)
        label->setEnabled(on);
}

} // namespace kestrel
