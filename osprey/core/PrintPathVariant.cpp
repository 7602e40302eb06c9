#include "osprey/core/PrintPathVariant.h"

#include <memory>
#include <string>
#include <utility>

namespace osprey {

namespace {

using Lines = printpath::TraceLines::Lines;

class OspreyTrace final : public printpath::TraceLines {
  public:
    Lines checkStarted(const std::string&, const std::string&) const override {
        return {"...CheckPrinter"};
    }
    Lines opening(const std::string& printer) const override {
        return {"...CheckPrinter:PrinterName:" + printer};
    }
    Lines openFailed() const override { return {"...CheckPrinter:Cannot open printer"}; }
    Lines infoRead(const spooler::PrinterInfo* info) const override {
        // The probes with an empty buffer fail by design (rc 0) and learn the size.
        Lines lines = {"...CheckPrinter:GetPrinter rc:0",
                       "...CheckPrinter:BytesNeeded:" +
                           std::to_string(info ? printpath::printerPart(*info).size() : 0),
                       "...CheckPrinter:GetPrinter rc:" + std::string(info ? "1" : "0")};
        if (!info)
            lines.push_back("...CheckPrinter:Couldn't get Printer Status!");
        return lines;
    }
    Lines checkingStatus() const override { return {}; }
    Lines statusChecked(const std::string& statusLine) const override {
        return {"...CheckPrinter:CheckPrinterStatus rc:" + statusLine};
    }
    Lines jobsFailed() const override {
        return {"...CheckPrinter:EnumJobs size of buffer:0", "...CheckPrinter:EnumJobs job info:0",
                "...CheckPrinter:EnumJobs Failed on second call!"};
    }
    Lines jobsRead(std::size_t count) const override {
        if (count == 0)
            return {"...CheckPrinter:EnumJobs size of buffer:1",
                    "...CheckPrinter:EnumJobs:No Print Jobs!"};
        return {"...CheckPrinter:EnumJobs size of buffer:0", "...CheckPrinter:EnumJobs job info:1",
                "...CheckPrinter: \r\n"};
    }
    Lines jobListed(const printpath::ListedJob& listed) const override {
        const spooler::JobInfo& job = listed.job;
        // Details the spooler does not carry read as missing texts and zeros.
        const std::string none = printpath::spoolerText(std::nullopt);
        const std::pair<const char*, std::string> dump[] = {
            {"Job ID", std::to_string(job.id)},
            {"Name Of Printer", listed.printer},
            {"Name Of Machine That Created Job", none},
            {"Print Job Owner's Name", none},
            {"Name Of Document", printpath::spoolerText(job.document)},
            {"Name Of User To Notify", none},
            {"Type Of Data", none},
            {"Print Processor", none},
            {"Print Processor Parameters", none},
            {"Print Driver Name", printpath::spoolerText(listed.info.driver)},
            {"Print Job 'P' Status", printpath::spoolerText(job.statusText, 511)},
            {"Print Job Status", std::to_string(job.status)},
            {"Print Job Priority", "0"},
            {"Position in Queue", std::to_string(listed.position)},
            {"Earliest Time Job Can Be Printed", "0"},
            {"Latest Time Job Will Be Printed", "0"},
            {"Total Pages For Entire Job", std::to_string(job.totalPages)},
            {"Size of Job In Bytes", "0"},
            {"Elapsed Print Time", "0"},
            {"Pages Printed So Far", "0"},
        };
        Lines lines;
        for (const auto& [label, value] : dump)
            lines.push_back(std::string(label) + "\t" + value);
        lines.push_back("JobStr=" + listed.jobPart);
        for (const std::string& sofar : printpath::jobStatusSteps(job))
            lines.push_back("tempStr=" + sofar);
        lines.push_back("JobStr & tempStr=" + listed.jobPart + listed.statusLine);
        return lines;
    }
    Lines sending(const std::string&) const override { return {}; }
    Lines purgeEnded() const override { return {"...PurgePrintQueue: Exit"}; }
    Lines killStarted() const override { return {"...KillPrintJob"}; }
    Lines killEnded() const override { return {"...KillPrintJob:Exit"}; }
};

} // namespace

printpath::PrintPathOptions printPathOptions() {
    return {.documentName = "Osprey Command",
            .pollMs = 100,
            .purgeNamedPrinter = false,
            .checkStopsWithoutPrinters = false,
            .logOnlyWhenEnabled = true,
            .logProgramErrors = false,
            .trace = std::make_shared<OspreyTrace>()};
}

} // namespace osprey
