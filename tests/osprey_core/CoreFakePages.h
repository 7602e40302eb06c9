#pragma once
// Stand-in pages for core tests: the two settings pages build the controls the core reads
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

    ui::Control& list(const ui::ControlRef& c, int count, int selected,
                      ui::ComboStyle style = ui::ComboStyle::DropDownList) {
        std::vector<std::string> items;
        for (int i = 0; i < count; ++i)
            items.push_back(c.name() + " " + std::to_string(i));
        ui::Control& made = combo(c, style, items);
        made.setListIndex(selected);
        return made;
    }
    // An Ignore box, ticked as the pages create them.
    ui::Control& ignore(const ui::ControlRef& c) { return checkBox(c, "").setValue(1); }
};

class FakePages : public PageSet, public testing_support::FakeFormSet<FakePage> {
  public:
    explicit FakePages(ui::App& app)
        : operation_(made(app, "Operation",
                          [this](FakePage& p) {
                              auto& o = operation_;
                              p.ignore(o.MediaTypeCB);
                              p.list(o.MediaTypeCombo, 2, 1);
                              p.ignore(o.MediaSizeCB);
                              p.list(o.LabelLengthCombo, 7, 5, ui::ComboStyle::Editable);
                              p.list(o.LabelWidthCombo, 5, 4, ui::ComboStyle::Editable);
                              p.ignore(o.OrientationCB);
                              p.list(o.OrientationCombo, 4, 0);
                              p.ignore(o.DispenseCB);
                              p.list(o.DispenseCombo, 5, 1);
                          })),
          printerSetup_(made(app, "PrinterSetup", [this](FakePage& p) {
              auto& s = printerSetup_;
              p.ignore(s.PrintSpeedCB);
              p.list(s.PrintSpeedCombo, 10, 3);
              p.ignore(s.GapCB);
              p.list(s.GapCombo, 3, 1);
              p.ignore(s.HorzCB);
              p.scrollBar(s.HorzShiftHScroll, -100, 100);
              p.ignore(s.VertCB);
              p.scrollBar(s.VertShiftHScroll, -100, 1280);
              p.ignore(s.EmulationCB);
              p.list(s.EmulationCombo, 8, 0);
          })) {
        for (const char* name :
             {"Intro", "HaldenIntro", "SelectDlg", "Selection", "LoadDlg", "CustomDialog", "Dialog",
              "FinishDialog", "ProgressDlg", "frmAbout", "HaldenAbout"})
            add(app, name);
    }

    ui::Form& form(const std::string& name) override { return page(name); }
    std::vector<ui::Form*> all() const override { return forms(); }
    OperationControls& operation() override { return operation_; }
    PrinterSetupControls& printerSetup() override { return printerSetup_; }
    void setDialogMode(int mode) override { dialogMode = mode; }

    int dialogMode = -1;

  private:
    ui::Form& made(ui::App& app, const std::string& name, FakePage::BuildFn build) {
        add(app, name, std::move(build));
        return page(name);
    }

    OperationControls operation_;
    PrinterSetupControls printerSetup_;
};

} // namespace osprey::testing
