#pragma once
// What the fuzz targets share: a property check that stops the run, an in-memory PC, and
// each wizard headless on fakes, for loading and saving settings files through its pages.
#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"
#include "osprey/core/Core.h"
#include "osprey/pages/Pages.h"
#include "platform/net/Tcp.h"
#include "platform/registry/MemoryRegistry.h"
#include "platform/sys/Log.h"
#include "platform/sys/System.h"
#include "platform/ui/App.h"
#include "platform/ui/Clock.h"
#include "platform/ui/Dialogs.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/FakeUdp.h"
#include "tests/support/MemorySpooler.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// A property that must hold for every input: on failure, says which and aborts, so that
// libFuzzer keeps the input.
void check(bool holds, const char* property);

inline std::string_view bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at every `separator`, empty pieces kept.
std::vector<std::string> pieces(std::string_view input, char separator);

// Files in memory; fixed folders and time.
class MemorySystem : public sys::System {
  public:
    std::map<std::string, std::string> files;

    std::string programFolder() override { return "/fuzz"; }
    std::string currentFolder() override { return "/fuzz"; }
    bool setCurrentFolder(const std::string&) override { return true; }
    bool fileExists(const std::string& path) override { return files.count(path) != 0; }
    bool namedFileExists(const std::string& path) override { return fileExists(path); }
    bool deleteFile(const std::string& path) override { return files.erase(path) != 0; }
    std::optional<std::string> readFile(const std::string& path) override;
    std::optional<std::string> readOwnFile(const std::string& path, int& error) override {
        auto text = readFile(path);
        error = text ? 0 : ENOENT;
        return text;
    }
    sys::IoResult writeFile(const std::string& path, const std::string& bytes) override;
    sys::IoResult appendFile(const std::string& path, const std::string& bytes) override;
    sys::LocalTime localTime() override { return {2026, 1, 2, 3, 4, 5}; }
    const sys::MonthNames& monthNames() override { return sys::englishMonthNames(); }
};

// Every box answered with its first button (Yes to questions); the boxes kept.
class AnswerBoxes : public ui::MessageBoxes {
  public:
    int show(const ui::MessageBoxRequest& request) override;
    std::vector<ui::MessageBoxRequest> shown;
};

class NoBrowser : public ui::FileBrowser {
  public:
    std::optional<std::string> browse(const ui::FileBrowseRequest&) override {
        return std::nullopt;
    }
};

// One headless program run: clock, boxes and event loop. Events that end the program
// return false; any other exception leaves the run and so fails the target.
class Run {
  public:
    explicit Run(MemorySystem& system) : system(system) {}
    bool event(const std::function<void()>& f) { return app.dispatch(f); }

    MemorySystem& system;
    ui::VirtualClock clock;
    AnswerBoxes boxes;
    NoBrowser browser;
    ui::App app{clock, boxes, browser};
    proc::FakeProcessRunner processes{clock};
    spooler::MemorySpooler spooler;
};

// Kestrel started with " GO /VERYSILENT", on its start-new-or-load page.
class KestrelRun : public Run {
  public:
    explicit KestrelRun(MemorySystem& system);
    net::RealNetwork network{1000, 1000};
    kestrel::Core core{kestrel::CoreServices{app, system, processes, spooler, network}};
    kestrel::KestrelPages pages{app, core};
};

// Osprey with a supported printer of the given width chosen, its settings pages loaded.
class OspreyRun : public Run {
  public:
    OspreyRun(MemorySystem& system, int printerWidth);
    net::FakeUdpNetwork udp{&clock};
    registry::MemoryRegistry registry;
    osprey::Core core{osprey::CoreServices{app, system, processes, spooler, udp, registry}};
    osprey::OspreyPages pages{app, core};
};

} // namespace fuzz
