// The spooler report texts and their parsers.
#include "printpath/PrintPath.h"

#include "platform/sys/Encoding.h"
#include "platform/sys/System.h"
#include "printpath/ReportFields.h"

namespace printpath {

namespace {

const std::string kCrLf = "\r\n";

struct Word {
    std::uint32_t bit;
    const char* text;
};

// Order matters: the report lists the words in this order.
constexpr Word kPrinterWords[] = {
    {0x200, "Busy"},
    {0x400000, "Printer Door Open"},
    {0x2, "Printer Error"},
    {0x8000, "Initializing"},
    {0x100, "I/O Active"},
    {0x20, "Manual Feed"},
    {0x40000, "No Toner"},
    {0x1000, "Not Available"},
    {0x80, "Off Line"},
    {0x200000, "Out of Memory"},
    {0x800, "Output Bin Full"},
    {0x80000, "Page Punt"},
    {0x8, "Paper Jam"},
    {0x10, "Paper Out"},
    {0x40, "Page Problem"},
    {0x1, "Paused"},
    {0x4, "Pending Deletion"},
    {0x400, "Printing"},
    {0x4000, "Processing"},
    {0x20000, "Toner Low"},
    {0x100000, "User Intervention"},
    {0x2000, "Waiting"},
    {0x10000, "Warming Up"},
};

constexpr Word kJobWords[] = {
    {0x8, "Spooling"},
    {0x20, "Off line"},
    {0x1, "Paused"},
    {0x2, "Error"},
    {0x40, "Paper Out"},
    {0x10, "Printing"},
    {0x400, "User Intervention Needed"},
};

template <std::size_t N> std::string words(const Word (&table)[N], std::uint32_t status) {
    std::string out;
    for (const auto& w : table)
        if (status & w.bit)
            out += std::string(w.text) + "  ";
    if (out.empty())
        out = "Unknown Status of " + std::to_string(status);
    return out;
}

// Splits at every occurrence of the separator, keeping empty pieces.
std::vector<std::string> split(const std::string& text, const std::string& sep) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        auto at = text.find(sep, start);
        if (at == std::string::npos) {
            out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, at - start));
        start = at + sep.size();
    }
}

// The second field of the text split at "= ", when there is one.
std::optional<std::string> secondField(const std::string& piece) {
    auto fields = split(piece, "= ");
    if (fields.size() < 2)
        return std::nullopt;
    return fields[1];
}

void say(const LogFn& log, const std::string& message) {
    if (log)
        log(message);
}

} // namespace

std::string VersionText() {
    return "5.00B";
}

std::string spoolerText(const std::optional<std::string>& text, std::size_t maxLength) {
    if (!text)
        return " ";
    return sys::leftChars(text->substr(0, text->find('\0')), maxLength);
}

std::string printerUpdateErrorText(const std::string& frontPanel) {
    std::string t = "ERROR!  Unable to Update Printer Settings.\r\n"
                    "An unexpected error occurred during printer configuration.\r\n";
    if (!frontPanel.empty())
        t += "Printer Front Panel Message:\r\n" + frontPanel + "\r\n";
    else
        t += "Please see the printer for the error condition.\r\n";
    return t + "\r\nOperation cannot continue. The wizard will exit.";
}

std::string printerStatusLine(std::uint32_t status) {
    return "Printer Status = " +
           (status == 0 ? std::string("Ready") : words(kPrinterWords, status)) + kCrLf;
}

std::string printerPart(const spooler::PrinterInfo& info) {
    return printerStatusLine(info.status) + "Printer Name = " + spoolerText(info.name) + kCrLf +
           "Printer Driver Name = " + spoolerText(info.driver) + kCrLf +
           "Printer Port Name = " + spoolerText(info.port) + kCrLf;
}

std::string jobStatusLine(const spooler::JobInfo& job) {
    if (job.statusText) {
        std::string text = spoolerText(job.statusText, 511);
        if (!text.empty())
            return text + kCrLf;
    }
    if (job.status == 0)
        return "Ready!  " + kCrLf + kCrLf;
    return words(kJobWords, job.status) + kCrLf;
}

