#include "tests/osprey_pages/OspreyFixture.h"

#include <filesystem>

namespace osprey_test {

namespace {

// BER length: short form below 128, else 81/82 and the bytes.
std::string berLength(std::size_t n) {
    if (n < 0x80)
        return std::string(1, static_cast<char>(n));
    if (n < 0x100)
        return std::string("\x81") + static_cast<char>(n);
    return std::string("\x82") + static_cast<char>(n >> 8) + static_cast<char>(n & 0xFF);
}

std::string tlv(std::uint8_t tag, const std::string& content) {
    return std::string(1, static_cast<char>(tag)) + berLength(content.size()) + content;
}

std::string encodeOid(const std::string& dotted) {
    std::vector<unsigned long> parts;
    std::size_t pos = 0;
    while (pos <= dotted.size()) {
        std::size_t dot = dotted.find('.', pos);
        std::string part = dotted.substr(pos, dot == std::string::npos ? dot : dot - pos);
        if (!part.empty())
            parts.push_back(std::stoul(part));
        if (dot == std::string::npos)
            break;
        pos = dot + 1;
    }
    std::string out(1, static_cast<char>(parts.at(0) * 40 + parts.at(1)));
    for (std::size_t i = 2; i < parts.size(); ++i) {
        std::string groups;
        unsigned long v = parts[i];
        groups.insert(groups.begin(), static_cast<char>(v & 0x7F));
        while (v >>= 7)
            groups.insert(groups.begin(), static_cast<char>(0x80 | (v & 0x7F)));
        out += groups;
    }
    return out;
}

std::string decodeOid(const std::string& bytes) {
    if (bytes.empty())
        return "";
    const auto first = static_cast<unsigned char>(bytes[0]);
    std::string out = std::to_string(first / 40) + "." + std::to_string(first % 40);
    unsigned long v = 0;
    for (std::size_t i = 1; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        v = (v << 7) | (b & 0x7F);
        if (!(b & 0x80)) {
            out += "." + std::to_string(v);
            v = 0;
        }
    }
    return out;
}

} // namespace

// ---- SnmpPeer ----

std::optional<SnmpPeer::Request> SnmpPeer::parseRequest(const std::string& b) {
    // 30 L 02 01 00 04 c <community> PDU L 02 01 01 02 01 00 02 01 00 30 L 30 L 06 n <oid>
    auto at = [&](std::size_t i) -> int {
        return i < b.size() ? static_cast<unsigned char>(b[i]) : -1;
    };
    if (at(0) != 0x30 || at(2) != 0x02 || at(5) != 0x04)
        return std::nullopt;
    Request r;
    const int c = at(6);
    if (c < 0)
        return std::nullopt;
    std::size_t p = 7;
    r.community = b.substr(p, static_cast<std::size_t>(c));
    p += static_cast<std::size_t>(c);
    r.pduType = static_cast<std::uint8_t>(at(p));
    p += 2 + 9 + 2 + 2; // PDU tag+len, three integers, list and binding headers
    if (at(p) != 0x06 || at(p + 1) < 0)
        return std::nullopt;
    r.oid = decodeOid(b.substr(p + 2, static_cast<std::size_t>(at(p + 1))));
    return r;
}

std::string SnmpPeer::response(const std::string& oid, const std::string& text) {
    const std::string binding = tlv(0x30, tlv(0x06, encodeOid(oid)) + tlv(0x04, text));
    const std::string pdu =
        tlv(0xA2, std::string("\x02\x01\x01\x02\x01\x00\x02\x01\x00", 9) + tlv(0x30, binding));
    return tlv(0x30, std::string("\x02\x01\x00", 3) + tlv(0x04, "mirtex") + pdu);
}

std::string SnmpPeer::errorResponse(const std::string& oid, std::uint8_t errorStatus) {
    const std::string binding = tlv(0x30, tlv(0x06, encodeOid(oid)) + std::string("\x05\x00", 2));
    const std::string pdu =
        tlv(0xA2, std::string("\x02\x01\x01\x02\x01", 5) + static_cast<char>(errorStatus) +
                      std::string("\x02\x01\x01", 3) + tlv(0x30, binding));
    return tlv(0x30, std::string("\x02\x01\x00", 3) + tlv(0x04, "mirtex") + pdu);
}

std::optional<net::FakeUdpNetwork::Reply>
SnmpPeer::answer(const net::FakeUdpNetwork::Sent& request) {
    sizes.push_back(request.bytes.size());
    hosts.push_back(request.host);
    ports.push_back(request.port);
    auto r = parseRequest(request.bytes);
    asked.push_back(r ? r->oid : "?");
    if (!r || silent || r->community != community)
        return std::nullopt;
    net::FakeUdpNetwork::Reply reply;
    reply.delayMs = delayMs;
    if (auto it = raw.find(r->oid); it != raw.end()) {
        reply.bytes = it->second;
        return reply;
    }
    auto it = values.find(r->oid);
    if (it == values.end())
        return std::nullopt;
    reply.bytes = response(r->oid, it->second);
    return reply;
}

// ---- ProgressWatch ----

void ProgressWatch::controlChanged(ui::Control& control, ui::Prop prop) {
    if (&control.form() != page)
        return;
    if (control.name() == page->StatusLog.name() && prop == ui::Prop::Text)
        statusText = control.text();
    else if (control.name() == page->ProgressBar.name() && prop == ui::Prop::Value)
        barValues.push_back(control.value());
}

void ProgressWatch::formShown(ui::Form& form) {
    shown.push_back(form.name());
}

// ---- OspreyFixture ----

OspreyFixture::OspreyFixture(spooler::SpoolerPath path) : stall(path, spooler, h.app, h.clock) {
    core.setPages(pages);
    udp.setResponder([this](const net::FakeUdpNetwork::Sent& s) { return peer.answer(s); });
    watch.page = &pages.get<osprey::ProgressDlg>();
    h.app.setHost(&watch);

    spooler::PrinterInfo office;
    office.name = kOfficePrinter;
    office.driver = "Office Laser Driver";
    office.port = "LPT1:";
    spooler.install(office);
    spooler::PrinterInfo label;
    label.name = kLabelPrinter;
    label.driver = kLabelDriver;
    label.port = kLabelPort;
    spooler.install(label);
    spooler.setDefaultPrinter(kOfficePrinter);
    spooler.setCurrentPrinter(kOfficePrinter);
    spooler.setPorts({"LPT1:", "COM1:", kLabelPort});
    spooler.setWrittenJobLooks(-1);
    spooler.setBeforeCall([this](spooler::MemorySpooler::Call c) {
        printerTakesJobs();
        if (c == spooler::MemorySpooler::Call::WriteRawDocument)
            lastWriteMs_ = h.app.now();
    });

    peer.values[osprey::kSysDescrOid] = kSysDescr;
    // The agent's text values end without a terminator; the wizard drops the decoder's
    // extra last character.
    peer.values[osprey::kDisplayLine1Oid] = kPanelLine1;
    peer.values[osprey::kDisplayLine2Oid] = kPanelLine2;
}

OspreyFixture::~OspreyFixture() {
    h.app.setHost(nullptr);
}

void OspreyFixture::printerTakesJobs() {
    if (taking_)
        return;
    taking_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{taking_};
    const auto& docs = spooler.documents();
    // A document appears after its write's hook ran: it was written at that moment.
    while (writtenAt_.size() < docs.size())
        writtenAt_.push_back(lastWriteMs_);
    for (std::size_t i = 0; i < docs.size(); ++i) {
        const std::int64_t after = takeAfter ? takeAfter(i, docs[i]) : takeMs;
        if (after < 0 || writtenAt_[i] + after > h.app.now())
            continue;
        for (const auto& j : spooler.queue(docs[i].printer))
            if (j.id == docs[i].jobId) {
                spooler.deleteJob(docs[i].printer, j.id);
                break;
            }
    }
}

void OspreyFixture::start(const std::string& commandLine) {
    h.run([&] { core.Main(commandLine); });
}

void OspreyFixture::toSelection(const std::string& commandLine) {
    start(commandLine);
    h.click(pages.get<osprey::Intro>().Next);
    h.click(pages.get<osprey::SelectDlg>().CfgPrinter);
    h.click(pages.get<osprey::SelectDlg>().Next);
    ASSERT_EQ(h.visibleForm(), "Selection");
}

void OspreyFixture::toLoadDlg() {
    ASSERT_NO_FATAL_FAILURE(toSelection());
    h.click(pages.get<osprey::Selection>().Next);
    ASSERT_EQ(h.visibleForm(), "LoadDlg");
}

void OspreyFixture::labelPrinterChosen() {
    core.ws.SelectedPrinter = kLabelPrinter;
    core.ws.PrinterPort = kLabelPort;
    core.ws.PrinterDriver = kLabelDriver;
    core.ws.PrinterWidth = 4;
    core.ws.ResolutionClass = 3;
    core.ws.ModelOption = true;
}

void OspreyFixture::movePrinterTo(const std::string& port) {
    spooler::PrinterInfo label;
    label.name = kLabelPrinter;
    label.driver = kLabelDriver;
    label.port = port;
    spooler.uninstall(kLabelPrinter);
    spooler.install(label);
}

std::vector<std::string> OspreyFixture::jobsSent(const std::string& printer) const {
    std::vector<std::string> jobs;
    for (const auto& d : spooler.documents())
        if (d.printer == printer)
            jobs.push_back(d.bytes);
    return jobs;
}

std::vector<std::string> OspreyFixture::stepJobs(const std::string& printer) const {
    std::vector<std::string> jobs;
    for (const auto& j : jobsSent(printer))
        if (j != nullJob())
            jobs.push_back(j);
    return jobs;
}

std::string OspreyFixture::frame(const std::vector<std::string>& lines) {
    std::string s = "!KVT_SETUP\r\n";
    for (const auto& l : lines)
        s += l + "\r\n";
    return s + "KVT_END\r\n";
}

std::vector<std::string> OspreyFixture::statusLines() const {
    return testing_support::crlfLines(watch.statusText);
}

int OspreyFixture::progressValue() const {
    const auto& page = pages.get<osprey::ProgressDlg>();
    return page.loaded() ? page.ProgressBar->value() : -1;
}

std::optional<std::string> OspreyFixture::read(const std::string& name) const {
    return const_cast<sys::RealSystem&>(system).readFile(path(name));
}

void OspreyFixture::write(const std::string& name, const std::string& bytes) const {
    const_cast<sys::RealSystem&>(system).writeFile(path(name), bytes);
}

bool OspreyFixture::waitUntil(const std::function<bool()>& done, std::int64_t limitMs,
                              std::int64_t stepMs) {
    return h.waitUntil(done, limitMs, stepMs);
}

} // namespace osprey_test
