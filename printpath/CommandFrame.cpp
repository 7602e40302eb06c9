#include "printpath/CommandFrame.h"

namespace printpath {

std::string commandFrame(const std::string& framedLines) {
    return "!KVT_SETUP\r\n" + framedLines + "KVT_END\r\n";
}

} // namespace printpath
