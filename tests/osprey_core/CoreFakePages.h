#pragma once
// Stand-in pages for core tests: the two settings pages declare the controls the core reads
// and restores, with the lists and defaults of the real pages (4-inch printer, no model
// option); every page records its loads and unloads.
#include "osprey/core/PageSet.h"
#include "platform/ui/Form.h"

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace osprey::testing {

class FakePage : public ui::Form {
  public:
    using BuildFn = std::function<void(FakePage&)>;
    FakePage(ui::App& app, const std::string& name, BuildFn build,
             std::vector<std::string>& unloads)
        : ui::Form(app, name), build_(std::move(build)), unloads_(&unloads) {}

    int loads = 0;

    using ui::Form::checkBox;
    using ui::Form::combo;
    using ui::Form::scrollBar;

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

  protected:
    void Build() override {
        if (build_)
            build_(*this);
    }
    void Form_Load() override { ++loads; }
    void Form_QueryUnload(int&, int) override { unloads_->push_back(name()); }

  private:
    BuildFn build_;
    std::vector<std::string>* unloads_;
};

class FakePages : public PageSet {
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

    FakePage& page(const std::string& name) {
        auto it = pages_.find(name);
        if (it == pages_.end())
            throw std::logic_error("no page named " + name);
        return *it->second;
    }

    int dialogMode = -1;
    std::vector<std::string> unloads;

  private:
    void add(ui::App& app, const std::string& name, FakePage::BuildFn build = {}) {
        pages_[name] = std::make_unique<FakePage>(app, name, std::move(build), unloads);
    }
    std::map<std::string, std::unique_ptr<FakePage>> pages_;
};

} // namespace osprey::testing
