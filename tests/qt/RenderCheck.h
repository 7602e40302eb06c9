#pragma once
// Checks shared by the tests that render forms offscreen.
#include "platform/qt/QtHost.h"
#include "platform/qt/QtRender.h"
#include "platform/ui/Form.h"
#include "tests/support/Harness.h"

#include <QImage>
#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace uiqt_test {

// Distinct colours on a grid of every third pixel: a handful means nothing was drawn.
inline std::size_t sampledColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

// Renders a page to a PNG at `path` and checks that something was drawn and that no control
// overlaps another or is clipped by its container. Wrap in ASSERT_NO_FATAL_FAILURE.
inline void expectCleanPage(ui::Form& form, const std::string& path) {
    ASSERT_TRUE(uiqt::renderFormToPng(form, path)) << path;
    const QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(sampledColours(image), 4u) << "the picture is blank";
    for (const std::string& problem : uiqt::checkNoOverlap(form))
        ADD_FAILURE() << problem;
    // Every picture box in sight shows a picture.
    for (const auto& [control, w] : uiqt::QtHost::of(form.app())->widgets(form))
        if (control->kind() == ui::ControlKind::Image && !w->isHidden()) {
            auto* picture = qobject_cast<QLabel*>(w);
            EXPECT_TRUE(picture && !picture->pixmap().isNull())
                << control->fullName() << " is empty";
        }
}

// Where a control sits in its page's window (empty when it has no widget).
inline QRect placeOf(uiqt::QtHost& host, ui::Form& form, const char* control) {
    QWidget* w = host.widget(form.ctl(control));
    return w ? QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()) : QRect();
}

// Two controls of a page that start at one left edge, and share one width when asked.
struct LinedUp {
    const char* page;
    const char* a;
    const char* b;
    bool sameWidth;
};

inline void expectLinedUp(testing_support::Harness& h, uiqt::QtHost& host, ui::Form& form,
                          const LinedUp& c, const std::string& pngDir) {
    h.run([&] { form.load(); });
    // Rendering lays out the whole page, frames included, as showing it would.
    ASSERT_TRUE(uiqt::renderFormToPng(form, pngDir + "/lined-up-" + form.name() + ".png"));
    const QRect a = placeOf(host, form, c.a);
    const QRect b = placeOf(host, form, c.b);
    ASSERT_FALSE(a.isNull() || b.isNull()) << c.page << ": " << c.a << ", " << c.b;
    EXPECT_EQ(a.left(), b.left()) << c.page << ": " << c.a << " and " << c.b;
    if (c.sameWidth) {
        EXPECT_EQ(a.width(), b.width()) << c.page << ": " << c.a << " and " << c.b;
    }
}

// A page in one state. `prepare` runs before the page loads; the page's window is then
// built, as showing it would, and `act` runs the user's changes on it.
template <class Fixture> struct PageState {
    const char* name; // also the PNG's name
    const char* page;
    std::function<void(Fixture&)> act = nullptr;
    std::function<void(Fixture&)> prepare = nullptr;
};

template <class Fixture> void PrintTo(const PageState<Fixture>& s, std::ostream* os) {
    *os << s.name;
}

// Brings `form` into the state, renders it to "<pngDir>/<name>.png" and checks it; every
// box the state scripted must have shown. Wrap in ASSERT_NO_FATAL_FAILURE.
template <class Fixture>
void expectCleanState(Fixture& f, testing_support::Harness& h, uiqt::QtHost& host, ui::Form& form,
                      const PageState<Fixture>& state, const std::string& pngDir) {
    if (state.prepare)
        state.prepare(f);
    h.run([&] { form.load(); });
    ASSERT_NE(host.window(form), nullptr);
    if (state.act)
        state.act(f);
    ASSERT_NO_FATAL_FAILURE(expectCleanPage(form, pngDir + "/" + state.name + ".png"));
    EXPECT_TRUE(h.boxes.allShown()) << "a box the state expects was not shown";
}

// Every one of the wizard's `count` pages has a state in the table.
template <class States>
void expectEveryPageIn(const States& states, const std::vector<ui::Form*>& forms,
                       std::size_t count) {
    std::set<std::string> rendered;
    for (const auto& s : states)
        rendered.insert(s.page);
    for (ui::Form* form : forms)
        EXPECT_TRUE(rendered.count(form->name())) << form->name();
    EXPECT_EQ(forms.size(), count);
}

} // namespace uiqt_test
