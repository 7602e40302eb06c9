#include "kestrel/pages/Page.h"
#include "kestrel/pages/KeyChecks.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

Page::Page(Core& core, KestrelPages& pages, const std::string& name)
    : ui::Form(pages.app(), name), core_(&core), pages_(&pages) {
    setTextBoxColour(ui::kWhite); // an enabled field is white; enableField greys it
}

void Page::enableField(ui::Control& field, ui::Control* label, bool on) {
    field.setEnabled(on);
    field.setBackColor(on ? ui::kWhite : ui::kButtonFace);
    if (label)
        label->setEnabled(on);
}

void Page::navigationRow(std::function<void()> back, std::function<void()> next,
                         std::function<void()> cancel) {
    button("Prev", "< Back").asBack().onClick = std::move(back);
    auto& n = button("Next", "Next >");
    n.beside().setDefault(true);
    n.onClick = std::move(next);
    auto& c = button("Cancel", "Cancel");
    c.beside().setCancel(true);
    c.onClick = std::move(cancel);
}

ui::Control* Page::firstUnsendable(std::initializer_list<ui::Control*> fields) {
    for (ui::Control* field : fields)
        if (!IsSendableText(field->text()))
            return field;
    return nullptr;
}

void Page::startTimer1(int intervalMs) {
    auto& t = ctl("Timer1");
    t.setInterval(intervalMs);
    t.setEnabled(true);
}

void Page::applyShowText(ui::Control& field, ui::Control& confirm, ui::Control& confirmLabel,
                         bool show) {
    field.setPasswordChar(show ? "" : "*");
    confirm.setVisible(!show);
    confirmLabel.setVisible(!show);
}

} // namespace kestrel
