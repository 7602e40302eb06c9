// Kestrel loads any file through its pages without an exception past them. A file that
// loads saves again, and what it saves loads and saves to the very same bytes.
#include "kestrel/core/SettingsFile.h"
#include "platform/sys/Encoding.h"
#include "platform/sys/Strings.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The password the file asks for, so that the fuzzer gets past the password check.
std::string passwordOf(std::string_view file) {
    kestrel::RecordCursor cursor(file);
    cursor.nextText();
    auto hex = cursor.nextText();
    return hex ? sys::fromWindows1252(sys::hexDecode(*hex)) : std::string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::MemorySystem files;
    files.files["/fuzz/in.ksf"] = std::string(fuzz::bytes(data, size));
    const std::string password = passwordOf(fuzz::bytes(data, size));

    bool loaded = false, saved = false;
    {
        fuzz::KestrelRun run(files);
        run.event([&] { loaded = run.core.LoadSavedSettings("/fuzz/in.ksf", password); });
        if (!loaded)
            return 0;
        run.event([&] { saved = run.core.SaveSettings("/fuzz/once.ksf", password); });
    }
    fuzz::check(saved, "a file that loaded saves again");

    fuzz::KestrelRun again(files);
    again.event([&] { loaded = again.core.LoadSavedSettings("/fuzz/once.ksf", password); });
    fuzz::check(loaded, "a saved file loads");
    again.event([&] { saved = again.core.SaveSettings("/fuzz/twice.ksf", password); });
    fuzz::check(saved, "a saved file saves again");
    fuzz::check(files.files["/fuzz/once.ksf"] == files.files["/fuzz/twice.ksf"],
                "load and save of a saved file gives the same bytes");
    return 0;
}
