#pragma once
#include "kestrel/core/PageSet.h"

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
    ui::ControlRef control;
    std::string text;
    int number = 0;
};

// The values of one record in the order they are put into the pages, or why the record
// cannot be restored (a damaged or foreign file: a list index or box value that is no
// number, a text with a line break). Lines with fewer than two fields change nothing, and
// fields beyond those a line needs are ignored. An empty record restores nothing, nor do a
// TCP/IP record of one line and an encryption record of one field.
struct RestorePlan {
    bool valid = true;
    // Every line has exactly the fields the readers write: a saved file gives back every
    // value (a "|" typed inside a text would add a field).
    bool exact = true;
    std::string problem;
    std::vector<RestoreOp> ops;
};

// The plan names the controls of `pages` and does not use them.
RestorePlan restorePlan(PageSet& pages, int recordIndex, const std::string& record);
// All eight records in index order; invalid as soon as one is.
RestorePlan restorePlan(PageSet& pages, const std::array<std::string, 9>& records);

} // namespace kestrel
