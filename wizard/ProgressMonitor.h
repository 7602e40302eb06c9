#pragma once
#include "platform/ui/Form.h"
#include "wizard/PageBase.h"

#include <string>

namespace wizard {

// The last page of a wizard, "Progress Monitor": headings, the progress bar and the status
// log the run writes into. The page declares the log (a core may read it).
template <PageBase Base> class ProgressMonitor : public Base {
  public:
    using Base::Base;

    ui::ControlRef ProgressBar{*this, "ProgressBar"};

  protected:
    void buildMonitor(const ui::ControlRef& statusLog) {
        this->setCaption("Progress Monitor");
        this->label("Label1", "Processing Request").asHeading();
        this->label("Label4", "Printer configuration in progress. Please wait.");
        this->label("Label2", "Progress Meter:");
        this->progressBar(ProgressBar, 0, 100);
        this->label("Label3", "Status Log:");
        // A log is read, not written: selectable, never changed by keys.
        this->textBox(statusLog).setMultiLine(true).setReadOnly(true).layout().height = 160;
    }

    // Adds a line to the log.
    static void appendLine(const ui::ControlRef& statusLog, const std::string& line) {
        ui::Control& log = *statusLog;
        log.setText(log.text() + "\r\n" + line);
    }
};

} // namespace wizard
