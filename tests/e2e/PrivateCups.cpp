#include "tests/e2e/PrivateCups.h"

#include "platform/spooler/cups/CupsSpooler.h"
#include "tests/fixtures/TempFolder.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#ifndef E2E_FAKE_BACKEND
#error "E2E_FAKE_BACKEND names the fake backend program"
#endif

namespace fs = std::filesystem;

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

bool usersWanted = false;

const char* schemeName(Scheme s) {
    switch (s) {
    case Scheme::Parallel:
        return "parallel";
    case Scheme::Serial:
        return "serial";
    case Scheme::Usb:
        return "usb";
    }
    return "";
}

using test_fixtures::readAll;
using test_fixtures::writeAll;

bool socketAnswers(const std::string& path) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

// What a child could not do, by the number it reports.
const char* const kStartSteps[] = {"cannot switch to the user", "cannot enter the folder",
                                   "cannot start"};

std::vector<char*> cArgs(const std::vector<std::string>& argv) {
    std::vector<char*> out;
    for (const auto& a : argv) {
        out.push_back(const_cast<char*>(a.c_str()));
    }
    out.push_back(nullptr);
    return out;
}

} // namespace

RunResult runProgram(const std::vector<std::string>& argv, const std::string& folder, int timeoutMs,
                     const std::vector<std::string>& env, const TestUser* user) {
    RunResult result;
    int pipeFds[2];
    // The child tells through this pipe why it could not start the program (it closes on
    // a successful exec).
    int whyFds[2] = {-1, -1};
    if (argv.empty() || ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return result;
    }
    if (::pipe2(whyFds, O_CLOEXEC) != 0) {
        result.output = "runProgram: no pipe for the child's failure";
    }
    std::vector<std::string> started = argv;
    if (user) {
        started[0] = PrivateCups::instance().programFor(argv[0]);
    }
    auto args = cArgs(started);
    // Prepared before the fork: the child only switches and starts.
    std::vector<std::string> environment = env;
    std::vector<gid_t> groups;
    if (user) {
        // Not the run's private home, which only this process's user may enter.
        environment.insert(
            environment.end(),
            {"HOME=/", "USER=" + user->name, "LOGNAME=" + user->name,
             "XDG_CONFIG_HOME=", "XDG_CACHE_HOME=", "XDG_DATA_HOME=", "XDG_RUNTIME_DIR="});
        groups.assign(user->groups.begin(), user->groups.end());
    }
    pid_t pid = ::fork();
    if (pid == 0) {
        auto fail = [&](int step) {
            const int why[2] = {step, errno};
            [[maybe_unused]] auto n = ::write(whyFds[1], why, sizeof why);
            ::_exit(125 + step);
        };
        ::dup2(pipeFds[1], 1);
        ::dup2(pipeFds[1], 2);
        if (user && (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(user->gid) != 0 ||
                     ::setuid(user->uid) != 0)) {
            fail(0);
        }
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
            fail(1);
        }
        for (const auto& e : environment) {
            ::putenv(const_cast<char*>(e.c_str()));
        }
        ::execv(args[0], args.data());
        fail(2);
    }
    ::close(pipeFds[1]);
    ::close(whyFds[1]);
    if (pid < 0) {
        ::close(pipeFds[0]);
        ::close(whyFds[0]);
        return result;
    }
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    char buf[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        pollfd p{pipeFds[0], POLLIN, 0};
        int r = ::poll(&p, 1, static_cast<int>(left.count()));
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r <= 0) {
            continue;
        }
        ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
        if (n <= 0) {
            break;
        }
        result.output.append(buf, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!result.timedOut && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    int why[2];
    if (::read(whyFds[0], why, sizeof why) == static_cast<ssize_t>(sizeof why)) {
        result.output += std::string("runProgram: ") + kStartSteps[why[0]] + " (" + started[0] +
                         (user ? " as " + user->name : "") + "): " + std::strerror(why[1]) + "\n";
    }
    ::close(whyFds[0]);
    return result;
}

