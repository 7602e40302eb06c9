#include "tests/kestrel_pages/KestrelFixture.h"

#include "kestrel/pages/ProgressDlg.h"
#include "tools/Batch.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace kestrel_test {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// A connection whose behaviour the test scripted.
class ScriptedTcpClient : public net::TcpClient {
  public:
    explicit ScriptedTcpClient(std::shared_ptr<ScriptedTcp> s) : s_(std::move(s)) {}
    void connect(const std::string& host, std::uint16_t port) override {
        s_->events.push_back("connect " + host + ":" + std::to_string(port));
        state_ = s_->stateAfterConnect;
    }
    int state() override { return state_; }
    bool send(const std::string& bytes) override {
        s_->events.push_back("send " + std::to_string(bytes.size()));
        if (state_ != net::state::Connected || !s_->sendSucceeds) {
            state_ = net::state::Error;
            return false;
        }
        s_->sent += bytes;
        return true;
    }
    void close() override {
        s_->events.push_back("close");
        state_ = net::state::Closed;
    }
    std::string errorText() const override {
        return state_ == net::state::Error ? "scripted failure" : "";
    }

  private:
    std::shared_ptr<ScriptedTcp> s_;
    int state_ = net::state::Closed;
};

} // namespace

// ---- PrinterSetupRunner ----

PrinterSetupRunner::PrinterSetupRunner(ui::Clock& clock, spooler::MemorySpooler& spooler,
                                       sys::System& system)
    : clock_(&clock), spooler_(&spooler), system_(&system) {}

int PrinterSetupRunner::count(const std::string& fragment) const {
    return static_cast<int>(std::count_if(started_.begin(), started_.end(), [&](const auto& s) {
        return s.find(fragment) != std::string::npos;
    }));
}

std::string PrinterSetupRunner::programName(const std::string& arg0) {
    std::string name = arg0;
    auto slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    if (lower(name).size() > 4 && lower(name).substr(name.size() - 4) == ".exe")
        name = name.substr(0, name.size() - 4);
    return name;
}

proc::Handle PrinterSetupRunner::start(const std::string& commandLine) {
    started_.push_back(commandLine);
    auto args = proc::splitCommandLine(commandLine);
    if (args.empty())
        return 0;
    const std::string program = programName(args[0]);
    if (missing.count(program) || (program != "Plover" && program != "rundll32"))
        return 0;
    carryOut(commandLine, 0);
    proc::Handle h = next_++;
    ends_[h] = clock_->nowMs() + runMs;
    return h;
}

bool PrinterSetupRunner::isRunning(proc::Handle& handle) {
    auto it = ends_.find(handle);
    if (handle == 0 || it == ends_.end()) {
        handle = 0;
        return false;
    }
    if (clock_->nowMs() < it->second)
        return true;
    ends_.erase(it);
    handle = 0;
    return false;
}

bool PrinterSetupRunner::startHidden(const std::string& commandLine) {
    hidden_.push_back(commandLine);
    auto args = proc::splitCommandLine(commandLine);
    return !args.empty() && !missing.count(programName(args[0]));
}

void PrinterSetupRunner::carryOut(const std::string& commandLine, int depth) {
    if (depth > 4)
        return;
    if (intercept && !intercept(commandLine))
        return;
    auto args = proc::splitCommandLine(commandLine);
    if (args.empty())
        return;
    const std::string program = programName(args[0]);
    if (missing.count(program))
        return;
    if (program == "Plover")
        plover(args, depth);
    else if (program == "rundll32")
        rundll32(args);
}

void PrinterSetupRunner::plover(const std::vector<std::string>& args, int depth) {
    if (args.size() < 2)
        return;
    const std::string what = args[1];
    if (programName(what) == "Wren") {
        std::string text;
        for (const auto& p : ports)
            text += p + "\r\n";
        system_->writeFile(sys::joinPath(system_->currentFolder(), "ports.txt"), text);
        return;
    }
    if (tools::isBatchFile(what)) {
        int error = 0;
        auto bytes = system_->readOwnFile(sys::joinPath(system_->currentFolder(), what), error);
        if (!bytes)
            return;
        batches_.push_back(*bytes);
        auto environment = [](const std::string& name) -> std::optional<std::string> {
            const char* value = std::getenv(name.c_str());
            return value ? std::optional<std::string>(value) : std::nullopt;
        };
        for (const auto& line : tools::batchCommands(*bytes, environment))
            carryOut(line, depth + 1);
        return;
    }
    std::string rest;
    for (std::size_t i = 1; i < args.size(); ++i)
        rest += (i > 1 ? " " : "") + proc::quoteArgument(args[i]);
    carryOut(rest, depth + 1);
}

