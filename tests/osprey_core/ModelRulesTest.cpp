#include "osprey/core/ModelRules.h"
#include "osprey/core/PageControls.h"
#include "tests/support/Harness.h"

#include <gtest/gtest.h>

using namespace osprey;

namespace osprey {
void PrintTo(const ModelProfile& p, std::ostream* os) {
    *os << "{supported " << p.Supported << ", width " << p.PrinterWidth << ", class "
        << p.ResolutionClass << ", dt " << p.DirectThermal << ", partner " << p.PartnerModel
        << ", option " << p.ModelOption << "}";
}
} // namespace osprey

namespace {

struct Row {
    const char* driver;
    ModelProfile before;
    ModelProfile after;
};

// Supported, width, class, direct thermal, partner, model option.
ModelProfile P(bool s, int w, int c, bool dt, bool partner, bool option) {
    return {s, static_cast<std::int16_t>(w), static_cast<std::int16_t>(c), dt, partner, option};
}
ModelProfile Standard(int width = 0) {
    return P(false, width, 0, false, false, false);
}
ModelProfile Partner(int width = 0) {
    return P(false, width, 0, false, true, false);
}

} // namespace

TEST(ModelRules, SelectionDerivesTheProfile) {
    const Row rows[] = {
        // No R at position 7 or later: not offered, and no model option; the width and
        // class rules still run.
        {"Corvane V6204", Standard(), P(false, 4, 3, false, false, false)},
        {"Corvane V6204R", Standard(), P(true, 4, 3, false, false, true)},
        {"Corvane V6108r", Standard(), P(true, 8, 2, false, false, true)},
        {"Corvane QR6106", Standard(), P(true, 6, 2, false, false, true)},
        {"Corvane QR6204", Standard(), P(true, 4, 3, false, false, true)},
        {"Corvane V7A DT", Standard(), P(true, 4, 2, true, false, false)},
        {"Corvane QR7A", P(false, 0, 0, false, false, true), P(true, 4, 2, false, false, false)},
        // Later width rules win.
        {"Corvane QR7A 06 08", Standard(), P(true, 8, 2, false, false, false)},
        {"Corvane VXX 06", Standard(6), P(false, 6, 2, false, false, false)},
        {"Corvane Vxx", Standard(8), P(false, 4, 2, false, false, false)},
        // Case matters; a name without a width code has none, whatever was chosen before.
        {"corvane V6204R", Standard(6), P(false, 0, 2, false, false, false)},
        {"Corvane QR62", Standard(8), P(true, 0, 3, false, false, true)},
        {"Generic / Text Only", P(false, 8, 3, true, false, true),
         P(false, 0, 2, false, false, true)},
        // The partner edition: width rules only when the printer before was a partner model.
        {"Solvane RZ90-K55-006 300dpi", Partner(), P(true, 6, 3, false, true, false)},
        {"Solvane RZ90K55 305", Partner(), P(true, 4, 3, false, true, false)},
        {"Solvane RZ90-00 008", Partner(), P(true, 8, 2, false, true, true)},
        {"Solvane RZ90-00 008", Standard(), P(false, 0, 2, false, true, true)},
        {"Solvane K55-006", Partner(4), P(false, 0, 2, false, true, false)},
        {"Corvane V6204R", Partner(6), P(false, 0, 2, false, false, true)},
        // Flag rules in order: the last match wins.
        {"RZ90-00 Corvane QR7A", Standard(), P(true, 4, 2, false, false, false)},
        {"Corvane QR7A RZ90-00", Partner(), P(true, 0, 2, false, false, false)},
    };
    for (const auto& r : rows)
        EXPECT_EQ(PrinterModelRules(r.driver, r.before), r.after) << r.driver;
}

