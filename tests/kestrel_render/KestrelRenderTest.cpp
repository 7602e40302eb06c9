#include "platform/qt/QtHost.h"
#include "platform/qt/QtRender.h"
#include "tests/kestrel_pages/KestrelFixture.h"
#include "tests/qt/RenderCheck.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kestrel_test {
namespace {

const std::string kPngDir = uiqt_test::pngFolder(KESTREL_PNG_DIR);

// The wizard on fakes with the Qt renderer as its host, so its pages build real windows.
class RenderFixture : public KestrelFixture {
  public:
    // The states below drive the wizard from outside the fixture.
    using KestrelFixture::h;
    using KestrelFixture::pages;
    using KestrelFixture::processes;

  protected:
    uiqt::QtHost host{h.app};
};

using PageState = uiqt_test::PageState<RenderFixture>;

class KestrelRender : public RenderFixture, public ::testing::WithParamInterface<PageState> {};

using Pages = kestrel::KestrelPages;
using Pick = ui::ControlRef (*)(Pages&);

// Sets a check box or option from code, which runs its click handler as a click would.
std::function<void(RenderFixture&)> tick(Pick control) {
    return [=](RenderFixture& f) { f.h.run([&] { control(f.pages)->setValue(1); }); };
}

std::function<void(RenderFixture&)> saveMode() {
    return [](RenderFixture& f) { f.pages.setDialogMode(1); };
}

// Ticks the four boxes of an array.
std::function<void(RenderFixture&)> tickAllFour(Pick boxes) {
    return [=](RenderFixture& f) {
        f.h.run([&] {
            for (int i = 0; i < 4; ++i)
                boxes(f.pages)[i]->setValue(1);
        });
    };
}

const PageState kStates[] = {
    // Settings file page (loads in load mode): save mode, and the password shown in clear.
    {"Dialog_Save", "Dialog", nullptr, saveMode()},
    {"Dialog_ShowPassword", "Dialog",
     tick([](Pages& p) { return p.get<kestrel::Dialog>().ShowCheck; }), saveMode()},
    // Password pages with their show-text boxes ticked (the confirm fields go).
    {"WEPkeyDlg_ShowKeys", "WEPkeyDlg",
     tickAllFour([](Pages& p) { return p.get<kestrel::WEPkeyDlg>().ShowChk; })},
    {"WEPphraseDlg_ShowKeys", "WEPphraseDlg",
     tickAllFour([](Pages& p) { return p.get<kestrel::WEPphraseDlg>().ShowChk; })},
    {"WPADlg_ShowPassphrase", "WPADlg",
     tick([](Pages& p) { return p.get<kestrel::WPADlg>().ShowCheck; })},
    {"LEAPDlg_ShowPassword", "LEAPDlg",
     tick([](Pages& p) { return p.get<kestrel::LEAPDlg>().ShowCheck; })},
    // Port page with each route chosen, and without any local port.
    {"PortSelect_LPT", "PortSelect",
     tick([](Pages& p) { return p.get<kestrel::PortSelect>().PortLPT; })},
    {"PortSelect_COM", "PortSelect",
     tick([](Pages& p) { return p.get<kestrel::PortSelect>().PortCOM; })},
    {"PortSelect_USB", "PortSelect",
     tick([](Pages& p) { return p.get<kestrel::PortSelect>().PortUSB; })},
    {"PortSelect_TCP", "PortSelect",
     tick([](Pages& p) { return p.get<kestrel::PortSelect>().PortTCP; })},
    {"PortSelect_File", "PortSelect",
     tick([](Pages& p) { return p.get<kestrel::PortSelect>().PortFile; })},
    {"PortSelect_NoPorts", "PortSelect", nullptr,
     [](RenderFixture& f) {
         f.processes.ports.clear();
         f.h.boxes.expect("Program Error",
                          "Unable to get list of available local ports.\r\nUsing default port "
                          "settings.");
     }},
    // Wired page: automatic address (as it loads) and static address.
    {"WiredDlg_Static", "WiredDlg",
     tick([](Pages& p) { return p.get<kestrel::WiredDlg>().useStaticIP; })},
    {"WiredDlg_Wireless", "WiredDlg",
     tick([](Pages& p) { return p.get<kestrel::WiredDlg>().NicOption[1]; })},
    // Finish page with the second choice.
    {"FinishDialog_No", "FinishDialog",
     tick([](Pages& p) { return p.get<kestrel::FinishDialog>().Option2; })},
};

// Each page as it loads, then the states above.
std::vector<PageState> states() {
    std::vector<PageState> all;
    for (const char* page : kestrel::KestrelPageList::names())
        all.push_back({page, page});
    all.insert(all.end(), std::begin(kStates), std::end(kStates));
    return all;
}

TEST_P(KestrelRender, PageRendersWithoutOverlapOrClipping) {
    const PageState& state = GetParam();
    ASSERT_NO_FATAL_FAILURE(uiqt_test::expectCleanState<RenderFixture>(
        *this, h, host, pages.form(state.page), state, kPngDir));
}

// Under a dark desktop scheme what the user types stays readable in every field.
TEST_P(KestrelRender, TypedTextIsReadableUnderADarkScheme) {
    const PageState& state = GetParam();
    uiqt_test::expectReadableUnderDarkScheme<RenderFixture>(*this, h, host, pages.form(state.page),
                                                            state, kPngDir);
}

INSTANTIATE_TEST_SUITE_P(Pages, KestrelRender, ::testing::ValuesIn(states()),
                         [](const ::testing::TestParamInfo<PageState>& info) {
                             return std::string(info.param.name);
                         });

using uiqt_test::placeOf;

TEST_F(RenderFixture, EveryPageHasOneWindowSize) {
    uiqt_test::expectSteadyWindow(h, host, pages.all());
}

// Keyboard alone from the welcome page to the commands in a file: each key, the page shown
// after it, and what is typed then.
struct Step {
    Qt::Key key;
    const char* page;
    QString typed = {};
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};
const Step kFileRoute[] = {
    {Qt::Key_Return, "LoadDlg"},
    {Qt::Key_Escape, "LoadDlg"}, // asks, and No stays
    {Qt::Key_Return, "PortSelect"},
    {Qt::Key_Down, "PortSelect"},                   // Serial
    {Qt::Key_F, "PortSelect", {}, Qt::AltModifier}, // File
    {Qt::Key_Tab, "PortSelect", "route.txt"},
    {Qt::Key_Return, "QuestionDlg"}, // the file name's own Enter
    {Qt::Key_Space, "QuestionDlg"},  // the address box
    {Qt::Key_Return, "WiredDlg"},
    {Qt::Key_Tab, "WiredDlg"}, // Automatic
    {Qt::Key_Tab, "WiredDlg"}, // BootP
    {Qt::Key_Backtab, "WiredDlg"},
    {Qt::Key_Return, "FinishDialog"},
    {Qt::Key_Right, "FinishDialog"}, // No, do not save
    {Qt::Key_Return, "FinishDialog"},
};

class KeyboardWalk : public RenderFixture {
  protected:
    KeyboardWalk() {
        start("");
        h.boxes.expectContaining("Caution Exiting Wizard", "Do you want to exit", ui::mb::No);
        h.boxes.expectContaining("Warning", "stored in a text file unencrypted", ui::mb::Yes);
        h.boxes.expect("Process Successful", "Kestrel Request Successfully Sent");
    }
    void expectTheFile() {
        // The run's time passes on the test clock; a button an access key pressed clicks in
        // real time.
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return waitUntil([&] { return h.ended(); }, 100); }, 60000));
        EXPECT_EQ(read("route.txt"), job("store tcpip 1 opts -bootp dhcp \r\n") + "\r\n");
    }
};

