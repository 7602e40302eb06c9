#pragma once
#include "platform/spooler/Spooler.h"

#include <iosfwd>
#include <string>
#include <variant>
#include <vector>

// The printer set-up commands of "rundll32 printui.dll,PrintUIEntry" that the wizards run:
//   /if /b NAME /f INF /r PORT /m DRIVER   add a printer (the INF file is not read)
//   /dl /n NAME                            delete a printer (not while jobs remain)
//   /Xg /n NAME /f FILE                    write the printer's settings into FILE, only while
//                                          the printer exists
// /q (quiet) and /u (use an installed driver) are accepted and change nothing.
namespace printui {

struct AddPrinter {
    std::string name, inf, port, driver;
    bool operator==(const AddPrinter&) const = default;
};
struct DeletePrinter {
    std::string name;
    bool operator==(const DeletePrinter&) const = default;
};
struct DumpSettings {
    std::string name, file;
    bool operator==(const DumpSettings&) const = default;
};
struct Unknown {
    std::string message;
    bool operator==(const Unknown&) const = default;
};
using Command = std::variant<AddPrinter, DeletePrinter, DumpSettings, Unknown>;

// Reads the arguments that follow the program name.
Command parse(const std::vector<std::string>& args);

// The settings file of a printer: CR LF lines "Name=", "Driver=", "Port=", "Status=".
std::string settingsText(const spooler::PrinterInfo& info);

// Carries out a command on the spooler; messages go to `err`. Exit code: 0 done,
// 1 the spooler or the file refused, 2 not a known command.
int run(const Command& command, spooler::Spooler& spooler, std::ostream& err);

} // namespace printui
