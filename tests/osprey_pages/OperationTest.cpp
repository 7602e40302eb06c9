#include "tests/osprey_pages/OperationFixture.h"

#include "osprey/core/Commands.h"
#include "osprey/pages/Dialog.h"
#include "osprey/pages/LoadDlg.h"
#include "osprey/pages/PrinterSetup.h"

namespace osprey_test {
namespace {

using osprey::Operation;

const char* const kSizeNotice = "Invalid media size selected or media size entered manually.\r\n"
                                "Please use the drop down menu or Customize button to specify "
                                "the media size";

struct WidthCase {
    int printerWidth;
    std::vector<std::string> widths;
    int lengthIndex, widthIndex, nLabelWidth;
};

class OperationSizes : public MediaPagesTest, public ::testing::WithParamInterface<WidthCase> {};

TEST_P(OperationSizes, ListsTablesAndDefaultsFollowThePrinterWidth) {
    const WidthCase& c = GetParam();
    printer(c.printerWidth);
    showOperation();
    EXPECT_EQ(media().LabelLengthCombo->items(),
              (std::vector<std::string>{"1.0\" (25.4mm)", "1.5\" (38.1mm)", "2.0\" (50.8mm)",
                                        "3.0\" (76.2mm)", "4.0\" (101.6mm)", "6.0\" (152.4mm)",
                                        "8.0\" (203.2mm)"}));
    EXPECT_EQ(media().LabelWidthCombo->items(), c.widths);
    EXPECT_EQ(media().LabelLengthCombo->listIndex(), c.lengthIndex);
    EXPECT_EQ(media().LabelWidthCombo->listIndex(), c.widthIndex);
    EXPECT_EQ(core.ws.nLabelLength, 6);
    EXPECT_EQ(core.ws.nLabelWidth, c.nLabelWidth);
    EXPECT_EQ(core.ws.orgLabelLength, 6);
    EXPECT_EQ(core.ws.orgLabelWidth, c.nLabelWidth);
    // Both tables hold all seven values whatever the list shows; slot 7 stays empty.
    EXPECT_EQ(core.ws.LabelLengthKVT, (std::vector<std::string>{"01000", "01500", "02000", "03000",
                                                                "04000", "06000", "08000", ""}));
    EXPECT_EQ(core.ws.LabelWidthKVT, (std::vector<std::string>{"01500", "02000", "02500", "03000",
                                                               "04100", "06600", "08500", ""}));
}

const std::vector<std::string> kWidths4 = {"1.5\" (38.1mm)", "2.0\" (50.8mm)", "2.5\" (63.5mm)",
                                           "3.0\" (76.2mm)", "4.1\" (104.1mm)"};
std::vector<std::string> plus(std::vector<std::string> v, std::vector<std::string> more) {
    v.insert(v.end(), more.begin(), more.end());
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    ByWidth, OperationSizes,
    ::testing::Values(WidthCase{4, kWidths4, 5, 4, 4}, WidthCase{0, kWidths4, 5, 4, 4},
                      WidthCase{6, plus(kWidths4, {"6.6\" (167.6mm)"}), 4, 5, 5},
                      WidthCase{8, plus(kWidths4, {"6.6\" (167.6mm)", "8.5\" (215.9mm)"}), 5, 6,
                                6}));

TEST_F(MediaPagesTest, DirectThermalPrinterOffersOnlyDirectTransfer) {
    printer(4, /*directThermal=*/true);
    auto& op = showOperation();
    EXPECT_EQ(media().MediaTypeCombo->items(), std::vector<std::string>{"Direct Transfer"});
    EXPECT_EQ(op.MediaTypeCombo->listIndex(), 0);
    // Both media lines are stored, so the list index always finds its line.
    EXPECT_EQ(core.ws.MediaTypeCmds[1], "ENGINE-MODE;X\r\n");

    h.run([&] { op.Unload(); });
    printer(4, false);
    showOperation();
    EXPECT_EQ(op.MediaTypeCombo->listIndex(), 1);
}

TEST_F(MediaPagesTest, DispenseListWithAndWithoutModelOption) {
    struct Case {
        bool modelOption;
        std::vector<std::string> entries;
        std::vector<std::string> values;
    } cases[] = {
        {false,
         {"Continuous", "Tear-off Strip", "Peel-off", "Cut", "Rewind"},
         {"0", "1", "3", "4", "5"}},
        {true,
         {"Continuous", "Tear-off Strip", "Tear-off", "Peel-off", "Cut"},
         {"0", "1", "2", "3", "4"}},
    };
    for (const auto& c : cases) {
        printer(6, false, c.modelOption);
        auto& op = showOperation();
        EXPECT_EQ(media().DispenseCombo->items(), c.entries);
        EXPECT_EQ(op.DispenseCombo->listIndex(), 1);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(core.ws.DispenseCmds[i], "ENGINE-MEDIA_HANDLING;" + c.values[i] + "\r\n")
                << c.entries[i];
        EXPECT_EQ(core.ws.DispenseCmds[5], "");
        EXPECT_EQ(op.Label1->caption(),
                  c.modelOption ? "Quick Setup - Page 1" : "Printer Setup - Page 1");
        EXPECT_EQ(op.Image1->visible(), !c.modelOption);
        EXPECT_EQ(op.Frame1->caption(), c.modelOption ? "Media Control" : "         Media Setup");
        h.run([&] { op.Unload(); });
    }
}

TEST_F(MediaPagesTest, IgnoreBoxesGovernTheirControls) {
    printer(4);
    auto& op = showOperation();
    struct Box {
        ui::ControlRef box;
        std::vector<ui::ControlRef> governed;
    } boxes[] = {
        {op.MediaTypeCB, {op.MediaTypeCombo}},
        {op.MediaSizeCB, {op.LabelWidthCombo, op.LabelLengthCombo, op.CustomizeMedia}},
        {op.OrientationCB, {op.OrientationCombo}},
        {op.DispenseCB, {op.DispenseCombo}},
    };
    for (const auto& b : boxes) {
        EXPECT_EQ(b.box->value(), 1) << b.box.name();
        for (const auto& g : b.governed)
            EXPECT_FALSE(g->enabled()) << g.name();

        core.ws.ExitAsked = true;
        h.click(b.box);
        EXPECT_EQ(b.box->value(), 0);
        EXPECT_FALSE(core.ws.ExitAsked) << b.box.name();
        for (const auto& g : b.governed)
            EXPECT_TRUE(g->enabled()) << g.name();

        core.ws.ExitAsked = true;
        h.click(b.box);
        EXPECT_TRUE(core.ws.ExitAsked) << "ticking keeps the flag";
        for (const auto& g : b.governed)
            EXPECT_FALSE(g->enabled()) << g.name();
    }
    // A value other than 0 or 1 changes nothing.
    h.click(op.DispenseCB);
    h.run([&] { op.DispenseCB->setValue(2); });
    EXPECT_TRUE(op.DispenseCombo->enabled());
}

TEST_F(MediaPagesTest, NextRefusesATypedSizeAndResetsTheLists) {
    printer(6);
    auto& op = showOperation();
    h.click(op.MediaSizeCB);
    h.select(op.LabelLengthCombo, 0);
    h.setText(op.LabelWidthCombo, "5 inch");
    EXPECT_EQ(op.LabelWidthCombo->listIndex(), -1);
    h.boxes.expect("Notice", kSizeNotice);
    h.click(op.Next);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(op.visible());
    EXPECT_EQ(testing_support::Harness::focusOf(op), op.LabelLengthCombo.name())
        << "the size the message is about";
    EXPECT_FALSE(pages.get<osprey::PrinterSetup>().visible());
    EXPECT_EQ(op.LabelWidthCombo->listIndex(), 4);
    EXPECT_EQ(op.LabelLengthCombo->listIndex(), 5);

    // With the size ignored, the lists are not looked at.
    h.setText(op.LabelWidthCombo, "junk");
    h.click(op.MediaSizeCB);
    h.click(op.Next);
    EXPECT_TRUE(pages.get<osprey::PrinterSetup>().visible());
}

TEST_F(MediaPagesTest, LabelSizeLookupOnAFreshPage) {
    printer(4);
    auto& op = showOperation();
    EXPECT_EQ(op.LabelWidthExist(4.1f), 4);
    EXPECT_EQ(op.LabelWidthExist(5.0f), -1);
    EXPECT_EQ(op.LabelWidthExist(6.6f), 5); // in the table, not in a 4-inch list
    EXPECT_EQ(op.LabelLengthExist(8.0f), 6);
    EXPECT_EQ(op.LabelLengthExist(0.0f), -1); // empty slot 7 never matches
}

TEST_F(MediaPagesTest, ReloadDropsCustomSizes) {
    printer(4);
    auto& op = showOperation();
    auto& custom = openCustom();
    h.setText(custom.WidthValueInch, "2.4");
    h.click(custom.OKButton);
    ASSERT_EQ(op.LabelWidthCombo->listCount(), 6);
    ASSERT_EQ(core.ws.LabelWidthKVT.size(), 6u);

    h.run([&] { op.Unload(); });
    showOperation();
    EXPECT_EQ(media().LabelWidthCombo->items(), kWidths4);
    EXPECT_EQ(core.ws.nLabelWidth, 4);
    EXPECT_EQ(core.ws.LabelWidthKVT.size(), 8u);
    EXPECT_EQ(core.ws.LabelWidthKVT[5], "06600");
    EXPECT_EQ(op.MediaSizeCB->value(), 1);
}

TEST_F(MediaPagesTest, ChosenEntriesReachTheSettingsJob) {
    printer(4);
    auto& op = showOperation();
    for (const auto& box : {op.MediaTypeCB, op.MediaSizeCB, op.DispenseCB})
        h.click(box);
    h.select(op.DispenseCombo, 2); // "Peel-off"
    h.select(op.LabelLengthCombo, 4);
    auto& custom = openCustom();
    h.setText(custom.WidthValueMM, "61");
    h.click(custom.OKButton);

    osprey::SettingsChoice c;
    c.MediaTypeCB = op.MediaTypeCB->value();
    c.MediaTypeIndex = op.MediaTypeCombo->listIndex();
    c.MediaSizeCB = op.MediaSizeCB->value();
    c.LabelLengthIndex = op.LabelLengthCombo->listIndex();
    c.LabelWidthIndex = op.LabelWidthCombo->listIndex();
    c.DispenseCB = op.DispenseCB->value();
    c.DispenseIndex = op.DispenseCombo->listIndex();
    auto job = osprey::settingsJob(c, core.ws);
    ASSERT_TRUE(job.ok) << job.fault;
    EXPECT_EQ(job.text, "!KVT_SETUP\r\n"
                        "ENGINE-MODE;X\r\n"
                        "ENGINE-LENGTH;04000:WIDTH;02402\r\n"
                        "ENGINE-MEDIA_HANDLING;3\r\n"
                        "KVT_END\r\n");
}

TEST_F(MediaPagesTest, CustomSizesSurviveASaveAndLoad) {
    printer(6);
    auto& op = showOperation();
    auto& custom = openCustom();
    h.setText(custom.WidthValueInch, "5.5");
    h.setText(custom.HeightValueInch, "12.5");
    h.click(custom.OKButton);
    ASSERT_EQ(media().LabelLengthCombo->items().back(), "12.5\" (317.5mm)");
    const std::string file = path("custom.osp");
    h.boxes.expectContaining("Notice", "Settings successfully saved in ");
    h.run([&] { core.SaveSettings(file); });

    // The load starts from a freshly loaded page, as the save/load dialog does it.
    h.run([&] {
        op.Unload();
        op.load();
        core.LoadSavedSettings(file);
    });
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(media().LabelWidthCombo->items().back(), "5.5\" (139.7mm)");
    EXPECT_EQ(op.LabelWidthCombo->listIndex(), 6);
    EXPECT_EQ(core.ws.LabelWidthKVT[6], "05500");
    EXPECT_EQ(op.LabelLengthCombo->listIndex(), 7);
    EXPECT_EQ(core.ws.LabelLengthKVT[7], "12500");
    EXPECT_EQ(op.MediaSizeCB->value(), 0);
    EXPECT_TRUE(op.LabelWidthCombo->enabled());
}

} // namespace
} // namespace osprey_test