// Key by key, each page in its place, showing its focus as it opens.
TEST_F(KeyboardWalk, TakesTheFileRoute) {
    QApplication::setCursorFlashTime(0); // two pictures of a field agree
    std::optional<QPoint> where;         // every page opens where the one before stood
    std::string before = uiqt_test::pageWithKeyboard();
    for (const Step& s : kFileRoute) {
        ASSERT_NO_FATAL_FAILURE(uiqt_test::pressKey(s.key, s.typed, s.modifiers));
        ASSERT_EQ(uiqt_test::pageWithKeyboard(), s.page) << "after key " << s.key;
        const QPoint at = QApplication::focusWidget()->window()->pos();
        EXPECT_EQ(at, where.value_or(at)) << s.page;
        where = at;
        if (std::exchange(before, s.page) != s.page) {
            ASSERT_NO_FATAL_FAILURE(uiqt_test::expectFocusShownAsItOpens());
        }
    }
    EXPECT_TRUE(pages.get<kestrel::PortSelect>().PortFile->checked());
    EXPECT_EQ(pages.get<kestrel::WiredDlg>().useAutoIP->checked(), true);
    expectTheFile();
}

// Every key typed at once, before the first page has gone: the keys for the pages to come
// wait for them, in order.
TEST_F(KeyboardWalk, KeysTypedAheadReachThePagesToCome) {
    QApplication::processEvents();
    QWidget* typedInto = QApplication::focusWidget();
    ASSERT_NE(typedInto, nullptr);
    auto type = [&](Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
        for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(typedInto, new QKeyEvent(t, key, modifiers, text));
    };
    for (const Step& s : kFileRoute) {
        const std::map<Qt::Key, QString> texts = {{Qt::Key_Return, "\r"},
                                                  {Qt::Key_Escape, QString(QChar(27))},
                                                  {Qt::Key_Tab, "\t"},
                                                  {Qt::Key_Space, " "},
                                                  {Qt::Key_F, "f"}};
        const auto text = texts.find(s.key);
        type(s.key, s.modifiers, text == texts.end() ? QString() : text->second);
        for (QChar c : s.typed)
            type(Qt::Key(c.toUpper().unicode()), Qt::NoModifier, QString(c));
    }
    expectTheFile();
}

