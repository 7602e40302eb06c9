#include "osprey/pages/frmAbout.h"

#include "osprey/core/Core.h"
#include "platform/process/Processes.h"
#include "platform/sys/System.h"
#include "printpath/PrintPath.h"

#include <cstdint>
#include <exception>

namespace osprey {

namespace {
constexpr std::size_t kValueBuffer = 1024;
const char* const kUnavailable = "System Information Is Unavailable At This Time";
} // namespace

bool GetKeyValue(registry::Registry& reg, registry::Root KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal) {
    if (!reg.keyExists(KeyRoot, KeyName)) {
        KeyVal.clear();
        return false;
    }
    registry::RawValue raw;
    if (reg.queryValue(KeyRoot, KeyName, SubKeyRef, raw) != registry::ERROR_SUCCESS ||
        raw.data.size() > kValueBuffer) {
        KeyVal.clear();
        return false;
    }
    std::string bytes = raw.data;
    if (!bytes.empty() && bytes.back() == '\0')
        bytes.pop_back();
    switch (raw.type) {
    case registry::REG_SZ:
    case registry::REG_EXPAND_SZ:
        KeyVal = bytes;
        break;
    case registry::REG_DWORD:
        if (bytes.size() >= 4) {
            std::uint32_t n = 0;
            for (int i = 3; i >= 0; --i)
                n = (n << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
            KeyVal = std::to_string(n);
        }
        break;
    default:
        break;
    }
    return true;
}

void AboutBox::Build() {
    wizard::AboutBox<Page>::Build();
    picIcon->onClick = [this] { picIcon_Click(); };
    lblTitle->onClick = [this] { lblTitle_Click(); };
    button(cmdSysInfo, "&System Info...").beside().onClick = [this] { cmdSysInfo_Click(); };
}

void AboutBox::Form_Load() {
    showProgram(core().ProgramTitle(), versionPrefix_ + printpath::VersionText(),
                Core::CopyrightText() + "\r\nAll rights reserved");
}

void AboutBox::cmdSysInfo_Click() {
    StartSysInfo();
}

void AboutBox::lblTitle_Click() {
    core().ws.KvtLogEnabled = true;
    core().ws.LogEnabled = false;
}

void AboutBox::picIcon_Click() {
    core().ws.LogEnabled = true;
    core().ws.KvtLogEnabled = false;
}

void AboutBox::StartSysInfo() {
    Core& c = core();
    try {
        registry::Registry& reg = c.registry();
        std::string path;
        std::string folder;
        bool found = GetKeyValue(reg, registry::HKEY_LOCAL_MACHINE,
                                 "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", path);
        if (!found && GetKeyValue(reg, registry::HKEY_LOCAL_MACHINE,
                                  "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", folder)) {
            const std::string joined = sys::joinPath(folder, "MSINFO32.EXE");
            if (c.FileExists(joined)) {
                path = joined;
                found = true;
            }
        }
        // The path goes whole as the program, blanks and all.
        if (found && !path.empty() && c.processes().start(proc::quoteArgument(path)) != 0)
            return;
    } catch (const ui::ProgramEnded&) {
        throw;
    } catch (const ui::WaitStalled&) {
        throw;
    } catch (const std::exception&) {
        // Falls through to the notice below, as every other failure does.
    }
    app().MsgBox(kUnavailable, ui::mb::OkOnly, c.ProgramTitle());
}

} // namespace osprey
