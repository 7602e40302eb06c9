#include "platform/spooler/cups/CupsSpooler.h"

#include "platform/spooler/cups/CupsStatus.h"
#include "platform/spooler/cups/Deadline.h"
#include "platform/spooler/cups/DriverFile.h"
#include "platform/spooler/cups/Exchange.h"
#include "platform/spooler/cups/Ipp.h"
#include "platform/spooler/cups/PortNameRule.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace spooler {

namespace {

using namespace cupsmap;
using namespace ipp;
using Waits = Deadline::Waits;

// No password prompts: a call that needs one fails at once instead of waiting on a terminal
// (libcups' own prompt reads the terminal). Local credentials need no password.
const char* noPassword(const char*, http_t*, const char*, const char*, void*) {
    return nullptr;
}

class CupsSpooler final : public Spooler {
  public:
    explicit CupsSpooler(CupsLimits limits) : limits_(limits) {}

    void beginAction() override {
        if (depth_++ == 0) {
            deadline_.startIn(std::chrono::milliseconds(limits_.actionMs));
            devices_.reset();
            devicesError_ = err::None;
        }
    }
    void endAction() override {
        if (depth_ > 0) {
            --depth_;
        }
    }

    Result<std::vector<std::string>> printers() override {
        SpoolerAction action(*this);
        Http http = connect();
        if (!http) {
            return Result<std::vector<std::string>>::failure(connectError_);
        }
        ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
        static const char* const attrs[] = {"printer-name", "printer-type"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2,
                      nullptr, attrs);
        Answer answer = ask(http.get(), request, "/");
        int e = errorOf(answer);
        if (e == err::InvalidPrinterName) {
            // CUPS answers "not found" when it has no printers at all.
            return Result<std::vector<std::string>>::success({});
        }
        if (e != err::None) {
            return Result<std::vector<std::string>>::failure(e);
        }
        std::vector<std::string> names;
        forEachGroup(answer.response.get(), IPP_TAG_PRINTER, [&](ipp_t* g) {
            if (attrInt(g, "printer-type", 0) & CUPS_PRINTER_CLASS) {
                return; // classes have no counterpart among the system's printers
            }
            std::string name = attrText(g, "printer-name");
            if (!name.empty()) {
                names.push_back(std::move(name));
            }
        });
        return Result<std::vector<std::string>>::success(std::move(names));
    }

    std::string currentPrinter() override {
        if (!currentKnown_) {
            SpoolerAction action(*this);
            Http http = connect();
            if (!http) {
                return "";
            }
            Dest dest(cupsGetNamedDest(libcupsReads(http.get()), nullptr, nullptr));
            // No answer is not "no default": the next call asks again.
            if (!dest) {
                const int e = lastError(http.get());
                if (e == err::Timeout || e == err::ServiceUnavailable) {
                    return "";
                }
            }
            current_ = dest && dest->name ? dest->name : "";
            currentKnown_ = true;
        }
        return current_;
    }

    void setCurrentPrinter(const std::string& name) override {
        current_ = name;
        currentKnown_ = true;
    }

