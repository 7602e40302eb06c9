#include "tests/e2e/PrivateCups.h"

#include "platform/spooler/cups/CupsSpooler.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
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

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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
                     const std::vector<std::string>& env) {
    RunResult result;
    int pipeFds[2];
    if (argv.empty() || ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return result;
    }
    auto args = cArgs(argv);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], 1);
        ::dup2(pipeFds[1], 2);
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
            ::_exit(126);
        }
        for (const auto& e : env) {
            ::putenv(const_cast<char*>(e.c_str()));
        }
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    if (pid < 0) {
        ::close(pipeFds[0]);
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
    return result;
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

    writeFile(root / "conf/cupsd.conf", "Listen " + server() +
                                            "\n"
                                            "Browsing Off\n"
                                            "WebInterface No\n"
                                            "LogLevel debug\n"
                                            "DefaultShared No\n"
                                            "<Policy default>\n"
                                            "<Limit All>\n"
                                            "Order deny,allow\n"
                                            "</Limit>\n"
                                            "</Policy>\n");
    writeFile(root / "conf/cups-files.conf",
              "ServerRoot " + root_ + "/conf\n" + "StateDir " + root_ + "/state\n" + "CacheDir " +
                  root_ + "/cache\n" + "RequestRoot " + root_ + "/spool\n" + "TempDir " + root_ +
                  "/spool/tmp\n" + "ServerBin " + root_ + "/bin\n" + "ErrorLog " + root_ +
                  "/log/error_log\n" + "AccessLog " + root_ + "/log/access_log\n" + "PageLog " +
                  root_ + "/log/page_log\n" + "SystemGroup root\n");

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
            failure_ = "cupsd ended at start: " + readFile(out) + errorLog();
            return false;
        }
        if (Clock::now() > deadline) {
            failure_ = "cupsd did not answer: " + errorLog();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::setenv("CUPS_SERVER", server().c_str(), 1);
    return true;
}

void PrivateCups::stop() {
    if (pid_ > 0) {
        // The scheduler stops its jobs' processes itself on SIGTERM.
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
    if (!root_.empty() && !std::getenv("KVT_E2E_KEEP")) {
        std::error_code ec;
        fs::remove_all(root_, ec);
        root_.clear();
    }
}

std::string PrivateCups::devicePath(Scheme scheme, const std::string& name) const {
    return root_ + "/devices/" + schemeName(scheme) + "/" + name;
}

std::string PrivateCups::addDevice(Scheme scheme, const std::string& name) {
    std::string path = devicePath(scheme, name);
    writeFile(path, "");
    if (scheme == Scheme::Usb) {
        return "usb://Fake/Printer?serial=" + name;
    }
    return std::string(schemeName(scheme)) + ":" + path;
}

void PrivateCups::setRefusing(Scheme scheme, const std::string& name, bool refusing) {
    std::string marker = devicePath(scheme, name) + ".refuse";
    if (refusing) {
        writeFile(marker, "");
    } else {
        std::error_code ec;
        fs::remove(marker, ec);
    }
}

std::string PrivateCups::received(Scheme scheme, const std::string& name) const {
    return readFile(devicePath(scheme, name) + ".out");
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
    return readFile(root_ + "/log/error_log");
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

std::string makeFolder(const std::string& name) {
    auto& cups = PrivateCups::instance();
    fs::path dir = fs::path(cups.root().empty() ? fs::temp_directory_path().string()
                                                : cups.root() + "/folders") /
                   name;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    return dir.string();
}

} // namespace e2e
