#pragma once
#include "kestrel/pages/Page.h"

#include <string>

namespace kestrel {

// "Configure Network Settings": the adapter and how it gets its IP address.
class WiredDlg : public Page {
  public:
    WiredDlg(Core& core, KestrelPages& pages) : Page(core, pages, "WiredDlg") {}

    void SetDefaultState();
    bool ValidateStaticIP();
    bool ValidIPAddress(const std::string& text, const std::string& name);
    bool ValidSubMask(const std::string& text);

    void useAutoIP_Click();
    void useStaticIP_Click();
    void Next_Click();
    void Prev_Click();
    void Cancel_Click();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    void applyAddressPattern(bool staticAddress);
};

} // namespace kestrel