    Result<PrinterInfo> printerInfo(const std::string& printer) override {
        SpoolerAction action(*this);
        if (!isValidQueueName(printer)) {
            return Result<PrinterInfo>::failure(err::InvalidPrinterName);
        }
        Http http = connect();
        if (!http) {
            return Result<PrinterInfo>::failure(connectError_);
        }
        static const char* const attrs[] = {"printer-name",
                                            "printer-state",
                                            "printer-state-reasons",
                                            "printer-is-accepting-jobs",
                                            "printer-make-and-model",
                                            "device-uri",
                                            "printer-type"};
        Answer answer = ask(http.get(), printerRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, printer,
                                                       attrs, sizeof attrs / sizeof *attrs));
        if (int e = errorOf(answer); e != err::None) {
            return Result<PrinterInfo>::failure(e);
        }
        ipp_t* response = answer.response.get();
        // CUPS finds queues whatever the letter case; the spooler's names are exact.
        if (attrText(response, "printer-name") != printer) {
            return Result<PrinterInfo>::failure(err::InvalidPrinterName);
        }
        PrinterInfo info;
        info.name = printer;
        if (auto mm = attrText(response, "printer-make-and-model"); !mm.empty()) {
            info.driver = mm;
        }
        if (auto uri = attrText(response, "device-uri"); !uri.empty()) {
            info.port = portName(uri);
        }
        info.status = printerStatusBits(
            attrInt(response, "printer-state", PrinterIdle),
            attrTexts(ippFindAttribute(response, "printer-state-reasons", IPP_TAG_ZERO)),
            attrBool(response, "printer-is-accepting-jobs", true));
        return Result<PrinterInfo>::success(std::move(info));
    }

    Result<std::vector<JobInfo>> jobs(const std::string& printer) override {
        SpoolerAction action(*this);
        if (!isValidQueueName(printer)) {
            return Result<std::vector<JobInfo>>::failure(err::InvalidPrinterName);
        }
        Http http = connect();
        if (!http) {
            return Result<std::vector<JobInfo>>::failure(connectError_);
        }
        return activeJobs(http.get(), printer);
    }

