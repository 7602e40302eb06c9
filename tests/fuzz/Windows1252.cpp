// Windows-1252 conversion: bytes to text to bytes gives the bytes back; text that converts
// comes back as the same text.
#include "platform/sys/Encoding.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in = fuzz::bytes(data, size);
    const std::string text = sys::fromWindows1252(in);
    fuzz::check(sys::toWindows1252(text) == in, "bytes -> text -> bytes");
    if (auto ansi = sys::toWindows1252(in)) {
        fuzz::check(sys::fromWindows1252(*ansi) == in, "text -> bytes -> text");
        fuzz::check(sys::ansiText(in) == *ansi, "an ANSI conversion alters only what has no form");
    }
    sys::hasC1Control(in);
    return 0;
}
