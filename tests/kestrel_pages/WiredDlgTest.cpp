#include "kestrel/pages/WiredDlg.h"
#include "kestrel/pages/FinishDialog.h"
#include "kestrel/pages/NetworkDlg.h"
#include "kestrel/pages/WirelessQuestionDlg.h"
#include "tests/kestrel_pages/RouteFixture.h"

namespace kestrel::testing {
namespace {

class WiredDlgTest : public RouteFixture {
  protected:
    WiredDlgTest() { portsFile("LPT1:\r\n"); }
    WiredDlg& page() { return pages.get<kestrel::WiredDlg>(); }
    void open(std::initializer_list<int> ticked = {0}) {
        question(ticked);
        show(page());
    }
    void expectAddressFields(bool enabled) {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(enabled, page().Label2[i]->enabled());
        for (const auto& f : {page().IPAddr, page().SubMask, page().Gateway}) {
            EXPECT_EQ(enabled, f->enabled()) << f.name();
            EXPECT_EQ(enabled ? ui::kWhite : ui::kButtonFace, f->backColor()) << f.name();
        }
        for (const auto& f : {page().BootP, page().DHCP})
            EXPECT_EQ(!enabled, f->enabled()) << f.name();
        EXPECT_EQ(!enabled, page().Label5[0]->enabled());
        EXPECT_EQ(!enabled, page().Label5[1]->enabled());
    }
};

TEST_F(WiredDlgTest, OpensWiredAutomaticWithDhcpAndGoesOnWithoutChecks) {
    open();
    EXPECT_TRUE(page().NicOption[0]->checked());
    EXPECT_FALSE(page().NicOption[1]->checked());
    EXPECT_TRUE(page().useAutoIP->checked());
    EXPECT_FALSE(page().useStaticIP->checked());
    EXPECT_EQ(1, page().DHCP->value());
    EXPECT_EQ(0, page().BootP->value());
    expectAddressFields(false);

    h.click(page().DHCP); // both switches clear is allowed
    h.click(page().Next);
    EXPECT_EQ("FinishDialog", h.visibleForm());
    EXPECT_EQ(&page(), pages.get<kestrel::FinishDialog>().PrevForm);
    h.click(pages.get<kestrel::FinishDialog>().Back);
    EXPECT_EQ("WiredDlg", h.visibleForm());
}

TEST_F(WiredDlgTest, AdapterOptionsAreAGroupOfTheirOwn) {
    open();
    h.click(page().NicOption[1]);
    EXPECT_TRUE(page().NicOption[1]->checked());
    EXPECT_FALSE(page().NicOption[0]->checked());
    EXPECT_TRUE(page().useAutoIP->checked());
}

TEST_F(WiredDlgTest, StaticChecksRunAddressGatewayMaskAndShowOnlyTheFirstFailure) {
    open();
    h.click(page().useStaticIP);
    expectAddressFields(true);
    struct Step {
        ui::ControlRef field;
        const char* text;
        const char* error; // nullptr: Next goes on
    };
    const Step steps[] = {
        {page().IPAddr, "",
         "IP Address cannot be empty when the Static  option is selected.\r\nPlease enter a valid "
         "IP Address"},
        {page().IPAddr, "192.168.1.255",
         "Invalid IP Address format. Segment value must be between 0 and 254\r\nPlease enter a "
         "valid IP Address"},
        {page().IPAddr, "192.168.1.10",
         "Gateway Address cannot be empty when the Static  option is selected.\r\nPlease enter a "
         "valid IP Address"},
        {page().Gateway, "10.0.0",
         "Invalid Gateway Address format.\r\nCorrect format is ###.###.###.###\r\nExample: "
         "10.2.123.254\r\nPlease enter a valid IP Address"},
        {page().Gateway, "10.0.0.0",
         "Submask cannot be empty when the Static option is selected.\r\nPlease enter a valid IP "
         "Address"},
        {page().SubMask, "255.255.255",
         "Invalid submask format.\r\nCorrect format is ###.###.###.###\r\nExample: "
         "255.255.0.0\r\nPlease enter a valid IP Address"},
        {page().SubMask, "255.255.256.0",
         "Invalid submask format. Segment value must be between 0 and 255\r\nPlease enter a "
         "valid IP Address"},
        {page().SubMask, "255.255.255.0", nullptr},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.field.name() + " = " + step.text);
        h.setText(step.field, step.text);
        if (step.error)
            h.boxes.expect("Program Error", step.error, ui::mb::Ok, ui::mb::Critical);
        h.click(page().Next);
        EXPECT_TRUE(h.boxes.allShown());
        EXPECT_EQ(step.error ? "WiredDlg" : "FinishDialog", h.visibleForm());
    }
}

TEST_F(WiredDlgTest, StaticTextsThatWouldAddCommandLinesAreRefused) {
    open();
    h.click(page().useStaticIP);
    // Each part passes the number check; the text after the number would not.
    for (const auto& field : {page().IPAddr, page().SubMask, page().Gateway}) {
        SCOPED_TRACE(field.name());
        const std::string good = field.name() == "SubMask" ? "255.255.255.0" : "10.1.2.1";
        h.setText(page().Gateway, "10.1.2.1");
        h.setText(page().IPAddr, "10.1.2.3");
        h.setText(page().SubMask, "255.255.255.0");
        h.setText(field, good + "\r\nsave");
        h.boxes.expectContaining("Notice", "cannot be sent to the printer");
        h.click(page().Next);
        EXPECT_TRUE(h.boxes.allShown());
        EXPECT_EQ("WiredDlg", h.visibleForm());
        EXPECT_EQ(field.name(), testing_support::Harness::focusOf(page()))
            << "the field the message is about";
    }
}

TEST_F(WiredDlgTest, SwitchingAddressModesKeepsTextsAndSwitches) {
    open();
    h.click(page().BootP);
    h.click(page().useStaticIP);
    h.setText(page().IPAddr, "10.1.2.3");
    h.setText(page().SubMask, "255.0.0.0");
    h.setText(page().Gateway, "10.1.2.1");
    EXPECT_EQ(1, page().BootP->value());
    h.click(page().useAutoIP);
    expectAddressFields(false);
    EXPECT_EQ("10.1.2.3", page().IPAddr->text());
    EXPECT_EQ("255.0.0.0", page().SubMask->text());
    EXPECT_EQ("10.1.2.1", page().Gateway->text());
    EXPECT_EQ(1, page().BootP->value());
    EXPECT_EQ(1, page().DHCP->value());
}

struct RouteCase {
    std::vector<int> ticked;
    const char* next;
};

void PrintTo(const RouteCase& c, std::ostream* os) {
    *os << "to " << c.next;
}

class WiredRouting : public WiredDlgTest, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(WiredRouting, NextFollowsTheQuestionPage) {
    const auto& tc = GetParam();
    auto& q = pages.get<kestrel::QuestionDlg>();
    h.run([&] {
        for (int i = 0; i < 7; ++i)
            q.Check1[i]->setValue(0);
        for (int i : tc.ticked)
            q.Check1[i]->setValue(1);
    });
    show(page());
    h.click(page().Next);
    EXPECT_EQ(tc.next, h.visibleForm());
    auto& next = dynamic_cast<Page&>(pages.form(tc.next));
    EXPECT_EQ(&page(), next.PrevForm);
    h.click(next.name() == "FinishDialog" ? pages.get<kestrel::FinishDialog>().Back
                                          : dynamic_cast<StepPage&>(next).Prev);
    EXPECT_EQ("WiredDlg", h.visibleForm());
}

INSTANTIATE_TEST_SUITE_P(QuestionBoxes, WiredRouting,
                         ::testing::Values(RouteCase{{0}, "FinishDialog"},
                                           RouteCase{{0, 3}, "NetworkDlg"},
                                           RouteCase{{0, 5, 6}, "NetworkDlg"},
                                           RouteCase{{0, 6}, "WirelessQuestionDlg"}),
                         [](const auto& info) {
                             std::string name = "Boxes";
                             for (int i : info.param.ticked)
                                 name += std::to_string(i);
                             return name;
                         });

TEST_F(WiredDlgTest, NetworkOptionsPageOpensWithTheTickedRowEnabled) {
    open({0, 3});
    h.click(page().Next);
    auto& network = pages.get<kestrel::NetworkDlg>();
    EXPECT_TRUE(network.Combo1[3]->enabled());
    EXPECT_FALSE(network.Combo1[1]->enabled());
}

TEST_F(WiredDlgTest, BackCancelAndCloseBox) {
    open();
    h.click(page().Prev);
    EXPECT_EQ("QuestionDlg", h.visibleForm());
    h.click(pages.get<kestrel::QuestionDlg>().Next);
    EXPECT_EQ("WiredDlg", h.visibleForm());
    h.boxes.expect("Caution Exiting Wizard", kExitQuestion, ui::mb::No);
    h.click(page().Cancel);
    EXPECT_EQ("WiredDlg", h.visibleForm());
    h.close(page());
    EXPECT_TRUE(h.ended());
}

} // namespace
} // namespace kestrel::testing
