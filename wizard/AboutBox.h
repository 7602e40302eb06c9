#pragma once
#include "platform/ui/Form.h"
#include "wizard/PageBase.h"

#include <string>
#include <utility>

namespace wizard {

// The modal About box: the edition's icon beside the program's title, the version, what the
// program does, the copyright and OK (which Escape presses too). The close box leaves the
// wizard (the page base's exitWizard).
template <PageBase Base> class AboutBox : public Base {
  public:
    template <class... PageArgs>
    AboutBox(std::string icon, std::string description, PageArgs&&... pageArgs)
        : Base(std::forward<PageArgs>(pageArgs)...), icon_(std::move(icon)),
          description_(std::move(description)) {
        this->setDialogWindow(true);
    }

    ui::ControlRef picIcon{*this, "picIcon"};
    ui::ControlRef lblTitle{*this, "lblTitle"};
    ui::ControlRef lblVersion{*this, "lblVersion"};
    ui::ControlRef lblCopyright{*this, "lblCopyright"};
    ui::ControlRef cmdOK{*this, "cmdOK"};

    void cmdOK_Click() { this->Unload(); }

  protected:
    void Build() override {
        this->image(picIcon, icon_);
        this->label(lblTitle, "Product Name").beside();
        this->label(lblVersion, "");
        this->label("lblDescription", description_);
        this->add(ui::ControlKind::Line, "Line1", 0);
        this->add(ui::ControlKind::Line, "Line1", 1);
        this->label(lblCopyright, "");
        this->button(cmdOK, "OK").setDefault(true).setCancel(true).onClick = [this] {
            cmdOK_Click();
        };
    }

    void Form_QueryUnload(int& /*cancel*/, int unloadMode) override {
        if (unloadMode == ui::kUnloadUser)
            this->exitWizard();
    }

    // The caption and the labels, as the box loads.
    void showProgram(const std::string& title, const std::string& version,
                     const std::string& copyright) {
        this->setCaption("About " + title);
        lblVersion->setCaption(version);
        lblTitle->setCaption(title);
        lblCopyright->setCaption(copyright);
    }

  private:
    std::string icon_;
    std::string description_;
};

} // namespace wizard
