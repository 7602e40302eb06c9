// The steady window kept in a file between starts: trusted for the first page, checked when
// the user moves on, put right when it no longer holds.
#include "platform/qt/FrameCache.h"
#include "platform/qt/QtHost.h"
#include "tests/support/Harness.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace {

// A page of `rows` rows of text above its navigation row.
class RowsPage : public ui::Form {
  public:
    RowsPage(ui::App& app, std::string name, int rows) : Form(app, std::move(name)), rows_(rows) {}

  protected:
    void Build() override {
        for (int i = 0; i < rows_; ++i)
            label("Row", "A line of text that takes some room on the page", i);
        button("Back", "< &Back");
        button("Next", "&Next >").beside().setDefault(true);
        button("Cancel", "Cancel").beside().setCancel(true);
    }

  private:
    int rows_;
};

struct Wizard {
    testing_support::Harness h;
    uiqt::QtHost host{h.app};
    RowsPage first{h.app, "FirstDlg", 2};
    RowsPage second{h.app, "SecondDlg", 12};
    QSize size(ui::Form& page) { return host.window(page)->size(); }
};

// The frame measured with nothing kept.
uiqt::SteadyFrame measured() {
    Wizard w;
    w.h.run([&] { w.first.Show(); });
    return {QApplication::font(), w.size(w.first)};
}

TEST(SteadyFrame, KeptFrameIsTrustedThenCheckedAndPutRight) {
    const uiqt::SteadyFrame right = measured();
    const QString key = uiqt::frameKey("test build");
    auto kept = [&](QSize size, const QString& under = {}) {
        return uiqt::formatFrame(under.isEmpty() ? key : under, {right.font, size});
    };
    const QSize larger = right.size + QSize(120, 80);
    const QSize smaller(right.size.width() / 2, 10);
    struct Case {
        const char* name;
        std::optional<QByteArray> file;
        QSize firstPage; // the page shown at start
        QSize later;     // the pages shown after the check
    };
    const Case cases[] = {
        {"nothing kept", std::nullopt, right.size, right.size},
        {"kept and right", kept(right.size), right.size, right.size},
        // This start stays steady; the next one is right.
        {"kept larger", kept(larger), larger, larger},
        // The first page takes what it needs, the check the rest.
        {"kept smaller", kept(smaller), QSize(), right.size},
        {"kept under another key", kept(larger, "other build"), right.size, right.size},
        {"damaged", QByteArray("steady window 1\nkey: \xff\nsize: 9"), right.size, right.size},
        {"no size", kept(QSize(0, 0)), right.size, right.size},
        {"cut short", kept(larger).left(40), right.size, right.size},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString file = folder.filePath("Wizard/steady-window");
        if (c.file) {
            QDir().mkpath(folder.filePath("Wizard"));
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(*c.file);
        }
        Wizard w;
        w.host.keepFrameIn(file, "test build");
        w.h.run([&] { w.first.Show(); });
        const QSize start = w.size(w.first);
        if (c.firstPage.isValid()) {
            EXPECT_EQ(start, c.firstPage);
        }
        // The next page comes while the first is still on screen, which keeps its size.
        w.h.run([&] { w.second.Show(); });
        EXPECT_EQ(w.size(w.first), start);
        EXPECT_EQ(w.size(w.second), c.later);
        w.h.run([&] {
            w.first.Hide();
            w.second.Hide();
            w.first.Show();
        });
        EXPECT_EQ(w.size(w.first), c.later) << "a page shown again has the frame's size";
        EXPECT_EQ(uiqt::readFrame(file, key), right) << "the file holds the measured frame";
    }
}

} // namespace
