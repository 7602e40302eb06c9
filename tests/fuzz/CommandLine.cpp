// The command-line splitter and quoter: any line splits; quoted arguments come back as
// they were.
#include "platform/process/Processes.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in = fuzz::bytes(data, size);
    proc::splitCommandLine(in);

    // The input cut at NUL bytes gives the arguments of a program.
    std::vector<std::string> args = fuzz::pieces(in, '\0');
    std::string line = "Plover";
    for (const std::string& a : args)
        line += " " + proc::quoteArgument(a);
    args.insert(args.begin(), "Plover");
    fuzz::check(proc::splitCommandLine(line) == args, "quoted arguments split back");
    return 0;
}
