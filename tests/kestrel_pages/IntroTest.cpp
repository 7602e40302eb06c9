#include "kestrel/pages/Intro.h"
#include "kestrel/pages/HaldenAbout.h"
#include "kestrel/pages/HaldenIntro.h"
#include "kestrel/pages/LoadDlg.h"
#include "kestrel/pages/frmAbout.h"
#include "tests/kestrel_pages/KestrelFixture.h"

namespace kestrel_test {
namespace {

using ui::mb::No;
using ui::mb::Yes;

const char* const kExitQuestion = "NIC setting is not complete. If you quit\r\n"
                                  "the wizard now, the printer will not be updated.\r\n"
                                  "Do you want to exit the wizard?";

class IntroTest : public KestrelFixture {
  protected:
    kestrel::Intro& intro() { return pages.get<kestrel::Intro>(); }
    kestrel::LoadDlg& loadDlg() { return pages.get<kestrel::LoadDlg>(); }

    // Opens the About box from `welcome`, runs `inside` while it is up, then presses OK.
    void openAbout(kestrel::WelcomePage& welcome, kestrel::AboutBox& box,
                   const std::function<void()>& inside) {
        h.later(10, [&, inside] {
            inside();
            h.click(box.cmdOK);
        });
        h.click(welcome.About);
    }
};

struct CdCase {
    std::string commandLine;
    std::vector<std::string> hidden; // CD-menu calls made when the welcome page loads
};

class IntroCdTest : public IntroTest, public ::testing::WithParamInterface<CdCase> {};

TEST_P(IntroCdTest, CdMenuIsMinimisedOnLoadWithTheArgumentFromTheThirdCharacter) {
    start(GetParam().commandLine);
    ASSERT_EQ(h.visibleForm(), "Intro");
    EXPECT_EQ(processes.startedHidden(), GetParam().hidden);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, IntroCdTest,
                         ::testing::Values(CdCase{"", {}}, CdCase{"CD", {"Dunlin.exe min "}},
                                           CdCase{"cd X:", {"Dunlin.exe min  X:"}},
                                           CdCase{"LOG CD X:", {"Dunlin.exe min G CD X:"}}));

TEST_F(IntroTest, CdArgumentWithABlankReachesTheCdMenuWhole) {
    const char* argv[] = {"Kestrel", "CD", "/media/My Disc"};
    start(proc::joinArguments(3, argv));
    ASSERT_EQ(processes.startedHidden().size(), 1u);
    EXPECT_EQ(proc::splitCommandLine(processes.startedHidden()[0]),
              (std::vector<std::string>{"Dunlin.exe", "min", "/media/My Disc"}));
}

TEST_F(IntroTest, NextKeepsTheWelcomePageUntilStartNewOrLoadMovesOn) {
    start("CD");
    ASSERT_EQ(processes.startedHidden().size(), 1u);

    h.click(intro().Next);
    EXPECT_TRUE(loadDlg().visible());
    EXPECT_TRUE(intro().visible()) << "the welcome page stays behind";

    // Back before Next: the page is still loaded, so no second CD-menu call.
    h.click(loadDlg().Prev);
    EXPECT_EQ(h.visibleForm(), "Intro");
    EXPECT_EQ(processes.startedHidden().size(), 1u);

    h.click(intro().Next);
    h.click(loadDlg().Next);
    EXPECT_FALSE(intro().loaded());
    EXPECT_EQ(h.visibleForm(), "PortSelect");

    // Back to the start page and on to the welcome page: loaded anew, CD menu called again.
    h.run([&] {
        loadDlg().Show();
        pages.get<kestrel::PortSelect>().Hide();
    });
    h.click(loadDlg().Prev);
    EXPECT_EQ(h.visibleForm(), "Intro");
    EXPECT_EQ(processes.startedHidden().size(), 2u);
}

TEST_F(IntroTest, AboutBoxIsBuiltAfreshOnEveryShowing) {
    start("");
    kestrel::frmAbout& about = pages.get<kestrel::frmAbout>();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        bool modal = false;
        openAbout(intro(), about, [&] {
            modal = about.modal();
            EXPECT_EQ(about.caption(), "About Kestrel");
            EXPECT_EQ(about.lblTitle->caption(), "Kestrel");
            EXPECT_EQ(about.lblVersion->caption(), "Version 5.00B");
            EXPECT_EQ(about.lblCopyright->caption(), kestrel::Core::GetCopyright());
            // Whatever the last showing did to it is gone.
            about.lblTitle->setCaption("changed");
        });
        EXPECT_TRUE(modal);
        EXPECT_FALSE(about.loaded());
        EXPECT_FALSE(h.ended());
        EXPECT_EQ(h.visibleForm(), "Intro");
    }
}

TEST_F(IntroTest, PartnerWelcomeOpensThePartnerAbout) {
    start("");
    kestrel::HaldenIntro& partner = pages.get<kestrel::HaldenIntro>();
    h.run([&] {
        intro().Hide();
        partner.Show();
    });
    bool shown = false;
    openAbout(partner, pages.get<kestrel::HaldenAbout>(), [&] {
        shown =
            pages.get<kestrel::HaldenAbout>().visible() && !pages.get<kestrel::frmAbout>().loaded();
        EXPECT_EQ(pages.get<kestrel::HaldenAbout>().lblVersion->caption(), "Version 5.00B");
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(h.visibleForm(), "HaldenIntro");
}

TEST_F(IntroTest, AboutCloseBoxLeavesTheWizardButOkDoesNot) {
    start("CD X");
    kestrel::frmAbout& about = pages.get<kestrel::frmAbout>();
    h.later(10, [&] { h.close(about); });
    h.click(intro().About);
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(processes.startedHidden().back(), "Dunlin.exe max  X");
}

TEST_F(IntroTest, ExitAsksAndNoKeepsThePage) {
    start("");
    h.boxes.expect("Caution Exiting Wizard", kExitQuestion, No,
                   ui::mb::YesNo | ui::mb::Exclamation | ui::mb::DefaultButton2);
    h.click(intro().Exit);
    EXPECT_FALSE(h.ended());
    EXPECT_EQ(h.visibleForm(), "Intro");

    h.boxes.expect("Caution Exiting Wizard", kExitQuestion, Yes);
    h.click(intro().Exit);
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(h.boxes.allShown());
}

TEST_F(IntroTest, CloseBoxLeavesWithoutAsking) {
    start("");
    h.close(intro());
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(h.boxes.shown().empty());
}

} // namespace
} // namespace kestrel_test
