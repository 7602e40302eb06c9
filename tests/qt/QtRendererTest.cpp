#include "platform/qt/FileFilter.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtRender.h"
#include "tests/qt/RenderCheck.h"
#include "tests/support/Harness.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using ui::ComboStyle;
using ui::Control;

const std::string kPngDir = UIQT_PNG_DIR;

// A page with one control of every kind, handlers that count what ran.
class SampleForm : public ui::Form {
  public:
    SampleForm(ui::App& app, std::string picture) : Form(app, "SampleDlg"), picture_(picture) {}

    int nameChanges = 0;
    int showClicks = 0;
    int optionClicks = 0;
    int channelClicks = 0;
    int dropDowns = 0;
    int portClicks = 0;
    int nextClicks = 0;
    int cancelClicks = 0;
    int shiftChanges = 0;
    int logoClicks = 0;
    int loads = 0;
    std::vector<int> queryModes;
    bool refuseClose = false;
    std::function<void()> duringNext; // runs inside Next's handler

    ui::ControlRef NameLabel{*this, "NameLabel"};
    ui::ControlRef NameText{*this, "NameText"};
    ui::ControlRef KeyText{*this, "KeyText"};
    ui::ControlRef ShowCheck{*this, "ShowCheck"};
    ui::ControlRef Mode{*this, "Mode"};
    ui::ControlRef Wireless{*this, "Wireless"};
    ui::ControlRef Channel{*this, "Channel"};
    ui::ControlRef Country{*this, "Country"};
    ui::ControlRef Ports{*this, "Ports"};
    ui::ControlRef Shift{*this, "Shift"};
    ui::ControlRef Logo{*this, "Logo"};
    ui::ControlRef Missing{*this, "Missing"};
    ui::ControlRef Rule{*this, "Rule"};
    ui::ControlRef Notes{*this, "Notes"};
    ui::ControlRef Progress{*this, "Progress"};
    ui::ControlRef Timer1{*this, "Timer1"};
    ui::ControlRef Prev{*this, "Prev"};
    ui::ControlRef Next{*this, "Next"};

  protected:
    void Build() override {
        label(NameLabel, "&Name:");
        textBox(NameText).beside().setToolTip("The printer's name.").onChange = [this] {
            ++nameChanges;
        };
        label("KeyLabel", "Key (digits):");
        textBox(KeyText).beside().setPasswordChar("*").setMaxLength(8).onKeyPress = [](int& key) {
            if ((key < '0' || key > '9') && key != 8)
                key = 0;
        };
        checkBox(ShowCheck, "&Show Password").onClick = [this] { ++showClicks; };
        option(Mode[0], "&Automatic").onClick = [this] { ++optionClicks; };
        option(Mode[1], "S&tatic").beside().onClick = [this] { ++optionClicks; };
        frame(Wireless, "Wireless");
        label("ChannelLabel", "Channel:").in(Wireless);
        Control& channel =
            combo(Channel, ComboStyle::DropDownList, {"1", "6", "11"}).in(Wireless).beside();
        channel.onClick = [this] { ++channelClicks; };
        channel.onDropDown = [this] { ++dropDowns; };
        combo(Country, ComboStyle::Editable, {"USA", "Canada", "Germany"}).in(Wireless);
        option("Speed", "Auto", 0).in(Wireless);
        option("Speed", "11 Mbps", 1).in(Wireless).beside();
        listBox(Ports, {"LPT1:", "COM1:", "USB001"}).onClick = [this] { ++portClicks; };
        scrollBar(Shift, 0, 100).onChange = [this] { ++shiftChanges; };
        image(Logo, picture_).onClick = [this] { ++logoClicks; };
        image(Missing, "/nonexistent/picture.bmp").beside();
        line(Rule);
        textBox(Notes).setMultiLine(true);
        progressBar(Progress);
        timer(Timer1, 100);
        button(Prev, "< &Back");
        button(Next, "&Next >").beside().setDefault(true).onClick = [this] {
            ++nextClicks;
            if (duringNext)
                duringNext();
        };
        button("Cancel", "Cancel").beside().setCancel(true).onClick = [this] { ++cancelClicks; };
    }
    void Form_Load() override {
        ++loads;
        setCaption("Sample Settings");
        Mode[0]->setValue(1);
        Ports->setFocus();
    }
    void Form_QueryUnload(int& cancel, int mode) override {
        queryModes.push_back(mode);
        if (refuseClose && mode == ui::kUnloadUser)
            cancel = 1;
    }

