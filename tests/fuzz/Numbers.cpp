// The readers of typed numbers and dotted addresses.
#include "kestrel/pages/FieldChecks.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in = fuzz::bytes(data, size);
    // A NaN would pass every range check the pages make.
    fuzz::check(!std::isnan(sys::leadingNumber(in)), "a number or infinity");
    const auto parts = kestrel::splitDots(in);
    std::string joined = parts.at(0);
    for (std::size_t i = 1; i < parts.size(); ++i)
        joined += "." + parts[i];
    fuzz::check(joined == in, "the parts joined at the dots give the text");
    kestrel::portAddressError(in);
    kestrel::staticAddressError(in, "IP Address");
    kestrel::subMaskError(in);
    kestrel::hasNoBadChars(in);
    return 0;
}
