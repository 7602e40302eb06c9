#pragma once
#include "tests/osprey_pages/OspreyFixture.h"

#include <string>

namespace osprey_test {

// The wizard on fakes with the label printer chosen, as the selection page leaves it, and
// helpers that bring up the printer setup and finish pages the way the wizard does.
class SetupPagesTest : public OspreyFixture {
  protected:
    SetupPagesTest() {
        h.app.setStallLimit(600000);
        spooler.setCurrentPrinter(kLabelPrinter);
        core.ws.SelectedPrinter = kLabelPrinter;
        core.ws.PrinterDriver = kLabelDriver;
        core.ws.PrinterPort = kLabelPort;
        printer(4, 2);
    }

    // The printer profile the model rules would give.
    void printer(int width, int resolutionClass, bool modelOption = false) {
        core.ws.PrinterWidth = static_cast<std::int16_t>(width);
        core.ws.ResolutionClass = static_cast<std::int16_t>(resolutionClass);
        core.ws.ModelOption = modelOption;
    }

    osprey::PrinterSetup& setup() { return pages.get<osprey::PrinterSetup>(); }
    osprey::FinishDialog& finish() { return pages.get<osprey::FinishDialog>(); }

    // Shows the printer setup page as the media page's Next does.
    osprey::PrinterSetup& showSetup() {
        h.run([&] { setup().Show(); });
        return setup();
    }
    // Goes on to the finish page as the setup page's Finish does after a No to saving.
    osprey::FinishDialog& showFinish() {
        h.run([&] {
            setup().Hide();
            finish().Show();
            finish().SetComboBoxes();
        });
        return finish();
    }

    bool anyJobHolds(const std::string& line) const {
        for (const auto& job : jobsSent())
            if (job.find(line) != std::string::npos)
                return true;
        return false;
    }
};

} // namespace osprey_test
