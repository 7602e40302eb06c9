// Shows pages of a wizard on its fakes with the Qt renderer, for a screen reader to read over
// the accessibility bus. Usage: a11y_page_server kestrel|osprey|osprey-loaded PAGE...: Kestrel
// with two ports of each kind but USB; Osprey as it starts, or after loading a settings file
// that moves every list of its setup pages off the entry it opens with. It shows each PAGE
// in turn, prints "ready", then answers each line of its input with one line ("refused" when
// it cannot be done):
//   select FORM.CONTROL INDEX   picks a list entry as the user does: "done"
//   type TEXT                   types where the focus is: "done " and the focused widget's name
// It ends at the end of its input, its scratch folder removed.
#include "platform/qt/QtHost.h"
#include "tests/kestrel_pages/KestrelFixture.h"
#include "tests/osprey_pages/OspreyFixture.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTest>
#include <QWidget>

#include <iostream>
#include <sstream>
#include <string>

namespace {

// The fixtures outside a test run, with windows.
struct KestrelWizard : kestrel_test::KestrelFixture {
    KestrelWizard() { processes.ports = {"LPT1:", "LPT2:", "COM1:", "COM3:", "USB001"}; }
    void TestBody() override {}
    using KestrelFixture::h;
    using KestrelFixture::pages;
    uiqt::QtHost host{h.app};
};

struct OspreyWizard : osprey_test::OspreyFixture {
    explicit OspreyWizard(bool loaded) {
        if (!loaded)
            return;
        // A 4-inch printer's file with no box ticked (a list's value follows its box): print
        // mode 0, no custom sizes, length 2 and width 1, orientation 1, handling 2, speed 1,
        // gap 2, shifts 11 and 20, emulation 1.
        std::string bytes("\x08\x00\x04\x00V2.0", 8);
        for (int v : {4, 0, 0, 0, 0, 0, 2, 1, 0, 1, 0, 2, 0, 1, 0, 2, 0, 11, 0, 20, 0, 1})
            bytes += {'\x02', '\x00', static_cast<char>(v), static_cast<char>(v >> 8)};
        write("loaded.osp", bytes);
        core.ws.PrinterWidth = 4;
        h.run([&] {
            pages.form("Operation").load();
            core.LoadSavedSettings(path("loaded.osp"));
        });
    }
    void TestBody() override {}
    using OspreyFixture::h;
    using OspreyFixture::pages;
    uiqt::QtHost host{h.app};
};

template <class Wizard> int serve(Wizard& w, int argc, char** argv) {
    w.h.run([&] {
        for (int i = 2; i < argc; ++i)
            w.pages.form(argv[i]).Show();
    });
    QApplication::processEvents();
    std::cout << "ready" << std::endl;
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::string line, verb, target, answer = "refused";
        if (!std::getline(std::cin, line)) {
            input.setEnabled(false);
            QApplication::exit(0); // no window closes: the page is left as it was
            return;
        }
        std::istringstream words(line);
        words >> verb >> target;
        QWidget* focus = QApplication::focusWidget();
        if (verb == "type" && focus) {
            QTest::keyClicks(focus, QString::fromStdString(target));
            answer = "done " + focus->objectName().toStdString();
        } else if (const auto dot = target.find('.');
                   verb == "select" && dot != std::string::npos) {
            int index = -1;
            words >> index;
            for (const auto& c : w.pages.form(target.substr(0, dot)).controlsIfLoaded())
                if (c->fullName() == target.substr(dot + 1)) {
                    w.h.run([&] { c->userSelect(index); });
                    answer = "done";
                }
        }
        QApplication::processEvents();
        std::cout << answer << std::endl;
    });
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string wizard = argc > 2 ? argv[1] : "";
    if (wizard == "kestrel") {
        KestrelWizard w;
        return serve(w, argc, argv);
    }
    if (wizard == "osprey" || wizard == "osprey-loaded") {
        OspreyWizard w(wizard == "osprey-loaded");
        return serve(w, argc, argv);
    }
    std::cerr << "usage: a11y_page_server kestrel|osprey|osprey-loaded PAGE...\n";
    return 2;
}