void PrivateCups::wantTestUsers() {
    usersWanted = true;
}

PrivateCups& PrivateCups::instance() {
    static PrivateCups cups;
    return cups;
}

PrivateCups::PrivateCups() {
    if (!start()) {
        stop();
    }
}

PrivateCups::~PrivateCups() {
    stop();
}

bool PrivateCups::start() {
    std::string cupsd = "/usr/sbin/cupsd";
    if (::access(cupsd.c_str(), X_OK) != 0) {
        failure_ = "no " + cupsd + " (install cups-daemon)";
        return false;
    }
    // Short: the socket path must fit into a socket address.
    char tmpl[] = "/tmp/kvt-e2e-XXXXXX";
    if (!::mkdtemp(tmpl)) {
        failure_ = "cannot make a temporary folder";
        return false;
    }
    root_ = tmpl;
    fs::path root(root_);
    // The scheduler's helpers run as another user and must reach the folders.
    fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    for (const char* dir :
         {"conf", "spool", "spool/tmp", "state", "cache", "log", "bin", "bin/backend", "devices",
          "devices/parallel", "devices/serial", "devices/usb", "folders"}) {
        fs::create_directories(root / dir);
    }

    // Helpers of the installed CUPS, except the backends of the local schemes, which the
    // fake backend replaces so that only fake devices are listed on those schemes.
    const fs::path system = "/usr/lib/cups";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(system, ec)) {
        auto name = entry.path().filename();
        if (name != "backend") {
            fs::create_symlink(entry.path(), root / "bin" / name);
        }
    }
    for (const auto& entry : fs::directory_iterator(system / "backend", ec)) {
        auto name = entry.path().filename().string();
        if (name != "parallel" && name != "serial" && name != "usb") {
            fs::create_symlink(entry.path(), root / "bin/backend" / name);
        }
    }
    for (const char* scheme : {"parallel", "serial", "usb"}) {
        fs::path copy = root / "bin/backend" / scheme;
        fs::copy_file(E2E_FAKE_BACKEND, copy);
        // Owner-only: CUPS runs such a backend as root and refuses group- or world-writable
        // ones when it runs as root itself.
        fs::permissions(copy, fs::perms::owner_all);
    }

    std::string policy = configuration(failure_);
    if (policy.empty()) {
        return false;
    }
    writeAll(root / "conf/cupsd.conf", policy);
    if (usersWanted) {
        makeUsers();
    }
    // The system group of an installed scheduler, and ours for the test users.
    std::string systemGroup = "root";
    if (::getgrnam("lpadmin")) {
        systemGroup += " lpadmin";
    }
    if (!group_.empty()) {
        systemGroup += " " + group_;
    }
    // A scheduler run by someone else than root: that one administers it.
    if (::geteuid() != 0) {
        if (group* own = ::getgrgid(::getegid())) {
            systemGroup += std::string(" ") + own->gr_name;
        }
    }
    writeAll(root / "conf/cups-files.conf",
             "ServerRoot " + root_ + "/conf\n" + "StateDir " + root_ + "/state\n" + "CacheDir " +
                 root_ + "/cache\n" + "RequestRoot " + root_ + "/spool\n" + "TempDir " + root_ +
                 "/spool/tmp\n" + "ServerBin " + root_ + "/bin\n" + "ErrorLog " + root_ +
                 "/log/error_log\n" + "AccessLog " + root_ + "/log/access_log\n" + "PageLog " +
                 root_ + "/log/page_log\n" + "SystemGroup " + systemGroup + "\n");

    std::string conf = root_ + "/conf/cupsd.conf";
    std::string files = root_ + "/conf/cups-files.conf";
    std::string out = root_ + "/log/cupsd.out";
    std::vector<std::string> argv{cupsd, "-f", "-c", conf, "-s", files};
    auto args = cArgs(argv);
    pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        // Goes with the test program, even when that one crashes.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(1);
        }
        int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    if (pid < 0) {
        failure_ = "cannot start cupsd";
        return false;
    }
    pid_ = pid;
    auto deadline = Clock::now() + std::chrono::seconds(15);
    while (!socketAnswers(server())) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            failure_ = "cupsd ended at start: " + readAll(out) + errorLog();
            return false;
        }
        if (Clock::now() > deadline) {
            failure_ = "cupsd did not answer: " + errorLog();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::setenv("CUPS_SERVER", server().c_str(), 1);
    // Where clients look for the scheduler's local certificate.
    ::setenv("CUPS_STATEDIR", (root_ + "/state").c_str(), 1);
    // The programs and libcups see a home of the run's own: the user's client settings (a
    // default printer of their own in ~/.cups/lpoptions), desktop settings and caches do
    // not count, and nothing is written into the user's home.
    const fs::path home = root / "home";
    fs::create_directories(home);
    fs::permissions(home, fs::perms::owner_all);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
    return true;
}

