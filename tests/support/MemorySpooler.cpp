#include "tests/support/MemorySpooler.h"

#include <algorithm>

namespace spooler {

void MemorySpooler::install(PrinterInfo info) {
    if (!info.name)
        return;
    if (Printer* p = find(*info.name)) {
        p->info = std::move(info);
        return;
    }
    printers_.push_back(Printer{std::move(info), {}});
}

void MemorySpooler::uninstall(const std::string& name) {
    std::erase_if(printers_, [&](const Printer& p) { return p.info.name == name; });
}

void MemorySpooler::setStatus(const std::string& printer, std::uint32_t status) {
    if (Printer* p = find(printer))
        p->info.status = status;
}

std::uint32_t MemorySpooler::addJob(const std::string& printer, JobInfo job, int looks) {
    Printer* p = find(printer);
    if (!p)
        return 0;
    if (job.id == 0)
        job.id = nextJobId_++;
    else
        nextJobId_ = std::max(nextJobId_, job.id + 1);
    std::uint32_t id = job.id;
    p->jobs.push_back(QueuedJob{std::move(job), looks});
    return id;
}

void MemorySpooler::failNext(Call call, int error, int times) {
    for (int i = 0; i < times; ++i)
        failures_[call].push_back(error);
}

void MemorySpooler::failWriteAt(WriteStage stage, int error, std::size_t bytesBeforeFailure) {
    writeFailure_ = WriteFailure{true, stage, error, bytesBeforeFailure};
}

std::vector<JobInfo> MemorySpooler::queue(const std::string& printer) const {
    std::vector<JobInfo> out;
    if (const Printer* p = find(printer))
        for (const auto& j : p->jobs)
            out.push_back(j.info);
    return out;
}

bool MemorySpooler::hasPrinter(const std::string& name) const {
    return find(name) != nullptr;
}

std::optional<PrinterInfo> MemorySpooler::info(const std::string& name) const {
    if (const Printer* p = find(name))
        return p->info;
    return std::nullopt;
}

int MemorySpooler::calls(Call call) const {
    auto it = calls_.find(call);
    return it == calls_.end() ? 0 : it->second;
}

int MemorySpooler::enter(Call call) {
    ++calls_[call];
    if (beforeCall_)
        beforeCall_(call);
    auto it = failures_.find(call);
    if (it == failures_.end() || it->second.empty())
        return err::None;
    int e = it->second.front();
    it->second.erase(it->second.begin());
    return e;
}

MemorySpooler::Printer* MemorySpooler::find(const std::string& name) {
    for (auto& p : printers_)
        if (p.info.name == name)
            return &p;
    return nullptr;
}

const MemorySpooler::Printer* MemorySpooler::find(const std::string& name) const {
    for (const auto& p : printers_)
        if (p.info.name == name)
            return &p;
    return nullptr;
}

Result<std::vector<std::string>> MemorySpooler::printers() {
    if (int e = enter(Call::Printers))
        return Result<std::vector<std::string>>::failure(e);
    std::vector<std::string> names;
    for (const auto& p : printers_)
        names.push_back(*p.info.name);
    return Result<std::vector<std::string>>::success(std::move(names));
}

std::string MemorySpooler::currentPrinter() {
    enter(Call::CurrentPrinter);
    return current_.empty() ? default_ : current_;
}

void MemorySpooler::setCurrentPrinter(const std::string& name) {
    enter(Call::SetCurrentPrinter);
    current_ = name;
}

Result<PrinterInfo> MemorySpooler::printerInfo(const std::string& printer) {
    if (int e = enter(Call::PrinterInfo))
        return Result<PrinterInfo>::failure(e);
    const Printer* p = find(printer);
    if (!p)
        return Result<PrinterInfo>::failure(err::InvalidPrinterName);
    return Result<PrinterInfo>::success(p->info);
}

Result<std::vector<JobInfo>> MemorySpooler::jobs(const std::string& printer) {
    if (int e = enter(Call::Jobs))
        return Result<std::vector<JobInfo>>::failure(e);
    Printer* p = find(printer);
    if (!p)
        return Result<std::vector<JobInfo>>::failure(err::InvalidPrinterName);
    std::vector<JobInfo> seen;
    for (auto& j : p->jobs) {
        if (j.looksLeft == 0)
            continue;
        seen.push_back(j.info);
        if (j.looksLeft > 0)
            --j.looksLeft;
    }
    // A job seen for its last time has left the queue afterwards.
    std::erase_if(p->jobs, [](const QueuedJob& j) { return j.looksLeft == 0; });
    return Result<std::vector<JobInfo>>::success(std::move(seen));
}

int MemorySpooler::deleteJob(const std::string& printer, std::uint32_t jobId) {
    if (int e = enter(Call::DeleteJob))
        return e;
    Printer* p = find(printer);
    if (!p)
        return err::InvalidPrinterName;
    auto it = std::find_if(p->jobs.begin(), p->jobs.end(),
                           [&](const QueuedJob& j) { return j.info.id == jobId; });
    if (it == p->jobs.end())
        return err::InvalidParameter;
    p->jobs.erase(it);
    deleted_.push_back(jobId);
    return err::None;
}

WriteOutcome MemorySpooler::writeRawDocument(const std::string& printer,
                                             const std::string& document,
                                             const std::string& bytes) {
    WriteOutcome out;
    WriteFailure failure = writeFailure_;
    writeFailure_ = WriteFailure{};
    if (int e = enter(Call::WriteRawDocument)) {
        out.error = e;
        return out;
    }
    Printer* p = find(printer);
    if (!p) {
        out.error = err::InvalidPrinterName;
        return out;
    }
    auto failsAt = [&](WriteStage s) { return failure.armed && failure.stage == s; };
    if (failsAt(WriteStage::Open)) {
        out.error = failure.error;
        return out;
    }
    out.opened = true;
    if (failsAt(WriteStage::Start)) {
        out.error = failure.error;
        return out;
    }
    out.started = true;
    JobInfo job;
    job.document = document;
    job.totalPages = 1;
    job.status = jst::Spooling;
    std::uint32_t id = addJob(printer, job, writtenJobLooks_);
    out.jobId = id;
    std::string written = bytes;
    if (failsAt(WriteStage::Write)) {
        written = bytes.substr(0, std::min(bytes.size(), failure.bytes));
        out.bytesWritten = written.size();
        out.error = failure.error;
        documents_.push_back(Document{printer, document, written, id});
        return out;
    }
    out.bytesWritten = bytes.size();
    documents_.push_back(Document{printer, document, written, id});
    if (failsAt(WriteStage::End)) {
        out.error = failure.error;
        return out;
    }
    out.ended = true;
    return out;
}

Result<std::vector<std::string>> MemorySpooler::ports() {
    if (int e = enter(Call::Ports))
        return Result<std::vector<std::string>>::failure(e);
    return Result<std::vector<std::string>>::success(ports_);
}

int MemorySpooler::addPrinter(const std::string& name, const std::string& driver,
                              const std::string& port) {
    if (int e = enter(Call::AddPrinter))
        return e;
    if (find(name))
        return err::PrinterAlreadyExists;
    if (std::find(ports_.begin(), ports_.end(), port) == ports_.end())
        return err::UnknownPort;
    PrinterInfo info;
    info.name = name;
    info.driver = driver;
    info.port = port;
    printers_.push_back(Printer{std::move(info), {}});
    return err::None;
}

int MemorySpooler::deletePrinter(const std::string& name) {
    if (int e = enter(Call::DeletePrinter))
        return e;
    Printer* p = find(name);
    if (!p)
        return err::InvalidPrinterName;
    if (!p->jobs.empty())
        return err::PrinterHasJobs;
    uninstall(name);
    if (current_ == name)
        current_.clear();
    return err::None;
}

} // namespace spooler
