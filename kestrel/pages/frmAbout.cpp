#include "kestrel/pages/frmAbout.h"

#include "kestrel/core/Core.h"
#include "printpath/PrintPath.h"

namespace kestrel {

void AboutBox::Form_Load() {
    showProgram(core().ProgramTitle(), "Version " + printpath::VersionText(),
                core().GetCopyright());
}

} // namespace kestrel
