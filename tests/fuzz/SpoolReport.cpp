// The spooler report's parsers: any text parses; a report the print path writes gives back
// the port, the driver, the job id and the job's status.
#include "printpath/PrintPath.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstring>

namespace {

// The text as the job parser joins it: the pieces between its CR LFs.
std::string withoutLineEnds(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "\r\n") == 0) {
            i += 2;
            continue;
        }
        out += text[i++];
    }
    return out;
}

bool plainField(const std::string& s) {
    return s.find_first_of(std::string("\r\n\0", 3)) == std::string::npos &&
           s.find("= ") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string in(fuzz::bytes(data, size));
    std::string port, driver, jobId;
    printpath::getPrinterStatus(in, port, driver);
    printpath::getJobStatus(in, jobId);

    if (size < 8)
        return 0;
    std::uint32_t status = 0, jobStatus = 0;
    std::memcpy(&status, data, 4);
    std::memcpy(&jobStatus, data + 4, 4);
    auto fields = fuzz::pieces(in.substr(8), '\x01');
    fields.resize(4);
    spooler::PrinterInfo printer{fields[0], fields[1], fields[2], status};
    if (plainField(fields[0]) && plainField(fields[1]) && plainField(fields[2])) {
        port = driver = "none";
        printpath::getPrinterStatus(printpath::printerPart(printer), port, driver);
        // The report carries each text as the spooler hands it over (at most 256 bytes).
        fuzz::check(port == printpath::spoolerText(fields[2]) &&
                        driver == printpath::spoolerText(fields[1]),
                    "port and driver read back");
    }
    spooler::JobInfo job{status, fields[3], jobStatus & 0xFF, jobStatus, std::nullopt};
    if (jobStatus & 0x80000000u)
        job.statusText = fields[3];
    const std::string text = printpath::getJobStatus(printpath::jobLines(job), jobId);
    fuzz::check(jobId == std::to_string(job.id), "job id read back");
    fuzz::check(text == withoutLineEnds(printpath::jobStatusLine(job)), "job status read back");
    return 0;
}
