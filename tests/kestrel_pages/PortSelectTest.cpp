#include "kestrel/pages/PortSelect.h"
#include "tests/kestrel_pages/RouteFixture.h"

#include <tuple>

namespace kestrel::testing {
namespace {

using ui::mb::No;
using ui::mb::Yes;

const std::string kNoPorts =
    "Unable to get list of available local ports.\r\nUsing default port settings.";

class PortSelectTest : public RouteFixture {
  protected:
    PortSelect& page() { return pages.get<kestrel::PortSelect>(); }
    void open(const std::string& portsTxt) {
        portsFile(portsTxt);
        show(page());
    }
    std::string chosen() {
        for (const auto& option :
             {page().PortLPT, page().PortCOM, page().PortUSB, page().PortTCP, page().PortFile})
            if (option->checked())
                return option.name();
        return "";
    }
};

struct ListCase {
    const char* name;
    const char* portsTxt;
    std::vector<std::string> lpt, com, usb;
    const char* chosen;
};

void PrintTo(const ListCase& c, std::ostream* os) {
    *os << c.name;
}

class PortSelectLists : public PortSelectTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(PortSelectLists, SortsPortsTxtIntoTheListsAndHidesEmptyKinds) {
    const ListCase& tc = GetParam();
    open(tc.portsTxt);
    EXPECT_EQ(tc.lpt, page().LPTCombo->items());
    EXPECT_EQ(tc.com, page().ComCombo->items());
    EXPECT_EQ(tc.usb, page().USBCombo->items());
    const std::tuple<ui::ControlRef, ui::ControlRef, const std::vector<std::string>*> kinds[] = {
        {page().PortLPT, page().LPTCombo, &tc.lpt},
        {page().PortCOM, page().ComCombo, &tc.com},
        {page().PortUSB, page().USBCombo, &tc.usb},
    };
    for (const auto& [option, list, items] : kinds) {
        EXPECT_EQ(!items->empty(), option->visible()) << option.name();
        EXPECT_EQ(!items->empty(), list->visible()) << list.name();
        EXPECT_EQ(items->empty() ? -1 : 0, list->listIndex()) << list.name();
    }
    EXPECT_EQ(tc.usb.empty(), page().USB_ErrLbl->visible());
    EXPECT_EQ(tc.chosen, chosen());
}

INSTANTIATE_TEST_SUITE_P(
    PortsTxt, PortSelectLists,
    ::testing::Values(
        ListCase{"AllKinds",
                 "LPT1:\r\nCOM1:\r\nUSB001\r\nFILE:\r\nCOM2\r\n",
                 {"LPT1:"},
                 {"COM1:"},
                 {"USB001"},
                 "PortLPT"},
        ListCase{"OnlyCom", "COM1:\r\nCOM2:\r\n", {}, {"COM1:", "COM2:"}, {}, "PortCOM"},
        ListCase{"LineFeedsOnly", "USB001\nLPT2:\n", {"LPT2:"}, {}, {"USB001"}, "PortLPT"},
        ListCase{"NoLocalKinds", "FILE:\r\nnul:\r\n", {}, {}, {}, "PortTCP"},
        // Names that could break the quoted printer set-up line are never offered.
        ListCase{"UnsafeNamesSkipped",
                 "LPT1:&calc\r\nUSB\"x\r\nCOM%1%:\r\nUSB^1\r\nLPT<1:\r\nUSB002\r\n",
                 {},
                 {},
                 {"USB002"},
                 "PortUSB"},
        ListCase{"OnlyUnsafeNames", "COM|1:\r\nUSB>1\r\n", {}, {}, {}, "PortTCP"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortSelectTest, WithoutAPortListOffersLpt1AfterAnErrorBox) {
    // Plover is not scripted, so it fails to start and no "ports.txt" appears.
    h.boxes.expect(kProgramError, kNoPorts, ui::mb::Ok, ui::mb::Critical);
    show(page());
    EXPECT_EQ((std::vector<std::string>{"LPT1:"}), page().LPTCombo->items());
    EXPECT_EQ("PortLPT", chosen());
    EXPECT_FALSE(page().PortCOM->visible());
    EXPECT_FALSE(page().PortUSB->visible());
    EXPECT_TRUE(page().USB_ErrLbl->visible());
}

TEST_F(PortSelectTest, AnEmptyPortsTxtCountsAsNoPortList) {
    h.boxes.expect(kProgramError, kNoPorts);
    open("");
    EXPECT_EQ((std::vector<std::string>{"LPT1:"}), page().LPTCombo->items());
}

TEST_F(PortSelectTest, EachOptionEnablesOnlyItsFields) {
    open("LPT1:\r\nCOM1:\r\nUSB001\r\n");
    struct Row {
        ui::ControlRef option;
        bool lpt, com, usb, tcp, file;
    };
    const Row rows[] = {
        {page().PortTCP, false, false, false, true, false},
        {page().PortFile, false, false, false, false, true},
        {page().PortLPT, true, false, false, false, false},
        {page().PortCOM, false, true, false, false, false},
        {page().PortUSB, false, false, true, false, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.option.name());
        h.click(r.option);
        EXPECT_EQ(r.option.name(), chosen());
        EXPECT_EQ(r.lpt, page().LPTCombo->enabled());
        EXPECT_EQ(r.com, page().ComCombo->enabled());
        EXPECT_EQ(r.usb, page().USBCombo->enabled());
        EXPECT_EQ(r.tcp, page().IPAddr->enabled());
        EXPECT_EQ(r.tcp, page().IPAddrLabel->enabled());
        EXPECT_EQ(r.tcp ? ui::kWhite : ui::kButtonFace, page().IPAddr->backColor());
        for (const auto& f :
             {page().FileName, page().FileLabel, page().FileDescLabel, page().Browse})
            EXPECT_EQ(r.file, f->enabled()) << f.name();
        EXPECT_EQ(r.file ? ui::kWhite : ui::kButtonFace, page().FileName->backColor());
    }
}

TEST_F(PortSelectTest, ChoosingFileAgainEmptiesTheName) {
    open("LPT1:\r\n");
    h.click(page().PortFile);
    h.setText(page().FileName, "/tmp/out.txt");
    h.click(page().PortTCP);
    EXPECT_EQ("/tmp/out.txt", page().FileName->text());
    h.click(page().PortFile);
    EXPECT_EQ("", page().FileName->text());
}

struct AddressCase {
    const char* address;
    const char* error; // nullptr: Next goes on
};

TEST_F(PortSelectTest, TcpAddressIsCheckedOnNext) {
    open("LPT1:\r\n");
    const AddressCase cases[] = {
        {"", "IP Address cannot be empty when the TCP port option is selected.\r\nPlease enter "
             "a valid IP Address"},
        {"-1.0.0.0", "Invalid IP Address format. Segment value must be between 0 and 254\r\n"
                     "Please enter a valid IP Address"},
        {"10.2.123.254", nullptr},
    };
    h.click(page().PortTCP);
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.address);
        h.setText(page().IPAddr, tc.address);
        if (tc.error)
            h.boxes.expect(kProgramError, tc.error, ui::mb::Ok, ui::mb::Critical);
        h.click(page().Next);
        EXPECT_TRUE(h.boxes.allShown());
        EXPECT_EQ(tc.error ? "PortSelect" : "QuestionDlg", h.visibleForm());
        EXPECT_EQ(tc.address, page().IPAddr->text()); // kept as typed
        if (tc.error) {
            EXPECT_EQ("IPAddr", testing_support::Harness::focusOf(page()))
                << "the field the message is about";
        }
    }
}

TEST_F(PortSelectTest, EnterInTheAddressActsAsNext) {
    open("LPT1:\r\n");
    h.click(page().PortTCP);
    h.boxes.expectContaining(kProgramError, "IP Address cannot be empty");
    h.type(page().IPAddr, "\r");
    EXPECT_EQ("", page().IPAddr->text());
    h.setText(page().IPAddr, "10.0.0.9");
    h.type(page().IPAddr, "\r");
    EXPECT_EQ("10.0.0.9", page().IPAddr->text());
    EXPECT_EQ("QuestionDlg", h.visibleForm());
}

struct Box {
    std::string title;
    std::string fragment;
    int answer;
};

struct FileCase {
    const char* name;
    std::vector<Box> boxes;
    bool goesOn;
};

TEST_F(PortSelectTest, FileRouteChecksInOrderAndStopsAtTheFirstNo) {
    writeFile("exists.txt", "old");
    writeFile(".exists.txt", "old");
    const Box invalid{kProgramError,
                      "Invalid path and filename selected.\r\nPlease enter a valid path and "
                      "file name",
                      ui::mb::Ok};
    const Box overwriteNo{"File Exist Error",
                          "Warning! Selected file currently exists\r\nDo you want to overwrite "
                          "the file?",
                          No};
    Box overwriteYes = overwriteNo;
    overwriteYes.answer = Yes;
    const Box extensionNo{"Warning", "File does not have an extension. Do you want to continue?",
                          No};
    Box extensionYes = extensionNo;
    extensionYes.answer = Yes;
    const Box unencryptedNo{"Warning",
                            "All configuration data, including sensitive password data, will be "
                            "stored in a text file unencrypted.\r\nDo you want to continue?",
                            No};
    Box unencryptedYes = unencryptedNo;
    unencryptedYes.answer = Yes;

    const FileCase cases[] = {
        {"",
         {{kProgramError,
           "File name cannot be empty when the File port option is selected.\r\nPlease enter a "
           "valid path and file name",
           ui::mb::Ok}},
         false},
        {"out?.txt", {invalid}, false},
        {"a\"b.txt", {invalid}, false},
        {"exists.txt", {overwriteNo}, false},
        {".exists.txt", {overwriteNo}, false},
        {"exists.txt", {overwriteYes, unencryptedNo}, false},
        {"noext", {extensionNo}, false},
        {"noext", {extensionYes, unencryptedNo}, false},
        {"out.txt", {unencryptedYes}, true},
    };
    open("LPT1:\r\n");
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        show(page());
        h.click(page().PortTCP);
        h.click(page().PortFile);
        h.setText(page().FileName, tc.name);
        for (const auto& box : tc.boxes)
            h.boxes.expect(box.title, box.fragment, box.answer);
        h.click(page().Next);
        EXPECT_TRUE(h.boxes.allShown());
        EXPECT_EQ(tc.goesOn ? "QuestionDlg" : "PortSelect", h.visibleForm());
        h.run([&] { pages.get<kestrel::QuestionDlg>().Hide(); });
    }
}

TEST_F(PortSelectTest, BrowseFillsTheFileNameAndAddsTxt) {
    open("LPT1:\r\n");
    h.click(page().PortFile);
    h.browser.answer("  /tmp/cmds").answer(std::nullopt).answer("/tmp/a.b/cmds");
    h.click(page().Browse);
    EXPECT_EQ("/tmp/cmds.txt", page().FileName->text());
    const auto& request = h.browser.requests().at(0);
    EXPECT_EQ("File Browser", request.title);
    EXPECT_EQ("Text file (*.txt)|*.txt|All Files (*.*)|*.*", request.filter);
    EXPECT_EQ(folders.programFolder, request.initialDir);
    h.click(page().Browse); // cancelled: nothing changes
    EXPECT_EQ("/tmp/cmds.txt", page().FileName->text());
    h.click(page().Browse); // a dot anywhere counts
    EXPECT_EQ("/tmp/a.b/cmds", page().FileName->text());
}

TEST_F(PortSelectTest, BackShowsTheStartPageAndKeepsTheChoices) {
    open("LPT1:\r\nCOM1:\r\n");
    h.click(page().PortCOM);
    h.click(page().Prev);
    EXPECT_EQ("LoadDlg", h.visibleForm());
    EXPECT_TRUE(page().loaded());
    show(page());
    EXPECT_EQ("PortCOM", chosen());
    EXPECT_EQ(1, procs.started().size()); // the list is built once per run
}

TEST_F(PortSelectTest, CancelAsksAndNoStays) {
    open("LPT1:\r\n");
    h.boxes.expect("Caution Exiting Wizard", kExitQuestion, No,
                   ui::mb::YesNo | ui::mb::Exclamation | ui::mb::DefaultButton2);
    h.click(page().Cancel);
    EXPECT_FALSE(h.ended());
    EXPECT_EQ("PortSelect", h.visibleForm());
    h.boxes.expect("Caution Exiting Wizard", kExitQuestion, Yes);
    h.click(page().Cancel);
    EXPECT_TRUE(h.ended());
}

TEST_F(PortSelectTest, CloseBoxLeavesWithoutTheExitQuestion) {
    open("LPT1:\r\n");
    h.close(page());
    EXPECT_TRUE(h.ended());
}

} // namespace
} // namespace kestrel::testing