  private:
    std::string picture_;
};

class QtRendererTest : public testing::Test {
  protected:
    std::string writeLogo() const {
        const std::string path = (scratch.path / "sample-logo.png").string();
        QImage logo(48, 24, QImage::Format_RGB32);
        logo.fill(QColor(200, 40, 40));
        EXPECT_TRUE(logo.save(QString::fromStdString(path), "PNG")) << path;
        return path;
    }

    template <class W> W* widget(const ui::ControlRef& c) {
        QWidget* w = host.widget(*c);
        EXPECT_NE(w, nullptr) << c.name();
        W* typed = qobject_cast<W*>(w);
        EXPECT_NE(typed, nullptr) << c.name() << " is a "
                                  << (w ? w->metaObject()->className() : "-");
        return typed;
    }
    void show() {
        h.run([&] { form.Show(); });
        QApplication::processEvents();
    }

    const test_fixtures::TempFolder scratch{"sample-logo"};
    std::string picture = writeLogo();
    testing_support::Harness h;
    uiqt::QtHost host{h.app};
    SampleForm form{h.app, picture};
};

TEST_F(QtRendererTest, EveryControlKindBecomesItsWidget) {
    show();
    struct Case {
        ui::ControlRef control;
        const char* widgetClass;
    };
    const Case cases[] = {
        {form.NameLabel, "QLabel"},     {form.NameText, "QLineEdit"},
        {form.ShowCheck, "QCheckBox"},  {form.Mode[0], "QRadioButton"},
        {form.Wireless, "QGroupBox"},   {form.Channel, "QComboBox"},
        {form.Ports, "QListWidget"},    {form.Shift, "QSlider"},
        {form.Logo, "QLabel"},          {form.Rule, "QFrame"},
        {form.Notes, "QPlainTextEdit"}, {form.Progress, "QProgressBar"},
        {form.Next, "QPushButton"},
    };
    for (const Case& c : cases) {
        QWidget* w = host.widget(*c.control);
        ASSERT_NE(w, nullptr) << c.control.name();
        EXPECT_TRUE(w->inherits(c.widgetClass))
            << c.control.name() << " is " << w->metaObject()->className();
    }
    EXPECT_EQ(host.widget(*form.Timer1), nullptr);

    QWidget* window = host.window(form);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Sample Settings");
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the window has a fixed size";
    // Frames hold their controls; "beside" puts a control right of the one before.
    EXPECT_TRUE(widget<QGroupBox>(form.Wireless)->isAncestorOf(widget<QComboBox>(form.Channel)));
    QRect label = widget<QLabel>(form.NameLabel)->geometry();
    QRect text = widget<QLineEdit>(form.NameText)->geometry();
    EXPECT_GE(text.left(), label.right());
    EXPECT_TRUE(text.top() < label.bottom() && label.top() < text.bottom());
    // A picture that exists is shown; without its file the box shows a printer instead.
    EXPECT_EQ(widget<QLabel>(form.Logo)->pixmap().size(), QSize(48, 24));
    EXPECT_FALSE(widget<QLabel>(form.Missing)->pixmap().isNull());
    // A label's access key goes to the control after it; without one, "&" is not shown.
    EXPECT_EQ(widget<QLabel>(form.NameLabel)->buddy(), widget<QLineEdit>(form.NameText));
    EXPECT_EQ(widget<QPushButton>(form.Next)->text(), "&Next >");
    EXPECT_TRUE(widget<QPushButton>(form.Next)->isDefault());
    // Focus given in Form_Load, before the window existed, holds once it shows.
    EXPECT_EQ(window->focusWidget(), widget<QListWidget>(form.Ports));
}

TEST_F(QtRendererTest, RendersToPngWithoutOverlapOrClipping) {
    show();
    const std::string path = kPngDir + "/SampleDlg.png";
    ASSERT_TRUE(uiqt::renderFormToPng(form, path));
    QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 200);
    EXPECT_GT(image.height(), 200);
    EXPECT_GT(uiqt_test::sampledColours(image), 10u) << "the picture is blank";

    const auto problems = uiqt::checkNoOverlap(form);
    for (const std::string& p : problems)
        ADD_FAILURE() << p;
}

TEST_F(QtRendererTest, RendersAFormThatWasNeverShown) {
    // Later tests render every page this way.
    const std::string path = kPngDir + "/SampleDlg-hidden.png";
    ASSERT_TRUE(uiqt::renderFormToPng(form, path));
    EXPECT_EQ(form.loads, 1);
    EXPECT_FALSE(form.visible());
    EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
    for (const std::string& p : uiqt::checkNoOverlap(form))
        ADD_FAILURE() << p;
}