// An access key and Enter typed at once, as keys typed ahead arrive (straight from the desktop
// or through the event queue): Enter acts on what the access key chose, on the load page
// (Load: the settings file dialog opens) and on the port page (File: its empty name is refused).
class AccessKeyThenEnter : public RenderFixture,
                           public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(AccessKeyThenEnter, EnterActsOnTheNewChoice) {
    const auto [portPage, queued] = GetParam();
    auto& port = pages.get<kestrel::PortSelect>();
    start(" GO /VERYSILENT");
    if (portPage) {
        h.click(pages.get<kestrel::LoadDlg>().Next);
        h.boxes.expectContaining("Program Error", "File name cannot be empty");
    }
    ASSERT_NO_FATAL_FAILURE(
        uiqt_test::typeAccessKeyThenEnter(portPage ? Qt::Key_F : Qt::Key_L, queued));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return portPage ? h.boxes.allShown() && port.PortFile->checked() && port.visible()
                            : pages.get<kestrel::Dialog>().visible() && !port.visible();
        },
        5000));
}

INSTANTIATE_TEST_SUITE_P(Pages, AccessKeyThenEnter,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "PortPageFile"
                                                                        : "LoadPageLoad") +
                                    (std::get<1>(info.param) ? "Queued" : "");
                         });

TEST_F(RenderFixture, ColumnsLineUp) {
    auto& wireless = pages.get<kestrel::WirelessDlg>();
    auto& load = pages.get<kestrel::LoadDlg>();
    auto& progress = pages.get<kestrel::ProgressDlg>();
    auto& encrypt = pages.get<kestrel::EncryptQuestionDlg>();
    const std::tuple<ui::ControlRef, ui::ControlRef, bool> cases[] = {
        {wireless.HelpSSID, wireless.HelpOpMode, true},
        {wireless.HelpSSID, wireless.HelpDevices, true},
        {wireless.HelpSSID, wireless.HelpCountry, true},
        {wireless.SSID, wireless.CountryCode, false},
        {load.Label2, load.Label3, false},
        {progress.ProgressBar, progress.StatusLog, true},
        {encrypt.WPA, encrypt.EAP, false},
    };
    for (const auto& [first, second, sameWidth] : cases)
        ASSERT_NO_FATAL_FAILURE(
            uiqt_test::expectLinedUp(h, host, first, second, sameWidth, kPngDir));
    // The two methods of "Other Authentication Methods" stand under its text, past its
    // indicator.
    const QRect other = placeOf(host, encrypt.click[2]);
    const QRect wpa = placeOf(host, encrypt.WPA);
    EXPECT_GT(wpa.left(), other.left());
    EXPECT_LT(wpa.left(), other.left() + other.width() / 2);
    for (const ui::ControlRef& ok :
         {pages.get<kestrel::frmAbout>().cmdOK, pages.get<kestrel::HaldenAbout>().cmdOK})
        ASSERT_NO_FATAL_FAILURE(uiqt_test::expectOkAtTheRight(h, host, ok, kPngDir));
    // The network name field shows a name of the longest length it takes.
    auto* ssid = qobject_cast<QLineEdit*>(host.widget(*wireless.SSID));
    ASSERT_NE(ssid, nullptr);
    EXPECT_LE(ssid->fontMetrics().horizontalAdvance("office-network-floor2-5ghz-ap123"),
              ssid->contentsRect().width() - 4);
}

