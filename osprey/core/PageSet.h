#pragma once
#include "osprey/core/PageControls.h"

#include <string>
#include <vector>

namespace osprey {

// What the core needs of the pages: every page by its form name, the controls of the two
// settings pages, and the one page member it sets. The pages library implements it.
class PageSet {
  public:
    virtual ~PageSet() = default;
    // One of the thirteen page names ("Intro", "Selection", ...). Unknown names are a
    // programming error (std::logic_error).
    virtual ui::Form& form(const std::string& name) = 0;
    // Every page, in the order ExitWizard unloads them.
    virtual std::vector<ui::Form*> all() const = 0;
    virtual OperationControls& operation() = 0;
    virtual PrinterSetupControls& printerSetup() = 0;
    // Dialog.Mode (0 load, 1 save, 2 save on exit), set before Dialog is shown.
    virtual void setDialogMode(int mode) = 0;
};

} // namespace osprey
