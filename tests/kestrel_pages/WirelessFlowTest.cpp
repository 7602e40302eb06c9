#include "tests/kestrel_pages/WirelessPagesFixture.h"

namespace kestrel_test {
namespace {

enum class Method { None, Open, WepPhrase, WepHex, Wpa, Eap, WpaEap };

struct Route {
    const char* name;
    std::vector<int> question;
    std::vector<int> wireless;
    bool encryption;
    Method method;
    std::vector<std::string> forward; // pages after QuestionDlg, ending at the finish page
};

const Route kRoutes[] = {
    {"Wired", {0}, {}, false, Method::None, {"WiredDlg", "FinishDialog"}},
    {"WiredOptions", {0, 1}, {}, false, Method::None, {"WiredDlg", "NetworkDlg", "FinishDialog"}},
    {"OptionsOnly", {2}, {}, false, Method::None, {"NetworkDlg", "FinishDialog"}},
    {"WiredEncryptOpen",
     {0, 6},
     {},
     true,
     Method::Open,
     {"WiredDlg", "WirelessQuestionDlg", "EncryptQuestionDlg", "FinishDialog"}},
    {"OptionsWirelessNoEncryption",
     {3, 6},
     {1},
     false,
     Method::None,
     {"NetworkDlg", "WirelessQuestionDlg", "WirelessDlg", "FinishDialog"}},
    {"WirelessWepPhrase",
     {6},
     {0},
     true,
     Method::WepPhrase,
     {"WirelessQuestionDlg", "WirelessDlg", "EncryptQuestionDlg", "WEPDlg", "WEPphraseDlg",
      "FinishDialog"}},
    {"EncryptionOnlyWepHex",
     {6},
     {},
     true,
     Method::WepHex,
     {"WirelessQuestionDlg", "EncryptQuestionDlg", "WEPDlg", "WEPkeyDlg", "FinishDialog"}},
    {"EverythingWpa",
     {0, 5, 6},
     {2},
     true,
     Method::Wpa,
     {"WiredDlg", "NetworkDlg", "WirelessQuestionDlg", "WirelessDlg", "EncryptQuestionDlg",
      "WPADlg", "FinishDialog"}},
    {"EapOnly",
     {6},
     {},
     true,
     Method::Eap,
     {"WirelessQuestionDlg", "EncryptQuestionDlg", "LEAPDlg", "FinishDialog"}},
    {"WirelessWpaEap",
     {6},
     {9},
     true,
     Method::WpaEap,
     {"WirelessQuestionDlg", "WirelessDlg", "EncryptQuestionDlg", "WPADlg", "LEAPDlg",
      "FinishDialog"}},
    {"OptionsWpaEap",
     {1, 6},
     {},
     true,
     Method::WpaEap,
     {"NetworkDlg", "WirelessQuestionDlg", "EncryptQuestionDlg", "WPADlg", "LEAPDlg",
      "FinishDialog"}},
    {"WirelessOnlyNoBox",
     {6},
     {},
     false,
     Method::None,
     {"WirelessQuestionDlg", "WirelessQuestionDlg"}},
};

class WirelessFlowTest : public WirelessPagesFixture {
  protected:
    void method(Method m) {
        if (m == Method::None)
            return;
        h.run([&] {
            auto& e = pages.get<kestrel::EncryptQuestionDlg>();
            int option = m == Method::Open                                 ? 0
                         : (m == Method::WepPhrase || m == Method::WepHex) ? 1
                                                                           : 2;
            e.click[option]->setValue(1);
            e.WPA->setValue(m == Method::Wpa || m == Method::WpaEap);
            e.EAP->setValue(m == Method::Eap || m == Method::WpaEap);
            auto& wep = pages.get<kestrel::WEPDlg>();
            (m == Method::WepHex ? wep.EntryManual : wep.Phrase)->setValue(1);
        });
    }
};

// Every route of the flow table, one after the other in one run, so the pages reachable
// from several others must go back to whichever opened them last.
TEST_F(WirelessFlowTest, ForwardAndBackAlongEveryRoute) {
    for (const Route& r : kRoutes) {
        SCOPED_TRACE(r.name);
        question(r.question);
        wirelessQuestion(r.wireless, r.encryption);
        method(r.method);
        open("QuestionDlg");
        if (r.forward.back() != "FinishDialog")
            h.boxes.expectContaining(kSelectionError, "You need to select one of the check boxes");
        EXPECT_EQ(walkForward(h, pages), r.forward);
        EXPECT_TRUE(h.boxes.allShown());

        std::vector<std::string> expectedBack(r.forward.rbegin() + 1, r.forward.rend());
        expectedBack.push_back("QuestionDlg");
        if (r.forward.back() != "FinishDialog")
            expectedBack = {"QuestionDlg"};
        EXPECT_EQ(walkBack(h, pages, "QuestionDlg"), expectedBack);
        h.run([&] { pages.get<kestrel::QuestionDlg>().Hide(); });
    }
}

TEST_F(WirelessFlowTest, FinishPageReturnsToEachOpener) {
    const Route& r = kRoutes[9]; // WirelessWpaEap: the finish page opened from LEAPDlg
    question(r.question);
    wirelessQuestion(r.wireless, r.encryption);
    method(r.method);
    open("QuestionDlg");
    walkForward(h, pages);
    EXPECT_EQ(prevForm("FinishDialog"), &pages.get<kestrel::LEAPDlg>());
    EXPECT_EQ(prevForm("LEAPDlg"), &pages.get<kestrel::WPADlg>());
    EXPECT_EQ(prevForm("EncryptQuestionDlg"), &pages.get<kestrel::WirelessDlg>());
    EXPECT_EQ(prevForm("WirelessQuestionDlg"), &pages.get<kestrel::QuestionDlg>());

    // Back to the encryption page, EAP only this time: 802.1X now returns there.
    walkBack(h, pages, "EncryptQuestionDlg");
    h.click(pages.get<kestrel::EncryptQuestionDlg>().WPA);
    EXPECT_EQ(walkForward(h, pages), (std::vector<std::string>{"LEAPDlg", "FinishDialog"}));
    EXPECT_EQ(walkBack(h, pages, "EncryptQuestionDlg"),
              (std::vector<std::string>{"LEAPDlg", "EncryptQuestionDlg"}));
}

} // namespace
} // namespace kestrel_test