std::vector<std::string> jobStatusSteps(const spooler::JobInfo& job) {
    const std::string line = jobStatusLine(job);
    const std::string whole = line.substr(0, line.size() - kCrLf.size());
    if ((job.statusText && !spoolerText(job.statusText, 511).empty()) || job.status == 0)
        return {whole};
    std::vector<std::string> steps;
    std::string sofar;
    for (const auto& w : kJobWords) {
        if (job.status & w.bit) {
            sofar += std::string(w.text) + "  ";
            steps.push_back(sofar);
        }
    }
    if (steps.empty())
        steps.push_back(whole); // "Unknown Status of N"
    return steps;
}

std::string jobLines(const spooler::JobInfo& job) {
    return "Job ID = " + std::to_string(job.id) + kCrLf +
           "Total Pages = " + std::to_string(job.totalPages) + kCrLf + jobStatusLine(job);
}

namespace detail {

PrinterStatusFields parsePrinterPart(const std::string& PrinterVar, const LogFn& log) {
    PrinterStatusFields out;
    if (PrinterVar.find(kCrLf) == std::string::npos) {
        say(log, "...PrinterVar=0 :" + PrinterVar);
        return out;
    }
    for (const auto& piece : split(PrinterVar, kCrLf)) {
        if (piece.find("Printer Status = ") != std::string::npos) {
            if (auto f = secondField(piece))
                out.status = *f;
        }
        if (piece.find("Printer Port Name = ") != std::string::npos) {
            if (auto f = secondField(piece))
                out.port = *f;
            return out;
        } else if (piece.find("Printer Driver Name = ") != std::string::npos) {
            if (auto f = secondField(piece))
                out.driver = *f;
        }
    }
    return out;
}

} // namespace detail

std::string getPrinterStatus(const std::string& PrinterVar, std::string& port, std::string& driver,
                             const LogFn& log) {
    say(log, "...getPrinterStatus");
    auto fields = detail::parsePrinterPart(PrinterVar, log);
    if (fields.port)
        port = *fields.port;
    if (fields.driver)
        driver = *fields.driver;
    return fields.status;
}

std::string getJobStatus(const std::string& JobVar, std::string& jobId, const LogFn& log) {
    say(log, "...getJobStatus");
    if (JobVar == "No Print Jobs!") {
        say(log, "...[ No Print Jobs ]");
        return "No Print Jobs!";
    }
    if (JobVar.find(kCrLf) == std::string::npos) {
        say(log, "...JobVar=0 :" + JobVar);
        return "";
    }
    auto pieces = split(JobVar, kCrLf);
    auto id = secondField(pieces[0]);
    if (pieces[0].find("= ") == std::string::npos || !id) {
        jobId = "0";
        return JobVar;
    }
    jobId = *id;
    std::size_t last = pieces.size() - 1;
    std::size_t start = 2;
    if (last < 2) {
        start = 0;
        say(log, "...start=0 : UBound= " + std::to_string(last));
    }
    std::string out;
    for (std::size_t i = start; i <= last; ++i)
        out += pieces[i];
    return out;
}

std::string spoolerCauseLine(const std::string& routine, int error) {
    return "..." + routine + ": " + spooler::errorText(error) + " (" + std::to_string(error) + ")";
}

std::vector<std::uint32_t> jobsToPurge(const std::vector<spooler::JobInfo>& jobs,
                                       const std::string& documentName) {
    std::vector<std::uint32_t> ids;
    if (documentName.empty())
        return ids;
    for (const auto& job : jobs)
        if (job.document && spoolerText(job.document).find(documentName) != std::string::npos)
            ids.push_back(job.id);
    return ids;
}

int readPortTable(const std::string& bytes, PortTable& table) {
    int count = 0;
    std::size_t pos = 0;
    while (pos < bytes.size() && count < PortTable::Size) {
        auto end = bytes.find_first_of("\r\n", pos);
        if (end == std::string::npos) {
            table.names[count++] = bytes.substr(pos);
            break;
        }
        table.names[count++] = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (bytes[end] == '\r' && pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    table.count = count;
    return count;
}

std::string programCommandLine(const std::string& folder, const std::string& program,
                               const std::string& arguments) {
    std::string line = "\"" + sys::joinPath(folder, program) + "\"";
    if (!arguments.empty())
        line += " " + arguments;
    return line;
}

} // namespace printpath
