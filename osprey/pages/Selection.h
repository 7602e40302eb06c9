#pragma once
#include "osprey/pages/Page.h"

#include <string>

namespace osprey {

// The box when the chosen printer could not be made current or its report not read
// (`error` a spooler error number): gone since the listing, or the spooler's cause.
std::string selectionFailureText(const std::string& printer, int error);

// The installed printers of a supported model; Next makes the chosen one current and
// derives its profile from its driver name.
class Selection : public StepPage {
  public:
    static constexpr const char* kName = "Selection";
    Selection(Core& core, OspreyPages& pages) : StepPage(core, pages, kName) {}

    ui::ControlRef PrinterList{*this, "PrinterList"};

    void Load_PrinterList();
    void PrinterList_Click();
    void Next_Click() override;
    void Prev_Click() override;

  protected:
    void Build() override;
    void Form_Load() override;
};

} // namespace osprey
