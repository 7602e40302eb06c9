#include "tests/support/Harness.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

using testing_support::Harness;

namespace {

// A page with one of each kind that matters for the rules, counting its events.
class SamplePage : public ui::Form {
  public:
    explicit SamplePage(ui::App& app) : ui::Form(app, "SamplePage") {}

    int loads = 0;
    int clicks = 0;
    int changes = 0;
    int listClicks = 0;
    int okClicks = 0;
    int cancelClicks = 0;
    std::vector<int> queryModes;
    int keepMe = 0; // a page-level variable
    bool cancelClose = false;
    std::function<void()> during; // runs inside the OK and Cancel buttons' handlers

    ui::ControlRef Name{*this, "Name"};
    ui::ControlRef Check1{*this, "Check1"};
    ui::ControlRef Opt{*this, "Opt"};
    ui::ControlRef Frame1{*this, "Frame1"};
    ui::ControlRef Other{*this, "Other"};
    ui::ControlRef List{*this, "List"};
    ui::ControlRef OK{*this, "OK"};
    ui::ControlRef Cancel{*this, "Cancel"};

  protected:
    void Build() override {
        setCaption("Sample");
        textBox(Name).setMaxLength(5).onChange = [this] { ++changes; };
        checkBox(Check1[0], "&First").onClick = [this] { ++clicks; };
        checkBox(Check1[1], "&Second").onClick = [this] { ++clicks; };
        option(Opt[0], "A").onClick = [this] { ++clicks; };
        option(Opt[1], "B").onClick = [this] { ++clicks; };
        frame(Frame1, "Other group");
        option(Other[0], "C").in(Frame1);
        combo(List, ui::ComboStyle::DropDownList, {"one", "two", "three"}).onClick = [this] {
            ++listClicks;
        };
        button(OK, "OK").setDefault(true).onClick = [this] {
            ++okClicks;
            if (during)
                during();
        };
        button(Cancel, "Cancel").beside().setCancel(true).onClick = [this] {
            ++cancelClicks;
            if (during)
                during();
        };
    }
    void Form_Load() override {
        ++loads;
        Opt[0]->setValue(1);
    }
    void Form_QueryUnload(int& cancel, int mode) override {
        queryModes.push_back(mode);
        if (cancelClose && mode == ui::kUnloadUser)
            cancel = 1;
    }
};

TEST(FormModel, WindowIsCreatedOnFirstUseAndAgainAfterUnload) {
    Harness h;
    SamplePage page(h.app);
    page.keepMe = 42;
    EXPECT_FALSE(page.loaded());
    EXPECT_EQ(page.loads, 0);

    // Reading a control creates the window and runs Form_Load, without showing it.
    EXPECT_EQ(page.Name->text(), "");
    EXPECT_TRUE(page.loaded());
    EXPECT_FALSE(page.visible());
    EXPECT_EQ(page.loads, 1);

    page.Name->setText("abc");
    page.Show();
    EXPECT_EQ(page.loads, 1) << "Show of a loaded page does not load again";

    page.Unload();
    EXPECT_FALSE(page.loaded());
    EXPECT_EQ(page.keepMe, 42) << "page variables survive an unload";
    EXPECT_EQ(page.Name->text(), "") << "a new window starts from its defaults";
    EXPECT_EQ(page.loads, 2);
}

TEST(FormModel, UnloadingAWindowThatDoesNotExistDoesNothing) {
    Harness h;
    SamplePage page(h.app);
    page.Unload();
    EXPECT_FALSE(page.loaded());
    EXPECT_TRUE(page.queryModes.empty());
}

TEST(FormModel, CloseBoxAndCodeUnloadPassTheirModes) {
    Harness h;
    SamplePage page(h.app);
    page.Show();
    page.cancelClose = true;
    h.close(page);
    EXPECT_TRUE(page.visible()) << "Form_QueryUnload cancelled the close";
    page.cancelClose = false;
    h.close(page);
    EXPECT_FALSE(page.loaded());
    page.Show();
    page.Unload();
    EXPECT_EQ(page.queryModes,
              (std::vector<int>{ui::kUnloadUser, ui::kUnloadUser, ui::kUnloadCode}));
}

TEST(FormModel, ValuesSetFromCodeRunTheUsersHandlersOnlyOnChange) {
    Harness h;
    SamplePage page(h.app);
    page.Show();
    int clicksAfterLoad = page.clicks; // Form_Load chose option 0
    EXPECT_EQ(clicksAfterLoad, 1);

    page.Check1[1]->setValue(1);
    page.Check1[1]->setValue(1);
    EXPECT_EQ(page.clicks, clicksAfterLoad + 1);

    page.Name->setText("x");
    page.Name->setText("x");
    EXPECT_EQ(page.changes, 1);

    EXPECT_TRUE(page.List->setListIndex(2));
    EXPECT_EQ(page.List->text(), "three");
    EXPECT_EQ(page.listClicks, 1);
    EXPECT_FALSE(page.List->setListIndex(3)) << "an index beyond the list is refused";
    EXPECT_FALSE(page.List->setListIndex(-2));
    EXPECT_EQ(page.List->listIndex(), 2);
    EXPECT_EQ(page.listClicks, 1);
}

TEST(FormModel, OptionButtonsFormGroupsPerContainer) {
    Harness h;
    SamplePage page(h.app);
    page.Show();
    page.Other[0]->setValue(1);
    EXPECT_EQ(page.Opt[0]->value(), 1) << "an option in a frame is its own group";
    h.click(page.Opt[1]);
    EXPECT_EQ(page.Opt[0]->value(), 0);
    EXPECT_EQ(page.Opt[1]->value(), 1);
    EXPECT_EQ(page.Other[0]->value(), 1);
}

TEST(FormModel, TypingHonoursMaxLengthButCodeDoesNot) {
    Harness h;
    SamplePage page(h.app);
    page.Show();
    h.type(page.Name, "abcdefgh");
    EXPECT_EQ(page.Name->text(), "abcde");
    page.Name->setText("longer than five");
    EXPECT_EQ(page.Name->text(), "longer than five");
}

// A read-only box (a log) takes no edit of the user's, typed or whole; the program still
// writes it, and its change handler runs for that.
TEST(FormModel, ReadOnlyTextTakesOnlyTheProgramsText) {
    Harness h;
    SamplePage page(h.app);
    page.Show();
    page.Name->setText("log").setReadOnly(true);
    const int changes = page.changes;
    h.type(page.Name, "xyz");
    h.setText(page.Name, "xyz");
    EXPECT_EQ(page.Name->text(), "log");
    EXPECT_EQ(page.changes, changes);
    page.Name->setText("log2");
    EXPECT_EQ(page.Name->text(), "log2");
    EXPECT_EQ(page.changes, changes + 1);
}

// The limit counts characters: what an edit inserts is kept as far as it fits, whole
// characters only, in typing and in whole-text edits alike.
TEST(FormModel, LengthLimitCountsCharacters) {
    const std::string e = "\xC3\xA9", euro = "\xE2\x82\xAC", smile = "\xF0\x9F\x98\x80";
    struct Case {
        std::string before, after;
        int limit;
        std::string kept;
    };
    const Case cases[] = {
        {"abcde", "abcdef", 5, "abcde"},          // full: refused
        {"ae", "aXYZe", 4, "aXYe"},               // pasted in the middle
        {"", euro + euro + euro, 2, euro + euro}, // never half a character
        {"", smile + smile, 1, smile},
        {"abcdef", "abcdefg", 4, "abcdef"}, // longer text set by code
        {"abcdef", "abXf", 4, "abXf"},      // ... may shrink
        {"abcdef", "abXYZWf", 4, "abXYZf"}, // ... but not grow
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::fitEdit(c.before, c.after, c.limit), c.kept) << c.after << " / " << c.limit;

    Harness h;
    SamplePage page(h.app);
    page.Show();
    std::vector<int> keys;
    page.Name->onKeyPress = [&](int& k) { keys.push_back(k); };
    h.type(page.Name, e + e + "\b" + euro);
    EXPECT_EQ(page.Name->text(), e + euro) << "Backspace takes a whole character";
    EXPECT_EQ(keys, (std::vector<int>{0xE9, 0xE9, 8, 0x20AC})) << "a key is a character";
}

TEST(FormModel, KeyPressCanDropKeys) {
    Harness h;
    SamplePage page(h.app);
    page.Show();
    page.Name->onKeyPress = [](int& k) {
        if (k < '0' || k > '9')
            k = 0;
    };
    h.type(page.Name, "1a2b");
    EXPECT_EQ(page.Name->text(), "12");
}

// The keyboard as every form gives it meaning, headless.
TEST(FormModel, KeysMoveTheFocusAndPressTheFormsButtons) {
    using ui::Key;
    Harness h;
    SamplePage page(h.app);
    h.run([&] { page.Show(); });
    EXPECT_EQ(Harness::focusOf(page), "Name") << "a shown form opens on its first field";
    // Tab visits a group of options at its chosen one only; a group without a choice at
    // its first; it wraps at the end.
    const std::pair<Key, const char*> walk[] = {
        {Key::Tab, "Check1(0)"}, {Key::Tab, "Check1(1)"}, {Key::Tab, "Opt(0)"},
        {Key::Tab, "Other(0)"},  {Key::Tab, "List"},      {Key::Tab, "OK"},
        {Key::Tab, "Cancel"},    {Key::Tab, "Name"},      {Key::BackTab, "Cancel"},
    };
    for (const auto& [key, expected] : walk) {
        h.key(page, key);
        EXPECT_EQ(Harness::focusOf(page), expected);
    }
    // Arrows move the choice within the group, round its ends, clicking as they go.
    page.Opt[0]->setFocus();
    const int clicks = page.clicks;
    h.key(page, Key::Down);
    EXPECT_TRUE(page.Opt[1]->checked());
    EXPECT_EQ(Harness::focusOf(page), "Opt(1)");
    h.key(page, Key::Right);
    EXPECT_TRUE(page.Opt[0]->checked());
    EXPECT_EQ(page.clicks, clicks + 2);
    // A control that goes takes the focus on to the next.
    page.Check1[0]->setFocus();
    page.Check1[0]->setEnabled(false);
    EXPECT_EQ(Harness::focusOf(page), "Check1(1)");
    // Enter presses the forward button, unless the field with the focus takes it itself.
    h.key(page, Key::Enter);
    EXPECT_EQ(page.okClicks, 1);
    page.Name->onKeyPress = [](int& key) {
        if (key == 13)
            key = 0;
    };
    page.Name->setFocus();
    h.key(page, Key::Enter);
    EXPECT_EQ(page.okClicks, 1);
    h.key(page, Key::Escape);
    EXPECT_EQ(page.cancelClicks, 1);
    // Shown again, the form opens on its first field; a field the code chose stays.
    h.run([&] {
        page.Hide();
        page.Show();
    });
    EXPECT_EQ(Harness::focusOf(page), "Name");
    h.run([&] {
        page.Hide();
        page.List->setFocus();
        page.Show();
    });
    EXPECT_EQ(Harness::focusOf(page), "List");
}

// Rows of buttons as a welcome page and a finish page declare them.
class ButtonRowsPage : public ui::Form {
  public:
    explicit ButtonRowsPage(ui::App& app) : ui::Form(app, "ButtonRowsPage") {}

