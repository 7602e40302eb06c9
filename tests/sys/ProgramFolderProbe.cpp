// Prints the folder the running program finds as its own.
#include "platform/sys/System.h"

#include <cstdio>

int main() {
    std::printf("%s\n", sys::executableFolder().c_str());
    return 0;
}
