#pragma once
// Stand-in pages for core tests: the two settings pages declare the controls the core reads
// and restores, with the lists and defaults of the real pages (4-inch printer, no model
// option); every page records its loads and unloads.
#include "osprey/core/PageSet.h"
#include "platform/ui/Form.h"
#include "tests/support/FakeForms.h"

#include <string>
#include <vector>

namespace osprey::testing {

class FakePage : public testing_support::FakeForm<FakePage> {
  public:
    using FakeForm::FakeForm;

    ui::Control& list(const std::string& name, int count, int selected,
                      ui::ComboStyle style = ui::ComboStyle::DropDownList) {
        std::vector<std::string> items;
        for (int i = 0; i < count; ++i)
            items.push_back(name + " " + std::to_string(i));
        ui::Control& c = combo(name, style, items);
        c.setListIndex(selected);
        return c;
    }
    // An Ignore box, ticked as the pages create them.
    ui::Control& ignore(const std::string& name) { return checkBox(name, "").setValue(1); }
};

class FakePages : public PageSet, public testing_support::FakeFormSet<FakePage> {
  public:
    explicit FakePages(ui::App& app) {
        for (const char* name :
             {"Intro", "HaldenIntro", "SelectDlg", "Selection", "LoadDlg", "CustomDialog", "Dialog",
              "FinishDialog", "ProgressDlg", "frmAbout", "HaldenAbout"})
            add(app, name);
        add(app, "Operation", [](FakePage& p) {
            p.ignore("MediaTypeCB");
            p.list("MediaTypeCombo", 2, 1);
            p.ignore("MediaSizeCB");
            p.list("LabelLengthCombo", 7, 5, ui::ComboStyle::Editable);
            p.list("LabelWidthCombo", 5, 4, ui::ComboStyle::Editable);
            p.ignore("OrientationCB");
            p.list("OrientationCombo", 4, 0);
            p.ignore("DispenseCB");
            p.list("DispenseCombo", 5, 1);
        });
        add(app, "PrinterSetup", [](FakePage& p) {
            p.ignore("PrintSpeedCB");
            p.list("PrintSpeedCombo", 10, 3);
            p.ignore("GapCB");
            p.list("GapCombo", 3, 1);
            p.ignore("HorzCB");
            p.scrollBar("HorzShiftHScroll", -100, 100);
            p.ignore("VertCB");
            p.scrollBar("VertShiftHScroll", -100, 1280);
            p.ignore("EmulationCB");
            p.list("EmulationCombo", 8, 0);
        });
    }

    ui::Form& form(const std::string& name) override { return page(name); }
    void setDialogMode(int mode) override { dialogMode = mode; }

    int dialogMode = -1;
};

} // namespace osprey::testing
