#pragma once
#include <string>
#include <vector>

#include <gtest/gtest.h>

// A private CUPS scheduler for end-to-end tests: its own configuration, spool, state, logs
// and socket under a temporary folder, reached through CUPS_SERVER, which is set in this
// process and so inherited by every program the tests start. The machine's own scheduler
// is never touched. Fake devices stand for printers on local ports (FakeBackend.cpp).
namespace e2e {

struct RunResult {
    int exitCode = -1; // -1: did not start, was killed, or timed out
    bool timedOut = false;
    std::string output; // standard output and standard error together
};

// Runs a program with its arguments (argv[0] is the path; no shell) in `folder` (empty:
// this process's folder), with this process's environment plus `env` ("NAME=value");
// kills it after `timeoutMs`.
RunResult runProgram(const std::vector<std::string>& argv, const std::string& folder = "",
                     int timeoutMs = 30000, const std::vector<std::string>& env = {});

enum class Scheme { Parallel, Serial, Usb };

class PrivateCups {
  public:
    // The scheduler of this test program: started on first use, stopped when the program
    // ends (also when it dies: the scheduler gets a signal when its parent goes).
    static PrivateCups& instance();

    bool running() const { return pid_ > 0; }
    // Why the scheduler did not start.
    const std::string& failure() const { return failure_; }
    const std::string& root() const { return root_; }
    // The socket that CUPS_SERVER names.
    std::string server() const { return root_ + "/s"; }

    // Makes a fake device and returns its device URI; the scheduler lists it from now on.
    std::string addDevice(Scheme scheme, const std::string& name);
    // While refusing, the device does not take jobs: they stay in the queue.
    void setRefusing(Scheme scheme, const std::string& name, bool refusing);
    // Every byte the device has received so far.
    std::string received(Scheme scheme, const std::string& name) const;
    // Waits until the device has received at least `bytes` bytes; false on time-out.
    bool waitReceived(Scheme scheme, const std::string& name, std::size_t bytes,
                      int timeoutMs = 10000) const;

    // Back to a scheduler without queues, jobs or devices.
    void reset();

    // The scheduler's error log (for messages of failed tests).
    std::string errorLog() const;

    void stop();
    ~PrivateCups();

  private:
    PrivateCups();
    bool start();
    std::string devicePath(Scheme scheme, const std::string& name) const;

    std::string root_;
    std::string failure_;
    int pid_ = -1;
};

// Base of the end-to-end tests: a clean private scheduler before each test.
class PrivateCupsTest : public ::testing::Test {
  protected:
    void SetUp() override;
    PrivateCups* cups = nullptr;
};

// A fresh empty folder for one test (removed with the scheduler's folder).
std::string makeFolder(const std::string& name);

} // namespace e2e