// A page whose fixed sizes cannot hold its content.
class CrampedForm : public ui::Form {
  public:
    explicit CrampedForm(ui::App& app) : Form(app, "CrampedDlg") {}

  protected:
    void Build() override {
        Control& l = label("Help", "This help text is much too long for the box it was given.");
        l.layout().width = 60;
        l.layout().height = 14;
        button("Next", "A button caption that does not fit").width(30);
    }
};

TEST_F(QtRendererTest, LayoutCheckReportsClippedControls) {
    CrampedForm cramped(h.app);
    const auto problems = uiqt::checkNoOverlap(cramped);
    std::string all;
    for (const std::string& p : problems)
        all += p + "\n";
    ASSERT_EQ(problems.size(), 2u) << all;
    EXPECT_NE(problems[0].find("CrampedDlg.Help is 60x14 but needs"), std::string::npos)
        << problems[0];
    EXPECT_NE(problems[1].find("CrampedDlg.Next is 30x"), std::string::npos) << problems[1];
}

// Rows that share columns, a heading, a picture on a frame's caption, a log.
class LayoutForm : public ui::Form {
  public:
    explicit LayoutForm(ui::App& app) : Form(app, "LayoutDlg") {}

    ui::ControlRef Heading{*this, "Heading"};
    ui::ControlRef Body{*this, "Body"};
    ui::ControlRef Name{*this, "Name"};
    ui::ControlRef Reset{*this, "Reset"};
    ui::ControlRef HelpName{*this, "HelpName"};
    ui::ControlRef Mode{*this, "Mode"};
    ui::ControlRef HelpMode{*this, "HelpMode"};
    ui::ControlRef UnitLabel{*this, "UnitLabel"};
    ui::ControlRef Unit{*this, "Unit"};
    ui::ControlRef Empty{*this, "Empty"};
    ui::ControlRef Box{*this, "Box"};
    ui::ControlRef Icon{*this, "Icon"};
    ui::ControlRef InBox{*this, "InBox"};
    ui::ControlRef Bar{*this, "Bar"};
    ui::ControlRef Log{*this, "Log"};

  protected:
    void Build() override {
        label(Heading, "Settings").asHeading();
        label(Body, "Body text");
        label("NameLabel", "Name:");
        textBox(Name).beside().charsWide(32);
        checkBox(Reset, "Reset the name").beside();
        button(HelpName, "What is this?").beside().atLastColumn();
        label("ModeLabel", "A much longer label:");
        combo(Mode, ComboStyle::DropDownList, {"On", "Off"}).beside();
        button(HelpMode, "What is this?").beside().atLastColumn();
        label(UnitLabel, "Unit:").atColumn(1);
        combo(Unit, ComboStyle::DropDownList, {"inch", "mm"}).beside();
        combo(Empty, ComboStyle::DropDownList, {});
        frame(Box, "         Pictures");
        image(Icon, "").in(Box).onFrameCaption();
        checkBox(InBox, "Inside").in(Box);
        progressBar(Bar);
        textBox(Log).setMultiLine(true).layout().height = 80;
    }
};

class LayoutTest : public QtRendererTest {
  protected:
    LayoutTest() {
        h.run([&] { page.load(); });
        // Rendering lays out the frames too, as showing would.
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        EXPECT_TRUE(uiqt::renderFormToPng(page, kPngDir + "/LayoutDlg-" + test + ".png"));
    }
    QRect at(const ui::ControlRef& c) { return uiqt_test::placeOf(host, c); }
    LayoutForm page{h.app};
};

