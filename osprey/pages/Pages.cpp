#include "osprey/pages/Pages.h"

#include "osprey/pages/CustomDialog.h"
#include "osprey/pages/Dialog.h"
#include "osprey/pages/FinishDialog.h"
#include "osprey/pages/HaldenAbout.h"
#include "osprey/pages/HaldenIntro.h"
#include "osprey/pages/Intro.h"
#include "osprey/pages/LoadDlg.h"
#include "osprey/pages/Operation.h"
#include "osprey/pages/PrinterSetup.h"
#include "osprey/pages/ProgressDlg.h"
#include "osprey/pages/SelectDlg.h"
#include "osprey/pages/Selection.h"
#include "osprey/pages/frmAbout.h"

namespace osprey {

OspreyPages::OspreyPages(ui::App& app, Core& core) : app_(&app) {
    list_.create(core, *this);
}

OspreyPages::~OspreyPages() = default;

OperationControls& OspreyPages::operation() {
    return get<Operation>();
}

PrinterSetupControls& OspreyPages::printerSetup() {
    return get<PrinterSetup>();
}

void OspreyPages::setDialogMode(int mode) {
    get<Dialog>().Mode = mode;
}

} // namespace osprey