// The installed scheduler's policy under our own listener and logging: its <Policy> and
// <Location> sections unchanged, with the defaults they refer to.
std::string PrivateCups::configuration(std::string& error) const {
    const std::string installed = "/etc/cups/cupsd.conf";
    std::ifstream in(installed);
    if (!in) {
        error = "cannot read " + installed;
        return "";
    }
    std::string copied;
    std::string closing; // the end of the section being copied ("</Policy", "</Location")
    std::string line;
    bool policy = false;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string word;
        words >> word;
        word = word.substr(0, word.find('>'));
        if (closing.empty() && (word == "<Policy" || word == "<Location")) {
            closing = "</" + word.substr(1);
            policy = policy || word == "<Policy";
        }
        if (!closing.empty() || word == "DefaultAuthType" || word == "DefaultPolicy") {
            copied += line + "\n";
        }
        if (!closing.empty() && word == closing) {
            closing.clear();
        }
    }
    if (!policy) {
        error = installed + " holds no <Policy> section";
        return "";
    }
    return "Listen " + server() +
           "\n"
           "Browsing Off\n"
           "WebInterface No\n"
           "LogLevel debug\n"
           "DefaultShared No\n" +
           copied;
}

namespace {

// Runs an administration command (no shell); true when it exited with 0.
bool administer(const std::vector<std::string>& argv) {
    return runProgram(argv, "", 30000).exitCode == 0;
}

std::optional<TestUser> lookUpUser(const std::string& name) {
    passwd* pw = ::getpwnam(name.c_str());
    if (!pw) {
        return std::nullopt;
    }
    TestUser user{name, pw->pw_uid, pw->pw_gid, {}};
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(name.c_str(), pw->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        ::getgrouplist(name.c_str(), pw->pw_gid, groups.data(), &count);
    }
    groups.resize(static_cast<std::size_t>(count));
    user.groups.assign(groups.begin(), groups.end());
    return user;
}

// Makes a system user, trying again while another program holds the user database.
std::optional<TestUser> makeUser(const std::string& name, const std::string& extraGroup) {
    std::vector<std::string> argv{"/usr/sbin/useradd", "--system", "--no-create-home",
                                  "--user-group",      "--shell",  "/usr/sbin/nologin"};
    if (!extraGroup.empty()) {
        argv.insert(argv.end(), {"--groups", extraGroup});
    }
    argv.push_back(name);
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (administer(argv) || ::getpwnam(name.c_str())) {
            return lookUpUser(name);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return std::nullopt;
}

} // namespace

bool PrivateCups::makeUsers() {
    if (::geteuid() != 0) {
        usersFailure_ = "only root can make the test users";
        return false;
    }
    if (::access("/usr/sbin/useradd", X_OK) != 0 || ::access("/usr/sbin/groupadd", X_OK) != 0) {
        usersFailure_ = "no /usr/sbin/useradd or /usr/sbin/groupadd";
        return false;
    }
    // Names of this process: test programs that run side by side do not meet.
    const std::string stem = "kvt" + std::to_string(::getpid());
    const std::string group = stem + "g";
    // Leftovers of an earlier program with the same process number go first.
    administer({"/usr/sbin/userdel", stem + "a"});
    administer({"/usr/sbin/userdel", stem + "u"});
    administer({"/usr/sbin/groupdel", group});
    for (int attempt = 0; attempt < 10 && !::getgrnam(group.c_str()); ++attempt) {
        if (!administer({"/usr/sbin/groupadd", "--system", group})) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
    if (!::getgrnam(group.c_str())) {
        usersFailure_ = "cannot make the group " + group;
        return false;
    }
    group_ = group;
    member_ = makeUser(stem + "a", group);
    plain_ = makeUser(stem + "u", "");
    if (!member_ || !plain_) {
        usersFailure_ = "cannot make the users " + stem + "a and " + stem + "u";
        removeUsers();
        return false;
    }
    usersFailure_.clear();
    return true;
}

void PrivateCups::removeUsers() {
    for (auto* user : {&member_, &plain_}) {
        if (*user) {
            administer({"/usr/sbin/userdel", (*user)->name});
            user->reset();
        }
    }
    if (!group_.empty()) {
        administer({"/usr/sbin/groupdel", group_});
        group_.clear();
    }
}

void PrivateCups::stop() {
    if (pid_ > 0) {
        // The scheduler stops its jobs' processes itself on SIGTERM.
        ::kill(pid_, SIGCONT);
        ::kill(pid_, SIGTERM);
        auto deadline = Clock::now() + std::chrono::seconds(5);
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                ::kill(-pid_, SIGKILL);
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(-pid_, SIGKILL); // stragglers of its process group, if any
        pid_ = -1;
    }
    removeUsers();
    if (!root_.empty() && !std::getenv("KVT_E2E_KEEP")) {
        std::error_code ec;
        fs::remove_all(root_, ec);
        root_.clear();
    }
}

std::string PrivateCups::shareWithTestUsers(const std::string& program) {
    // A checkout in a private folder (root's home, a mktemp -d folder) is out of the test
    // users' reach: they get copies in the scheduler's folder, which they can enter.
    const fs::path folder = fs::path(root_) / "programs";
    const fs::path copy = folder / fs::path(program).filename();
    const auto open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                      fs::perms::others_read | fs::perms::others_exec;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (root_.empty() || ec) {
        return "no folder for the test users' programs in [" + root_ + "] " + ec.message();
    }
    fs::permissions(folder, open, ec);
    if (!ec && fs::copy_file(program, copy, fs::copy_options::overwrite_existing, ec)) {
        fs::permissions(copy, open, ec);
    }
    if (ec) {
        return "cannot give the test users a copy of " + program + ": " + ec.message();
    }
    shared_[program] = copy.string();
    return "";
}

std::string PrivateCups::programFor(const std::string& program) const {
    auto it = shared_.find(program);
    return it == shared_.end() ? program : it->second;
}

std::string PrivateCups::devicePath(Scheme scheme, const std::string& name) const {
    return root_ + "/devices/" + schemeName(scheme) + "/" + name;
}

std::string PrivateCups::addDevice(Scheme scheme, const std::string& name) {
    std::string path = devicePath(scheme, name);
    writeAll(path, "");
    if (scheme == Scheme::Usb) {
        return "usb://Fake/Printer?serial=" + name;
    }
    return std::string(schemeName(scheme)) + ":" + path;
}

void PrivateCups::setListingDelay(int ms) {
    for (Scheme scheme : {Scheme::Parallel, Scheme::Serial, Scheme::Usb}) {
        writeAll(devicePath(scheme, "listing.delay"), std::to_string(ms));
    }
}

void PrivateCups::setRefusing(Scheme scheme, const std::string& name, bool refusing) {
    std::string marker = devicePath(scheme, name) + ".refuse";
    if (refusing) {
        writeAll(marker, "");
    } else {
        std::error_code ec;
        fs::remove(marker, ec);
    }
}

void PrivateCups::takeThenRefuse(Scheme scheme, const std::string& name, int jobs) {
    writeAll(devicePath(scheme, name) + ".take", std::to_string(jobs));
}

bool PrivateCups::anyRefusing() const {
    std::error_code ec;
    for (const char* scheme : {"parallel", "serial", "usb"}) {
        for (const auto& entry : fs::directory_iterator(root_ + "/devices/" + scheme, ec)) {
            const fs::path& p = entry.path();
            if (p.extension() == ".refuse" || (p.extension() == ".take" && readAll(p) == "0")) {
                return true;
            }
        }
    }
    return false;
}

bool PrivateCups::settled() {
    if (!running() || suspended_ || anyRefusing()) {
        return true;
    }
    auto spooler = spooler::makeCupsSpooler();
    auto printers = spooler->printers();
    for (const auto& name : printers.value.value_or(std::vector<std::string>{})) {
        auto jobs = spooler->jobs(name);
        if (jobs.ok() && !jobs.value->empty()) {
            return false;
        }
    }
    return true;
}

void PrivateCups::suspend() {
    if (pid_ > 0 && ::kill(pid_, SIGSTOP) == 0) {
        suspended_ = true;
    }
}

void PrivateCups::resume() {
    if (pid_ > 0) {
        ::kill(pid_, SIGCONT);
    }
    suspended_ = false;
}

std::string PrivateCups::received(Scheme scheme, const std::string& name) const {
    return readAll(devicePath(scheme, name) + ".out");
}

bool PrivateCups::waitReceived(Scheme scheme, const std::string& name, std::size_t bytes,
                               int timeoutMs) const {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (received(scheme, name).size() < bytes) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void PrivateCups::reset() {
    if (!running()) {
        return;
    }
    resume();
    std::error_code ec;
    // Markers first, so that waiting backends let go of their jobs.
    for (const char* scheme : {"parallel", "serial", "usb"}) {
        for (const auto& entry : fs::directory_iterator(root_ + "/devices/" + scheme, ec)) {
            fs::remove(entry.path(), ec);
        }
    }
    auto spooler = spooler::makeCupsSpooler();
    auto printers = spooler->printers();
    for (const auto& name : printers.value.value_or(std::vector<std::string>{})) {
        auto deadline = Clock::now() + std::chrono::seconds(10);
        for (;;) {
            auto jobs = spooler->jobs(name);
            if (!jobs.ok() || jobs.value->empty() || Clock::now() > deadline) {
                break;
            }
            for (const auto& job : *jobs.value) {
                spooler->deleteJob(name, job.id);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        spooler->deletePrinter(name);
    }
}

std::string PrivateCups::errorLog() const {
    return readAll(root_ + "/log/error_log");
}

void PrivateCupsTest::SetUp() {
    cups = &PrivateCups::instance();
    if (!cups->running()) {
        if (cups->failure().rfind("no /usr/sbin/cupsd", 0) == 0) {
            GTEST_SKIP() << cups->failure();
        }
        FAIL() << "private cupsd: " << cups->failure();
    }
    cups->reset();
}

std::string makeFolder(const std::string& name, const TestUser* owner) {
    auto& cups = PrivateCups::instance();
    if (cups.root().empty()) {
        // No scheduler folder to put it in: a fresh one of its own, never a fixed name.
        std::string pattern = (fs::temp_directory_path() / (name + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            ADD_FAILURE() << "cannot make a folder for " << name;
        return pattern;
    }
    fs::path dir = fs::path(cups.root() + "/folders") / name;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    if (owner && ::chown(dir.c_str(), owner->uid, owner->gid) != 0) {
        ADD_FAILURE() << "cannot give " << dir << " to " << owner->name;
    }
    return dir.string();
}

} // namespace e2e
