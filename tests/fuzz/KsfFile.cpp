// Kestrel's settings file codec: any bytes read as records, hex texts and restore plans;
// a file of ten records that carries the tag is exactly what the writer makes of them.
#include "kestrel/core/Restore.h"
#include "kestrel/core/SettingsFile.h"
#include "platform/sys/Encoding.h"
#include "platform/sys/Strings.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in = fuzz::bytes(data, size);
    fuzz::check(sys::hexDecode(sys::hexEncode(in)) == in, "hex round trip");

    // The plans only name the pages' controls; one set of pages serves every input.
    static fuzz::MemorySystem files;
    static fuzz::KestrelRun run(files);

    kestrel::RecordCursor cursor(in);
    std::vector<std::string> records;
    while (records.size() < kestrel::kSettingsFileRecords) {
        auto text = cursor.nextText();
        if (!text)
            break;
        records.push_back(*text);
    }
    for (std::size_t i = 2; i < records.size(); ++i)
        kestrel::restorePlan(run.pages, static_cast<int>(i - 2),
                             sys::fromWindows1252(sys::hexDecode(records[i])));
    if (records.size() == kestrel::kSettingsFileRecords && records[0] == kestrel::kSettingsTag) {
        std::array<std::string, 8> hex;
        std::copy(records.begin() + 2, records.end(), hex.begin());
        fuzz::check(kestrel::settingsFileFromHex(records[1], hex) == in.substr(0, cursor.offset()),
                    "the records written again give the same bytes");
    }
    return 0;
}
