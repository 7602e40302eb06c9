#include "tests/osprey_pages/OspreyFixture.h"

namespace osprey_test {
namespace {

using ui::mb::No;
using ui::mb::Yes;

const char* const kExitQuestion = "Printer setting is not complete. If you quit\r\n"
                                  "the wizard now, the printer will not be updated.\r\n"
                                  "Do you want to exit the wizard?";

class IntroTest : public OspreyFixture {};

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
                         ::testing::Values(CdCase{"", {}}, CdCase{"/quiet", {}},
                                           CdCase{"/CD menu", {"Dunlin.exe min D menu"}},
                                           CdCase{"cd X:", {"Dunlin.exe min  X:"}}));

TEST_F(IntroTest, MakerNextHidesTheWelcomePage) {
    start();
    h.click(pages.get<osprey::Intro>().Next);
    EXPECT_EQ(h.visibleForm(), "SelectDlg");
    EXPECT_TRUE(pages.get<osprey::Intro>().loaded()) << "only hidden; the choice page unloads it";
}

TEST_F(IntroTest, PartnerWelcomePageStaysBehindTheChoicePage) {
    start();
    h.run([&] {
        pages.get<osprey::Intro>().Hide();
        pages.get<osprey::HaldenIntro>().Show();
    });
    h.click(pages.get<osprey::HaldenIntro>().Next);
    EXPECT_TRUE(pages.get<osprey::SelectDlg>().visible());
    EXPECT_TRUE(pages.get<osprey::HaldenIntro>().visible());
}

TEST_F(IntroTest, ExitAnsweredNoKeepsTheWelcomePage) {
    start();
    h.boxes.expect("Caution Exiting Wizard", kExitQuestion, No);
    h.click(pages.get<osprey::Intro>().Exit);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_FALSE(h.ended());
    EXPECT_EQ(h.visibleForm(), "Intro");
    EXPECT_EQ(core.ws.ExitAnswer, osprey::kAnswerNo);
}

TEST_F(IntroTest, ExitAnsweredYesRestoresTheCdMenuAndEnds) {
    start("CD");
    h.boxes.expect("Caution Exiting Wizard", kExitQuestion, Yes);
    h.click(pages.get<osprey::Intro>().Exit);
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(processes.startedHidden(),
              (std::vector<std::string>{"Dunlin.exe min ", "Dunlin.exe max "}));
}

TEST_F(IntroTest, CloseBoxLeavesThroughTheExitRoutineWithoutTheQuestion) {
    start();
    h.close(pages.get<osprey::Intro>());
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(h.boxes.shown().empty());
}

} // namespace
} // namespace osprey_test
