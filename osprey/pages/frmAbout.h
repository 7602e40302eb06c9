#pragma once
#include "osprey/pages/Page.h"
#include "platform/registry/Registry.h"
#include "wizard/AboutBox.h"

#include <string>

namespace osprey {

// The modal About box; both editions run these procedures and differ in the icon and the
// version line.
class AboutBox : public wizard::AboutBox<Page> {
  public:
    AboutBox(Core& core, OspreyPages& pages, const std::string& name, std::string icon,
             std::string versionPrefix)
        : wizard::AboutBox<Page>(
              std::move(icon),
              "This application will help guide you through the process of configuring your "
              "printer",
              core, pages, name),
          versionPrefix_(std::move(versionPrefix)) {}

    ui::ControlRef cmdSysInfo{*this, "cmdSysInfo"};

    void cmdSysInfo_Click();
    // Hidden switches of the debug log; nothing on the screen shows them.
    void lblTitle_Click();
    void picIcon_Click();
    // Finds and starts the System Information tool, or says that it cannot.
    void StartSysInfo();

  protected:
    void Build() override;
    void Form_Load() override;

  private:
    std::string versionPrefix_;
};

// The maker's edition.
class frmAbout : public AboutBox {
  public:
    static constexpr const char* kName = "frmAbout";
    frmAbout(Core& core, OspreyPages& pages)
        : AboutBox(core, pages, kName, "corvane-icon", "Version: ") {}
};

// Reads one value of a key. Texts (types 1 and 2) are taken as stored without their
// terminating zero, a 4-byte number as its decimal text; a value of another type leaves
// KeyVal as it was. A missing key or value, or one larger than 1024 bytes, empties KeyVal
// and returns false.
bool GetKeyValue(registry::Registry& reg, registry::Root KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal);

} // namespace osprey
