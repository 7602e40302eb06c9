#include "tests/osprey_pages/OperationFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace osprey {
namespace {

// ---------------------------------------------------------------- pure functions

TEST(CustomSizeNumbers, LeadingNumberOfTypedText) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"2.4", 2.4}, {"  3", 3}, {"\t1.5in", 1.5},  {"-5", -5},     {"+.5", 0.5},
        {"abc", 0},   {"", 0},    {".", 0},          {"-", 0},       {"1e2", 100},
        {"1E", 1},    {"2,5", 2}, {"50.8 mm", 50.8}, {"1.2.3", 1.2}, {"7e-1x", 0.7},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(customsize::leadingNumber(c.text), c.value) << c.text;
    EXPECT_TRUE(std::isinf(customsize::leadingNumber("1e999")));
}

TEST(CustomSizeNumbers, WrittenBackWithSevenSignificantDigits) {
    struct Case {
        float value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {2, "2"},
        {0.25f, "0.25"},
        {104.14f, "104.14"},
        {2514.6f, "2514.6"},
        {20.32f, "20.32"},
        {4.1f, "4.1"},
        {-5, "-5"},
        {1e11f, "1E+11"},
        {60.96f, "60.96"},
        {2.0f / 3, "0.6666667"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(customsize::numberText(c.value), c.text) << c.value;
    EXPECT_EQ(customsize::numberText(customsize::inchToMm(4.1f)), "104.14");
    EXPECT_EQ(customsize::numberText(customsize::inchToMm(2.4f)), "60.96");
}

TEST(CustomSizeNumbers, InchesWinOverMillimetres) {
    struct Case {
        customsize::Boxes boxes;
        bool entered;
        float inch;
    } cases[] = {
        {{true, "3", true, "100"}, true, 3},
        {{false, "3", true, "50.8"}, false, 0}, // inch box holds text: mm not taken
        {{true, "", true, "50.8"}, true, 2},
        {{false, "", false, "50.8"}, false, 0}, // nothing edited
        {{true, "", false, ""}, false, 0},
        {{true, "abc", false, ""}, true, 0},
    };
    for (const auto& c : cases) {
        float inch = 0, mm = 0;
        EXPECT_EQ(customsize::readDimension(c.boxes, inch, mm), c.entered)
            << c.boxes.inchText << "|" << c.boxes.mmText;
        EXPECT_FLOAT_EQ(inch, c.inch);
    }
}

TEST(CustomSizeLimits, WidthByPrinterWidth) {
    struct Case {
        float inch;
        int printerWidth;
        bool changed;
        float inchAfter, mmAfter;
    } cases[] = {
        {0.79f, 4, true, 0.8f, 20.32f}, {0.8f, 4, false, 0.8f, 0},
        {4.1f, 4, false, 4.1f, 0},      {4.2f, 4, true, 4.1f, 104.14f},
        {5, 4, true, 4.1f, 104.14f},    {6.6f, 6, false, 6.6f, 0},
        {6.7f, 6, true, 6.6f, 167.64f}, {8.5f, 8, false, 8.5f, 0},
        {9, 8, true, 8.5f, 215.9f},     {50, 5, false, 50, 0},
        {-3, 8, true, 0.8f, 20.32f},    {INFINITY, 4, true, 4.1f, 104.14f},
    };
    for (const auto& c : cases) {
        float inch = c.inch, mm = 0;
        EXPECT_EQ(customsize::limitWidth(inch, mm, c.printerWidth), c.changed)
            << c.inch << " on " << c.printerWidth;
        EXPECT_FLOAT_EQ(inch, c.inchAfter);
        EXPECT_FLOAT_EQ(mm, c.mmAfter);
    }
}

TEST(CustomSizeLimits, Length) {
    struct Case {
        float inch;
        bool changed;
        float inchAfter, mmAfter;
    } cases[] = {
        {0.1f, true, 0.25f, 6.35f}, {0.25f, false, 0.25f, 0},      {99.0f, false, 99.0f, 0},
        {99.01f, false, 99.01f, 0}, {99.02f, true, 99, 2514.6f},   {120, true, 99, 2514.6f},
        {0, true, 0.25f, 6.35f},    {INFINITY, true, 99, 2514.6f},
    };
    for (const auto& c : cases) {
        float inch = c.inch, mm = 0;
        EXPECT_EQ(customsize::limitLength(inch, mm), c.changed) << c.inch;
        EXPECT_FLOAT_EQ(inch, c.inchAfter);
        EXPECT_FLOAT_EQ(mm, c.mmAfter);
    }
}

TEST(MediaSizes, ThousandthsAndListTexts) {
    struct Case {
        float inch;
        const char* value;
    } cases[] = {
        {4.1f, "04100"}, {2.4f, "02400"}, {0.25f, "00250"}, {99.01f, "99010"},
        {8.5f, "08500"}, {6.6f, "06600"}, {1, "01000"},     {0.8f, "00800"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(media::thousandthsText(c.inch), c.value) << c.inch;

    EXPECT_EQ(media::sizeEntryText(2.4f, customsize::inchToMm(2.4f)), "2.4\" (61.0mm)");
    EXPECT_EQ(media::sizeEntryText(0.25f, 6.35f), "0.3\" (6.4mm)");
    EXPECT_EQ(media::sizeEntryText(99, 2514.6f), "99.0\" (2514.6mm)");
    // The built-in texts are what the formatter makes of their sizes.
    const float lengths[] = {1, 1.5f, 2, 3, 4, 6, 8};
    const float widths[] = {1.5f, 2, 2.5f, 3, 4.1f, 6.6f, 8.5f};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(media::sizeEntryText(lengths[i], customsize::inchToMm(lengths[i])),
                  media::kLengthTexts[i]);
        EXPECT_EQ(media::sizeEntryText(widths[i], customsize::inchToMm(widths[i])),
                  media::kWidthTexts[i]);
    }
}

TEST(MediaSizes, FindSizeSkipsEmptySlots) {
    std::vector<std::string> table = {"01500", "02000", "", "04100", "06600"};
    EXPECT_EQ(media::findSize(table, 4.1f), 3);
    EXPECT_EQ(media::findSize(table, 2.0f), 1);
    EXPECT_EQ(media::findSize(table, 5.0f), -1);
    EXPECT_EQ(media::findSize({}, 1.5f), -1);
}

} // namespace
} // namespace osprey

namespace osprey_test {
namespace {

const char* const kExceeded = "Allowable Form Dimension(s) Exceeded!\r\n"
                              "The dimension(s) have been changed to reflect the "
                              "minimum/maximum allowable";

using CustomDialogTest = MediaPagesTest;

TEST_F(CustomDialogTest, WidthAboveTheLimitIsCorrectedThenChosen) {
    printer(4);
    auto& dlg = openCustom();
    h.setText(dlg.WidthValueInch, "5");
    h.boxes.expect("Notice", kExceeded);
    h.click(dlg.OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(dlg.visible());
    EXPECT_EQ(testing_support::Harness::focusOf(dlg), dlg.WidthValueInch.name())
        << "the size the message is about";
    EXPECT_EQ(dlg.WidthValueInch->text(), "4.1");
    EXPECT_EQ(dlg.WidthValueMM->text(), "104.14");
    EXPECT_EQ(dlg.HeightValueInch->text(), "0"); // the stored length, written back
    EXPECT_EQ(media().LabelWidthCombo->items().size(), 5u);

    // The second OK takes the corrected width; the length the user never typed stays out.
    h.click(dlg.OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_FALSE(dlg.loaded());
    EXPECT_TRUE(pages.get<osprey::Operation>().visible());
    EXPECT_EQ(media().LabelWidthCombo->items().size(), 5u);
    EXPECT_EQ(media().LabelWidthCombo->listIndex(), 4);
    EXPECT_EQ(media().LabelLengthCombo->items().size(), 7u);
    EXPECT_EQ(media().LabelLengthCombo->listIndex(), 5);
}

// A list whose last index is the largest 16-bit number takes no further size.
TEST_F(CustomDialogTest, FullSizeListTakesNoNewSize) {
    printer(4);
    auto& widths = *pages.get<osprey::Operation>().LabelWidthCombo;
    while (widths.listCount() < 32768)
        widths.addItem("x");
    core.ws.nLabelWidth = 32767;
    core.ws.LabelWidthKVT.resize(32768);
    auto& dlg = openCustom();
    h.setText(dlg.WidthValueInch, "2.4");
    h.boxes.expect("Notice", "No more custom sizes can be added.");
    h.click(dlg.OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(media().LabelWidthCombo->items().size(), 32768u);
    EXPECT_EQ(core.ws.nLabelWidth, 32767);
    EXPECT_TRUE(pages.get<osprey::Operation>().visible());
}

TEST_F(CustomDialogTest, MillimetresChooseAnExistingEntry) {
    printer(4);
    auto& dlg = openCustom();
    h.setText(dlg.WidthValueMM, "50.8");
    h.click(dlg.OKButton);
    EXPECT_FALSE(dlg.loaded());
    EXPECT_EQ(media().LabelWidthCombo->listIndex(), 1);
    EXPECT_EQ(media().LabelWidthCombo->items().size(), 5u);
    EXPECT_FLOAT_EQ(core.ws.CustomWidthInch, 2.0f);
    EXPECT_FLOAT_EQ(core.ws.CustomWidthMM, 50.8f);
}

TEST_F(CustomDialogTest, NewWidthIsAppendedWithItsTableValue) {
    printer(4);
    auto& dlg = openCustom();
    h.setText(dlg.WidthValueInch, "2.4");
    h.click(dlg.OKButton);
    EXPECT_EQ(media().LabelWidthCombo->items().back(), "2.4\" (61.0mm)");
    EXPECT_EQ(media().LabelWidthCombo->listIndex(), 5);
    EXPECT_EQ(core.ws.nLabelWidth, 5);
    EXPECT_EQ(core.ws.orgLabelWidth, 4);
    // The 6.6-inch slot a 4-inch list lacks gives way to the new entry.
    EXPECT_EQ(core.ws.LabelWidthKVT,
              (std::vector<std::string>{"01500", "02000", "02500", "03000", "04100", "02400"}));

    // A second definition of the same size chooses it.
    auto& again = openCustom();
    h.setText(again.WidthValueInch, "2.4");
    h.click(again.OKButton);
    EXPECT_EQ(media().LabelWidthCombo->items().size(), 6u);
    EXPECT_EQ(media().LabelWidthCombo->listIndex(), 5);
}

TEST_F(CustomDialogTest, LengthLimits) {
    struct Case {
        const char* typed;
        const char* inch;
        const char* mm;
    } cases[] = {{"0.1", "0.25", "6.35"}, {"120", "99", "2514.6"}, {"abc", "0.25", "6.35"}};
    printer(8);
    for (const auto& c : cases) {
        auto& dlg = openCustom();
        h.setText(dlg.HeightValueInch, c.typed);
        h.boxes.expect("Notice", kExceeded);
        h.click(dlg.OKButton);
        EXPECT_TRUE(h.boxes.allShown()) << c.typed;
        EXPECT_EQ(dlg.HeightValueInch->text(), c.inch) << c.typed;
        EXPECT_EQ(dlg.HeightValueMM->text(), c.mm) << c.typed;
        h.click(dlg.OKButton); // accepted now
        EXPECT_FALSE(dlg.loaded()) << c.typed;
    }
    EXPECT_EQ(media().LabelLengthCombo->items(),
              (std::vector<std::string>{"1.0\" (25.4mm)", "1.5\" (38.1mm)", "2.0\" (50.8mm)",
                                        "3.0\" (76.2mm)", "4.0\" (101.6mm)", "6.0\" (152.4mm)",
                                        "8.0\" (203.2mm)", "0.3\" (6.4mm)", "99.0\" (2514.6mm)"}));
    EXPECT_EQ(core.ws.LabelLengthKVT[7], "00250"); // chosen again for the third case
    EXPECT_EQ(core.ws.LabelLengthKVT[8], "99000");
    EXPECT_EQ(media().LabelLengthCombo->listIndex(), 7);
    EXPECT_EQ(core.ws.nLabelLength, 8);
}

TEST_F(CustomDialogTest, InchesWinWhenBothWidthBoxesHoldText) {
    printer(6);
    auto& dlg = openCustom();
    h.setText(dlg.WidthValueInch, "3");
    h.setText(dlg.WidthValueMM, "100");
    h.setText(dlg.HeightValueMM, "152.4");
    h.click(dlg.OKButton);
    EXPECT_FALSE(dlg.loaded());
    EXPECT_EQ(media().LabelWidthCombo->listIndex(), 3);
    EXPECT_FLOAT_EQ(core.ws.CustomWidthMM, 76.2f);
    EXPECT_EQ(media().LabelLengthCombo->listIndex(), 5); // 6.0 inches
    EXPECT_FLOAT_EQ(core.ws.CustomLengthInch, 6.0f);
}

TEST_F(CustomDialogTest, CancelAndCloseBoxChangeNothing) {
    printer(4);
    auto& dlg = openCustom();
    h.setText(dlg.WidthValueInch, "2.4");
    h.click(dlg.CancelButton);
    EXPECT_FALSE(dlg.loaded());
    EXPECT_TRUE(pages.get<osprey::Operation>().visible());
    EXPECT_EQ(media().LabelWidthCombo->items().size(), 5u);

    auto& again = openCustom();
    h.setText(again.HeightValueInch, "7");
    h.close(again);
    EXPECT_FALSE(h.ended());
    EXPECT_FALSE(again.loaded());
    EXPECT_EQ(media().LabelLengthCombo->items().size(), 7u);
    EXPECT_FLOAT_EQ(core.ws.CustomLengthInch, 0);
}

TEST_F(CustomDialogTest, UnknownPrinterWidthIsRaisedToFour) {
    printer(0);
    auto& dlg = openCustom();
    h.setText(dlg.WidthValueInch, "6");
    h.boxes.expect("Notice", kExceeded);
    h.click(dlg.OKButton);
    EXPECT_EQ(core.ws.PrinterWidth, 4);
    EXPECT_EQ(dlg.WidthValueInch->text(), "4.1");
}

} // namespace
} // namespace osprey_test
