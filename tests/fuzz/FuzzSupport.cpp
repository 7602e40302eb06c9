#include "tests/fuzz/FuzzSupport.h"

#include "osprey/pages/Operation.h"
#include "osprey/pages/PrinterSetup.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

void check(bool holds, const char* property) {
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

std::vector<std::string> pieces(std::string_view input, char separator) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = input.find(separator, start);
        out.emplace_back(input.substr(start, at - start));
        if (at == std::string_view::npos)
            return out;
        start = at + 1;
    }
}

std::optional<std::string> MemorySystem::readFile(const std::string& path) {
    auto it = files.find(path);
    if (it == files.end())
        return std::nullopt;
    return it->second;
}

sys::IoResult MemorySystem::writeFile(const std::string& path, const std::string& bytes) {
    if (path.empty() || path.back() == '/')
        return {false, ENOENT};
    files[path] = bytes;
    return {true, 0};
}

sys::IoResult MemorySystem::appendFile(const std::string& path, const std::string& bytes) {
    files[path] += bytes;
    return {true, 0};
}

int AnswerBoxes::show(const ui::MessageBoxRequest& request) {
    shown.push_back(request);
    return (request.flags & ui::mb::ButtonMask) == ui::mb::YesNo ? ui::mb::Yes : ui::mb::Ok;
}

KestrelRun::KestrelRun(MemorySystem& system) : Run(system) {
    core.setPages(pages);
    event([&] { core.Main(" GO /VERYSILENT"); });
}

OspreyRun::OspreyRun(MemorySystem& system, int printerWidth) : Run(system) {
    core.setPages(pages);
    osprey::WizardState& ws = core.ws;
    ws.PrinterWidth = static_cast<std::int16_t>(printerWidth);
    ws.ResolutionClass = 2;
    event([&] {
        pages.get<osprey::Operation>().load();
        pages.get<osprey::PrinterSetup>().load();
    });
}

} // namespace fuzz
