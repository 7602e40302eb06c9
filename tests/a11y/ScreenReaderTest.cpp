// The wizards' pages as a screen reader reads them: over the accessibility bus of a desktop of
// the test's own (Xvfb, a session bus and the accessibility bus it starts on demand), from the
// pages a page server shows with the Qt renderer.
#include "tests/fixtures/TempFolder.h"

#include <atspi/atspi.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A program (found on PATH) started with pipes to its standard input and output, its errors
// to `errors` (-1: the test's), leading a process group of its own. It ends with the test
// however the test ends; when it goes, it is given the end of its input and 5 s to end by
// itself (and clean up after itself) before its group is killed.
class Child {
  public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
          int errors = -1) {
        std::vector<const char*> args, envp;
        for (const std::string& a : argv)
            args.push_back(a.c_str());
        for (const std::string& e : env)
            envp.push_back(e.c_str());
        args.push_back(nullptr);
        envp.push_back(nullptr);
        GError* error = nullptr;
        const auto setup = [](gpointer) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            ::setpgid(0, 0);
        };
        if (!g_spawn_async_with_pipes_and_fds(
                nullptr, args.data(), envp.data(),
                GSpawnFlags(G_SPAWN_SEARCH_PATH_FROM_ENVP | G_SPAWN_DO_NOT_REAP_CHILD), setup,
                nullptr, -1, -1, errors, nullptr, nullptr, 0, &pid_, &in_, &out_, nullptr,
                &error)) {
            failure = error->message;
            g_error_free(error);
            pid_ = -1;
        }
    }
    ~Child() {
        for (int fd : {in_, out_})
            if (fd >= 0)
                ::close(fd);
        const auto end = Clock::now() + std::chrono::seconds(5);
        while (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0) {
            if (Clock::now() > end)
                ::kill(-pid_, SIGKILL);
            std::this_thread::sleep_for(milliseconds(10));
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    std::string failure; // why it did not start
    // One line of its output, without the line end; empty once `timeoutMs` passed or the
    // output ended.
    std::string readLine(int timeoutMs) {
        const auto end = Clock::now() + milliseconds(timeoutMs);
        std::size_t nl;
        while ((nl = buffered_.find('\n')) == std::string::npos) {
            const auto left = std::chrono::duration_cast<milliseconds>(end - Clock::now()).count();
            pollfd p{out_, POLLIN, 0};
            char chunk[512];
            ssize_t n = 0;
            if (out_ < 0 || left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0 ||
                (n = ::read(out_, chunk, sizeof chunk)) <= 0)
                return {};
            buffered_.append(chunk, static_cast<std::size_t>(n));
        }
        std::string line = buffered_.substr(0, nl);
        buffered_.erase(0, nl + 1);
        return line;
    }
    // Its answer to a line of input.
    std::string ask(const std::string& line) {
        const std::string bytes = line + "\n";
        if (in_ < 0 || ::write(in_, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
            return {};
        return readLine(10000);
    }

  private:
    GPid pid_ = -1;
    int in_ = -1, out_ = -1;
    std::string buffered_;
};

// ---- reading over the bus ----

// A string libatspi hands over, freed.
std::string take(gchar* s) {
    std::string out = s ? s : "";
    g_free(s);
    return out;
}

// A reference libatspi hands over, given back with the holder.
template <class T> std::unique_ptr<T, void (*)(gpointer)> held(T* object) {
    return {object, g_object_unref};
}

// Lets the bus's messages in (events, the registry's news of new programs).
void pump(int ms) {
    const auto end = Clock::now() + milliseconds(ms);
    do {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        std::this_thread::sleep_for(milliseconds(5));
    } while (Clock::now() < end);
}

// One object of a window as a screen reader reads it.
struct Read {
    std::string role, name;
    std::string label; // the names of the objects that label it, those around it left out
                       // (a frame is its group, not its label), joined by blanks
    std::string text;  // what its text interface holds
    bool checked = false, editable = false, readOnly = false, showing = false;
    int parent = -1; // its index in the window
    std::string path;
};
using Window = std::vector<Read>; // the window, then all inside it, depth first

void readInto(AtspiAccessible* a, int parent, Window& w) {
    Read r;
    r.parent = parent;
    r.path = ATSPI_OBJECT(a)->path ? ATSPI_OBJECT(a)->path : "";
    r.role = take(atspi_accessible_get_role_name(a, nullptr));
    r.name = take(atspi_accessible_get_name(a, nullptr));
    if (auto states = held(atspi_accessible_get_state_set(a))) {
        r.checked = atspi_state_set_contains(states.get(), ATSPI_STATE_CHECKED);
        r.editable = atspi_state_set_contains(states.get(), ATSPI_STATE_EDITABLE);
        r.readOnly = atspi_state_set_contains(states.get(), ATSPI_STATE_READ_ONLY);
        r.showing = atspi_state_set_contains(states.get(), ATSPI_STATE_SHOWING);
    }
    if (GArray* relations = atspi_accessible_get_relation_set(a, nullptr)) {
        for (guint i = 0; i < relations->len; ++i) {
            auto relation = held(g_array_index(relations, AtspiRelation*, i));
            if (atspi_relation_get_relation_type(relation.get()) != ATSPI_RELATION_LABELLED_BY)
                continue;
            for (gint t = 0; t < atspi_relation_get_n_targets(relation.get()); ++t) {
                auto target = held(atspi_relation_get_target(relation.get(), t));
                bool around = false;
                for (int up = parent; up >= 0 && !around; up = w[up].parent)
                    around = w[up].path == ATSPI_OBJECT(target.get())->path;
                if (!around)
                    r.label += (r.label.empty() ? "" : " ") +
                               take(atspi_accessible_get_name(target.get(), nullptr));
            }
        }
        g_array_free(relations, TRUE);
    }
    if (auto text = held(atspi_accessible_get_text_iface(a)))
        r.text = take(atspi_text_get_text(
            text.get(), 0, atspi_text_get_character_count(text.get(), nullptr), nullptr));
    const int at = static_cast<int>(w.size());
    w.push_back(std::move(r));
    const gint children = atspi_accessible_get_child_count(a, nullptr);
    for (gint i = 0; i < children && i < 500; ++i)
        if (auto child = held(atspi_accessible_get_child_at_index(a, i, nullptr)))
            readInto(child.get(), at, w);
}

// The window of process `pid` titled `title` once it shows, read afresh; empty when it does
// not within 15 s.
Window readWindow(pid_t pid, const std::string& title) {
    const auto end = Clock::now() + std::chrono::seconds(15);
    do {
        auto desktop = held(atspi_get_desktop(0));
        atspi_accessible_clear_cache(desktop.get()); // programs come and go
        for (gint i = 0; i < atspi_accessible_get_child_count(desktop.get(), nullptr); ++i) {
            auto app = held(atspi_accessible_get_child_at_index(desktop.get(), i, nullptr));
            if (!app || pid_t(atspi_accessible_get_process_id(app.get(), nullptr)) != pid)
                continue;
            atspi_accessible_set_cache_mask(app.get(), ATSPI_CACHE_NONE);
            for (gint n = 0; n < atspi_accessible_get_child_count(app.get(), nullptr); ++n) {
                auto window = held(atspi_accessible_get_child_at_index(app.get(), n, nullptr));
                Window read;
                if (window && take(atspi_accessible_get_name(window.get(), nullptr)) == title)
                    readInto(window.get(), -1, read);
                if (!read.empty() && read.front().showing)
                    return read;
            }
        }
        pump(50);
    } while (Clock::now() < end);
    return {};
}

// What a screen reader listens to when a list changes (programs send only what is listened
// to, and learn who listens as they start).
const char* const kListened[] = {"object:property-change", "object:value-changed",
                                 "object:selection-changed"};
std::vector<std::string> gAnnounced; // new names, as the events told them

// The names announced since the last call, after `waitMs`.
std::vector<std::string> announced(int waitMs) {
    pump(waitMs);
    return std::exchange(gAnnounced, {});
}

// A desktop of the test's own for the whole run, with a home and runtime folder of its own;
// this process reads on it. A reader stays with the bus it first found.
class Desktop : public ::testing::Environment {
  public:
    static inline std::string missing; // why there is none
    static inline std::vector<std::string> env;

    void SetUp() override {
        ::prctl(PR_SET_CHILD_SUBREAPER, 1); // what the buses start is ours to wait for
        if (!std::filesystem::exists("/usr/share/dbus-1/services/org.a11y.Bus.service")) {
            missing = "the accessibility bus (at-spi2-core) is not installed";
            return;
        }
        const std::string home = folder_.path.string(), logPath = home + "/desktop.log";
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ::chmod(home.c_str(), 0700); // a runtime folder must be private
        const std::string replaced = " HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME "
                                     "XDG_RUNTIME_DIR DISPLAY WAYLAND_DISPLAY XAUTHORITY "
                                     "DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS NO_AT_BRIDGE "
                                     "QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE "
                                     "QT_SCALE_FACTOR QT_ACCESSIBILITY UI_TEST_SCREEN "
                                     "QT_LINUX_ACCESSIBILITY_ALWAYS_ON ";
        for (char** e = environ; *e; ++e)
            if (const std::string entry = *e;
                replaced.find(" " + entry.substr(0, entry.find('=')) + " ") == std::string::npos)
                env.push_back(entry);
        env.push_back("HOME=" + home);
        env.push_back("XDG_RUNTIME_DIR=" + home);
        // The X server picks a free display and tells it; the session bus tells its address.
        x_ =
            std::make_unique<Child>(std::vector<std::string>{"Xvfb", "-displayfd", "1", "-nolisten",
                                                             "tcp", "-screen", "0", "1280x1024x24"},
                                    env, log);
        const std::string display = x_->readLine(15000);
        std::string address;
        if (!display.empty()) {
            env.push_back("DISPLAY=:" + display);
            bus_ = std::make_unique<Child>(std::vector<std::string>{"dbus-daemon", "--session",
                                                                    "--nofork", "--print-address=1",
                                                                    "--address=unix:dir=" + home},
                                           env, log);
            address = bus_->readLine(15000);
        }
        ::close(log);
        if (address.empty()) {
            missing = (display.empty() ? "Xvfb" : "the session bus") +
                      std::string(" did not start: ") + (bus_ ? bus_ : x_)->failure +
                      test_fixtures::readAll(logPath);
            return;
        }
        env.push_back("DBUS_SESSION_BUS_ADDRESS=" + address);
        env.push_back("QT_QPA_PLATFORM=xcb");
        env.push_back("QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1");
        ::clearenv();
        for (const std::string& e : env)
            ::setenv(e.substr(0, e.find('=')).c_str(), e.substr(e.find('=') + 1).c_str(), 1);
        atspi_init();
        atspi_set_timeout(5000, 15000);
        // Only noted here: asking the program in the middle of its events would hold them up.
        listener_ = atspi_event_listener_new(
            [](AtspiEvent* event, void*) {
                if (std::string(event->type) == "object:property-change:accessible-name" &&
                    G_VALUE_HOLDS_STRING(&event->any_data))
                    gAnnounced.push_back(g_value_get_string(&event->any_data));
                g_boxed_free(ATSPI_TYPE_EVENT, event);
            },
            nullptr, nullptr);
        for (const char* event : kListened)
            atspi_event_listener_register(listener_, event, nullptr);
    }
    void TearDown() override {
        if (listener_) {
            for (const char* event : kListened)
                atspi_event_listener_deregister(listener_, event, nullptr);
            g_object_unref(listener_);
        }
        for (const auto* c : {bus_.get(), x_.get()})
            if (c && c->pid() > 0)
                ::kill(-c->pid(), SIGTERM);
        bus_.reset();
        x_.reset();
        const auto end = Clock::now() + std::chrono::seconds(3);
        while (::waitpid(-1, nullptr, WNOHANG) >= 0 && Clock::now() < end)
            std::this_thread::sleep_for(milliseconds(10));
    }

  private:
    test_fixtures::TempFolder folder_{"a11y-desktop"};
    std::unique_ptr<Child> x_, bus_;
    AtspiEventListener* listener_ = nullptr;
};
[[maybe_unused]] const auto* const kDesktop = ::testing::AddGlobalTestEnvironment(new Desktop);

// ---- the pages ----

// What a reader must find on a page: an object in sight of this role and name, labelled so
// (nullptr: however), in this state, holding this text (nullptr: whatever).
enum Is { Any, Checked, Unchecked, ReadOnly, Editable };
struct Finds {
    const char* role;
    const char* name;
    const char* label = nullptr;
    Is is = Any;
    const char* text = nullptr;
};

// A page as the server shows it and what is read on it; then, with `act`, a command to the
// server, the name a list announces for it, what is read after it and the server's answer.
struct Page {
    const char* test;
    std::vector<std::string> shows; // the server's arguments
    const char* title;
    std::vector<Finds> finds;
    const char* act = nullptr;
    const char* announced = nullptr;
    std::vector<Finds> after = {};
    const char* answer = "done";
};

void PrintTo(const Page& p, std::ostream* os) {
    *os << p.test;
}

const char* const kSaveQuestion =
    "Your configuration settings for the network adapter are about to be sent to the printer. "
    "Would you like to save your entries to a file for future reference?";
const Finds kLog = {"text", "Status Log:", "Status Log:", ReadOnly, "Initializing ...."};
const char* const kTwoInches = "2.0\" (50.8mm)";

const Page kPages[] = {
    {"KestrelPorts",
     {"kestrel", "PortSelect"},
     "Printer Port Selection",
     {{"radio button", "Parallel Print Port", nullptr, Checked},
      {"combo box", "LPT1:", "Parallel Print Port"},
      {"radio button", "Serial Port", nullptr, Unchecked},
      {"combo box", "COM1:", "Serial Port"},
      {"combo box", "USB001", "USB"},
      {"text", "IP Address:", "IP Address:", Editable},
      {"text", "Full Path and File  Name:", "Full Path and File  Name:", Editable}},
     "select PortSelect.LPTCombo 1",
     "LPT2:",
     {{"combo box", "LPT2:", "Parallel Print Port"}}},
    {"KestrelSaveQuestion",
     {"kestrel", "FinishDialog"},
     "Send Wizard Settings",
     {{"panel", kSaveQuestion, kSaveQuestion},
      {"radio button", "Yes", "", Checked},
      {"radio button", "No", "", Unchecked}}},
    // Keys typed on the log go to it and leave it as the program wrote it.
    {"KestrelProgressLog",
     {"kestrel", "ProgressDlg"},
     "Progress Monitor",
     {{"progress bar", "Progress Meter:", "Progress Meter:"}, kLog},
     "type xyz",
     nullptr,
     {kLog},
     "done StatusLog"},
    {"OspreyFinish",
     {"osprey", "FinishDialog"},
     "Send Wizard Settings",
     {{"check box", "Ignore Save Settings to Printer Configuration", nullptr, Checked},
      {"combo box", "Configuration 1", "Save Settings to Printer Configuration"},
      {"combo box", "Factory", "Set Power-Up Configuration to"}}},
    // Every list as the settings file set it, labelled by its own label.
    {"OspreyLoadedSetupPage1",
     {"osprey-loaded", "Operation"},
     "Printer Setup - Page 1",
     {{"panel", "Media Setup"},
      {"check box", "Ignore Print Mode", nullptr, Unchecked},
      {"text", "*Label Length:", nullptr, Editable},
      {"combo box", "Direct Transfer", "*Print Mode:"},
      {"combo box", kTwoInches, "*Label Length:"},
      {"combo box", kTwoInches, "*Label Width:"},
      {"combo box", "Landscape", "Orientation:"},
      {"combo box", "Peel-off", "Media Handling:"}},
     "select Operation.OrientationCombo 2",
     "Inverse Portrait",
     {{"combo box", "Inverse Portrait", "Orientation:"}}},
    {"OspreyLoadedSetupPage2",
     {"osprey-loaded", "PrinterSetup"},
     "Printer Setup - Page 2",
     {{"check box", "Ignore Print Speed", nullptr, Unchecked},
      {"slider", "Horizontal Image Shift:", "Horizontal Image Shift:"},
      {"combo box", "inch", "Horizontal Image Shift:"},
      {"combo box", "inch", "Vertical Image Shift:"},
      {"combo box", "2 in/sec (50.8 mm/sec)", "Print Speed:"},
      {"combo box", "Mark", "*Gap Sensor Type:"},
      {"combo box", "YQL", "Active Emulation:"}}},
    {"OspreyCustomSizes",
     {"osprey-loaded", "Operation", "CustomDialog"},
     "Custom Form Definition",
     {{"text", "Width in inches", "", Editable}, {"text", "Width in mm", "", Editable}}},
};

bool inState(const Read& r, Is is) {
    return is == Any || (is == Checked && r.checked) || (is == Unchecked && !r.checked) ||
           (is == ReadOnly && r.readOnly && !r.editable) ||
           (is == Editable && r.editable && !r.readOnly);
}

void expectFinds(const Window& w, const std::vector<Finds>& finds, const std::string& page) {
    for (const Finds& f : finds) {
        const std::string what = page + ": " + f.role + " '" + f.name + "'";
        bool seen = false;
        for (const Read& r : w)
            if (r.showing && r.role == f.role && r.name == f.name &&
                (!f.label || r.label == f.label)) {
                seen = true;
                EXPECT_TRUE(inState(r, f.is)) << what << " is in another state";
                EXPECT_TRUE(!f.text || r.text == f.text) << what << " holds '" << r.text << "'";
            }
        EXPECT_TRUE(seen) << what << (f.label ? std::string(" labelled '") + f.label + "'" : "")
                          << " is not read";
    }
}

// What holds for every object in sight on any page: no name or label with blanks around it;
// every list labelled and named after its entry; a field named, inside a list after the list;
// a frame of options named after what they answer.
void expectReadable(const Window& w, const std::string& page) {
    auto trimmed = [](const std::string& s) {
        return s.empty() || (s.front() != ' ' && s.back() != ' ');
    };
    for (std::size_t i = 0; i < w.size(); ++i) {
        const Read& r = w[i];
        if (!r.showing)
            continue;
        const Read* up = r.parent >= 0 ? &w[r.parent] : nullptr;
        const bool inList = up && up->role == "combo box";
        const std::string what = page + ": " + r.role + " '" + r.name + "'";
        EXPECT_TRUE(trimmed(r.name)) << what << " has blanks around its name";
        EXPECT_TRUE(trimmed(r.label)) << what << " has blanks around its label";
        if (r.role == "combo box") {
            EXPECT_FALSE(r.label.empty()) << what << " tells no label";
            bool listed = false, told = false; // its entries are its list's items
            for (const Read& item : w)
                if (item.role == "list item" && item.parent >= 0 &&
                    w[item.parent].parent == int(i)) {
                    listed = true;
                    told = told || item.name == r.name;
                }
            EXPECT_TRUE(told || !listed) << what << " does not tell its entry";
        }
        if (!inList && (r.role == "text" || r.role == "password text" || r.role == "slider" ||
                        r.role == "progress bar")) {
            EXPECT_FALSE(r.name.empty()) << what << " has no name";
        }
        if (inList && r.role == "text") {
            EXPECT_EQ(r.name, up->label) << what << " is not named after its list";
        }
        if (r.role == "radio button" && up && up->role == "panel") {
            EXPECT_FALSE(up->name.empty()) << what << " is in a group without a name";
        }
    }
}

class ScreenReader : public ::testing::TestWithParam<Page> {};

TEST_P(ScreenReader, ReadsRolesNamesLabelsEntriesAndStates) {
    if (!Desktop::missing.empty())
        GTEST_SKIP() << "no desktop to read pages on: " << Desktop::missing;
    const Page& page = GetParam();
    std::vector<std::string> argv{PAGE_SERVER};
    argv.insert(argv.end(), page.shows.begin(), page.shows.end());
    Child server(argv, Desktop::env);
    ASSERT_EQ(server.readLine(30000), "ready") << "the page server did not start";
    const Window read = readWindow(server.pid(), page.title);
    ASSERT_FALSE(read.empty()) << "no window '" << page.title << "' on the bus";
    expectFinds(read, page.finds, page.test);
    expectReadable(read, page.test);
    if (!page.act)
        return;
    announced(0); // what the page said as it opened
    ASSERT_EQ(server.ask(page.act), page.answer);
    const auto names = announced(500);
    if (page.announced) {
        EXPECT_TRUE(std::find(names.begin(), names.end(), page.announced) != names.end())
            << page.announced << " was not announced";
    }
    expectFinds(readWindow(server.pid(), page.title), page.after, page.test);
}

INSTANTIATE_TEST_SUITE_P(Pages, ScreenReader, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<Page>& info) {
                             return std::string(info.param.test);
                         });

} // namespace
