#pragma once
// Helpers for the tests of the network options, wireless and security pages.
#include "tests/kestrel_pages/KestrelFixture.h"

#include "kestrel/pages/EncryptQuestionDlg.h"
#include "kestrel/pages/FinishDialog.h"
#include "kestrel/pages/LEAPDlg.h"
#include "kestrel/pages/NetworkDlg.h"
#include "kestrel/pages/WEPDlg.h"
#include "kestrel/pages/WEPkeyDlg.h"
#include "kestrel/pages/WEPphraseDlg.h"
#include "kestrel/pages/WPADlg.h"
#include "kestrel/pages/WirelessDlg.h"
#include "kestrel/pages/WirelessQuestionDlg.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace kestrel_test {

inline const std::string kNotice = "Notice";
inline const std::string kWarning = "Warning";
inline const std::string kSelectionError = "Selection Error";
inline const std::string kHelpTip = "Shows a brief description of this option.";
inline const std::string kErrorTitle = "Program Error";
inline const std::string kExitTitle = "Caution Exiting Wizard";
inline const std::string kExitText =
    "NIC setting is not complete. If you quit\r\nthe wizard now, the printer will not be "
    "updated.\r\nDo you want to exit the wizard?";

// What the user does on a page before pressing its Next, by page name.
using PageActions = std::map<std::string, std::function<void(kestrel::KestrelPages&)>>;

// Presses Next (Finish page excluded) from the page shown until the finish page opens,
// running each page's action first. Returns the pages seen after the first, in order;
// stops early (with the page that stayed last) when a page does not move on.
inline std::vector<std::string> walkForward(testing_support::Harness& h,
                                            kestrel::KestrelPages& pages,
                                            const PageActions& actions = {}) {
    std::vector<std::string> seen;
    for (int step = 0; step < 20; ++step) {
        std::string current = h.visibleForm();
        if (current.empty() || current == "FinishDialog")
            break;
        if (auto it = actions.find(current); it != actions.end())
            it->second(pages);
        h.click(dynamic_cast<kestrel::StepPage&>(pages.form(current)).Next);
        std::string now = h.visibleForm();
        seen.push_back(now);
        if (now == current)
            break;
    }
    return seen;
}

// Presses Back until `last` shows; returns the pages seen, in order.
inline std::vector<std::string> walkBack(testing_support::Harness& h, kestrel::KestrelPages& pages,
                                         const std::string& last) {
    std::vector<std::string> seen;
    for (int step = 0; step < 20; ++step) {
        std::string current = h.visibleForm();
        if (current.empty() || current == last)
            break;
        h.click(current == "FinishDialog"
                    ? pages.get<kestrel::FinishDialog>().Back
                    : dynamic_cast<kestrel::StepPage&>(pages.form(current)).Prev);
        seen.push_back(h.visibleForm());
    }
    return seen;
}

class WirelessPagesFixture : public KestrelFixture {
  protected:
    // Sets the question page's seven boxes (creates the page).
    void question(const std::vector<int>& ticked) {
        boxes(pages.get<kestrel::QuestionDlg>().Check1, 7, ticked);
    }
    // Sets the wireless question page's ten boxes and its encryption box.
    void wirelessQuestion(const std::vector<int>& ticked, bool encryption) {
        boxes(pages.get<kestrel::WirelessQuestionDlg>().check, 10, ticked);
        h.run([&] {
            pages.get<kestrel::WirelessQuestionDlg>().EncryptionCB->setValue(encryption ? 1 : 0);
        });
    }
    // Shows a page as its opener does, with its PrevForm.
    void open(const std::string& name, const std::string& opener = "") {
        h.run([&] {
            ui::Form& f = page(name);
            f.Show();
            if (!opener.empty())
                static_cast<kestrel::Page&>(f).PrevForm = &page(opener);
        });
    }
    kestrel::StepPage& step(const std::string& name) {
        return dynamic_cast<kestrel::StepPage&>(page(name));
    }
    void next(const std::string& name) { h.click(step(name).Next); }
    void back(const std::string& name) { h.click(step(name).Prev); }
    ui::Form* prevForm(const std::string& name) {
        return static_cast<kestrel::Page&>(page(name)).PrevForm;
    }
    // A text from code, also into a disabled field.
    void put(const ui::ControlRef& control, const std::string& text) {
        h.run([&] { control->setText(text); });
    }
    void choose(const ui::ControlRef& control, int listIndex) {
        h.run([&] { control->setListIndex(listIndex); });
    }
    // A field is enabled and white, or disabled and button face.
    ::testing::AssertionResult fieldOn(const ui::ControlRef& control, bool on) {
        ui::Control& c = *control;
        if (c.enabled() != on)
            return ::testing::AssertionFailure() << c.fullName() << " enabled " << c.enabled();
        if (c.kind() == ui::ControlKind::TextBox &&
            c.backColor() != (on ? ui::kWhite : ui::kButtonFace))
            return ::testing::AssertionFailure() << c.fullName() << " colour " << c.backColor();
        return ::testing::AssertionSuccess();
    }

  private:
    void boxes(const ui::ControlRef& boxes, int count, const std::vector<int>& ticked) {
        h.run([&] {
            for (int i = 0; i < count; ++i)
                boxes[i]->setValue(0);
            for (int i : ticked)
                boxes[i]->setValue(1);
        });
    }
};

} // namespace kestrel_test
