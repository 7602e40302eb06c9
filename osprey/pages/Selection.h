#pragma once
#include "osprey/pages/Page.h"

namespace osprey {

// The installed printers of a supported model; Next makes the chosen one current and
// derives its profile from its driver name.
class Selection : public Page {
  public:
    Selection(Core& core, OspreyPages& pages) : Page(core, pages, "Selection") {}

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