  protected:
    void Build() override {
        textBox("Name");
        button("About", "About");
        button("Exit", "Exit").beside().setCancel(true);
        button("Next", "Next >").beside().setDefault(true);
        button("Back", "< Back").asBack();
        button("Finish", "Finish").beside().setDefault(true);
        button("Quit", "Exit").beside().setCancel(true);
        button("SaveExit", "Save and Exit").beside();
    }
};

// Tab goes through a row of buttons as it is drawn, left to right: its other buttons, then
// Back, the forward and the cancel button.
TEST(FormModel, TabFollowsButtonRowsAsDrawn) {
    using ui::Key;
    Harness h;
    ButtonRowsPage page(h.app);
    h.run([&] { page.Show(); });
    const std::pair<Key, const char*> walk[] = {
        {Key::Tab, "About"},      {Key::Tab, "Next"}, {Key::Tab, "Exit"},
        {Key::Tab, "SaveExit"},   {Key::Tab, "Back"}, {Key::Tab, "Finish"},
        {Key::Tab, "Quit"},       {Key::Tab, "Name"}, {Key::BackTab, "Quit"},
        {Key::BackTab, "Finish"},
    };
    for (const auto& [key, expected] : walk) {
        h.key(page, key);
        EXPECT_EQ(Harness::focusOf(page), expected);
    }
}

TEST(FormModel, UnknownControlIsAProgrammingError) {
    Harness h;
    SamplePage page(h.app);
    EXPECT_THROW(*page.Check1[7], std::logic_error);
    EXPECT_EQ(page.unbuiltMembers(), std::vector<std::string>{});
    ui::ControlRef leftBehind(page, "Gone");
    page.Unload();
    EXPECT_EQ(page.unbuiltMembers(), std::vector<std::string>{"Gone"});
}

TEST(FormModel, AFormMayUnloadItselfInsideItsOwnHandler) {
    Harness h;
    SamplePage page(h.app);
    page.Show();
    page.OK->onClick = [&] {
        page.Unload();
        page.keepMe = 7; // still running after the window went
    };
    h.click(page.OK);
    EXPECT_FALSE(page.loaded());
    EXPECT_EQ(page.keepMe, 7);
}

// ---- input while a user action of the form waits ----

// A second of waiting as the wizards wait (for the spooler, a lookup, a program): events run.
void waitASecond(ui::App& app) {
    for (const std::int64_t end = app.now() + 1000; app.now() < end; app.Sleep(10))
        app.DoEvents();
}

// What the user's input may change on the page.
std::string stateOf(SamplePage& p) {
    std::ostringstream s;
    s << "ok " << p.okClicks << ", cancel " << p.cancelClicks << ", closes";
    for (int mode : p.queryModes)
        s << ' ' << mode;
    s << ", clicks " << p.clicks << ", check " << p.Check1[0]->value() << ", B "
      << p.Opt[1]->value() << ", text '" << p.Name->text() << "' " << p.changes << ", list "
      << p.List->listIndex() << ' ' << p.listClicks << ", focus " << Harness::focusOf(p);
    return s.str();
}

struct InputCase {
    const char* name;
    std::function<void(Harness&, SamplePage&)> input;
    // What an input that acts changes (from, to); none: the input is dropped.
    std::pair<std::string, std::string> acts = {};
};

void PrintTo(const InputCase& c, std::ostream* os) {
    *os << c.name;
}

class InputWhileOkWaits : public ::testing::TestWithParam<InputCase> {};

// While OK's handler waits, input that would start another action of the page is dropped;
// the way out (the cancel button, Escape, the close box) and the focus keys still act.
TEST_P(InputWhileOkWaits, ActsOnlyWhenItLeadsOutOrMovesTheFocus) {
    Harness h;
    SamplePage page(h.app);
    h.run([&] {
        page.Show();
        page.Opt[0]->setFocus();
    });
    page.during = [&] { waitASecond(h.app); };
    page.cancelClose = true; // a close asks and stays
    std::string before, after;
    h.later(100, [&] {
        before = stateOf(page);
        GetParam().input(h, page);
        after = stateOf(page);
    });
    h.click(page.OK);
    const auto& [from, to] = GetParam().acts;
    EXPECT_EQ(from.empty() ? before : before.replace(before.find(from), from.size(), to), after);
    EXPECT_EQ(1, page.okClicks);
    // Once the action has ended the page takes input again.
    page.during = nullptr;
    h.click(page.OK);
    EXPECT_EQ(2, page.okClicks);
}

using ui::Key;
using H = Harness;
using P = SamplePage;

INSTANTIATE_TEST_SUITE_P(
    Inputs, InputWhileOkWaits,
    ::testing::Values(
        InputCase{"Enter", [](H& h, P& p) { h.key(p, Key::Enter); }},
        InputCase{"CheckBox", [](H& h, P& p) { h.click(p.Check1[0]); }},
        InputCase{"Option", [](H& h, P& p) { h.click(p.Opt[1]); }},
        InputCase{"OptionByArrow", [](H& h, P& p) { h.key(p, Key::Down); }},
        InputCase{"TypedText", [](H& h, P& p) { h.type(p.Name, "ab"); }},
        InputCase{"ListPick",
                  [](H& h, P& p) { h.run([&] { EXPECT_FALSE(p.List->userSelect(1)); }); }},
        InputCase{"Escape", [](H& h, P& p) { h.key(p, Key::Escape); }, {"cancel 0", "cancel 1"}},
        InputCase{"CloseBox", [](H& h, P& p) { h.close(p); }, {"closes", "closes 0"}},
        InputCase{
            "Tab", [](H& h, P& p) { h.key(p, Key::Tab); }, {"focus Opt(0)", "focus Other(0)"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The cancel button too runs its handler once at a time.
TEST(FormModel, TheCancelButtonIsNotEnteredAgainWhileItsHandlerWaits) {
    Harness h;
    SamplePage page(h.app);
    h.run([&] { page.Show(); });
    page.during = [&] { waitASecond(h.app); };
    h.later(100, [&] { h.click(page.Cancel); });
    h.later(200, [&] { h.key(page, Key::Escape); });
    h.click(page.Cancel);
    EXPECT_EQ(1, page.cancelClicks);
}

} // namespace
