// Writes the seed corpora of the fuzz targets with the project's own writers:
//   fuzz_seeds FOLDER   makes FOLDER/<target>/seed-N for every target.
#include "osprey/core/Snmp.h"
#include "platform/process/Processes.h"
#include "platform/ui/Form.h"
#include "portlister/PortList.h"
#include "printpath/PrintPath.h"
#include "tests/fuzz/FuzzSupport.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

class Corpus {
  public:
    Corpus(fs::path root, std::string target) : dir_(std::move(root) / std::move(target)) {
        fs::create_directories(dir_);
    }
    void add(const std::string& bytes) {
        std::ofstream(dir_ / ("seed-" + std::to_string(++n_)), std::ios::binary) << bytes;
    }

  private:
    fs::path dir_;
    int n_ = 0;
};

// Settings saved by Kestrel after the pages were set as `fill` does.
std::string kestrelFile(const std::function<void(fuzz::KestrelRun&)>& fill,
                        const std::string& password) {
    fuzz::MemorySystem files;
    fuzz::KestrelRun run(files);
    run.event([&] {
        fill(run);
        run.core.SaveSettings("/fuzz/seed.ksf", password);
    });
    return files.files["/fuzz/seed.ksf"];
}

void kestrelSeeds(Corpus& c) {
    c.add(kestrelFile([](fuzz::KestrelRun&) {}, ""));
    c.add(kestrelFile(
        [](fuzz::KestrelRun& r) {
            auto& p = r.pages;
            p.get<kestrel::PortSelect>().PortTCP->setValue(1);
            p.get<kestrel::PortSelect>().IPAddr->setText("10.2.123.254");
            for (int k : {0, 1, 5, 6})
                p.get<kestrel::QuestionDlg>().Check1[k]->setValue(1);
            p.get<kestrel::WiredDlg>().useStaticIP->setValue(1);
            p.get<kestrel::WiredDlg>().IPAddr->setText("10.0.0.9");
            p.get<kestrel::WiredDlg>().SubMask->setText("255.255.0.0");
            p.get<kestrel::WiredDlg>().Gateway->setText("10.0.0.1");
            for (int k : {0, 1, 9})
                p.get<kestrel::WirelessQuestionDlg>().check[k]->setValue(1);
            p.get<kestrel::WirelessQuestionDlg>().EncryptionCB->setValue(1);
            p.get<kestrel::WirelessDlg>().SSID->setText("Caf\xc3\xa9 net|2");
            p.get<kestrel::EncryptQuestionDlg>().click[2]->setValue(1);
            p.get<kestrel::EncryptQuestionDlg>().WPA->setValue(1);
            p.get<kestrel::EncryptQuestionDlg>().EAP->setValue(1);
            p.get<kestrel::WPADlg>().PassPhrase->setText("a long pass phrase");
            p.get<kestrel::LEAPDlg>().UserName->setText("user");
            p.get<kestrel::LEAPDlg>().Password->setText("secret");
        },
        "pw"));
    c.add(kestrelFile(
        [](fuzz::KestrelRun& r) {
            auto& p = r.pages;
            p.get<kestrel::PortSelect>().PortFile->setValue(1);
            p.get<kestrel::PortSelect>().FileName->setText("/tmp/job.txt");
            p.get<kestrel::QuestionDlg>().Check1[6]->setValue(1);
            p.get<kestrel::WirelessQuestionDlg>().EncryptionCB->setValue(1);
            p.get<kestrel::EncryptQuestionDlg>().click[1]->setValue(1);
            p.get<kestrel::WEPDlg>().EntryManual->setValue(1);
            p.get<kestrel::WEPkeyDlg>().DefaultKey->setListIndex(2);
            p.get<kestrel::WEPkeyDlg>().KeyText[1]->setText("0102030405");
        },
        ""));
    c.add(kestrelFile(
        [](fuzz::KestrelRun& r) {
            auto& p = r.pages;
            p.get<kestrel::QuestionDlg>().Check1[6]->setValue(1);
            p.get<kestrel::WirelessQuestionDlg>().EncryptionCB->setValue(1);
            p.get<kestrel::EncryptQuestionDlg>().click[1]->setValue(1);
            p.get<kestrel::WEPDlg>().Phrase->setValue(1);
            p.get<kestrel::WEPphraseDlg>().DefaultKey->setListIndex(1);
            p.get<kestrel::WEPphraseDlg>().KeyText[0]->setText("phrase");
        },
        "\xc2\x81"));
}

// Settings saved by Osprey for a printer of this width after `fill`.
std::string ospreyFile(int width, const std::function<void(fuzz::OspreyRun&)>& fill) {
    fuzz::MemorySystem files;
    fuzz::OspreyRun run(files, width);
    run.event([&] {
        fill(run);
        run.core.SaveSettings("/fuzz/seed.osp");
    });
    return files.files["/fuzz/seed.osp"];
}

