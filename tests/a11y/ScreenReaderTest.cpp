// The wizards' pages as a screen reader reads them: over the accessibility bus of a desktop of
// the test's own, from the pages a page server shows with the Qt renderer.
#include "tests/a11y/BusReader.h"
#include "tests/a11y/PrivateDesktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace a11y_test {
namespace {

// What a reader must find on a page: an object in sight of this role and name, labelled so
// (nullptr: however), in this state.
enum Is { Any, Checked, Unchecked, ReadOnly, Editable };
struct Finds {
    const char* role;
    const char* name;
    const char* label = nullptr;
    Is is = Any;
};

// A page in a state, and what is read on it.
struct Page {
    const char* test;
    const char* state; // the page server's
    const char* title;
    std::vector<Finds> finds;
    const char* command = nullptr; // sent to the server before reading
};

void PrintTo(const Page& p, std::ostream* os) {
    *os << p.test;
}

const char* const kSaveQuestion =
    "Your configuration settings for the network adapter are about to be sent to the printer. "
    "Would you like to save your entries to a file for future reference?";
const char* const kAdapterQuestion =
    "Please specify the network interface adapter to be configured.";

const Page kPages[] = {
    {"KestrelPorts",
     "kestrel-port",
     "Printer Port Selection",
     {{"radio button", "Parallel Print Port", nullptr, Checked},
      {"combo box", "LPT1:", "Parallel Print Port"},
      {"radio button", "Serial Port", nullptr, Unchecked},
      {"combo box", "COM1:", "Serial Port"},
      {"combo box", "USB001", "USB"},
      {"text", "IP Address:", "IP Address:", Editable},
      {"text", "Full Path and File  Name:", "Full Path and File  Name:", Editable}}},
    {"KestrelStartOrLoad",
     "kestrel:LoadDlg",
     "Load Wizard Settings",
     {{"radio button", "Start New", nullptr, Checked},
      {"radio button", "Load Previously Saved Wizard Settings", nullptr, Unchecked}}},
    {"KestrelAdapterGroup",
     "kestrel:WiredDlg",
     "Configure Network Settings",
     {{"panel", kAdapterQuestion, kAdapterQuestion},
      {"radio button", "Wired", "", Checked},
      {"radio button", "Wireless", "", Unchecked},
      {"text", "Subnet Mask:", "Subnet Mask:"}}},
    {"KestrelSaveQuestion",
     "kestrel:FinishDialog",
     "Send Wizard Settings",
     {{"panel", kSaveQuestion, kSaveQuestion},
      {"radio button", "Yes", "", Checked},
      {"radio button", "No", "", Unchecked}}},
    {"KestrelProgressLog",
     "kestrel:ProgressDlg",
     "Progress Monitor",
     {{"progress bar", "Progress Meter:", "Progress Meter:"},
      {"text", "Status Log:", "Status Log:", ReadOnly}}},
    {"OspreyProgressLog",
     "osprey:ProgressDlg",
     "Progress Monitor",
     {{"text", "Status Log:", "Status Log:", ReadOnly}}},
    {"OspreyFinish",
     "osprey:FinishDialog",
     "Send Wizard Settings",
     {{"check box", "Ignore Save Settings to Printer Configuration", nullptr, Checked},
      {"combo box", "Configuration 1", "Save Settings to Printer Configuration"},
      {"combo box", "Factory", "Set Power-Up Configuration to"}}},
    {"OspreyLoadedSetupPage1",
     "osprey-loaded",
     "Printer Setup - Page 1",
     {{"panel", "Media Setup"},
      {"check box", "Ignore Print Mode", nullptr, Unchecked},
      {"text", "*Label Length:", nullptr, Editable}}},
    {"OspreyLoadedSetupPage2",
     "osprey-loaded",
     "Printer Setup - Page 2",
     {{"check box", "Ignore Print Speed", nullptr, Unchecked},
      {"slider", "Horizontal Image Shift:", "Horizontal Image Shift:"},
      {"combo box", "inch", "Horizontal Image Shift:"},
      {"combo box", "inch", "Vertical Image Shift:"}},
     "show PrinterSetup"},
    {"OspreyCustomSizes",
     "osprey-loaded",
     "Custom Form Definition",
     {{"text", "Width in inches", "", Editable}, {"text", "Width in mm", "", Editable}},
     "show CustomDialog"},
};

// Whether `r` is what `f` asks for.
bool matches(const Read& r, const Finds& f) {
    if (r.role != f.role || r.name != f.name || !r.showing)
        return false;
    return !f.label || r.label == f.label;
}

bool inState(const Read& r, Is is) {
    switch (is) {
    case Any:
        return true;
    case Checked:
        return r.checked;
    case Unchecked:
        return !r.checked;
    case ReadOnly:
        return r.readOnly && !r.editable;
    case Editable:
        return r.editable && !r.readOnly;
    }
    return false;
}

// What holds for every object a reader reaches on any page: no name or label with blanks
// around it; every list labelled, and named after one of its entries; a field named; a frame
// of options named after what they answer.
void expectReadable(const Read& window, const std::string& page) {
    auto trimmed = [](const std::string& s) {
        return s.empty() || (s.front() != ' ' && s.back() != ' ');
    };
    window.walk([&](const Read& r, const Read* parent) {
        if (!r.showing)
            return;
        const std::string what = page + ": " + r.role + " '" + r.name + "'";
        EXPECT_TRUE(trimmed(r.name)) << what << " has blanks around its name";
        EXPECT_TRUE(trimmed(r.label)) << what << " has blanks around its label";
        if (r.role == "combo box") {
            EXPECT_FALSE(r.label.empty()) << what << " tells no label";
            std::vector<std::string> entries;
            for (const Read& child : r.children)
                for (const Read& item : child.children)
                    if (item.role == "list item")
                        entries.push_back(item.name);
            EXPECT_TRUE(entries.empty() ||
                        std::find(entries.begin(), entries.end(), r.name) != entries.end())
                << what << " does not tell its entry";
        }
        const bool field = r.role == "text" || r.role == "password text" || r.role == "slider" ||
                           r.role == "progress bar";
        if (field && !(parent && parent->role == "combo box")) {
            EXPECT_FALSE(r.name.empty()) << what << " has no name";
        }
        if (r.role == "text" && parent && parent->role == "combo box") {
            EXPECT_EQ(r.name, parent->label) << what << " is not named after its list";
        }
        if (r.role == "radio button" && parent && parent->role == "panel") {
            EXPECT_FALSE(parent->name.empty()) << what << " is in a group without a name";
        }
    });
}

// One desktop and one reader for the whole run: a reader stays with the bus it first found.
class Desktop : public ::testing::Environment {
  public:
    void SetUp() override {
        desktop = std::make_unique<PrivateDesktop>();
        if (desktop->missing().empty()) {
            desktop->enter();
            reader = std::make_unique<BusReader>();
        }
    }
    void TearDown() override {
        reader.reset();
        desktop.reset();
    }
    static std::unique_ptr<PrivateDesktop> desktop;
    static std::unique_ptr<BusReader> reader;
};
std::unique_ptr<PrivateDesktop> Desktop::desktop;
std::unique_ptr<BusReader> Desktop::reader;
[[maybe_unused]] const auto* const kDesktop = ::testing::AddGlobalTestEnvironment(new Desktop);

class ScreenReader : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!Desktop::desktop->missing().empty())
            GTEST_SKIP() << "no desktop to read pages on: " << Desktop::desktop->missing();
        reader_ = Desktop::reader.get();
    }

    // Starts the page server in a state; null (and a failure) when it does not come up.
    static std::unique_ptr<Child> serve(const std::string& state) {
        auto server = std::make_unique<Child>(std::vector<std::string>{PAGE_SERVER, state},
                                              Desktop::desktop->environment());
        if (!server->started() || server->readLine(30000) != "ready") {
            ADD_FAILURE() << "the page server did not show " << state;
            return nullptr;
        }
        return server;
    }
    // The server's answer to a command.
    static std::string ask(Child& server, const std::string& command) {
        server.writeLine(command);
        return server.readLine(10000);
    }
    // The window read over the bus; a failure when it is not there.
    Read window(Child& server, const std::string& title) {
        auto read = reader_->window(server.pid(), title, 15000);
        if (!read) {
            ADD_FAILURE() << "no window '" << title << "' on the bus";
            return {};
        }
        return *read;
    }
    // The objects in sight on a window that `f` finds.
    static std::vector<Read> found(const Read& window, const Finds& f) {
        std::vector<Read> out;
        window.walk([&](const Read& r, const Read*) {
            if (matches(r, f))
                out.push_back(r);
        });
        return out;
    }

    BusReader* reader_ = nullptr;
};

