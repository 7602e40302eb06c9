// The main road of the wizard, as a user walks it: started by the other wizard with
// " GO /VERYSILENT", a new configuration of a static wired address, and the delivery on
// each route.
#include "kestrel/pages/ProgressDlg.h"
#include "tests/fixtures/LoopbackPrinter.h"
#include "tests/kestrel_pages/KestrelFixture.h"

namespace kestrel_test {
namespace {

// The commands of a wired interface with a static address.
const std::string kStaticCommands = "store tcpip 1 opts -bootp -dhcp \r\n"
                                    "store tcpip 1 addr 10.1.2.3\r\n"
                                    "store tcpip 1 mask 255.255.255.0\r\n"
                                    "store tcpip route add default1 10.1.2.1 1\r\n";

const char* const kFileWarning = "All configuration data, including sensitive password data, "
                                 "will be stored in a text file unencrypted.\r\n"
                                 "Do you want to continue?";
const char* const kRebootWarning =
    "Warning! The configuration changes are about to be sent to the printer.\r\n"
    "Afterwards, the printer will be rebooted, cancelling all pending print jobs.\r\n"
    "Do you want to continue?";

class MainRoad : public KestrelFixture {
  protected:
    enum class Port { File, Tcp, Com };

    // From the start to the hand-over to the progress page.
    void walk(Port port, const std::string& detail) {
        start(" GO /VERYSILENT");
        ASSERT_EQ("LoadDlg", h.visibleForm());
        EXPECT_FALSE(pages.get<kestrel::Intro>().loaded()) << "no welcome page with GO";
        EXPECT_EQ(1, processes.count("Wren.exe")) << "the port list was asked for";

        h.click(pages.get<kestrel::LoadDlg>().Next); // Start New is chosen
        ASSERT_EQ("PortSelect", h.visibleForm());
        auto& ps = pages.get<kestrel::PortSelect>();
        switch (port) {
        case Port::File:
            h.click(ps.PortFile);
            h.setText(ps.FileName, detail);
            h.boxes.expect("Warning", kFileWarning, ui::mb::Yes);
            break;
        case Port::Tcp:
            h.click(ps.PortTCP);
            h.setText(ps.IPAddr, detail);
            break;
        case Port::Com:
            h.click(ps.PortCOM);
            break;
        }
        h.click(ps.Next);
        ASSERT_EQ("QuestionDlg", h.visibleForm());

        h.click(pages.get<kestrel::QuestionDlg>().Check1[0]);
        h.click(pages.get<kestrel::QuestionDlg>().Next);
        ASSERT_EQ("WiredDlg", h.visibleForm());

        auto& wired = pages.get<kestrel::WiredDlg>();
        h.click(wired.useStaticIP);
        h.setText(wired.IPAddr, "10.1.2.3");
        h.setText(wired.SubMask, "255.255.255.0");
        h.setText(wired.Gateway, "10.1.2.1");
        h.click(wired.Next);
        ASSERT_EQ("FinishDialog", h.visibleForm());
        EXPECT_EQ(kStaticCommands, core.ws.SetupCommands);

        auto& finish = pages.get<kestrel::FinishDialog>();
        EXPECT_TRUE(finish.Option1->checked()) << "changed settings: save is offered";
        h.click(finish.Option2);
        if (port != Port::File)
            h.boxes.expect("Warning", kRebootWarning, ui::mb::Yes);
        h.click(finish.OKButton);
        ASSERT_TRUE(
            waitUntil([this] { return pages.get<kestrel::ProgressDlg>().visible(); }, 2000));
        handedOver = h.app.now();
        EXPECT_EQ("ProgressDlg", h.visibleForm());
    }

    void expectSuccess() {
        h.boxes.expect("Process Successful", "Kestrel Request Successfully Sent").during([this] {
            boxAt = h.app.now();
        });
    }
    void runToEnd(std::int64_t limitMs = 120000) {
        waitUntil([this] { return h.ended(); }, limitMs);
        ASSERT_TRUE(h.ended()) << "the run did not end";
    }