TEST_F(LayoutTest, RowsShareColumns) {
    for (const std::string& problem : uiqt::checkNoOverlap(page))
        ADD_FAILURE() << problem;
    struct Case {
        ui::ControlRef a, b;
        bool sameWidth;
    };
    const Case cases[] = {
        {page.Name, page.Mode, false},         // fields of one column start together
        {page.UnitLabel, page.Name, false},    // a control moved to a column
        {page.HelpName, page.HelpMode, false}, // the last column, whatever comes before
        {page.Bar, page.Log, true},            // fields alone in their rows
    };
    for (const Case& c : cases) {
        EXPECT_EQ(at(c.a).left(), at(c.b).left()) << c.a.name() << " and " << c.b.name();
        if (c.sameWidth) {
            EXPECT_EQ(at(c.a).width(), at(c.b).width()) << c.a.name() << " and " << c.b.name();
        }
    }
    // A list is as wide as its entries, not as its cell.
    EXPECT_LT(at(page.Mode).right(), at(page.Reset).left());
    EXPECT_LT(at(page.Unit).right(), at(page.HelpName).left());
    EXPECT_EQ(at(page.Bar).right(), at(page.HelpName).right()) << "a field alone spans the columns";
    // A list of short entries is narrower than an empty one, which keeps a usable width.
    auto* unit = host.widget(*page.Unit);
    auto* empty = host.widget(*page.Empty);
    EXPECT_LT(unit->sizeHint().width(), empty->sizeHint().width());
}

TEST_F(LayoutTest, FinishOfTextsPicturesAndLogs) {
    auto* name = qobject_cast<QLineEdit*>(host.widget(*page.Name));
    ASSERT_NE(name, nullptr);
    EXPECT_LE(name->fontMetrics().horizontalAdvance("office-network-floor2-5ghz-ap123"),
              name->contentsRect().width() - 4)
        << "32 characters do not fit";
    const QFont heading = host.widget(*page.Heading)->font();
    const QFont body = host.widget(*page.Body)->font();
    EXPECT_TRUE(heading.bold());
    EXPECT_GT(QFontInfo(heading).pixelSize(), QFontInfo(body).pixelSize());
    // The picture sits on the frame's caption, above the frame's controls.
    auto* icon = qobject_cast<QLabel*>(host.widget(*page.Icon));
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_EQ(icon->parentWidget(), host.widget(*page.Box));
    EXPECT_LT(at(page.Icon).bottom(), at(page.InBox).top());

    // A log shows its last line, also after lines are added.
    auto* log = qobject_cast<QPlainTextEdit*>(host.widget(*page.Log));
    ASSERT_NE(log, nullptr);
    std::string text = "Initializing ....";
    for (int i = 0; i < 30; ++i) {
        text += "\r\nline " + std::to_string(i);
        h.run([&] { page.Log->setText(text); });
        EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum()) << i;
    }
    EXPECT_GT(log->verticalScrollBar()->maximum(), 0);
}