class ScreenReaderPages : public ScreenReader, public ::testing::WithParamInterface<Page> {};

TEST_P(ScreenReaderPages, ReadRolesNamesLabelsAndStates) {
    const Page& page = GetParam();
    auto server = serve(page.state);
    ASSERT_TRUE(server);
    if (page.command) {
        ASSERT_EQ(ask(*server, page.command), "done");
    }
    const Read read = window(*server, page.title);
    for (const Finds& f : page.finds) {
        const auto hits = found(read, f);
        EXPECT_FALSE(hits.empty()) << page.test << ": no " << f.role << " '" << f.name << "'"
                                   << (f.label ? std::string(" labelled '") + f.label + "'" : "");
        for (const Read& hit : hits)
            EXPECT_TRUE(inState(hit, f.is))
                << page.test << ": " << f.role << " '" << f.name << "' is in another state";
    }
    expectReadable(read, page.test);
}

INSTANTIATE_TEST_SUITE_P(Pages, ScreenReaderPages, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<Page>& info) {
                             return std::string(info.param.test);
                         });

// A settings file sets every list of the setup pages to another entry than the first; each
// reads back over the bus as the page holds it, labelled by its own label.
TEST_F(ScreenReader, LoadedListValuesReadBack) {
    auto server = serve("osprey-loaded");
    ASSERT_TRUE(server);
    const struct {
        const char* list; // FORM.CONTROL
        const char* label;
        int loaded; // the index the file holds
    } page1[] = {{"Operation.MediaTypeCombo", "*Print Mode:", 1},
                 {"Operation.LabelLengthCombo", "*Label Length:", 2},
                 {"Operation.LabelWidthCombo", "*Label Width:", 1},
                 {"Operation.OrientationCombo", "Orientation:", 1},
                 {"Operation.DispenseCombo", "Media Handling:", 1}},
      page2[] = {{"PrinterSetup.PrintSpeedCombo", "Print Speed:", 1},
                 {"PrinterSetup.GapCombo", "*Gap Sensor Type:", 1},
                 {"PrinterSetup.EmulationCombo", "Active Emulation:", 1}};
    auto expectLists = [&](const Read& read, const auto& lists) {
        for (const auto& l : lists) {
            const std::string entry = ask(*server, std::string("entry ") + l.list);
            const auto tab = entry.find('\t');
            ASSERT_NE(tab, std::string::npos) << l.list;
            ASSERT_EQ(entry.substr(0, tab), std::to_string(l.loaded)) << l.list << " not loaded";
            const std::string text = entry.substr(tab + 1);
            EXPECT_EQ(found(read, {"combo box", text.c_str(), l.label}).size(), 1u)
                << l.list << " does not read '" << text << "' labelled '" << l.label << "'";
        }
    };
    expectLists(window(*server, "Printer Setup - Page 1"), page1);
    ASSERT_EQ(ask(*server, "show PrinterSetup"), "done");
    expectLists(window(*server, "Printer Setup - Page 2"), page2);
}

