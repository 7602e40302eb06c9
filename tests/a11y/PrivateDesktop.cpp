#include "tests/a11y/PrivateDesktop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

extern char** environ;

namespace a11y_test {

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// The full path of a program on PATH, "" when there is none.
std::string onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (std::size_t from = 0; from <= dirs.size();) {
        const std::size_t to = std::min(dirs.find(':', from), dirs.size());
        const std::filesystem::path candidate =
            std::filesystem::path(dirs.substr(from, to - from)) / program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
        from = to + 1;
    }
    return {};
}

} // namespace

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env, pid_t group,
             const std::string& errors) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0)
        return;
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return;
    }
    // Prepared before the fork: the child only rewires and starts.
    std::vector<char*> args, envp;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const int errorFile =
        errors.empty() ? -1
                       : ::open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
        // Ends with the test, however the test ends.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        ::setpgid(0, group);
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        if (errorFile >= 0)
            ::dup2(errorFile, 2);
        ::execve(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    if (errorFile >= 0)
        ::close(errorFile);
    in_ = in[1];
    out_ = out[0];
    if (pid_ < 0) {
        ::close(in_);
        ::close(out_);
        in_ = out_ = -1;
    }
}

Child::~Child() {
    // Time to end by itself (and clean up after itself) once its input is closed.
    if (started() && !reaped_)
        finish(5000);
    if (in_ >= 0)
        ::close(in_);
    if (out_ >= 0)
        ::close(out_);
}

std::string Child::readLine(int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (const auto nl = buffered_.find('\n'); nl != std::string::npos) {
            std::string line = buffered_.substr(0, nl);
            buffered_.erase(0, nl + 1);
            return line;
        }
        pollfd p{out_, POLLIN, 0};
        if (out_ < 0 || ::poll(&p, 1, msLeft(end)) <= 0)
            return {};
        char chunk[512];
        const ssize_t n = ::read(out_, chunk, sizeof chunk);
        if (n <= 0)
            return {};
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
}

bool Child::writeLine(const std::string& line) {
    const std::string bytes = line + "\n";
    return in_ >= 0 && ::write(in_, bytes.data(), bytes.size()) == ssize_t(bytes.size());
}

int Child::finish(int timeoutMs) {
    if (!started() || reaped_)
        return -1;
    if (in_ >= 0) {
        ::close(in_);
        in_ = -1;
    }
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = -1;
    for (int signal : {0, SIGTERM, SIGKILL}) {
        if (signal)
            ::kill(pid_, signal);
        const auto until = signal ? Clock::now() + std::chrono::seconds(2) : end;
        do {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                return signal ? -1 : status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } while (Clock::now() < until);
    }
    return -1;
}

PrivateDesktop::PrivateDesktop() {
    // What the buses start is left to this process when their parents end.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    const std::string xvfb = onPath("Xvfb");
    const std::string dbus = onPath("dbus-daemon");
    if (xvfb.empty() || dbus.empty()) {
        missing_ = "Xvfb or dbus-daemon is not installed";
        return;
    }
    if (!std::filesystem::exists("/usr/share/dbus-1/services/org.a11y.Bus.service")) {
        missing_ = "the accessibility bus (at-spi2-core) is not installed";
        return;
    }
    // A home and runtime folder of the desktop's own; the runtime folder must be private.
    const std::filesystem::path home = folder_.path;
    ::chmod(home.c_str(), 0700);
    const std::set<std::string> replaced = {"HOME",
                                            "XDG_CONFIG_HOME",
                                            "XDG_CACHE_HOME",
                                            "XDG_DATA_HOME",
                                            "XDG_RUNTIME_DIR",
                                            "DISPLAY",
                                            "WAYLAND_DISPLAY",
                                            "XAUTHORITY",
                                            "DBUS_SESSION_BUS_ADDRESS",
                                            "AT_SPI_BUS_ADDRESS",
                                            "NO_AT_BRIDGE",
                                            "QT_QPA_PLATFORM",
                                            "QT_QPA_PLATFORMTHEME",
                                            "QT_STYLE_OVERRIDE",
                                            "QT_SCALE_FACTOR",
                                            "QT_ACCESSIBILITY",
                                            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON",
                                            "UI_TEST_SCREEN"};
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (!replaced.count(entry.substr(0, entry.find('='))))
            env_.push_back(entry);
    }
    env_.push_back("HOME=" + home.string());
    env_.push_back("XDG_CONFIG_HOME=" + (home / ".config").string());
    env_.push_back("XDG_CACHE_HOME=" + (home / ".cache").string());
    env_.push_back("XDG_DATA_HOME=" + (home / ".local/share").string());
    env_.push_back("XDG_RUNTIME_DIR=" + home.string());

    // The X server picks a free display and tells it.
    x_ = std::make_unique<Child>(std::vector<std::string>{xvfb, "-displayfd", "1", "-nolisten",
                                                          "tcp", "-screen", "0", "1280x1024x24"},
                                 env_, 0, (home / "desktop.log").string());
    const std::string display = x_->started() ? x_->readLine(15000) : std::string();
    if (display.empty()) {
        missing_ = "Xvfb did not start: " + test_fixtures::readAll(home / "desktop.log");
        return;
    }
    env_.push_back("DISPLAY=:" + display);
    // The session bus, in the same process group: what it starts (the accessibility bus and
    // its registry) ends with it.
    bus_ = std::make_unique<Child>(std::vector<std::string>{dbus, "--session", "--nofork",
                                                            "--print-address=1",
                                                            "--address=unix:dir=" + home.string()},
                                   env_, x_->pid(), (home / "desktop.log").string());
    const std::string address = bus_->started() ? bus_->readLine(15000) : std::string();
    if (address.empty()) {
        missing_ = "the session bus did not start: " + test_fixtures::readAll(home / "desktop.log");
        return;
    }
    env_.push_back("DBUS_SESSION_BUS_ADDRESS=" + address);
    env_.push_back("QT_QPA_PLATFORM=xcb");
    env_.push_back("QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1");
}

PrivateDesktop::~PrivateDesktop() {
    // The group of the X server holds the buses and all they started, which are this
    // process's to wait for once their parents are gone.
    if (!x_ || !x_->started())
        return;
    const pid_t group = x_->pid();
    ::kill(-group, SIGTERM);
    bus_.reset();
    x_.reset();
    const auto end = Clock::now() + std::chrono::seconds(3);
    while (::waitpid(-group, nullptr, WNOHANG) >= 0) {
        if (Clock::now() > end)
            ::kill(-group, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void PrivateDesktop::enter() const {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "AT_SPI_BUS_ADDRESS", "NO_AT_BRIDGE"})
        ::unsetenv(name);
    for (const std::string& entry : env_) {
        const std::size_t eq = entry.find('=');
        ::setenv(entry.substr(0, eq).c_str(), entry.substr(eq + 1).c_str(), 1);
    }
}

} // namespace a11y_test