TEST_F(QtRendererTest, ModelChangesShowInTheWidgets) {
    show();
    h.run([&] {
        form.NameText->setText("Printer 1");
        form.NameText->setEnabled(false).setBackColor(ui::kButtonFace);
        form.KeyText->setPasswordChar("");
        form.ShowCheck->setValue(1);
        form.Mode[1]->setValue(1);
        form.Channel->setListIndex(2);
        form.Country->setText("Norway");
        form.Ports->addItem("FILE:");
        form.Ports->setListIndex(3);
        form.Progress->setValue(40);
        form.Shift->setValue(25);
        form.Notes->setText("one\r\ntwo");
        form.Prev->setVisible(false);
        form.Next->setCaption("Finish").setToolTip("Sends the settings.");
        form.NameLabel->setEnabled(false);
    });
    auto* name = widget<QLineEdit>(form.NameText);
    EXPECT_EQ(name->text(), "Printer 1");
    EXPECT_FALSE(name->isEnabled());
    EXPECT_EQ(name->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(widget<QLineEdit>(form.KeyText)->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(widget<QCheckBox>(form.ShowCheck)->isChecked());
    EXPECT_FALSE(widget<QRadioButton>(form.Mode[0])->isChecked());
    EXPECT_TRUE(widget<QRadioButton>(form.Mode[1])->isChecked());
    EXPECT_EQ(widget<QComboBox>(form.Channel)->currentText(), "11");
    EXPECT_EQ(widget<QComboBox>(form.Country)->currentText(), "Norway");
    EXPECT_EQ(widget<QListWidget>(form.Ports)->count(), 4);
    EXPECT_EQ(widget<QListWidget>(form.Ports)->currentRow(), 3);
    EXPECT_EQ(widget<QProgressBar>(form.Progress)->value(), 40);
    EXPECT_EQ(widget<QSlider>(form.Shift)->value(), 25);
    EXPECT_EQ(widget<QPlainTextEdit>(form.Notes)->toPlainText(), "one\ntwo");
    EXPECT_TRUE(widget<QPushButton>(form.Prev)->isHidden());
    EXPECT_EQ(widget<QPushButton>(form.Next)->text(), "Finish");
    EXPECT_EQ(widget<QPushButton>(form.Next)->toolTip(), "Sends the settings.");
    EXPECT_FALSE(widget<QLabel>(form.NameLabel)->isEnabled());
    // Setting values from code ran the handlers once each, and nothing echoed back.
    EXPECT_EQ(form.showClicks, 1);
    EXPECT_EQ(form.channelClicks, 1);
    EXPECT_EQ(form.portClicks, 1);
    EXPECT_EQ(form.shiftChanges, 1);
    EXPECT_EQ(form.nameChanges, 1);
    EXPECT_EQ(form.Ports->listIndex(), 3);
}

TEST_F(QtRendererTest, TextSetByCodeIsNotCutToTheTypingLimit) {
    show();
    h.run([&] { form.KeyText->setText("0123456789"); });
    auto* key = widget<QLineEdit>(form.KeyText);
    EXPECT_EQ(key->text(), "0123456789");
    EXPECT_EQ(key->echoMode(), QLineEdit::Password);
}

TEST_F(QtRendererTest, UserInputReachesTheModel) {
    show();
    auto* name = widget<QLineEdit>(form.NameText);
    QTest::keyClicks(name, "Lab");
    EXPECT_EQ(form.NameText->text(), "Lab");
    EXPECT_EQ(form.nameChanges, 3);

    QTest::mouseClick(widget<QCheckBox>(form.ShowCheck), Qt::LeftButton);
    EXPECT_EQ(form.ShowCheck->value(), 1);
    EXPECT_EQ(form.showClicks, 1);
    QTest::mouseClick(widget<QCheckBox>(form.ShowCheck), Qt::LeftButton);
    EXPECT_EQ(form.ShowCheck->value(), 0);

    // Options of a group: the model keeps exactly one true; a click on the chosen one
    // still clicks but does not clear it.
    QTest::mouseClick(widget<QRadioButton>(form.Mode[1]), Qt::LeftButton);
    EXPECT_TRUE(form.Mode[1]->checked());
    EXPECT_FALSE(form.Mode[0]->checked());
    EXPECT_FALSE(widget<QRadioButton>(form.Mode[0])->isChecked());
    QTest::mouseClick(widget<QRadioButton>(form.Mode[1]), Qt::LeftButton);
    EXPECT_TRUE(widget<QRadioButton>(form.Mode[1])->isChecked());
    EXPECT_EQ(form.optionClicks, 3); // Form_Load's, then two clicks

    auto* channel = widget<QComboBox>(form.Channel);
    QTest::keyClick(channel, Qt::Key_Down);
    EXPECT_EQ(form.Channel->listIndex(), 0);
    EXPECT_EQ(form.Channel->text(), "1");
    EXPECT_EQ(form.channelClicks, 1);
    channel->showPopup();
    EXPECT_EQ(form.dropDowns, 1);
    channel->hidePopup();

    auto* country = widget<QComboBox>(form.Country);
    QTest::keyClicks(country->lineEdit(), "Ca");
    EXPECT_EQ(form.Country->text(), "Ca");
    EXPECT_EQ(form.Country->listIndex(), -1);

    widget<QListWidget>(form.Ports)->setCurrentRow(2);
    EXPECT_EQ(form.Ports->listIndex(), 2);
    EXPECT_EQ(form.portClicks, 1);

    widget<QSlider>(form.Shift)->setValue(30);
    EXPECT_EQ(form.Shift->value(), 30);

    QTest::mouseClick(widget<QLabel>(form.Logo), Qt::LeftButton);
    EXPECT_EQ(form.logoClicks, 1);

    QTest::mouseClick(widget<QPushButton>(form.Next), Qt::LeftButton);
    EXPECT_EQ(form.nextClicks, 1);
}

TEST_F(QtRendererTest, DisabledControlsKeepTheModelValue) {
    show();
    h.run([&] { form.ShowCheck->setEnabled(false); });
    widget<QCheckBox>(form.ShowCheck)->click(); // refused by Qt already
    h.run([&] { form.Ports->setEnabled(false); });
    // Even if a widget changes, the model refuses and the widget shows the model again.
    widget<QListWidget>(form.Ports)->setCurrentRow(1);
    EXPECT_EQ(form.Ports->listIndex(), -1);
    EXPECT_EQ(widget<QListWidget>(form.Ports)->currentRow(), -1);
    EXPECT_EQ(form.ShowCheck->value(), 0);
}

TEST_F(QtRendererTest, KeyPressHandlerFiltersTypedKeys) {
    show();
    auto* key = widget<QLineEdit>(form.KeyText);
    QTest::keyClicks(key, "1a2-3");
    EXPECT_EQ(form.KeyText->text(), "123");
    QTest::keyClick(key, Qt::Key_Backspace);
    EXPECT_EQ(form.KeyText->text(), "12");
    QTest::keyClicks(key, "345678901");
    EXPECT_EQ(form.KeyText->text(), "12345678") << "typing stops at the maximum length";
}

TEST_F(QtRendererTest, TypingKeepsTheCaretAndTheSelection) {
    show();
    for (const auto& field : {form.NameText, form.KeyText}) {
        auto* edit = widget<QLineEdit>(field);
        QTest::keyClicks(edit, "1234");
        edit->setCursorPosition(2);
        QTest::keyClicks(edit, "98");
        EXPECT_EQ(field->text(), "129834") << field.name() << ": typed where the caret is";
    }
    auto* name = widget<QLineEdit>(form.NameText);
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, "xy");
    EXPECT_EQ(form.NameText->text(), "xy") << "typing replaces the selected text";
}

// The widget keeps the model's limit, in characters: a pasted run keeps what fits, where the
// caret was, and a character outside UTF-16's first plane (two units) counts one.
TEST_F(QtRendererTest, LengthLimitCountsCharacters) {
    show();
    h.run([&] { form.NameText->setMaxLength(4).setText("ab"); });
    auto* name = widget<QLineEdit>(form.NameText);
    name->setCursorPosition(1);
    name->insert(QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80"));
    EXPECT_EQ(form.NameText->text(), "a\xF0\x9F\x98\x80\xF0\x9F\x98\x80"
                                     "b");
    EXPECT_EQ(name->text().toStdString(), form.NameText->text());
    EXPECT_EQ(name->cursorPosition(), 5) << "the caret follows the kept part";
}

QAccessibleInterface* accessible(QWidget* w) {
    QAccessibleInterface* a = w ? QAccessible::queryAccessibleInterface(w) : nullptr;
    EXPECT_TRUE(a && a->actionInterface());
    return a;
}

// What a screen reader does acts as the user's click or typing: the model changes and the
// handler runs.
TEST_F(QtRendererTest, AccessibilityActionsReachTheModel) {
    show();
    const QString toggle = QAccessibleActionInterface::toggleAction();
    accessible(widget<QCheckBox>(form.ShowCheck))->actionInterface()->doAction(toggle);
    EXPECT_EQ(form.ShowCheck->value(), 1);
    EXPECT_EQ(form.showClicks, 1);
    // The second time on the chosen option, which stays chosen, as a radio button's toggle
    // does.
    for (int i = 0; i < 2; ++i)
        accessible(widget<QRadioButton>(form.Mode[1]))->actionInterface()->doAction(toggle);
    EXPECT_TRUE(form.Mode[1]->checked());
    EXPECT_FALSE(form.Mode[0]->checked()) << "options stay exclusive";
    EXPECT_TRUE(widget<QRadioButton>(form.Mode[1])->isChecked());
    EXPECT_FALSE(widget<QRadioButton>(form.Mode[0])->isChecked());
    EXPECT_EQ(form.optionClicks, 2); // Form_Load's, then the toggle that chose it

    QAccessibleInterface* name = accessible(widget<QLineEdit>(form.NameText));
    name->setText(QAccessible::Value, "Lab");
    name->editableTextInterface()->insertText(3, "el");
    EXPECT_EQ(form.NameText->text(), "Label");
    accessible(widget<QLineEdit>(form.KeyText))->setText(QAccessible::Value, "0123456789");
    EXPECT_EQ(form.KeyText->text(), "01234567") << "the limit holds here too";
    accessible(widget<QComboBox>(form.Country)->lineEdit())->setText(QAccessible::Value, "Norway");
    QApplication::processEvents();
    EXPECT_EQ(form.Country->text(), "Norway");
}

TEST_F(QtRendererTest, MultiLineTextKeepsCrLfInTheModel) {
    show();
    auto* notes = widget<QPlainTextEdit>(form.Notes);
    notes->setFocus();
    QTest::keyClicks(notes, "a");
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClicks(notes, "b");
    EXPECT_EQ(form.Notes->text(), "a\r\nb");
}

TEST_F(QtRendererTest, CloseBoxAsksTheModelWithModeZero) {
    show();
    form.refuseClose = true;
    host.window(form)->close();
    ASSERT_EQ(form.queryModes, std::vector<int>{ui::kUnloadUser});
    EXPECT_TRUE(form.loaded());
    EXPECT_TRUE(host.window(form)->isVisible()) << "the page refused to close";

    form.refuseClose = false;
    QWidget* old = host.window(form);
    old->close();
    EXPECT_EQ(form.queryModes, (std::vector<int>{ui::kUnloadUser, ui::kUnloadUser}));
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(old->isVisible());
    EXPECT_EQ(host.window(form), nullptr);
    host.collectRetired();

    // The next use builds a new window from a fresh Form_Load.
    show();
    EXPECT_EQ(form.loads, 2);
    EXPECT_NE(host.window(form), nullptr);
    EXPECT_TRUE(widget<QRadioButton>(form.Mode[0])->isChecked());
    h.run([&] { form.Unload(); });
    EXPECT_EQ(form.queryModes.back(), ui::kUnloadCode);
}

TEST_F(QtRendererTest, EnterAndEscapePressTheDefaultAndCancelButtons) {
    show();
    QWidget* window = host.window(form);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(form.cancelClicks, 1);
    EXPECT_TRUE(form.loaded());
    auto* name = widget<QLineEdit>(form.NameText);
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(form.nextClicks, 1);
    // Another button with the focus does not take Enter for itself; Tab goes on in the
    // model's order, and the window follows.
    auto* back = widget<QPushButton>(form.Prev);
    back->setFocus();
    QTest::keyClick(back, Qt::Key_Return);
    EXPECT_EQ(form.nextClicks, 2);
    QTest::keyClick(back, Qt::Key_Tab);
    EXPECT_EQ(window->focusWidget(), widget<QPushButton>(form.Next));
    EXPECT_EQ(form.focused(), &*form.Next);
}

// A page whose buttons are all plain: Enter in a field presses none of them.
class NoDefaultForm : public ui::Form {
  public:
    explicit NoDefaultForm(ui::App& app) : Form(app, "PlainDlg") {}
    int clicks = 0;
    int enters = 0;
    ui::ControlRef Field{*this, "Field"};
    ui::ControlRef Address{*this, "Address"};
    ui::ControlRef Prev{*this, "Prev"};

  protected:
    void Build() override {
        textBox(Field);
        textBox(Address).onKeyPress = [this](int& key) {
            if (key == 13) {
                key = 0;
                ++enters;
            }
        };
        button(Prev, "< Back").onClick = [this] { ++clicks; };
        button("Next", "Next >").beside().onClick = [this] { ++clicks; };
    }
};

TEST_F(QtRendererTest, EnterPressesNoButtonWithoutADefault) {
    NoDefaultForm plain(h.app);
    h.run([&] { plain.Show(); });
    QWidget* field = host.widget(*plain.Field);
    ASSERT_NE(field, nullptr);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(plain.clicks, 0);
    EXPECT_FALSE(qobject_cast<QPushButton*>(host.widget(*plain.Prev))->isDefault());
    // Without a default button, Enter reaches the field's own key handler.
    QTest::keyClick(host.widget(*plain.Address), Qt::Key_Return);
    EXPECT_EQ(plain.enters, 1);
    EXPECT_EQ(plain.clicks, 0);
}

// Keys typed while a click's handler still runs (its wait lets events run) wait for it: they
// act after it, not in the middle of it.
TEST_F(QtRendererTest, KeysTypedWhileAHandlerRunsWaitForIt) {
    show();
    QWidget* name = widget<QLineEdit>(form.NameText);
    int cancelsInside = -1;
    form.duringNext = [&] {
        for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(name, new QKeyEvent(t, Qt::Key_Escape, {}, "\x1b"));
        for (int i = 0; i < 5; ++i)
            h.app.DoEvents();
        cancelsInside = form.cancelClicks;
    };
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.cancelClicks == 1; }, 2000));
    EXPECT_EQ(cancelsInside, 0);
}