TEST(ModelRules, RRuleCountsTheLastRorLowerR) {
    const struct {
        const char* driver;
        bool holds;
    } rows[] = {
        {"Corvane V6204", false}, // the r of "Corvane" stands at 3
        {"Corvane V6204R", true},  {"Corvane V61", false},
        {"Corvane V61 r", true},   {"xR Corvane V62", false}, // last r at 6, last R at 2
        {"xxR Corvane V62", true},                            // last r at 7
        {"Corvane V63R", false},                              // not a V61 or V62
        {"Corvane QR62R", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(RRuleHolds(r.driver), r.holds) << r.driver;
}

TEST(ModelRules, SupportedModelsOfEachEdition) {
    for (const char* d :
         {"Corvane QR62", "Corvane QR61", "Corvane V7A", "Corvane QR7A", "Corvane V62R"}) {
        EXPECT_TRUE(isCorrectDriver(d, false)) << d;
        EXPECT_FALSE(isCorrectDriver(d, true)) << d;
    }
    for (const char* d : {"RZ90-00", "RZ90-K55", "RZ90K55"}) {
        EXPECT_TRUE(isCorrectDriver(d, true)) << d;
        EXPECT_FALSE(isCorrectDriver(d, false)) << d;
    }
    EXPECT_FALSE(isCorrectDriver("Corvane V7", false));
    EXPECT_FALSE(isCorrectDriver("RZ90", true));
}

TEST(ModelRules, RoutinesOnTheWizardState) {
    WizardState ws;
    ws.PrinterWidth = 6;
    ws.ResolutionClass = 3;
    ws.DirectThermal = true;
    // Width first, flags second, as the selection page runs them.
    EXPECT_EQ(GetPrinterWidth(ws, "Corvane QR7A DT"), 4);
    SetPrinterModelFlags(ws, "Corvane QR7A DT");
    EXPECT_EQ(profileOf(ws), P(false, 4, 2, true, false, false));

    // A partner printer chosen after a standard one: its width rules wait for the next
    // selection, its flags do not.
    EXPECT_EQ(GetPrinterWidth(ws, "RZ90-K55-008"), 0);
    SetPrinterModelFlags(ws, "RZ90-K55-008");
    EXPECT_TRUE(ws.PartnerModel);
    EXPECT_EQ(GetPrinterWidth(ws, "RZ90-K55-008"), 8);
}

TEST(ModelRules, LabelWidthAgainstThePrinterWidth) {
    const std::vector<std::string> widths = {"01500", "02000", "02500", "03000",
                                             "04100", "06600", "08500", "04200"};
    const struct {
        int width, length, printer;
        bool ok, reset;
    } rows[] = {
        {4, 5, 4, true, false},  // exactly 4.1 passes
        {7, 5, 4, false, false}, // a custom 4.2
        {5, 5, 4, false, false}, {5, 0, 6, true, false},
        {6, 0, 6, false, false}, {6, 0, 8, true, false},
        {6, 0, 0, true, false}, // no width known: every width passes
        {-1, 5, 4, false, true}, {4, -1, 4, false, true},
        {8, 5, 4, false, true}, // an entry without a size value behind it
    };
    for (const auto& r : rows) {
        LabelWidthCheck c =
            CheckLabelWidthValues(r.width, r.length, widths, static_cast<std::int16_t>(r.printer));
        EXPECT_EQ(c.ok, r.ok) << r.width << "/" << r.length << " on " << r.printer;
        EXPECT_EQ(c.resetLists, r.reset) << r.width << "/" << r.length << " on " << r.printer;
    }
    EXPECT_FALSE(CheckLabelWidthValues(0, 0, {"08501"}, 8).ok);
    EXPECT_TRUE(CheckLabelWidthValues(0, 0, {"  08500"}, 8).ok);
    EXPECT_DOUBLE_EQ(leadingNumber(" 12.5mm"), 12.5);
    EXPECT_DOUBLE_EQ(leadingNumber("abc"), 0);
}

namespace {
// The media page's two size lists, its other controls left out.
class SizePage : public ui::Form, public OperationControls {
  public:
    explicit SizePage(ui::App& app)
        : ui::Form(app, "Operation"), OperationControls(static_cast<ui::Form&>(*this)) {}

  protected:
    void Build() override {
        std::vector<std::string> items(8, "size");
        combo(LabelWidthCombo, ui::ComboStyle::Editable, items);
        combo(LabelLengthCombo, ui::ComboStyle::Editable, items);
    }
};
} // namespace

TEST(ModelRules, CheckLabelWidthResetsTheMediaPageLists) {
    testing_support::Harness h;
    SizePage page(h.app);
    WizardState ws;
    ws.PrinterWidth = 4;
    ws.LabelWidthKVT = {"01500", "02000", "02500", "03000", "04100", "06600", "08500"};
    page.LabelLengthCombo->setListIndex(2);
    EXPECT_FALSE(CheckLabelWidth(ws, page)); // typed text: no width entry
    EXPECT_EQ(page.LabelWidthCombo->listIndex(), 4);
    EXPECT_EQ(page.LabelLengthCombo->listIndex(), 5);
    EXPECT_TRUE(CheckLabelWidth(ws, page));
    page.LabelWidthCombo->setListIndex(5);
    EXPECT_FALSE(CheckLabelWidth(ws, page));
    EXPECT_EQ(page.LabelWidthCombo->listIndex(), 5);
}