// Fields that come and go with a tick keep their place, so nothing else moves.
TEST_F(RenderFixture, ShowingAPasswordMovesNoOtherControl) {
    auto& dialog = pages.get<kestrel::Dialog>();
    auto& wpa = pages.get<kestrel::WPADlg>();
    auto& leap = pages.get<kestrel::LEAPDlg>();
    // The show box, the field that goes and a control below them.
    const std::tuple<ui::ControlRef, ui::ControlRef, ui::ControlRef> pagesWithBox[] = {
        {dialog.ShowCheck, dialog.ConfirmTxt, dialog.OKButton},
        {wpa.ShowCheck, wpa.ConfirmTxt, wpa.Next},
        {leap.ShowCheck, leap.ConfirmTxt, leap.Next}};
    for (const auto& [show, confirm, below] : pagesWithBox) {
        ui::Form& form = show.form();
        const std::string& name = form.name();
        h.run([&] { form.load(); });
        ASSERT_NE(host.window(form), nullptr);
        const QRect before = placeOf(host, below);
        h.run([&] { show->setValue(1); });
        ASSERT_TRUE(uiqt::renderFormToPng(form, kPngDir + "/moved-" + name + ".png"));
        EXPECT_FALSE(confirm->visible()) << name;
        EXPECT_EQ(before, placeOf(host, below)) << name;
    }
}

// A screen reader's toggle chooses Load as a click would, so Next opens the load dialog,
// whose name field is announced by its label, not the heading; the wireless page's name
// field takes 32 accented letters as typed.
TEST_F(RenderFixture, AccessibleToggleAndAccentedTypingReachThePages) {
    auto& load = pages.get<kestrel::LoadDlg>();
    h.run([&] { load.Show(); });
    QAccessible::queryAccessibleInterface(host.widget(*load.Load))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(load.StartNew->checked());
    h.click(load.Next);
    auto& dialog = pages.get<kestrel::Dialog>();
    ASSERT_TRUE(dialog.visible()) << "Next started new";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(host.widget(*dialog.FileName))
                  ->text(QAccessible::Name),
              "Filename:");

    auto& wireless = pages.get<kestrel::WirelessDlg>();
    h.run([&] {
        pages.get<kestrel::WirelessQuestionDlg>().check[0]->setValue(1);
        wireless.Show();
    });
    auto* ssid = qobject_cast<QLineEdit*>(host.widget(*wireless.SSID));
    ASSERT_NE(ssid, nullptr);
    for (int i = 0; i < 33; ++i)
        QTest::sendKeyEvent(QTest::Click, ssid, Qt::Key_Eacute, QString(QChar(0xE9)), {});
    EXPECT_EQ(ssid->text(), QString(32, QChar(0xE9)));
    EXPECT_EQ(wireless.SSID->text(), ssid->text().toStdString());
}

// Kinds of port this PC lacks leave no empty rows on the port page.
TEST_F(RenderFixture, MissingPortKindsLeaveNoGap) {
    auto& page = pages.get<kestrel::PortSelect>();
    auto tcpRowTop = [&](std::vector<std::string> ports) {
        processes.ports = std::move(ports);
        h.run([&] {
            page.Unload();
            page.load();
        });
        EXPECT_NE(host.window(page), nullptr);
        return placeOf(host, page.PortTCP).top();
    };
    const int allKinds = tcpRowTop({"LPT1:", "COM1:", "USB001"});
    const int lptAndUsb = tcpRowTop({"LPT1:", "USB001"});
    EXPECT_LT(lptAndUsb, allKinds) << "the serial row stayed as a gap";
    EXPECT_TRUE(uiqt::checkNoOverlap(page).empty());
}

} // namespace
} // namespace kestrel_test
