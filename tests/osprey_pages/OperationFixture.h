#pragma once
#include "tests/osprey_pages/OspreyFixture.h"

#include <string>
#include <vector>

namespace osprey_test {

// The media page and the custom size dialog on the whole wizard's fakes, with the printer
// profile the selection page would leave.
class MediaPagesTest : public OspreyFixture {
  protected:
    void printer(int width, bool directThermal = false, bool modelOption = false) {
        core.ws.PrinterWidth = static_cast<std::int16_t>(width);
        core.ws.DirectThermal = directThermal;
        core.ws.ModelOption = modelOption;
    }

    // Shows the media page as the start-new-or-load page does.
    osprey::Operation& showOperation() {
        auto& op = pages.get<osprey::Operation>();
        h.run([&] { op.Show(); });
        return op;
    }

    // Clears the size box when needed and opens the custom size dialog.
    osprey::CustomDialog& openCustom() {
        auto& op = showOperation();
        if (op.MediaSizeCB->value() != 0)
            h.click(op.MediaSizeCB);
        h.click(op.CustomizeMedia);
        return pages.get<osprey::CustomDialog>();
    }

    osprey::Operation& media() { return pages.get<osprey::Operation>(); }
};

} // namespace osprey_test
