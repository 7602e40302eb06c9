#pragma once
#include "platform/ui/Form.h"
#include "wizard/FileBrowse.h"
#include "wizard/PageBase.h"

#include <string>
#include <utility>

namespace wizard {

// The modeless dialog that saves or loads a wizard's settings file: a heading, the file
// name with its Browse button (opening in the page base's programFolder()), the wizard's own
// fields, then OK and Cancel. The close box is its Cancel.
template <PageBase Base> class SettingsDialog : public Base {
  public:
    static constexpr int kLoad = 0;
    static constexpr int kSave = 1;

    template <class... PageArgs>
    explicit SettingsDialog(BrowseFor files, PageArgs&&... pageArgs)
        : Base(std::forward<PageArgs>(pageArgs)...), files_(std::move(files)) {
        this->setDialogWindow(true);
    }

    // Kept across unloads; every caller sets it before Show.
    int Mode = kLoad;

    ui::ControlRef Title{*this, "Title"};
    ui::ControlRef Subtitle{*this, "Subtitle"};
    ui::ControlRef FileName{*this, "FileName"};
    ui::ControlRef Browse{*this, "Browse"};
    ui::ControlRef OKButton{*this, "OKButton"};
    ui::ControlRef CancelButton{*this, "CancelButton"};

    void Browse_Click() { browseInto(this->app(), FileName, this->programFolder(), files_); }
    // A refused name is reported and gets the focus, before any file is touched.
    void OKButton_Click() {
        const std::string name = FileName->text();
        if (isInvalidFileName(name)) {
            this->showNotice("Invalid file name. Please enter a valid file name.");
            FileName->setFocus();
            return;
        }
        saveOrLoad(name);
    }
    virtual void CancelButton_Click() = 0;

  protected:
    // A dialog with fields of its own declares them between these two.
    void Build() override {
        buildFileRow();
        buildButtons();
    }
    // The heading, the subtitle and the file name row; returns the name field.
    ui::Control& buildFileRow() {
        this->label(Title, "").asHeading();
        this->label(Subtitle, "");
        this->label("Label3", "Filename:");
        ui::Control& name = this->textBox(FileName).charsWide(48); // room for a path
        this->button(Browse, "Browse").beside().onClick = [this] { Browse_Click(); };
        return name;
    }
    void buildButtons() {
        this->button(OKButton, "OK").setDefault(true).onClick = [this] { OKButton_Click(); };
        this->button(CancelButton, "Cancel").beside().setCancel(true).onClick = [this] {
            CancelButton_Click();
        };
    }

    // The caption, heading and subtitle of saving or of loading.
    void showMode(bool save) {
        const std::string title = save ? "Save Wizard Settings" : "Load Wizard Settings";
        this->setCaption(title);
        Title->setCaption(title);
        Subtitle->setCaption(
            save ? "Please select a file to hold the wizard settings"
                 : "Please select the file that contains previously saved wizard settings");
    }

    void Form_QueryUnload(int& cancel, int unloadMode) override {
        // The close box is this dialog's Cancel, not the wizard's exit; Cancel unloads it.
        if (unloadMode == ui::kUnloadUser) {
            cancel = 1;
            CancelButton_Click();
        }
    }

    // OK with a name the dialog takes.
    virtual void saveOrLoad(std::string name) = 0;

  private:
    BrowseFor files_;
};

} // namespace wizard
