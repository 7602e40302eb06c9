#pragma once
#include "osprey/pages/Page.h"

#include <string>

namespace osprey {

// The box when the chosen printer could not be made current or its report not read
// (`error` a spooler error number): gone since the listing, or the spooler's cause.
std::string selectionFailureText(const std::string& printer, int error);

// The installed printers of a supported model; Next makes the chosen one current and
// derives its profile from its driver name.
class Selection : public Page {
  public:
    Selection(Core& core, OspreyPages& pages) : Page(core, pages, "Selection") {}

    ui::ControlRef PrinterList{*this, "PrinterList"};
    ui::ControlRef Prev{*this, "Prev"};
    ui::ControlRef Next{*this, "Next"};
    ui::ControlRef Cancel{*this, "Cancel"};

    void Load_PrinterList();
    void PrinterList_Click();
    void Next_Click();
    void Prev_Click();
    void Cancel_Click();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;
};

} // namespace osprey
