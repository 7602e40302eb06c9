#pragma once
#include "platform/sys/System.h"
#include "printpath/PrintPath.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/Harness.h"
#include "tests/support/MemorySpooler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The wizard side of the print path, recording what it is asked to do.
class FakeHost : public printpath::PrintPathHost {
  public:
    struct ErrorBox {
        std::string text;
        bool exitFlag;
        std::string title;
    };
    struct Box {
        std::string text;
        int flags;
        std::string title;
    };

    explicit FakeHost(sys::System& system) : system_(system) {}

    void WriteLog(const std::string& message) override {
        if (logEnabled)
            log.push_back(message);
    }
    bool LogEnabled() const override { return logEnabled; }
    bool FileExists(const std::string& path) override { return system_.fileExists(path); }
    void ShowProgramError(const std::string& text, bool exitFlag,
                          const std::string& title) override {
        errors.push_back({text, exitFlag, title});
    }
    int MsgBox(const std::string& text, int flags, const std::string& title) override {
        boxes.push_back({text, flags, title});
        return 1;
    }
    std::string ProgramTitle() const override { return "Kestrel Wizard"; }
    std::string PrinterName() const override { return printerName; }
    void SetStatusPortName(const std::string& port) override { statusPort = port; }
    void SetStatusDriverName(const std::string& driver) override { statusDriver = driver; }

    bool logEnabled = true;
    std::string printerName;
    std::string statusPort = "(unset)";
    std::string statusDriver = "(unset)";
    std::vector<std::string> log;
    std::vector<ErrorBox> errors;
    std::vector<Box> boxes;

  private:
    sys::System& system_;
};

inline spooler::PrinterInfo printer(const std::string& name, std::uint32_t status = 0) {
    return {name, "Generic / Text Only", "LPT1:", status};
}

inline spooler::JobInfo jobNamed(const std::string& doc,
                                 std::uint32_t status = spooler::jst::Spooling) {
    spooler::JobInfo j;
    j.document = doc;
    j.totalPages = 1;
    j.status = status;
    return j;
}

// The print path with one wizard's options over the memory spooler, the fake runner and
// virtual time.
class PrintPathFixture : public ::testing::Test {
  protected:
    PrintPathFixture(printpath::PrintPathOptions options, const std::string& folder)
        : runner(harness.clock), system(folder), host(system), options_(std::move(options)) {
        harness.app.setStallLimit(10'000'000);
    }

    printpath::PrintPath path() {
        return printpath::PrintPath({spool, runner, system, harness.app, host}, options_);
    }

    testing_support::Harness harness;
    spooler::MemorySpooler spool;
    proc::FakeProcessRunner runner;
    sys::RealSystem system;
    FakeHost host;

  private:
    printpath::PrintPathOptions options_;
};