TEST_F(QtRendererTest, HideAndShowFollowTheModel) {
    show();
    QWidget* window = host.window(form);
    h.run([&] { form.Hide(); });
    EXPECT_FALSE(window->isVisible());
    h.run([&] { form.Show(); });
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(host.window(form), window) << "a hidden page keeps its window";
}

// A page whose timer ends the program, or unloads the page, after some ticks.
class TimedForm : public ui::Form {
  public:
    TimedForm(ui::App& app, bool end) : Form(app, "TimedDlg"), end_(end) {}
    int ticks = 0;

  protected:
    void Build() override {
        label("Status", "Working...");
        timer("Timer1", 20, true).onTimer = [this] {
            if (++ticks < 3)
                return;
            if (end_)
                this->app().End();
            Unload();
        };
    }

  private:
    bool end_;
};

TEST(QtProgramLoop, EndsWhenTheProgramEndsOrNoPageIsLeft) {
    for (bool end : {true, false}) {
        ui::RealClock clock;
        testing_support::ScriptedMessageBoxes boxes;
        testing_support::ScriptedFileBrowser browser;
        ui::App app(clock, boxes, browser);
        uiqt::QtHost host(app);
        TimedForm form(app, end);
        app.dispatch([&] { form.Show(); });
        // A guard against a loop that never ends.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(5000);
        EXPECT_EQ(uiqt::runQtProgram(app, host), 0) << (end ? "End" : "Unload");
        EXPECT_EQ(form.ticks, 3);
        EXPECT_EQ(app.ended(), end);
        EXPECT_FALSE(form.loaded() && host.window(form)->isVisible());
    }
}