// A new entry is announced as the list's new name, whether Qt's own interface reads the list
// or ours (a port's list, which its option labels).
TEST_F(ScreenReader, ANewEntryIsAnnounced) {
    const struct {
        const char* state;
        const char* title;
        const char* select;
        const char* announced;
        const char* label;
    } changes[] = {
        {"kestrel-port", "Printer Port Selection", "select PortSelect.LPTCombo 1",
         "LPT2:", "Parallel Print Port"},
        {"osprey-loaded", "Printer Setup - Page 1", "select Operation.OrientationCombo 2",
         "Inverse Portrait", "Orientation:"},
    };
    for (const auto& c : changes) {
        reader_->listen(); // before the program starts, as a screen reader runs
        auto server = serve(c.state);
        ASSERT_TRUE(server);
        ASSERT_FALSE(window(*server, c.title).children.empty());
        reader_->announcedNames(server->pid(), 0); // what the page said as it opened
        ASSERT_EQ(ask(*server, c.select), "done");
        const auto names = reader_->announcedNames(server->pid(), 500);
        reader_->stopListening();
        EXPECT_NE(std::find(names.begin(), names.end(), c.announced), names.end())
            << c.state << ": the new entry " << c.announced << " was not announced";
        EXPECT_EQ(found(window(*server, c.title), {"combo box", c.announced, c.label}).size(), 1u)
            << c.state;
    }
}

// Keys typed on a progress page leave its log as the program wrote it.
TEST_F(ScreenReader, TypingLeavesTheLogAlone) {
    auto server = serve("kestrel:ProgressDlg");
    ASSERT_TRUE(server);
    const auto log = [&] {
        const auto hits = found(window(*server, "Progress Monitor"), {"text", "Status Log:"});
        return hits.empty() ? std::string("(no log)") : hits.front().text;
    };
    const std::string before = log();
    ASSERT_FALSE(before.empty());
    ASSERT_EQ(ask(*server, "type xyz"), "done StatusLog"); // the keys went to the log
    EXPECT_EQ(log(), before);
}

} // namespace
} // namespace a11y_test
