#include "platform/qt/QtHost.h"
#include "platform/qt/QtRender.h"
#include "tests/osprey_pages/OspreyFixture.h"
#include "tests/qt/RenderCheck.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace osprey_test {
namespace {

const std::string kPngDir = uiqt_test::pngFolder(OSPREY_PNG_DIR);

// The wizard on fakes with the Qt renderer as its host, so its pages build real windows.
class RenderFixture : public OspreyFixture {
  public:
    // The states below drive the wizard from outside the fixture.
    using OspreyFixture::core;
    using OspreyFixture::h;
    using OspreyFixture::pages;

  protected:
    uiqt::QtHost host{h.app};
};

using PageState = uiqt_test::PageState<RenderFixture>;

class OspreyRender : public RenderFixture, public ::testing::WithParamInterface<PageState> {};

// Clears "Ignore" boxes from code, which runs their click handlers as clicks would.
void clear(RenderFixture& f, std::initializer_list<ui::ControlRef> boxes) {
    for (const auto& box : boxes)
        f.h.run([&] { box->setValue(0); });
}

void clearMedia(RenderFixture& f) {
    auto& o = f.pages.get<osprey::Operation>();
    clear(f, {o.MediaTypeCB, o.MediaSizeCB, o.OrientationCB, o.DispenseCB});
}
void clearSetup(RenderFixture& f) {
    auto& s = f.pages.get<osprey::PrinterSetup>();
    clear(f, {s.PrintSpeedCB, s.GapCB, s.HorzCB, s.VertCB, s.EmulationCB});
}
void clearFinish(RenderFixture& f) {
    clear(f, {f.pages.get<osprey::FinishDialog>().SaveCfgCB,
              f.pages.get<osprey::FinishDialog>().SetPwrUpCB});
}

// A model whose option changes the captions, pictures and lists of the setup pages.
void modelOption(RenderFixture& f) {
    f.core.ws.ModelOption = true;
}

// A wide, plain model: more width entries and both media types.
void wideModel(RenderFixture& f) {
    f.core.ws.PrinterWidth = 8;
    f.core.ws.ResolutionClass = 3;
    f.core.ws.DirectThermal = false;
}

std::function<void(RenderFixture&)> both(std::function<void(RenderFixture&)> a,
                                         std::function<void(RenderFixture&)> b) {
    return [=](RenderFixture& f) {
        a(f);
        b(f);
    };
}

const PageState kStates[] = {
    // Settings file page in save mode.
    {"Dialog_Save", "Dialog", nullptr, [](RenderFixture& f) { f.pages.setDialogMode(1); }},
    // Media and setup pages with every "Ignore" box cleared, so every control is enabled.
    {"Operation_Cleared", "Operation", clearMedia},
    {"PrinterSetup_Cleared", "PrinterSetup", clearSetup},
    {"FinishDialog_Cleared", "FinishDialog", clearFinish,
     [](RenderFixture& f) { f.core.ws.SelectedPrinter = "Label Printer"; }},
    // The model option: other captions, no pictures, other lists.
    {"Operation_ModelOption", "Operation", nullptr, modelOption},
    {"Operation_ModelOptionCleared", "Operation", clearMedia, modelOption},
    {"PrinterSetup_ModelOption", "PrinterSetup", nullptr, modelOption},
    {"PrinterSetup_ModelOptionCleared", "PrinterSetup", clearSetup, modelOption},
    // A wide model with both media types and the longest lists.
    {"Operation_Wide", "Operation", clearMedia, wideModel},
    {"PrinterSetup_Wide", "PrinterSetup", clearSetup, wideModel},
    // After a request was sent the setup page's cancel button reads "Exit".
    {"PrinterSetup_RequestSent", "PrinterSetup", clearSetup,
     both(modelOption, [](RenderFixture& f) { f.core.ws.RequestSent = true; })},
};

// Each page as it loads, then the states above.
std::vector<PageState> states() {
    std::vector<PageState> all;
    for (const char* page : osprey::OspreyPageList::names())
        all.push_back({page, page});
    all.insert(all.end(), std::begin(kStates), std::end(kStates));
    return all;
}

TEST_P(OspreyRender, PageRendersWithoutOverlapOrClipping) {
    const PageState& state = GetParam();
    ASSERT_NO_FATAL_FAILURE(uiqt_test::expectCleanState<RenderFixture>(
        *this, h, host, pages.form(state.page), state, kPngDir));
}

// Under a dark desktop scheme what the user types stays readable in every field.
TEST_P(OspreyRender, TypedTextIsReadableUnderADarkScheme) {
    const PageState& state = GetParam();
    uiqt_test::expectReadableUnderDarkScheme<RenderFixture>(*this, h, host, pages.form(state.page),
                                                            state, kPngDir);
}

INSTANTIATE_TEST_SUITE_P(Pages, OspreyRender, ::testing::ValuesIn(states()),
                         [](const ::testing::TestParamInfo<PageState>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(RenderFixture, EveryPageHasOneWindowSize) {
    uiqt_test::expectSteadyWindow(h, host, pages.all());
}

// Keyboard alone, on the real windows, through the configuration run on the memory
// spooler; the image shift is set with the slider's keys.
TEST_F(RenderFixture, KeyboardAloneRunsTheConfiguration) {
    using uiqt_test::pressKey;
    h.app.setStallLimit(10 * 60 * 1000);
    start("");
    h.boxes.expectContaining("Save Wizard Settings", "Would you like to save", ui::mb::No);
    h.boxes.expectContaining("Calibration Required", "require calibration", ui::mb::Yes);
    h.boxes.expect("Process Successful", "Printer Setup Request Successfully Sent");
    const std::pair<Qt::Key, const char*> steps[] = {
        {Qt::Key_Return, "SelectDlg"},   {Qt::Key_Down, "SelectDlg"}, // printer settings
        {Qt::Key_Return, "Selection"},   {Qt::Key_Return, "LoadDlg"},
        {Qt::Key_Return, "Operation"},   {Qt::Key_Return, "PrinterSetup"},
        {Qt::Key_Space, "PrinterSetup"}, // the speed is sent
        {Qt::Key_Tab, "PrinterSetup"},   {Qt::Key_Tab, "PrinterSetup"},
        {Qt::Key_Space, "PrinterSetup"}, // and the horizontal shift
        {Qt::Key_Tab, "PrinterSetup"},   {Qt::Key_Right, "PrinterSetup"},
        {Qt::Key_Right, "PrinterSetup"}, {Qt::Key_PageUp, "PrinterSetup"},
        {Qt::Key_Left, "PrinterSetup"},  {Qt::Key_Return, "FinishDialog"},
    };
    // Each page opened by a key shows its focus at once.
    QApplication::setCursorFlashTime(0); // two pictures of a field agree
    std::string before = uiqt_test::pageWithKeyboard();
    for (const auto& [key, page] : steps) {
        ASSERT_NO_FATAL_FAILURE(pressKey(key));
        ASSERT_EQ(uiqt_test::pageWithKeyboard(), page) << "after key " << key;
        if (std::exchange(before, page) != page) {
            ASSERT_NO_FATAL_FAILURE(uiqt_test::expectFocusShownAsItOpens());
        }
    }
    auto& setup = pages.get<osprey::PrinterSetup>();
    EXPECT_EQ(setup.HorzShiftHScroll->value(), 11);
    EXPECT_EQ(setup.HorzLabel->caption(), "0.11");
    // A screen reader reads the slider as the page shows it, in inches.
    QAccessibleInterface* slider =
        QAccessible::queryAccessibleInterface(host.widget(*setup.HorzShiftHScroll));
    EXPECT_EQ(slider->text(QAccessible::Value), "0.11 inch");
    EXPECT_DOUBLE_EQ(slider->valueInterface()->currentValue().toDouble(), 0.11);
    EXPECT_EQ(host.window(setup)->size(), host.window(pages.get<osprey::Operation>())->size())
        << "the slider's value text widened the page";
    ASSERT_NO_FATAL_FAILURE(pressKey(Qt::Key_Return));
    ASSERT_TRUE(h.ended());
    ASSERT_FALSE(jobsSent().empty());
    EXPECT_NE(jobsSent().front().find("IMAGE_SHFT_H;110"), std::string::npos);
}

// An access key and Enter typed at once, as keys typed ahead arrive: Enter goes on with the
// printer settings the access key chose, not with the interface (Kestrel) chosen before.
class AccessKeyThenEnter : public RenderFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(AccessKeyThenEnter, EnterActsOnTheNewChoice) {
    start("");
    h.click(pages.get<osprey::Intro>().Next);
    ASSERT_TRUE(pages.get<osprey::SelectDlg>().CfgNic->checked());
    ASSERT_NO_FATAL_FAILURE(uiqt_test::typeAccessKeyThenEnter(Qt::Key_P, GetParam()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return pages.get<osprey::Selection>().visible(); }, 5000));
}

INSTANTIATE_TEST_SUITE_P(Keys, AccessKeyThenEnter, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Queued" : "Typed");
                         });

TEST_F(RenderFixture, ColumnsLineUp) {
    auto& media = pages.get<osprey::Operation>();
    auto& setup = pages.get<osprey::PrinterSetup>();
    auto& progress = pages.get<osprey::ProgressDlg>();
    const struct {
        ui::ControlRef a, b;
        bool sameWidth;
    } cases[] = {
        {media.Label3, media.Label4, false},
        {media.LabelLengthCombo, media.LabelWidthCombo, true},
        {setup.HorzShiftHScroll, setup.VertShiftHScroll, true},
        {setup.HorzShiftUnit, setup.VertShiftUnit, true},
        {setup.PrintSpeedCombo, setup.GapCombo, false}, // three frames, one column
        {setup.PrintSpeedCombo, setup.EmulationCombo, false},
        {progress.ProgressBar, progress.StatusLog, true},
    };
    for (const auto& c : cases)
        ASSERT_NO_FATAL_FAILURE(uiqt_test::expectLinedUp(h, host, c.a, c.b, c.sameWidth, kPngDir));
    for (const ui::ControlRef& ok :
         {pages.get<osprey::frmAbout>().cmdOK, pages.get<osprey::HaldenAbout>().cmdOK})
        ASSERT_NO_FATAL_FAILURE(uiqt_test::expectOkAtTheRight(h, host, ok, kPngDir));
}

} // namespace
} // namespace osprey_test
