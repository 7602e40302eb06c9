#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// A private CUPS scheduler for end-to-end tests: its own configuration, spool, state, logs
// and socket under a temporary folder, reached through CUPS_SERVER, which is set in this
// process and so inherited by every program the tests start. The machine's own scheduler
// is never touched. Its policy is the installed one (the <Policy> and <Location> sections of
// /etc/cups/cupsd.conf, unchanged): administration needs the system group. Fake devices
// stand for printers on local ports (FakeBackend.cpp).
namespace e2e {

// Someone to run a program as (not root).
struct TestUser {
    std::string name;
    unsigned uid = 0;
    unsigned gid = 0;
    std::vector<unsigned> groups; // all of the user's groups
};

struct RunResult {
    int exitCode = -1; // -1: did not start, was killed, or timed out
    bool timedOut = false;
    std::string output; // standard output and standard error together
};

// Runs a program with its arguments (argv[0] is the path; no shell) in `folder` (empty:
// this process's folder), with this process's environment plus `env` ("NAME=value"), as
// `user` when given (its uid, gid and groups, and the program's shared copy); kills it after
// `timeoutMs`. A program that cannot be started leaves a line saying why in the output.
RunResult runProgram(const std::vector<std::string>& argv, const std::string& folder = "",
                     int timeoutMs = 30000, const std::vector<std::string>& env = {},
                     const TestUser* user = nullptr);

enum class Scheme { Parallel, Serial, Usb };

class PrivateCups {
  public:
    // Asks for test users: call before the first instance(). The scheduler's system group
    // then holds a group of our own with one member, and a plain user exists beside it;
    // both are removed when the program ends. Only root can make users.
    static void wantTestUsers();

    // The scheduler of this test program: started on first use, stopped when the program
    // ends (also when it dies: the scheduler gets a signal when its parent goes).
    static PrivateCups& instance();

    bool running() const { return pid_ > 0; }
    // Why the scheduler did not start.
    const std::string& failure() const { return failure_; }
    const std::string& root() const { return root_; }
    // The socket that CUPS_SERVER names.
    std::string server() const { return root_ + "/s"; }

    // The test users, or why there are none.
    const std::optional<TestUser>& systemGroupMember() const { return member_; }
    const std::optional<TestUser>& plainUser() const { return plain_; }
    const std::string& usersFailure() const { return usersFailure_; }

    // Gives the test users a copy of the program in a folder they can reach, wherever the
    // build lies; "" when done, else why not. programFor: that copy, or the program itself.
    std::string shareWithTestUsers(const std::string& program);
    std::string programFor(const std::string& program) const;

    // Makes a fake device and returns its device URI; the scheduler lists it from now on.
    std::string addDevice(Scheme scheme, const std::string& name);
    // Every fake backend lists its devices, then takes this long to end (0: ends at once).
    void setListingDelay(int ms);
    // While refusing, the device does not take jobs: they stay in the queue.
    void setRefusing(Scheme scheme, const std::string& name, bool refusing);
    // The device takes the next `jobs` jobs, then refuses.
    void takeThenRefuse(Scheme scheme, const std::string& name, int jobs);
    // Every byte the device has received so far.
    std::string received(Scheme scheme, const std::string& name) const;
    // Waits until the device has received at least `bytes` bytes; false on time-out.
    bool waitReceived(Scheme scheme, const std::string& name, std::size_t bytes,
                      int timeoutMs = 10000) const;

    // True when the scheduler has no job on its way to a device that takes it: every queue
    // is empty, or a device refuses (its jobs stay). Also true while the scheduler is
    // stopped or cannot be asked: nothing is on its way then.
    bool settled();

    // Stops the scheduler as a hang would (SIGSTOP), and lets it go on again (SIGCONT).
    void suspend();
    void resume();

    // Back to a scheduler without queues, jobs or devices.
    void reset();

    // The scheduler's error log (for messages of failed tests).
    std::string errorLog() const;

    void stop();
    ~PrivateCups();

  private:
    PrivateCups();
    bool start();
    bool makeUsers();
    void removeUsers();
    std::string configuration(std::string& error) const;
    std::string devicePath(Scheme scheme, const std::string& name) const;
    bool anyRefusing() const;

    std::string root_;
    std::string failure_;
    int pid_ = -1;
    bool suspended_ = false;
    std::string group_; // our system group, when made
    std::optional<TestUser> member_, plain_;
    std::string usersFailure_ = "test users were not asked for";
    std::map<std::string, std::string> shared_; // program -> its copy for the test users
};

// Stops the scheduler for the life of this object.
class SuspendedScheduler {
  public:
    explicit SuspendedScheduler(PrivateCups& cups) : cups_(cups) { cups_.suspend(); }
    ~SuspendedScheduler() { cups_.resume(); }
    SuspendedScheduler(const SuspendedScheduler&) = delete;
    SuspendedScheduler& operator=(const SuspendedScheduler&) = delete;

  private:
    PrivateCups& cups_;
};

// Base of the end-to-end tests: a clean private scheduler before each test.
class PrivateCupsTest : public ::testing::Test {
  protected:
    void SetUp() override;
    PrivateCups* cups = nullptr;
};

// A fresh empty folder for one test (removed with the scheduler's folder), owned by `owner`
// when given.
std::string makeFolder(const std::string& name, const TestUser* owner = nullptr);

} // namespace e2e