    std::int64_t handedOver = -1;
    std::int64_t boxAt = -1;
};

TEST_F(MainRoad, FileRouteDeliversTheJobIntoTheFile) {
    walk(Port::File, path("printer-setup.txt"));
    expectSuccess();
    runToEnd();

    EXPECT_EQ(job(kStaticCommands) + "\r\n", read("printer-setup.txt").value_or("(none)"));
    EXPECT_EQ((std::vector<std::string>{"Initializing ....", "Sending settings to file.",
                                        "Process complete."}),
              statusLines());
    EXPECT_TRUE(spooler.documents().empty());
    EXPECT_NEAR(handedOver + 9500, boxAt, 1000);
    // Ended through EndWizard: no save question although the settings were never saved.
    EXPECT_TRUE(h.boxes.allShown());
}

TEST_F(MainRoad, TcpRouteDeliversTheJobToThePrinter) {
    fixtures::LoopbackPrinter printer;
    pages.get<kestrel::ProgressDlg>().setPrinterPortForTests(printer.port());
    walk(Port::Tcp, "127.0.0.1");
    ASSERT_TRUE(waitConnected());
    expectSuccess();
    runToEnd();

    ASSERT_TRUE(printer.waitForClosed(1, 3000));
    EXPECT_EQ(std::vector<std::string>{job(kStaticCommands)}, printer.connections());
    EXPECT_EQ((std::vector<std::string>{"Initializing ....", "Sending settings to printer.",
                                        "Rebooting printer to enable new settings.",
                                        "Process complete."}),
              statusLines());
    EXPECT_NEAR(handedOver + 9500, boxAt, 1000);
}

TEST_F(MainRoad, LocalPortDeliversThroughTheTemporaryPrinter) {
    std::int64_t sentAt = -1;
    spooler.setBeforeCall([&](spooler::MemorySpooler::Call c) {
        if (c == spooler::MemorySpooler::Call::WriteRawDocument)
            sentAt = h.app.now();
    });
    walk(Port::Com, "");
    expectSuccess();
    runToEnd();

    ASSERT_EQ(1u, spooler.documents().size());
    EXPECT_EQ("Kestrel", spooler.documents()[0].printer);
    EXPECT_EQ("Kestrel Command", spooler.documents()[0].name);
    EXPECT_EQ(job(kStaticCommands), spooler.documents()[0].bytes);
    ASSERT_EQ(1u, processes.batchFiles().size());
    EXPECT_EQ(*kestrel::createPrinterBatchLine("COM1:"), processes.batchFiles()[0]);
    EXPECT_FALSE(spooler.hasPrinter("Kestrel"));
    EXPECT_TRUE(spooler.queue(kOfficePrinter).empty());
    // 0.5 s, deletion and creation of the printer, 5 s, 2 s: the send; 15 s inspection;
    // 0.5 s to the reboot line and clean-up, 0.5 s to the judgement.
    EXPECT_NEAR(handedOver + 8500, sentAt, 1000);
    EXPECT_NEAR(sentAt + 16500, boxAt, 1500);
}

TEST_F(MainRoad, LocalPortJobThatStaysEndsWithThePrinterErrorAndTheSaveQuestion) {
    spooler.setWrittenJobLooks(-1);
    walk(Port::Com, "");
    h.boxes.expectContaining("Printer Error", "ERROR!  Unable to Update Printer Settings.")
        .during([this] { boxAt = h.app.now(); });
    h.boxes.expectContaining("Leaving Wizard Without Saving Settings",
                             "Would you like to save your settings before you exit?", ui::mb::No);
    runToEnd();

    EXPECT_TRUE(core.ws.PrinterError);
    EXPECT_FALSE(core.ws.RequestSent);
    EXPECT_EQ(1u, spooler.deletedJobs().size()) << "its own job was purged";
    EXPECT_FALSE(spooler.hasPrinter("Kestrel"));
    auto lines = statusLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ("Program terminated!!!", lines.back());
    // Judged about 25 s after the hand-over, then the 15 s pause.
    EXPECT_NEAR(handedOver + 25000 + 15000, boxAt, 2000);
}

TEST_F(MainRoad, ClosingTheProgressPageWhileTheJobIsInspectedSendsNothingMore) {
    // In the middle of the 15 s inspection the user closes the window and declines to save.
    spooler.setBeforeCall([this](spooler::MemorySpooler::Call c) {
        if (c == spooler::MemorySpooler::Call::WriteRawDocument)
            h.later(3000, [this] { pages.get<kestrel::ProgressDlg>().userClose(); });
    });
    walk(Port::Com, "");
    h.boxes.expectContaining("Leaving Wizard Without Saving Settings",
                             "Would you like to save your settings before you exit?", ui::mb::No);
    h.wait(60000);

    EXPECT_TRUE(h.ended());
    EXPECT_EQ(1u, spooler.documents().size());
    EXPECT_EQ(0, processes.count("/Xg")) << "no judgement after the exit began";
    EXPECT_FALSE(pages.get<kestrel::ProgressDlg>().loaded());
}

// Leaving unloads the save/load dialog first, then the other nineteen pages in the exit
// routine's order.
TEST_F(MainRoad, LeavingUnloadsEveryPageInTheExitOrder) {
    start(" GO /VERYSILENT");
    h.run([&] {
        for (ui::Form* page : pages.all())
            page->load();
    });
    watch.unloaded.clear();
    h.run([&] { core.EndWizard(); });
    EXPECT_TRUE(h.ended());
    std::string order;
    for (const std::string& page : watch.unloaded)
        order += page + " ";
    EXPECT_EQ(order,
              "Dialog EncryptQuestionDlg FinishDialog frmAbout HaldenAbout HaldenIntro Intro "
              "NetworkDlg LEAPDlg LoadDlg PortSelect ProgressDlg QuestionDlg WEPDlg "
              "WEPkeyDlg WEPphraseDlg WiredDlg WirelessDlg WirelessQuestionDlg WPADlg ");
}

// A control member whose control Build no longer makes is caught here, not on first use.
TEST_F(MainRoad, EveryPageBuildsEveryControlItDeclares) {
    for (ui::Form* page : pages.all())
        h.run(
            [&] { EXPECT_EQ(page->unbuiltMembers(), std::vector<std::string>{}) << page->name(); });
}

} // namespace
} // namespace kestrel_test
