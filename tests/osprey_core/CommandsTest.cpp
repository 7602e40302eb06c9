#include "osprey/core/Commands.h"

#include <gtest/gtest.h>

namespace osprey {
namespace {

const std::string kBegin = "!KVT_SETUP\r\nWINMODE-BEGIN\r\nKVT_END\r\n";
const std::string kEnd = "!KVT_SETUP\r\nWINMODE-END\r\nKVT_END\r\n";

// Tables as the pages' loaders fill them on a printer without the model option.
WizardState tables(bool modelOption = false) {
    WizardState ws;
    ws.MediaTypeCmds = mediaTypeCommands();
    ws.OrientationCmds = orientationCommands();
    ws.DispenseCmds = dispenseCommands(modelOption);
    ws.SpeedCmds = speedCommands();
    ws.GapCmds = gapCommands();
    ws.EmulationCmds = emulationCommands(modelOption);
    ws.LabelLengthKVT.assign(kBuiltInLabelLengths.begin(), kBuiltInLabelLengths.end());
    ws.LabelWidthKVT.assign(kBuiltInLabelWidths.begin(), kBuiltInLabelWidths.end());
    ws.LabelLengthKVT.resize(8);
    ws.LabelWidthKVT.resize(8);
    return ws;
}

struct JobCase {
    const char* name;
    std::string job;
    std::string expected;
};

class Jobs : public ::testing::TestWithParam<JobCase> {};

TEST_P(Jobs, AreByteExact) {
    EXPECT_EQ(GetParam().job, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Builders, Jobs,
    ::testing::Values(JobCase{"Load", loadCfgJob(3), "!KVT_SETUP\r\nCONFIG-LOAD;3\r\nKVT_END\r\n"},
                      JobCase{"Null", nullJob(), "!KVT_SETUP\r\nKVT_END\r\n"},
                      JobCase{"Calibrate", calibrateJob(), kBegin + "~PAPER;CALIBRATE\r\n" + kEnd},
                      JobCase{"Save", saveCfgJob(8), "!KVT_SETUP\r\nCONFIG-SAVE;8\r\nKVT_END\r\n"},
                      JobCase{"SaveZero", saveCfgJob(0), "!KVT_SETUP\r\nKVT_END\r\n"},
                      JobCase{"PowerUpFactory", powerUpJob(0),
                              "!KVT_SETUP\r\nCONFIG-POWERUP;0\r\nKVT_END\r\n"},
                      JobCase{"PowerUpNone", powerUpJob(-1), "!KVT_SETUP\r\nKVT_END\r\n"},
                      JobCase{"EmulationKQL", *emuJob(2, tables().EmulationCmds[2]),
                              "!KVT_SETUP\r\nCONFIG-OVERLAY;2.\r\nguardsave   .e  0   0x0\r\n"
                              "uqtswitch   .e  4   0x0\r\nCONFIG-OVERLAY;END.\r\nKVT_END\r\n"},
                      JobCase{"EmulationEQL", *emuJob(1, tables(true).EmulationCmds[8]),
                              "!KVT_SETUP\r\nCONFIG-OVERLAY;1.\r\nguardsave   .e  0   0x0\r\n"
                              "uqtswitch   .e  0   0x0\r\nCONFIG-OVERLAY;END.\r\nKVT_END\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandTables, FollowTheListsOfEachModel) {
    EXPECT_EQ(dispenseCommands(false)[2], "ENGINE-MEDIA_HANDLING;3\r\n"); // Peel-off
    EXPECT_EQ(dispenseCommands(false)[4], "ENGINE-MEDIA_HANDLING;5\r\n"); // Rewind
    EXPECT_EQ(dispenseCommands(true)[2], "ENGINE-MEDIA_HANDLING;2\r\n");  // Tear-off
    EXPECT_EQ(dispenseCommands(true)[3], "ENGINE-MEDIA_HANDLING;3\r\n");  // Peel-off
    EXPECT_EQ(dispenseCommands(true)[5], "");
    EXPECT_EQ(gapCommands()[1], "~PAPER;LABELS 2\r\n"); // Gap
    EXPECT_EQ(gapCommands()[2], "~PAPER;LABELS 1\r\n"); // Mark
    EXPECT_EQ(speedCommands()[9], "~PAPER;SPEED IPS 10\r\n");
    EXPECT_EQ(speedCommands()[10], "");
    EXPECT_EQ(emulationCommands(false)[8], "");
    EXPECT_EQ(emulationCommands(true)[9], "");
    EXPECT_EQ(emulationCommands(false)[7], "uqtswitch   .e  9   0x0\r\n"); // HQL
    EXPECT_EQ(orientationCommands()[3], "~PAPER;ROTATE 270\r\n");
}

// ---------------------------------------------------------------- settings job

TEST(SettingsJob, ExampleWithMediaSizeDispenseShiftAndGap) {
    SettingsChoice c;
    c.MediaTypeCB = 0, c.MediaTypeIndex = 1;                          // Thermal Transfer
    c.MediaSizeCB = 0, c.LabelLengthIndex = 4, c.LabelWidthIndex = 4; // 4.0 by 4.1
    c.DispenseCB = 0, c.DispenseIndex = 2;                            // Peel-off
    c.HorzCB = 0, c.HorzShift = 25;
    c.GapCB = 0, c.GapIndex = 1;
    SettingsJob job = settingsJob(c, tables());
    ASSERT_TRUE(job.ok);
    EXPECT_EQ(job.text, "!KVT_SETUP\r\nENGINE-MODE;X\r\nENGINE-LENGTH;04000:WIDTH;04100\r\n"
                        "ENGINE-MEDIA_HANDLING;3\r\nENGINE-IMAGE_SHFT_H;250\r\nKVT_END\r\n" +
                            kBegin + "~PAPER;LABELS 2\r\n" + kEnd);
}

TEST(SettingsJob, PaperOnlyHasNoFirstFrame) {
    SettingsChoice c;
    c.OrientationCB = 0, c.OrientationIndex = 1;
    c.PrintSpeedCB = 0, c.PrintSpeedIndex = 3;
    c.GapCB = 0, c.GapIndex = 2;
    EXPECT_EQ(settingsJob(c, tables()).text, kBegin +
                                                 "~PAPER;ROTATE 90\r\n~PAPER;SPEED IPS 4\r\n"
                                                 "~PAPER;LABELS 1\r\n" +
                                                 kEnd);
}

TEST(SettingsJob, EngineOnlyHasNoPaperFrames) {
    SettingsChoice c;
    c.HorzCB = 0, c.HorzShift = -10;
    c.VertCB = 0, c.VertShift = 1280;
    EXPECT_EQ(settingsJob(c, tables()).text,
              "!KVT_SETUP\r\nENGINE-IMAGE_SHFT_H;-100\r\nENGINE-IMAGE_SHFT_V;12800\r\nKVT_END\r\n");
}

// A setting to be sent without a valid entry spoils the whole job, never half of it.
struct BadChoice {
    const char* name;
    std::function<void(SettingsChoice&, WizardState&)> spoil;
};

class SettingsJobRefuses : public ::testing::TestWithParam<BadChoice> {};

TEST_P(SettingsJobRefuses, WholeJob) {
    SettingsChoice c;
    c.MediaTypeCB = 0, c.MediaTypeIndex = 0; // a good setting besides the bad one
    WizardState t = tables();
    GetParam().spoil(c, t);
    SettingsJob job = settingsJob(c, t);
    EXPECT_FALSE(job.ok);
    EXPECT_EQ(job.text, "");
    EXPECT_FALSE(job.fault.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsJobRefuses,
    ::testing::Values(
        BadChoice{"NoOrientation", [](auto& c, auto&) { c.OrientationCB = 0; }},
        BadChoice{"EmptySlot", [](auto& c, auto&) { c.GapCB = 0, c.GapIndex = 5; }},
        BadChoice{"PastTable", [](auto& c, auto&) { c.PrintSpeedCB = 0, c.PrintSpeedIndex = 11; }},
        BadChoice{"TypedSize",
                  [](auto& c, auto&) {
                      c.MediaSizeCB = 0, c.LabelLengthIndex = -1, c.LabelWidthIndex = 4;
                  }},
        BadChoice{"SizeValueNotDigits",
                  [](auto& c, auto& t) {
                      c.MediaSizeCB = 0, c.LabelLengthIndex = 7, c.LabelWidthIndex = 4;
                      t.LabelLengthKVT[7] = "1\r\nCONFIG-SAVE;1";
                  }},
        BadChoice{"SizeSlotUnfilled",
                  [](auto& c, auto&) {
                      c.MediaSizeCB = 0, c.LabelLengthIndex = 7, c.LabelWidthIndex = 4;
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- changed test

struct ChangedCase {
    std::array<int, 9> boxes;
    bool settings, media;
};

class Changed : public ::testing::TestWithParam<ChangedCase> {};

TEST_P(Changed, OnlyAClearBoxCounts) {
    ChangedFlags f = changedFromBoxes(GetParam().boxes);
    EXPECT_EQ(f.settings, GetParam().settings);
    EXPECT_EQ(f.media, GetParam().media);
}

INSTANTIATE_TEST_SUITE_P(Boxes, Changed,
                         ::testing::Values(ChangedCase{{1, 1, 1, 1, 1, 1, 1, 1, 1}, false, false},
                                           ChangedCase{{1, 1, 1, 1, 1, 0, 1, 1, 1}, true, true},
                                           ChangedCase{{1, 1, 1, 1, 1, 1, 1, 1, 0}, true, false},
                                           ChangedCase{{0, 1, 1, 1, 1, 1, 1, 1, 1}, true, true},
                                           ChangedCase{{1, 0, 1, 1, 1, 1, 1, 1, 1}, true, true},
                                           ChangedCase{{1, 1, 0, 1, 0, 1, 0, 0, 1}, true, false},
                                           ChangedCase{{2, 2, 2, 2, 2, 2, 2, 2, 2}, false, false}));

} // namespace
} // namespace osprey
