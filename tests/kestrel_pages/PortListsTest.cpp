#include "kestrel/pages/PortLists.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(PortNames, OnlyNamesSafeInAQuotedBatchLineAreOffered) {
    const std::pair<std::string, bool> cases[] = {
        {"LPT1:", true},     {"COM3:", true},      {"USB001", true},   {"IP_10.0.0.1", true},
        {"LPT\"1:", false},  {"USB%PATH%", false}, {"COM1:&x", false}, {"COM1:|x", false},
        {"LPT<1:", false},   {"LPT>1:", false},    {"USB^1", false},   {"USB\x01", false},
        {"USB001\r", false}, {"USB\x7F", false},   {"USB\t1", false},  {"", true},
    };
    for (const auto& [name, safe] : cases)
        EXPECT_EQ(safe, isSafePortName(name)) << name;
}

TEST(PortNames, SortsTheTableIntoThreeListsInTableOrder) {
    PortLists lists = sortPorts({"LPT1:", "COM1:", "USB001", "FILE:", "COM2", "lpt2:", "USBX",
                                 "USB%X%", "LPT2:", "COM10:", "LPT1", "USB"});
    EXPECT_EQ((std::vector<std::string>{"LPT1:", "LPT2:"}), lists.lpt);
    EXPECT_EQ((std::vector<std::string>{"COM1:", "COM10:"}), lists.com);
    EXPECT_EQ((std::vector<std::string>{"USB001", "USBX", "USB"}), lists.usb);
}

} // namespace
} // namespace kestrel