    int deleteJob(const std::string& printer, std::uint32_t jobId) override {
        SpoolerAction action(*this);
        if (!isValidQueueName(printer)) {
            return err::InvalidPrinterName;
        }
        Http http = connect();
        if (!http) {
            return connectError_;
        }
        ipp_t* request = newPrinterRequest(IPP_OP_CANCEL_JOB, printer);
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id",
                      static_cast<int>(jobId));
        return errorOf(ask(http.get(), request, "/jobs/"), err::InvalidParameter); // no such job
    }

    WriteOutcome writeRawDocument(const std::string& printer, const std::string& document,
                                  const std::string& bytes) override {
        SpoolerAction action(*this);
        WriteOutcome out;
        if (!isValidQueueName(printer)) {
            out.error = err::InvalidPrinterName;
            return out;
        }
        Http http = connect();
        if (!http) {
            out.error = connectError_;
            return out;
        }
        Dest dest(cupsGetNamedDest(libcupsReads(http.get()), printer.c_str(), nullptr));
        if (!dest || printer != dest->name) {
            out.error = dest ? err::InvalidPrinterName : lastError(http.get());
            return out;
        }
        DestInfo info(cupsCopyDestInfo(libcupsReads(http.get()), dest.get()));
        if (!info) {
            out.error = lastError(http.get());
            return out;
        }
        out.opened = true;

        int jobId = 0;
        ipp_status_t created = cupsCreateDestJob(libcupsReads(http.get()), dest.get(), info.get(),
                                                 &jobId, document.c_str(), 0, nullptr);
        if (created > IPP_STATUS_OK_CONFLICTING || jobId <= 0) {
            out.error = lastError(http.get());
            return out;
        }
        out.jobId = static_cast<std::uint32_t>(jobId);

        // Sending and writing wait in slices: every such wait asks whether to go on.
        deadline_.bind(http.get(), Waits::InSlices);
        http_status_t started =
            cupsStartDestDocument(http.get(), dest.get(), info.get(), jobId, document.c_str(),
                                  CUPS_FORMAT_RAW, 0, nullptr, 1);
        if (started != HTTP_STATUS_CONTINUE) {
            out.error = lastError(http.get());
            abandon(printer, jobId);
            return out;
        }
        out.started = true;

        constexpr std::size_t chunk = 65536;
        for (std::size_t pos = 0; pos < bytes.size(); pos += chunk) {
            std::size_t n = std::min(chunk, bytes.size() - pos);
            if (cupsWriteRequestData(http.get(), bytes.data() + pos, n) != HTTP_STATUS_CONTINUE) {
                out.error = lastError(http.get());
                break;
            }
            out.bytesWritten += n;
        }
        ipp_status_t finished =
            cupsFinishDestDocument(libcupsReads(http.get()), dest.get(), info.get());
        if (finished > IPP_STATUS_OK_CONFLICTING) {
            if (out.error == err::None) {
                out.error = lastError(http.get());
            }
        } else if (out.bytesWritten == bytes.size()) {
            out.ended = true;
        }
        if (!out.ended) {
            // A partial document must not print; the job goes.
            abandon(printer, jobId);
        }
        return out;
    }

    Result<std::vector<std::string>> ports() override {
        SpoolerAction action(*this);
        auto devices = localDevices();
        if (!devices.ok()) {
            return Result<std::vector<std::string>>::failure(devices.error);
        }
        std::vector<std::string> names;
        for (const auto& d : *devices.value) {
            names.push_back(d.name);
        }
        return Result<std::vector<std::string>>::success(std::move(names));
    }

    int addPrinter(const std::string& name, const std::string& driver,
                   const std::string& port) override {
        SpoolerAction action(*this);
        if (!isValidQueueName(name)) {
            return err::InvalidName;
        }
        if (driver != kGenericTextDriver &&
            (std::find(limits_.rawDrivers.begin(), limits_.rawDrivers.end(), driver) ==
                 limits_.rawDrivers.end() ||
             !isDescribableDriver(driver))) {
            return err::UnknownDriver;
        }
        Http http = connect();
        if (!http) {
            return connectError_;
        }
        {
            static const char* const attrs[] = {"printer-name"};
            int e = errorOf(
                ask(http.get(), printerRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name, attrs, 1)));
            if (e == err::None) {
                return err::PrinterAlreadyExists;
            }
            if (e != err::InvalidPrinterName) {
                return e;
            }
        }
        std::optional<std::string> uri;
        auto devices = localDevices();
        if (devices.ok()) {
            uri = portnames::uriForPort(port, *devices.value);
        } else if (devices.error == err::ServiceUnavailable || devices.error == err::Timeout) {
            return devices.error;
        }
        if (!uri) {
            uri = portnames::fallbackUri(port);
        }
        if (!uri) {
            return err::UnknownPort;
        }

        ipp_t* request = newPrinterRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, name);
        ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, uri->c_str());
        ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr, name.c_str());
        ippAddBoolean(request, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
        ippAddInteger(request, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
        // The request carries the description file as its document, as a driver upload does.
        // It goes from a file in memory, so that libcups can send it again after answering
        // the scheduler's demand for authentication.
        int ppd = describedDriverFile(driver);
        if (ppd < 0) {
            ippDelete(request);
            return GenFailure;
        }
        Answer answer = ask(http.get(), request, "/admin/", ppd);
        ::close(ppd);
        const int e = errorOf(answer);
        if (e != err::None && answer.response &&
            refusesDevice(ippGetStatusCode(answer.response.get()),
                          attrText(answer.response.get(), "status-message"))) {
            return err::DeviceRefused;
        }
        return e;
    }

    int deletePrinter(const std::string& name) override {
        SpoolerAction action(*this);
        if (!isValidQueueName(name)) {
            return err::InvalidPrinterName;
        }
        Http http = connect();
        if (!http) {
            return connectError_;
        }
        auto queued = activeJobs(http.get(), name);
        if (!queued.ok()) {
            return queued.error;
        }
        if (!queued.value->empty()) {
            // The Windows spooler keeps a printer until its jobs are gone; callers rely on it.
            return err::PrinterHasJobs;
        }
        ipp_t* request = newPrinterRequest(IPP_OP_CUPS_DELETE_PRINTER, name);
        return errorOf(ask(http.get(), request, "/admin/"));
    }

  private:
    // A connection whose waits end with the action's time; on failure connectError_ says
    // why (no scheduler, or no time left).
    Http connect() {
        const int left = deadline_.leftMs();
        if (left <= 0) {
            connectError_ = err::Timeout;
            return nullptr;
        }
        // libcups keeps its callbacks per thread: set on the thread that makes the calls.
        cupsSetPasswordCB2(noPassword, nullptr);
        std::string host = limits_.server.empty() ? cupsServer() : limits_.server;
        int port = ippPort();
        if (auto colon = host.rfind(':');
            !limits_.server.empty() && host[0] != '/' && colon != std::string::npos &&
            colon + 1 < host.size() &&
            host.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
            port = std::atoi(host.c_str() + colon + 1);
            host.resize(colon);
        }
        http_t* h = httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 std::min(limits_.connectMs, left), nullptr);
        if (!h) {
            connectError_ = deadline_.passed() ? err::Timeout : err::ServiceUnavailable;
            return nullptr;
        }
        deadline_.bind(h, Waits::InSlices);
        return Http(h);
    }

    // One request of this action and its whole answer (Exchange.h).
    Answer ask(http_t* http, ipp_t* request, const char* resource = "/", int file = -1) const {
        return exchange(http, deadline_, request, resource, limits_.connectMs, file);
    }

    // The error of a request's answer; a "not found" answer counts as `notFound`.
    static int errorOf(const Answer& answer, int notFound = err::InvalidPrinterName) {
        if (!answer.response) {
            return answer.error;
        }
        int e = errorFromIppStatus(ippGetStatusCode(answer.response.get()));
        return e == err::InvalidPrinterName ? notFound : e;
    }

    // The connection, bound for a call of libcups that reads its answer itself: its one
    // wait for the rest of an answer then lasts until the deadline (Deadline.h).
    http_t* libcupsReads(http_t* http) const {
        deadline_.bind(http, Waits::ToDeadline);
        return http;
    }

    // The error of the last call of libcups that got no answer: libcups' last error (a lost
    // connection counts as an unreachable scheduler, a wait that outlasted the action as a
    // time-out).
    int lastError(http_t* http) const {
        if (httpError(http) == ETIMEDOUT || deadline_.passed()) {
            return err::Timeout;
        }
        // An HTTP error in place of an IPP answer: libcups reports it as an IPP status
        // ("not found" for 404), which must not read as "no printers".
        if (int e = errorFromHttpStatus(httpGetStatus(http)); e != err::None) {
            return e;
        }
        const int status = cupsLastError();
        if (status == IPP_STATUS_OK || status == IPP_STATUS_ERROR_INTERNAL) {
            return err::ServiceUnavailable;
        }
        return errorFromIppStatus(status);
    }

    Result<std::vector<JobInfo>> activeJobs(http_t* http, const std::string& printer) {
        static const char* const attrs[] = {"job-id", "job-name", "job-state", "job-state-reasons",
                                            "job-impressions"};
        ipp_t* request = newPrinterRequest(IPP_OP_GET_JOBS, printer);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr,
                     "not-completed");
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      sizeof attrs / sizeof *attrs, nullptr, attrs);
        Answer answer = ask(http, request);
        if (int e = errorOf(answer); e != err::None) {
            return Result<std::vector<JobInfo>>::failure(e);
        }
        std::vector<JobInfo> list;
        forEachGroup(answer.response.get(), IPP_TAG_JOB, [&](ipp_t* g) {
            JobInfo job;
            int id = attrInt(g, "job-id", 0);
            if (id <= 0) {
                return;
            }
            job.id = static_cast<std::uint32_t>(id);
            // Titles of other users' jobs are hidden; CUPS then sends no name or a
            // placeholder, which the callers treat as a foreign document.
            if (ipp_attribute_t* n = ippFindAttribute(g, "job-name", IPP_TAG_ZERO)) {
                if (const char* v = ippGetString(n, 0, nullptr)) {
                    job.document = v;
                }
            }
            job.totalPages =
                static_cast<std::uint32_t>(std::max(0, attrInt(g, "job-impressions", 0)));
            job.status =
                jobStatusBits(attrInt(g, "job-state", JobPending),
                              attrTexts(ippFindAttribute(g, "job-state-reasons", IPP_TAG_ZERO)));
            list.push_back(std::move(job));
        });
        return Result<std::vector<JobInfo>>::success(std::move(list));
    }

    // The name a printer's device URI shows: in the naming of the whole current listing, so
    // that the report agrees with the port lister; by the URI alone when the listing cannot
    // be read (it needs the system group); the URI itself for devices without a name.
    std::string portName(const std::string& uri) {
        if (!portnames::preferredPortName(uri)) {
            return uri;
        }
        auto devices = localDevices();
        auto name = devices.ok() ? portnames::portNameIn(uri, *devices.value)
                                 : portnames::preferredPortName(uri);
        return name.value_or(uri);
    }

    // The local devices under their port names; asked once per action, also when the
    // scheduler refuses (a user outside the system group): every report of the action
    // would be refused alike.
    Result<std::vector<portnames::PortDevice>> localDevices() {
        if (devices_) {
            return Result<std::vector<portnames::PortDevice>>::success(*devices_);
        }
        if (devicesError_ != err::None) {
            return Result<std::vector<portnames::PortDevice>>::failure(devicesError_);
        }
        auto listed = askLocalDevices();
        if (!listed.ok()) {
            devicesError_ = listed.error;
        }
        return listed;
    }

    Result<std::vector<portnames::PortDevice>> askLocalDevices() {
        Http http = connect();
        if (!http) {
            return Result<std::vector<portnames::PortDevice>>::failure(connectError_);
        }
        // The scheduler answers once every asked backend has answered or its time is up.
        ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_DEVICES);
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "timeout",
                      limits_.deviceSeconds);
        static const char* const schemes[] = {"parallel", "serial", "usb"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "include-schemes", 3, nullptr,
                      schemes);
        static const char* const attrs[] = {"device-uri"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1,
                      nullptr, attrs);
        Answer answer = ask(http.get(), request);
        int e = errorOf(answer);
        if (e == err::InvalidPrinterName) {
            // "not found": no devices at all
            devices_.emplace();
            return Result<std::vector<portnames::PortDevice>>::success({});
        }
        if (e != err::None) {
            return Result<std::vector<portnames::PortDevice>>::failure(e);
        }
        std::vector<std::string> uris;
        ipp_t* response = answer.response.get();
        for (ipp_attribute_t* a = ippFindAttribute(response, "device-uri", IPP_TAG_URI); a;
             a = ippFindNextAttribute(response, "device-uri", IPP_TAG_URI)) {
            if (const char* v = ippGetString(a, 0, nullptr)) {
                uris.emplace_back(v);
            }
        }
        devices_ = portnames::nameLocalDevices(uris);
        return Result<std::vector<portnames::PortDevice>>::success(*devices_);
    }

    // Cancels a job whose document did not arrive whole.
    void abandon(const std::string& printer, int jobId) {
        Http http = connect();
        if (!http) {
            return;
        }
        ipp_t* request = newPrinterRequest(IPP_OP_CANCEL_JOB, printer);
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
        ippAddBoolean(request, IPP_TAG_OPERATION, "purge-job", 1);
        ask(http.get(), request, "/jobs/");
    }

    CupsLimits limits_;
    std::string current_;
    bool currentKnown_ = false;
    int depth_ = 0;     // open actions
    Deadline deadline_; // end of the outermost open action
    int connectError_ = err::ServiceUnavailable;
    std::optional<std::vector<portnames::PortDevice>> devices_; // this action's listing
    int devicesError_ = err::None;                              // why this action's listing failed
};

} // namespace

std::unique_ptr<Spooler> makeCupsSpooler(CupsLimits limits) {
    return std::make_unique<CupsSpooler>(limits);
}

} // namespace spooler
