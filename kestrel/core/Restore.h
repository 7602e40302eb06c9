#pragma once
#include <array>
#include <string>
#include <vector>

namespace kestrel {

// One value to put into a page control when a settings file is restored.
struct RestoreOp {
    enum class Kind {
        Text,      // text box: `text`
        ListIndex, // list: `number` as its list index
        Value,     // check box: `number` (0 or 1)
        Choose,    // option button: set (its group follows)
    };
    Kind kind = Kind::Text;
    std::string form;    // page name
    std::string control; // control name
    int index = -1;      // control array index, -1 for none
    std::string text;
    int number = 0;
};

// The values of one record in the order they are put into the pages, or why the record
// is not one the wizard writes (a damaged or foreign file). An empty record restores
// nothing.
struct RestorePlan {
    bool valid = true;
    std::string problem;
    std::vector<RestoreOp> ops;
};

RestorePlan restorePlan(int recordIndex, const std::string& record);
// All eight records in index order; invalid as soon as one is.
RestorePlan restorePlan(const std::array<std::string, 9>& records);

} // namespace kestrel
