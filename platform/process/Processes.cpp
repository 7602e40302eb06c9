#include "platform/process/Processes.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/sys/Strings.h"
#include "platform/sys/System.h"
#include "platform/sys/Trust.h"

extern char** environ;

namespace proc {

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> args;
    std::size_t i = 0;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };

    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i >= line.size())
        return args;

    // Program name: quotes group, no escapes.
    std::string program;
    if (line[i] == '"') {
        ++i;
        while (i < line.size() && line[i] != '"')
            program += line[i++];
        if (i < line.size())
            ++i; // closing quote
    } else {
        while (i < line.size() && !isBlank(line[i]))
            program += line[i++];
    }
    args.push_back(program);

    for (;;) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i >= line.size())
            break;
        std::string arg;
        bool quoted = false;
        while (i < line.size()) {
            char c = line[i];
            if (!quoted && isBlank(c))
                break;
            if (c == '\\') {
                std::size_t n = 0;
                while (i < line.size() && line[i] == '\\') {
                    ++n;
                    ++i;
                }
                if (i < line.size() && line[i] == '"') {
                    arg.append(n / 2, '\\');
                    if (n % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                    // An even run leaves the quote for the next round to toggle.
                } else {
                    arg.append(n, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            arg += c;
            ++i;
        }
        args.push_back(arg);
    }
    return args;
}

std::string quoteArgument(std::string_view a) {
    if (!a.empty() && a.find_first_of(" \t\"") == std::string_view::npos)
        return std::string(a);
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : a) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
            out += '"';
        } else {
            out.append(backslashes, '\\');
            out += c;
        }
        backslashes = 0;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

namespace {

// 0 when the path is an executable regular file the user may run as their own (as the file
// writer would have let them write it), else why not; ENOENT when nothing is there.
int executableCause(const std::string& path) {
    int e = sys::ownFileCause(path);
    if (e == 0)
        e = ::access(path.c_str(), X_OK) == 0 ? 0 : errno;
    // A folder the user cannot look into (another user's folder in PATH) or a file standing
    // where a folder should be holds nothing to run: as good as missing, not a refusal.
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    if (e == ENOTDIR || (e == EACCES && ::access(folder.c_str(), X_OK) != 0))
        return ENOENT;
    return e;
}

bool endsWithExe(const std::string& name) {
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".exe";
}

// The name itself, then without ".exe". `why` keeps the first cause other than a missing file.
std::optional<std::string> tryCandidates(const std::string& path, int& why) {
    std::string candidates[] = {path, ""};
    if (endsWithExe(path))
        candidates[1] = path.substr(0, path.size() - 4);
    for (const std::string& candidate : candidates) {
        if (candidate.empty())
            continue;
        const int e = executableCause(candidate);
        if (e == 0)
            return candidate;
        if (why == ENOENT && e != ENOENT)
            why = e;
    }
    return std::nullopt;
}

std::optional<std::string> search(const std::string& name, const std::string& programFolder,
                                  const std::string& currentFolder, const std::string& path,
                                  int& cause) {
    if (name.empty())
        return std::nullopt;
    if (name.find('/') != std::string::npos)
        return tryCandidates(name[0] == '/' ? name : sys::joinPath(currentFolder, name), cause);
    // Without the program's own folder the current one does not stand in for it.
    std::vector<std::string> folders;
    if (!programFolder.empty())
        folders = {programFolder, currentFolder};
    for (std::string_view dir : sys::splitOn(path, ':'))
        folders.emplace_back(dir);
    for (const auto& folder : folders)
        if (!folder.empty())
            if (auto program = tryCandidates(sys::joinPath(folder, name), cause))
                return program;
    return std::nullopt;
}

} // namespace

std::optional<std::string> findProgram(const std::string& name, const std::string& programFolder,
                                       const std::string& currentFolder, const std::string& path,
                                       int* why) {
    int cause = ENOENT;
    auto found = search(name, programFolder, currentFolder, path, cause);
    if (why)
        *why = found ? 0 : cause;
    return found;
}

RealProcessRunner::RealProcessRunner() : programFolder_(sys::executableFolder()) {}
RealProcessRunner::RealProcessRunner(std::string programFolder)
    : programFolder_(std::move(programFolder)) {}
RealProcessRunner::~RealProcessRunner() {
    for (auto& [handle, c] : collected_)
        if (c.fd >= 0)
            ::close(c.fd);
}

namespace {

struct Prepared {
    std::string program;
    std::vector<std::string> args;
    std::vector<char*> argv;
};

// The program and its arguments, or nothing with `why` set.
std::optional<Prepared> prepare(const std::string& commandLine, const std::string& programFolder,
                                int& why) {
    Prepared p;
    p.args = splitCommandLine(commandLine);
    why = ENOENT;
    if (p.args.empty())
        return std::nullopt;
    const char* pathEnv = std::getenv("PATH");
    sys::RealSystem system(programFolder);
    auto found = findProgram(p.args[0], programFolder, system.currentFolder(),
                             pathEnv ? pathEnv : "/usr/bin:/bin", &why);
    if (!found)
        return std::nullopt;
    p.program = *found;
    for (auto& a : p.args)
        p.argv.push_back(a.data());
    p.argv.push_back(nullptr);
    return p;
}

// Our programs ignore SIGXFSZ (a write past the file-size limit fails instead), and an ignored
// signal stays ignored across exec: the programs they start get the default back.
void defaultFileSizeSignal() {
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    ::sigaction(SIGXFSZ, &dfl, nullptr);
}

int spawn(const Prepared& p, const posix_spawn_file_actions_t* actions, pid_t& pid) {
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    sigset_t defaults;
    ::sigemptyset(&defaults);
    ::sigaddset(&defaults, SIGXFSZ);
    ::posix_spawnattr_setsigdefault(&attributes, &defaults);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    const int e =
        ::posix_spawn(&pid, p.program.c_str(), actions, &attributes, p.argv.data(), environ);
    ::posix_spawnattr_destroy(&attributes);
    return e;
}

} // namespace

Handle RealProcessRunner::start(const std::string& commandLine) {
    auto p = prepare(commandLine, programFolder_, startError_);
    pid_t pid = 0;
    if (p)
        startError_ = spawn(*p, nullptr, pid);
    return p && startError_ == 0 ? pid : 0;
}

Handle RealProcessRunner::startCollectingErrors(const std::string& commandLine) {
    auto p = prepare(commandLine, programFolder_, startError_);
    if (!p)
        return 0;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return start(commandLine); // its errors then go where ours go
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    pid_t pid = 0;
    startError_ = spawn(*p, &actions, pid);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (startError_ != 0) {
        ::close(fds[0]);
        return 0;
    }
    // Read while it runs, so that a talkative program never blocks on a full pipe.
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    collected_[pid] = Collected{fds[0], {}};
    return pid;
}

void RealProcessRunner::drain(Collected& c, bool toTheEnd) {
    constexpr std::size_t kKeep = 65536; // causes are short; a flood is cut
    char buf[4096];
    while (c.fd >= 0) {
        ssize_t n = ::read(c.fd, buf, sizeof buf);
        if (n > 0) {
            c.text.append(
                buf, std::min(static_cast<std::size_t>(n), kKeep - std::min(kKeep, c.text.size())));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // End of the pipe, or nothing more for now. A program the process left running
        // may hold the pipe open: once the process has ended, its rest is not waited for.
        if (n == 0 || toTheEnd) {
            ::close(c.fd);
            c.fd = -1;
        }
        return;
    }
}

std::string RealProcessRunner::takeErrors(Handle process) {
    auto it = collected_.find(process);
    if (it == collected_.end() || it->second.fd >= 0)
        return {};
    std::string text = std::move(it->second.text);
    collected_.erase(it);
    return text;
}

bool RealProcessRunner::isRunning(Handle& handle) {
    if (handle == 0)
        return false;
    auto collecting = collected_.find(handle);
    if (collecting != collected_.end())
        drain(collecting->second, false);
    int status = 0;
    pid_t r = ::waitpid(static_cast<pid_t>(handle), &status, WNOHANG);
    if (r == 0)
        return true;
    if (r < 0 && errno == EINTR)
        return true;
    if (collecting != collected_.end())
        drain(collecting->second, true);
    handle = 0; // ended (or not ours any more): released
    return false;
}

int RealProcessRunner::wait(Handle& handle) {
    if (handle == 0)
        return -1;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(static_cast<pid_t>(handle), &status, 0);
    } while (r < 0 && errno == EINTR);
    if (auto collecting = collected_.find(handle); collecting != collected_.end())
        drain(collecting->second, true);
    handle = 0;
    if (r < 0)
        return -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return -1;
}

bool RealProcessRunner::startHidden(const std::string& commandLine) {
    auto p = prepare(commandLine, programFolder_, startError_);
    if (!p)
        return false;
    // Started through an intermediate child that exits at once, so the program is not
    // ours to reap and leaves no zombie behind.
    pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        pid_t grandchild = ::fork();
        if (grandchild == 0) {
            defaultFileSizeSignal();
            ::execv(p->program.c_str(), p->argv.data());
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(child, &status, 0);
    } while (r < 0 && errno == EINTR);
    return r == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string joinArguments(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += quoteArgument(argv[i]);
    }
    return line;
}

} // namespace proc
