// The programs' Qt start-up, in a process of its own: it makes the one QApplication.
#include "platform/qt/QtProgram.h"
#include "tests/fixtures/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(QtProgram, CommandLineIsReadBeforeQtTakesItsOptions) {
    // Qt's runtime folder of its own, not one in /tmp that outlives the test.
    const test_fixtures::TempFolder runtime("qt-program");
    ::setenv("XDG_RUNTIME_DIR", runtime.path.c_str(), 1);
    std::string args[] = {"Kestrel", "-qwindowtitle", "LOG", "CD", "/media/My Disc"};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(),
                    args[3].data(), args[4].data(), nullptr};
    int argc = 5;
    uiqt::QtProgram program(argc, argv, "Kestrel");
    EXPECT_EQ(argc, 3) << "Qt took -qwindowtitle and its value";
    // The switches stay on the line the wizard reads, and the blank stays inside its argument.
    EXPECT_EQ(program.commandLine(), "-qwindowtitle LOG CD \"/media/My Disc\"");
}