// An About box: shown modally, its OK hides it.
class ModalForm : public ui::Form {
  public:
    explicit ModalForm(ui::App& app) : Form(app, "frmAbout") {}
    ui::ControlRef OK{*this, "OK"};

  protected:
    void Build() override {
        label("Title", "About");
        button(OK, "OK").onClick = [this] { Hide(); };
    }
};

// A page that counts the ticks of a fast timer.
class TickingForm : public ui::Form {
  public:
    explicit TickingForm(ui::App& app) : Form(app, "TickingDlg") {}
    int ticks = 0;

  protected:
    void Build() override {
        timer("Timer1", 5, true).onTimer = [this] { ++ticks; };
    }
};

class QtRealTimeTest : public testing::Test {
  protected:
    ui::RealClock clock;
    testing_support::ScriptedMessageBoxes boxes;
    testing_support::ScriptedFileBrowser browser;
    ui::App app{clock, boxes, browser};
    uiqt::QtHost host{app};
};

TEST_F(QtRealTimeTest, ModalShowReturnsWhenTheUserClosesTheBox) {
    ModalForm about(app);
    bool wasModal = false;
    QTimer::singleShot(50, [&] {
        QWidget* window = host.window(about);
        wasModal = window && window->isVisible() && window->isModal();
        if (auto* ok = qobject_cast<QPushButton*>(host.widget(*about.OK)))
            ok->click();
    });
    app.dispatch([&] { about.ShowModal(); });
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(about.visible());
    EXPECT_FALSE(host.window(about)->isVisible());
}

