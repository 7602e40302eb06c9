#include "osprey/pages/Selection.h"

#include "osprey/core/Core.h"
#include "osprey/core/ModelRules.h"
#include "osprey/pages/LoadDlg.h"
#include "osprey/pages/Pages.h"
#include "osprey/pages/SelectDlg.h"
#include "platform/spooler/Spooler.h"
#include "printpath/PrintPath.h"

#include <string>
#include <vector>

namespace osprey {

std::string selectionFailureText(const std::string& printer, int error) {
    if (error == spooler::err::InvalidPrinterName)
        return "Printer: " + printer +
               "\r\nNot defined on this Workstation.\r\n"
               "Run Setup and select a valid printer to continue.";
    return "Printer: " + printer +
           "\r\nUnable to read the printer's status: " + spooler::errorText(error) +
           ".\r\nPlease check the printer and try again.";
}

void Selection::Build() {
    setCaption("Printer Selection");
    label("Label1", "Printer Selection").asHeading();
    label("SelectionLabel", "Select a printer to configure");
    label("Label2", "Please select a printer to configure.");
    listBox(PrinterList, {}).onClick = [this] { PrinterList_Click(); };
    label("PrtNameLabel",
          "Note:  If the desired printer is not displayed in this list,  then the driver for this "
          "printer was not properly installed. Please exit this wizard, reinstall the driver for "
          "the printer, and then restart this wizard.");
    navigationRow();
}

void Selection::Form_Load() {
    Load_PrinterList();
}

void Selection::Load_PrinterList() {
    Core& c = core();
    WizardState& ws = c.ws;
    spooler::Spooler& spool = c.spooler();
    auto log = [&](const std::string& line) {
        if (ws.LogEnabled)
            c.WriteLog(line);
    };
    log("in Load_PrinterList");
    // Listing the printers is one action: a scheduler that stops answering holds it once.
    spooler::SpoolerAction action(spool);
    const std::string mark = spool.currentPrinter();
    log("Default Printer= " + mark);

    ui::Control& list = *PrinterList;
    int j = 0;
    int markIndex = 0;
    const auto installed = spool.printers();
    if (!installed.ok())
        log(printpath::spoolerCauseLine("Load_PrinterList", installed.error));
    const std::vector<std::string> printers = installed.value.value_or(std::vector<std::string>{});
    for (const std::string& name : printers) {
        log("in loop: J=" + std::to_string(j));
        spool.setCurrentPrinter(name);
        if (isCorrectPrinter(c)) {
            log("isCorrectPrinter = True");
            list.addItem(name);
            if (name == mark)
                markIndex = j;
            ++j;
        }
    }
    log("Highlight the default printer");
    if (j > 0)
        list.setListIndex(markIndex);
    else
        // A name left from an earlier visit would let the wizard go on with a printer that
        // is no longer offered; with none listed the choice page offers the driver installer.
        ws.SelectedPrinter.clear();
    log("Exit Load_PrinterList");
}

void Selection::PrinterList_Click() {
    ui::Control& list = *PrinterList;
    const int i = list.listIndex();
    core().ws.SelectedPrinter = i >= 0 ? list.list(i) : std::string();
}

void Selection::Next_Click() {
    Core& c = core();
    WizardState& ws = c.ws;
    printpath::PrintPath& path = c.printPath();
    ws.PrinterDriver.clear();
    std::string printerPart;
    std::string jobPart;
    int failure = spooler::err::None;
    {
        spooler::SpoolerAction action(c.spooler());
        // Only the chosen printer may become current: the run sends every job to the
        // current printer, and the one left current by the listing is another.
        failure = path.MakeCurrentPrinter(ws.SelectedPrinter);
        if (failure == spooler::err::None || ws.SelectedPrinter.empty()) {
            c.CheckPrinter(printerPart, jobPart);
            if (failure == spooler::err::None)
                failure = path.LastReportError();
        }
    }
    const std::string status = path.getPrinterStatus(printerPart, ws.PrinterPort, ws.PrinterDriver);
    GetPrinterWidth(ws, ws.PrinterDriver);
    SetPrinterModelFlags(ws, ws.PrinterDriver);

    const std::string title = c.ProgramTitle();
    if (ws.SelectedPrinter.empty()) {
        app().MsgBox("No Printer Selected.\r\nYou must select a printer to continue.",
                     ui::mb::OkOnly, title);
        PrinterList->setFocus();
        return;
    }
    if (failure != spooler::err::None) {
        // Gone since the listing, or the spooler does not answer: the user stays and may
        // try again or choose another printer.
        if (ws.LogEnabled) {
            if (failure == spooler::err::InvalidPrinterName)
                c.WriteLog("Invalid Printer Specified: " + ws.SelectedPrinter);
            else
                c.WriteLog(printpath::spoolerCauseLine("Next_Click", failure));
        }
        app().MsgBox(selectionFailureText(ws.SelectedPrinter, failure), ui::mb::OkOnly, title);
        return;
    }
    if (status != "Ready")
        app().MsgBox("Printer not ready", ui::mb::OkOnly, title);
    if (ws.LogEnabled)
        c.WriteLog("Selected Printer Name: " + ws.SelectedPrinter);
    pages().get<LoadDlg>().Show();
    Hide();
}

void Selection::Prev_Click() {
    SelectDlg& choice = pages().get<SelectDlg>();
    choice.CfgPrinter->setValue(1);
    choice.Show();
    Unload();
}

} // namespace osprey