void ospreySeeds(Corpus& c) {
    c.add(ospreyFile(4, [](fuzz::OspreyRun&) {}));
    c.add(ospreyFile(6, [](fuzz::OspreyRun& r) {
        auto& o = r.pages.operation();
        auto& s = r.pages.printerSetup();
        o.MediaTypeCB->setValue(0);
        o.MediaSizeCB->setValue(0);
        // A custom length, as the custom size dialog appends it.
        auto& ws = r.core.ws;
        o.LabelLengthCombo->addItem("2.4\" (61.0mm)");
        ws.nLabelLength = static_cast<std::int16_t>(ws.nLabelLength + 1);
        ws.LabelLengthKVT.resize(static_cast<std::size_t>(ws.nLabelLength) + 1);
        ws.LabelLengthKVT.back() = "02400";
        o.LabelLengthCombo->setListIndex(ws.nLabelLength);
        s.HorzCB->setValue(0);
        s.HorzShiftHScroll->setValue(-20);
        s.EmulationCB->setValue(0);
    }));
    c.add(ospreyFile(8, [](fuzz::OspreyRun& r) {
        r.pages.operation().DispenseCB->setValue(0);
        r.pages.operation().DispenseCombo->setListIndex(3);
    }));
}

// A BER element: tag, single-byte length, content.
std::string tlv(char tag, const std::string& content) {
    return std::string(1, tag) + static_cast<char>(content.size()) + content;
}

void snmpSeeds(Corpus& c) {
    const char* oids[] = {"1.3.6.1.2.1.1.1.0", "1.3.6.1.2.1.43.16.5.1.2.1.1"};
    for (const char* oid : oids) {
        auto request = osprey::makeGetRequest("public", oid, osprey::kSnmpGetRequest);
        osprey::SnmpSendBuffer buffer{};
        const std::size_t n = osprey::snmpEncode(*request, buffer);
        c.add(std::string(reinterpret_cast<const char*>(buffer.data()), n));
        // The printer's answer: a GetResponse whose value is the display text.
        const std::string name(request->Name.begin(), request->Name.end());
        const std::string varbind = tlv(0x30, tlv(0x06, name) + tlv(0x04, "MEDIA OUT"));
        const std::string pdu = tlv(0x02, "\x01") + tlv(0x02, std::string(1, '\0')) +
                                tlv(0x02, std::string(1, '\0')) + tlv(0x30, varbind);
        c.add(tlv(0x30, tlv(0x02, std::string(1, '\0')) + tlv(0x04, "public") +
                            tlv(static_cast<char>(0xA2), pdu)));
    }
}

void reportSeeds(Corpus& c) {
    spooler::PrinterInfo printer{"Kestrel", "Generic / Text Only", "LPT1:", 0x400};
    spooler::JobInfo job{7, "Kestrel Command", 1, 0x10, std::nullopt};
    c.add(printpath::printerPart(printer));
    c.add(printpath::jobLines(job));
    c.add("No Print Jobs!");
    // The property half: status words, then fields cut at 0x01.
    c.add(std::string("\x00\x04\x00\x00\x10\x00\x00\x80", 8) + "Label\x01" + "Corvane V6204R\x01" +
          "USB001\x01" + "Printing");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz_seeds FOLDER\n";
        return 2;
    }
    const fs::path root = argv[1];
    Corpus ksf(root, "ksf_load"), ksfFile(root, "ksf_file");
    kestrelSeeds(ksf);
    kestrelSeeds(ksfFile);
    Corpus osp(root, "osp_load"), ospFile(root, "osp_file");
    ospreySeeds(osp);
    ospreySeeds(ospFile);
    Corpus snmp(root, "snmp");
    snmpSeeds(snmp);
    Corpus report(root, "spool_report");
    reportSeeds(report);

    Corpus ports(root, "ports_file");
    ports.add(portlister::listPorts(
                  spooler::Result<std::vector<std::string>>::success({"LPT1:", "COM1:", "USB001"}))
                  .file);
    Corpus names(root, "port_names");
    names.add("parallel:/dev/lp0\nserial:/dev/ttyS1?baud=115200\nusb://Make/Model?serial=123\n"
              "usb://Make/Model?serial=124\nsocket://10.0.0.7\nLPT1:");
    Corpus line(root, "command_line");
    line.add(printpath::programCommandLine("/opt/label tools", "Plover", "Wren.exe"));
    line.add(std::string("a b\0\"quoted\"\0back\\slash\\\0", 25));
    Corpus numbers(root, "numbers");
    for (const char* n : {"10.2.123.254", "255.255.0.0", "&H1F", " -1.5E3x", "4.1", "1d308"})
        numbers.add(n);
    Corpus ansi(root, "windows1252");
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    ansi.add(all);
    ansi.add("Caf\xc3\xa9 \xe2\x82\xac");
    return 0;
}
