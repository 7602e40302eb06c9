// Osprey's settings file codec: any bytes read; what reads in full writes again and reads
// back to the same values.
#include "osprey/core/SettingsFile.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace osprey;

namespace {

std::optional<SettingsRecords> read(std::string_view bytes) {
    RecordReader in(bytes);
    SettingsRecords r;
    r.version = in.nextText();
    if (!in.ok() || !versionMatches(r.version))
        return std::nullopt;
    r.printerWidth = in.nextNumber();
    if (!in.ok() || !readSettingsBody(in, r))
        return std::nullopt;
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto first = read(fuzz::bytes(data, size));
    if (!first)
        return 0;
    const ControlLimits limits{.mediaTypeCount = 2,
                               .lengthCount = 7,
                               .widthCount = 5,
                               .lengthOrg = 6,
                               .widthOrg = 4,
                               .orientationCount = 4,
                               .dispenseCount = 5,
                               .speedCount = 11,
                               .gapCount = 6,
                               .emulationCount = 10,
                               .horzMin = -99,
                               .horzMax = 99,
                               .vertMin = -99,
                               .vertMax = 99};
    std::string item;
    checkSettings(*first, limits, item);

    auto bytes = encodeSettings(*first);
    fuzz::check(bytes.has_value(), "what was read writes again");
    auto second = read(*bytes);
    fuzz::check(second.has_value(), "what was written reads");
    fuzz::check(encodeSettings(*second) == bytes, "read, write and read give the same values");
    return 0;
}