void PrinterSetupRunner::rundll32(const std::vector<std::string>& args) {
    if (args.size() < 2 || lower(args[1]) != "printui.dll,printuientry")
        return;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string flag = lower(args[i]);
        if ((flag == "/b" || flag == "/f" || flag == "/r" || flag == "/m" || flag == "/n") &&
            i + 1 < args.size()) {
            values[flag] = args[++i];
        } else {
            flags.insert(flag);
        }
    }
    if (flags.count("/if")) {
        spooler_->addPrinter(values["/b"], values["/m"], values["/r"]);
    } else if (flags.count("/dl")) {
        spooler_->deletePrinter(values["/n"]);
    } else if (flags.count("/xg")) {
        auto info = spooler_->info(values["/n"]);
        if (info && values.count("/f"))
            system_->writeFile(values["/f"], "Printer Name = " + info->name.value_or("") +
                                                 "\r\nPort Name = " + info->port.value_or("") +
                                                 "\r\nDriver Name = " + info->driver.value_or("") +
                                                 "\r\n");
    }
}

// ---- TestNetwork ----

std::unique_ptr<net::TcpClient> TestNetwork::createTcpClient() {
    if (scripted_)
        return std::make_unique<ScriptedTcpClient>(scripted_);
    return real_.createTcpClient();
}

// ---- ProgressWatch ----

void ProgressWatch::controlChanged(ui::Control& control, ui::Prop prop) {
    if (&control.form() != page)
        return;
    if (control.name() == page->StatusLog.name() && prop == ui::Prop::Text)
        statusText = control.text();
    else if (control.name() == page->ProgressBar.name() && prop == ui::Prop::Value)
        barValues.emplace_back(control.form().app().now(), control.value());
}

void ProgressWatch::formShown(ui::Form& form) {
    shown.emplace_back(form.app().now(), form.name());
}

// ---- KestrelFixture ----

KestrelFixture::KestrelFixture(spooler::SpoolerPath path) : stall(path, spooler, h.app, h.clock) {
    core.setPages(pages);
    watch.page = &pages.get<kestrel::ProgressDlg>();
    h.app.setHost(&watch);
    spooler::PrinterInfo office;
    office.name = kOfficePrinter;
    office.driver = "Office Laser Driver";
    office.port = "LPT2:";
    spooler.install(office);
    spooler.setDefaultPrinter(kOfficePrinter);
    spooler.setCurrentPrinter(kOfficePrinter);
    spooler.setPorts({"LPT1:", "LPT2:", "COM1:", "USB001"});
    // The printer takes a job at once: the first look at the queue still sees it.
    spooler.setWrittenJobLooks(1);
}

KestrelFixture::~KestrelFixture() {
    h.app.setHost(nullptr);
}

void KestrelFixture::start(const std::string& commandLine) {
    h.run([&] { core.Main(commandLine); });
}

bool KestrelFixture::exists(const std::string& name) const {
    std::error_code ec;
    return std::filesystem::exists(path(name), ec);
}

std::optional<std::string> KestrelFixture::read(const std::string& name) const {
    return const_cast<sys::RealSystem&>(system).readFile(path(name));
}

void KestrelFixture::write(const std::string& name, const std::string& bytes) const {
    const_cast<sys::RealSystem&>(system).writeFile(path(name), bytes);
}

std::vector<std::string> KestrelFixture::statusLines() const {
    return testing_support::crlfLines(watch.statusText);
}

int KestrelFixture::progressValue() const {
    const auto& progress = pages.get<kestrel::ProgressDlg>();
    return progress.loaded() ? progress.ProgressBar->value() : -1;
}

std::int64_t KestrelFixture::barReached(int value) const {
    for (const auto& [t, v] : watch.barValues)
        if (v == value)
            return t;
    return -1;
}

std::string KestrelFixture::job(const std::string& commands) {
    return "!KVT_SETUP\r\nNIC_SETUP\r\n" + commands + "\r\nreboot\r\nEND_NIC_SETUP\r\nKVT_END\r\n";
}

bool KestrelFixture::waitUntil(const std::function<bool()>& done, std::int64_t limitMs,
                               std::int64_t stepMs) {
    return h.waitUntil(done, limitMs, stepMs);
}

bool KestrelFixture::waitConnected(int timeoutMs) {
    auto* socket = pages.get<kestrel::ProgressDlg>().pwSocket();
    for (int waited = 0; socket && waited < timeoutMs; waited += 5) {
        int s = socket->state();
        if (s == net::state::Connected)
            return true;
        if (s == net::state::Error)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

} // namespace kestrel_test