TEST_F(QtRealTimeTest, ModelTimersWaitWhileAQtBoxIsOpen) {
    TickingForm page(app);
    app.dispatch([&] { page.Show(); });
    host.startPump(1);
    int ticksWhenOpened = -1;
    int ticksWhenClosing = -1;
    QTimer::singleShot(30, [&] {
        ticksWhenOpened = page.ticks;
        QTimer::singleShot(100, [&] {
            ticksWhenClosing = page.ticks;
            if (auto* box = QApplication::activeModalWidget())
                box->close();
        });
    });
    // The box opens from a model event, as the pages open theirs.
    app.post([&] {
        uiqt::QtMessageBoxes qtBoxes;
        qtBoxes.show({"Please wait", ui::mb::Information, "Notice"});
    });
    QElapsedTimer spent;
    spent.start();
    while (ticksWhenClosing < 0 && spent.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    host.stopPump();
    ASSERT_GE(ticksWhenClosing, 0);
    EXPECT_EQ(ticksWhenClosing, ticksWhenOpened) << "a model timer ran under the box";
}

TEST(QtTextHelpers, AccessKeysAndLineEnds) {
    struct Case {
        const char* caption;
        const char* shown;
    };
    const Case cases[] = {{"&Next >", "Next >"},
                          {"< &Back", "< Back"},
                          {"Save && Exit", "Save & Exit"},
                          {"Plain", "Plain"},
                          {"Trailing&", "Trailing"}};
    for (const Case& c : cases)
        EXPECT_EQ(uiqt::stripAccessKeys(c.caption), c.shown) << c.caption;
    EXPECT_EQ(uiqt::toDisplayLines("a\r\nb\r\n"), "a\nb\n");
    EXPECT_EQ(uiqt::fromDisplayLines("a\nb\r\nc"), "a\r\nb\r\nc");
}

} // namespace
