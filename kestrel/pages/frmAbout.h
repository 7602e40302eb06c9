#pragma once
#include "kestrel/pages/Page.h"

#include <string>

namespace kestrel {

// The modal About box; both editions run these procedures and differ in the icon only.
class AboutBox : public Page {
  public:
    AboutBox(Core& core, KestrelPages& pages, const std::string& name, std::string icon)
        : Page(core, pages, name), icon_(std::move(icon)) {
        setDialogWindow(true);
    }

    ui::ControlRef lblTitle{*this, "lblTitle"};
    ui::ControlRef lblVersion{*this, "lblVersion"};
    ui::ControlRef lblCopyright{*this, "lblCopyright"};
    ui::ControlRef cmdOK{*this, "cmdOK"};

    void cmdOK_Click();

  protected:
    void Build() override;
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

  private:
    std::string icon_;
};

class frmAbout : public AboutBox {
  public:
    frmAbout(Core& core, KestrelPages& pages) : AboutBox(core, pages, "frmAbout", "corvane-icon") {}
};

} // namespace kestrel
