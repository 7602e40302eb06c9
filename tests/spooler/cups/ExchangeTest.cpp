#include "platform/spooler/cups/Exchange.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace spooler::ipp;

ssize_t append(void* context, ipp_uchar_t* bytes, std::size_t length) {
    static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(bytes), length);
    return static_cast<ssize_t>(length);
}

// A device listing's answer as the scheduler sends it.
std::string listingAnswer() {
    Ipp message(ippNew());
    ippSetStatusCode(message.get(), IPP_STATUS_OK);
    ippSetRequestId(message.get(), 7);
    ippAddString(message.get(), IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr,
                 "utf-8");
    for (const char* uri : {"parallel:/dev/lp0", "usb://Fake/Printer?serial=1"}) {
        ippAddSeparator(message.get());
        ippAddString(message.get(), IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, uri);
    }
    std::string bytes;
    ippWriteIO(&bytes, append, 1, nullptr, message.get());
    return bytes;
}

// An answer read only in part (the time ran out, the connection broke) is no answer: never
// a shorter listing.
TEST(ParseMessage, TakesOnlyAWholeMessage) {
    const std::string whole = listingAnswer();
    Ipp parsed = parseMessage(whole);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(ippGetStatusCode(parsed.get()), IPP_STATUS_OK);
    EXPECT_EQ(ippGetCount(ippFindAttribute(parsed.get(), "device-uri", IPP_TAG_URI)), 1);
    EXPECT_EQ(attrText(parsed.get(), "device-uri"), "parallel:/dev/lp0");
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        EXPECT_FALSE(parseMessage(whole.substr(0, cut))) << cut << " of " << whole.size();
    }
}

} // namespace
