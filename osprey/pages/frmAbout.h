#pragma once
#include "osprey/pages/Page.h"
#include "platform/registry/Registry.h"

#include <string>

namespace osprey {

// The modal About box; both editions run these procedures and differ in the icon and the
// version line.
class AboutBox : public Page {
  public:
    AboutBox(Core& core, OspreyPages& pages, const std::string& name, std::string icon,
             std::string versionPrefix)
        : Page(core, pages, name), icon_(std::move(icon)),
          versionPrefix_(std::move(versionPrefix)) {
        setDialogWindow(true);
    }

    ui::ControlRef picIcon{*this, "picIcon"};
    ui::ControlRef lblTitle{*this, "lblTitle"};
    ui::ControlRef lblVersion{*this, "lblVersion"};
    ui::ControlRef lblCopyright{*this, "lblCopyright"};
    ui::ControlRef cmdOK{*this, "cmdOK"};
    ui::ControlRef cmdSysInfo{*this, "cmdSysInfo"};

    void cmdOK_Click();
    void cmdSysInfo_Click();
    // Hidden switches of the debug log; nothing on the screen shows them.
    void lblTitle_Click();
    void picIcon_Click();
    // Finds and starts the System Information tool, or says that it cannot.
    void StartSysInfo();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    std::string icon_;
    std::string versionPrefix_;
};

// The maker's edition.
class frmAbout : public AboutBox {
  public:
    frmAbout(Core& core, OspreyPages& pages)
        : AboutBox(core, pages, "frmAbout", "corvane-icon", "Version: ") {}
};

// Reads one value of a key. Texts (types 1 and 2) are taken as stored without their
// terminating zero, a 4-byte number as its decimal text; a value of another type leaves
// KeyVal as it was. A missing key or value, or one larger than 1024 bytes, empties KeyVal
// and returns false.
bool GetKeyValue(registry::Registry& reg, registry::Root KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal);

} // namespace osprey
