// "ports.txt": any file reads into the table; the file Wren writes gives its ports back.
#include "portlister/PortList.h"
#include "printpath/PrintPath.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string in(fuzz::bytes(data, size));
    printpath::PortTable table;
    const int count = printpath::readPortTable(in, table);
    fuzz::check(count >= 0 && count <= printpath::PortTable::Size && count == table.count,
                "the count fits the table");
    for (int i = 0; i < count; ++i)
        fuzz::check(table.names[static_cast<std::size_t>(i)].find_first_of("\r\n") ==
                        std::string::npos,
                    "a name holds no line end");

    // Names without line ends, as the spooler lists them.
    std::vector<std::string> ports;
    for (std::string& name : fuzz::pieces(in, '\n'))
        if (name.find('\r') == std::string::npos)
            ports.push_back(std::move(name));
    const auto listing =
        portlister::listPorts(spooler::Result<std::vector<std::string>>::success(ports));
    printpath::PortTable back;
    const int n = printpath::readPortTable(listing.file, back);
    fuzz::check(n == std::min<int>(static_cast<int>(ports.size()), printpath::PortTable::Size),
                "every port read back, up to the table's size");
    for (int i = 0; i < n; ++i)
        fuzz::check(back.names[static_cast<std::size_t>(i)] == ports[static_cast<std::size_t>(i)],
                    "each port read back");
    return 0;
}
