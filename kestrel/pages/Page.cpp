#include "kestrel/pages/Page.h"
#include "kestrel/core/Core.h"
#include "kestrel/pages/KeyChecks.h"
#include "kestrel/pages/Pages.h"
#include "platform/sys/System.h"

template class wizard::CorePage<kestrel::Core, kestrel::KestrelPages>;

namespace kestrel {

Page::Page(Core& core, KestrelPages& pages, const std::string& name) : CorePage(core, pages, name) {
    setTextBoxColour(ui::kWhite); // an enabled field is white; enableField greys it
}

void Page::enableField(ui::Control& field, bool on) {
    field.setEnabled(on);
    field.setBackColor(on ? ui::kWhite : ui::kButtonFace);
}

void Page::enableField(ui::Control& field, ui::Control& label, bool on) {
    enableField(field, on);
    label.setEnabled(on);
}

ui::Control* Page::firstUnsendable(std::initializer_list<ui::ControlRef> fields) {
    for (const ui::ControlRef& field : fields)
        if (!IsSendableText(field->text()))
            return &*field;
    return nullptr;
}

void Page::startTimer(ui::Control& timer, int intervalMs) {
    timer.setInterval(intervalMs);
    timer.setEnabled(true);
}

void Page::applyShowText(ui::Control& field, ui::Control& confirm, ui::Control& confirmLabel,
                         bool show) {
    field.setPasswordChar(show ? "" : "*");
    confirm.setVisible(!show);
    confirmLabel.setVisible(!show);
}

void Page::confirmExit() {
    core().ConfirmExit();
}

} // namespace kestrel
