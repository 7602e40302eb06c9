// Shows one page of a wizard, in one state, on the wizard's fakes with the Qt renderer, for a
// screen reader to read over the accessibility bus. Usage: a11y_page_server STATE, where STATE
// is one of the states below or "kestrel:PAGE" / "osprey:PAGE" (a page as it opens). It prints
// "ready" once the page is on screen, then takes commands on stdin, one a line, and answers
// each with one line ("refused" when it cannot be done):
//   show FORM                   shows another page of the wizard: "done"
//   title FORM                  the title of its window
//   select FORM.CONTROL INDEX   picks a list entry as the user does: "done"
//   type TEXT                   types keys where the keyboard's focus is: "done " and the
//                               name of the control that has it
//   entry FORM.CONTROL          a list's current index and entry as the page holds them:
//                               "INDEX<tab>ENTRY"
// It ends at "quit" or at the end of its input.
#include "platform/qt/QtHost.h"
#include "tests/kestrel_pages/KestrelFixture.h"
#include "tests/osprey_pages/OspreyFixture.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace {

// The fixtures outside a test run: the pages of one wizard on its fakes, with windows.
struct KestrelWizard : kestrel_test::KestrelFixture {
    void TestBody() override {}
    using KestrelFixture::h;
    using KestrelFixture::pages;
    using KestrelFixture::processes;
    uiqt::QtHost host{h.app};
};

struct OspreyWizard : osprey_test::OspreyFixture {
    void TestBody() override {}
    using OspreyFixture::core;
    using OspreyFixture::h;
    using OspreyFixture::pages;
    using OspreyFixture::path;
    using OspreyFixture::write;
    uiqt::QtHost host{h.app};
};

// A settings file of the media and setup pages with no box ticked and every list on another
// entry than the first: 96 bytes, for a 4-inch printer.
std::string settingsFile() {
    std::string bytes;
    auto number = [&](int v) {
        bytes += std::string{'\x02', '\x00'};
        bytes += static_cast<char>(v & 0xFF);
        bytes += static_cast<char>((v >> 8) & 0xFF);
    };
    bytes += std::string{'\x08', '\x00', '\x04', '\x00'} + "V2.0";
    for (int v : {4,
                  /*print mode*/ 0,
                  1,
                  /*size box*/ 0,
                  /*custom sizes*/ 0,
                  0,
                  /*length, width*/ 2,
                  1,
                  /*orientation*/ 0,
                  1,
                  /*handling*/ 0,
                  1,
                  /*speed*/ 0,
                  1,
                  /*gap*/ 0,
                  1,
                  /*shifts*/ 0,
                  11,
                  0,
                  20,
                  /*emulation*/ 0,
                  1})
        number(v);
    return bytes;
}

// Owns whichever wizard the state needs; `control` finds "FORM.CONTROL" on it.
struct Wizard {
    std::unique_ptr<KestrelWizard> kestrel;
    std::unique_ptr<OspreyWizard> osprey;
    testing_support::Harness& h() { return kestrel ? kestrel->h : osprey->h; }
    ui::Control* control(const std::string& formDotControl) {
        const auto dot = formDotControl.find('.');
        ui::Form& form = kestrel ? kestrel->pages.form(formDotControl.substr(0, dot))
                                 : osprey->pages.form(formDotControl.substr(0, dot));
        const std::string name = formDotControl.substr(dot + 1);
        for (const auto& c : form.controlsIfLoaded())
            if (c->fullName() == name)
                return c.get();
        return nullptr;
    }
};

// The states beyond a page as it opens: how to bring the wizard there and show the page.
const std::map<std::string, std::function<void(Wizard&)>>& states() {
    static const std::map<std::string, std::function<void(Wizard&)>> all = {
        // Two ports of each kind but USB.
        {"kestrel-port",
         [](Wizard& w) {
             w.kestrel = std::make_unique<KestrelWizard>();
             w.kestrel->processes.ports = {"LPT1:", "LPT2:", "COM1:", "COM3:", "USB001"};
             w.h().run([&] { w.kestrel->pages.form("PortSelect").Show(); });
         }},
        // The media page after a settings file was loaded (the setup page is loaded too).
        {"osprey-loaded",
         [](Wizard& w) {
             w.osprey = std::make_unique<OspreyWizard>();
             OspreyWizard& o = *w.osprey;
             o.core.ws.PrinterWidth = 4;
             o.write("loaded.osp", settingsFile());
             o.h.run([&] {
                 o.pages.form("Operation").load();
                 o.core.LoadSavedSettings(o.path("loaded.osp"));
                 o.pages.form("Operation").Show();
             });
         }},
    };
    return all;
}

// The answer to one command from the reader.
std::string obey(Wizard& w, const std::string& line) {
    std::istringstream words(line);
    std::string verb, target;
    words >> verb >> target;
    if (verb == "show") {
        w.h().run([&] {
            (w.kestrel ? w.kestrel->pages.form(target) : w.osprey->pages.form(target)).Show();
        });
        return "done";
    }
    if (verb == "title") {
        return (w.kestrel ? w.kestrel->pages.form(target) : w.osprey->pages.form(target)).caption();
    }
    if (verb == "type") {
        QWidget* focus = QApplication::focusWidget();
        if (!focus)
            return "refused";
        QTest::keyClicks(focus, QString::fromStdString(target));
        return "done " + focus->objectName().toStdString();
    }
    ui::Control* c = w.control(target);
    if (!c)
        return "refused";
    if (verb == "select") {
        int index = -1;
        words >> index;
        w.h().run([&] { c->userSelect(index); });
        return "done";
    }
    if (verb == "entry") {
        const int i = c->listIndex();
        return std::to_string(i) + "\t" + (i >= 0 ? c->list(i) : std::string());
    }
    return "refused";
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string wanted = argc == 2 ? argv[1] : "";
    const auto state = states().find(wanted);
    Wizard wizard;
    if (state != states().end()) {
        state->second(wizard);
    } else if (wanted.rfind("kestrel:", 0) == 0) {
        wizard.kestrel = std::make_unique<KestrelWizard>();
        wizard.h().run([&] { wizard.kestrel->pages.form(wanted.substr(8)).Show(); });
    } else if (wanted.rfind("osprey:", 0) == 0) {
        wizard.osprey = std::make_unique<OspreyWizard>();
        wizard.h().run([&] { wizard.osprey->pages.form(wanted.substr(7)).Show(); });
    } else {
        std::cerr << "usage: a11y_page_server STATE\n";
        return 2;
    }
    QApplication::processEvents();
    std::cout << "ready" << std::endl;

    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::string line;
        if (!std::getline(std::cin, line) || line == "quit") {
            input.setEnabled(false);
            QApplication::exit(0); // no window closes: the page is left as it was
            return;
        }
        const std::string answer = obey(wizard, line);
        QApplication::processEvents();
        std::cout << answer << std::endl;
    });
    return QApplication::exec();
}
