// Osprey loads any file through its pages without an exception past them. A file that
// loads saves again, and what it saves loads and saves to the very same bytes.
#include "osprey/core/SettingsFile.h"
#include "osprey/pages/Operation.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The printer width the file asks for (4, 6 or 8), so that the fuzzer gets past the
// width check.
int widthOf(std::string_view file) {
    osprey::RecordReader in(file);
    if (!osprey::versionMatches(in.nextText()))
        return 4;
    const int width = in.nextNumber();
    return width == 6 || width == 8 ? width : 4;
}

using Saved = osprey::Core::SaveResult;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::MemorySystem files;
    files.files["/fuzz/in.osp"] = std::string(fuzz::bytes(data, size));
    const int width = widthOf(fuzz::bytes(data, size));

    bool loaded = false;
    Saved saved = Saved::Failed;
    {
        fuzz::OspreyRun run(files, width);
        run.event([&] { loaded = run.core.LoadSavedSettings("/fuzz/in.osp"); });
        if (!loaded)
            return 0;
        run.event([&] { saved = run.core.SaveSettings("/fuzz/once.osp"); });
    }
    fuzz::check(saved == Saved::Saved, "a file that loaded saves again");

    fuzz::OspreyRun again(files, width);
    again.event([&] { loaded = again.core.LoadSavedSettings("/fuzz/once.osp"); });
    fuzz::check(loaded, "a saved file loads");
    again.event([&] { saved = again.core.SaveSettings("/fuzz/twice.osp"); });
    fuzz::check(saved == Saved::Saved, "a saved file saves again");
    fuzz::check(files.files["/fuzz/once.osp"] == files.files["/fuzz/twice.osp"],
                "load and save of a saved file gives the same bytes");
    return 0;
}
