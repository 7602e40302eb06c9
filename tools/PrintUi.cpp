#include "tools/PrintUi.h"

#include "platform/sys/System.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <ostream>

namespace printui {

namespace {

bool sameLetters(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

Command parse(const std::vector<std::string>& args) {
    // File and entry names are Windows names: letter case does not matter.
    if (args.empty() || !sameLetters(args[0], "printui.dll,PrintUIEntry")) {
        return Unknown{"only \"printui.dll,PrintUIEntry\" is supported"};
    }
    static const std::map<std::string, char> valueOptions{
        {"/b", 'b'}, {"/f", 'f'}, {"/r", 'r'}, {"/m", 'm'}, {"/n", 'n'}};
    std::string action;
    std::map<char, std::string> values;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "/q" || a == "/u") {
            continue;
        }
        if (a == "/if" || a == "/dl" || a == "/Xg") {
            if (!action.empty() && action != a) {
                return Unknown{"options " + action + " and " + a + " cannot be combined"};
            }
            action = a;
            continue;
        }
        auto option = valueOptions.find(a);
        if (option == valueOptions.end()) {
            return Unknown{"unknown option \"" + a + "\""};
        }
        if (i + 1 >= args.size()) {
            return Unknown{"option " + a + " needs a value"};
        }
        values[option->second] = args[++i];
    }
    auto need =
        [&](std::initializer_list<std::pair<char, const char*>> options) -> std::optional<Unknown> {
        for (auto [key, flag] : options) {
            if (!values.count(key) || values[key].empty()) {
                return Unknown{action + " needs " + flag};
            }
        }
        return std::nullopt;
    };
    if (action == "/if") {
        if (auto missing = need({{'b', "/b NAME"}, {'r', "/r PORT"}, {'m', "/m DRIVER"}})) {
            return *missing;
        }
        return AddPrinter{values['b'], values['f'], values['r'], values['m']};
    }
    if (action == "/dl") {
        if (auto missing = need({{'n', "/n NAME"}})) {
            return *missing;
        }
        return DeletePrinter{values['n']};
    }
    if (action == "/Xg") {
        if (auto missing = need({{'n', "/n NAME"}, {'f', "/f FILE"}})) {
            return *missing;
        }
        return DumpSettings{values['n'], values['f']};
    }
    return Unknown{"no command: give /if (add), /dl (delete) or /Xg (settings)"};
}

std::string settingsText(const spooler::PrinterInfo& info) {
    return "Name=" + info.name.value_or("") + "\r\nDriver=" + info.driver.value_or("") +
           "\r\nPort=" + info.port.value_or("") + "\r\nStatus=" + std::to_string(info.status) +
           "\r\n";
}

int run(const Command& command, spooler::Spooler& spooler, std::ostream& err) {
    auto fail = [&](const std::string& what, int error) {
        err << "rundll32: " << what << ": " << spooler::errorText(error) << " (" << error << ")\n";
        return 1;
    };
    if (auto* add = std::get_if<AddPrinter>(&command)) {
        int e = spooler.addPrinter(add->name, add->driver, add->port);
        return e ? fail("cannot add printer " + quoted(add->name) + " on " + add->port +
                            " with driver " + quoted(add->driver),
                        e)
                 : 0;
    }
    if (auto* del = std::get_if<DeletePrinter>(&command)) {
        int e = spooler.deletePrinter(del->name);
        return e ? fail("cannot delete printer " + quoted(del->name), e) : 0;
    }
    if (auto* dump = std::get_if<DumpSettings>(&command)) {
        auto info = spooler.printerInfo(dump->name);
        if (!info.ok()) {
            return fail("cannot read printer " + quoted(dump->name), info.error);
        }
        sys::RealSystem system;
        const sys::IoResult written = system.writeFile(dump->file, settingsText(*info.value));
        if (!written.ok) {
            err << "rundll32: cannot write \"" << dump->file
                << "\": " << sys::fileErrorText(written.error) << "\n";
            return 1;
        }
        return 0;
    }
    err << "rundll32: " << std::get<Unknown>(command).message << "\n"
        << "usage: rundll32 printui.dll,PrintUIEntry [/q] [/u] /if /b NAME /f INF /r PORT /m "
           "DRIVER\n"
           "       rundll32 printui.dll,PrintUIEntry [/q] /dl /n NAME\n"
           "       rundll32 printui.dll,PrintUIEntry [/q] /Xg /n NAME /f FILE\n";
    return 2;
}

} // namespace printui
