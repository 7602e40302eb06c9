// The steady window kept in a file between starts: trusted for the first page, checked when
// the user moves on, put right when it no longer holds.
#include "platform/qt/FrameCache.h"
#include "platform/qt/QtHost.h"
#include "tests/fixtures/Children.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/Harness.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A page of `rows` rows of text and a picture box above its navigation row.
class RowsPage : public ui::Form {
  public:
    RowsPage(ui::App& app, std::string name, int rows) : Form(app, std::move(name)), rows_(rows) {}

  protected:
    void Build() override {
        for (int i = 0; i < rows_; ++i)
            label("Row", "A line of text that takes some room on the page", i);
        image("Logo", "");
        button("Back", "< &Back");
        button("Next", "&Next >").beside().setDefault(true);
        button("Cancel", "Cancel").beside().setCancel(true);
    }

  private:
    int rows_;
};

// A start of a wizard that keeps its frame in `file`: the first page's size and picture at
// start, the sizes once the user moved on and when the first page is shown again.
struct Start {
    QSize first, second, firstAgain, firstWhileSecond;
    QImage picture;
    QFont font; // the first page's
};
Start start(const QString& file) {
    testing_support::Harness h;
    uiqt::QtHost host{h.app};
    RowsPage first{h.app, "FirstDlg", 2};
    RowsPage second{h.app, "SecondDlg", 12};
    host.keepFrameIn(file, "test build");
    Start s;
    h.run([&] { first.Show(); });
    s.first = host.window(first)->size();
    s.font = host.window(first)->font();
    for (const auto& [control, w] : host.widgets(first))
        if (auto* picture = qobject_cast<QLabel*>(w); picture && control->name() == "Logo")
            s.picture = picture->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    // The next page comes while the first is still on screen.
    h.run([&] { second.Show(); });
    s.firstWhileSecond = host.window(first)->size();
    s.second = host.window(second)->size();
    h.run([&] {
        first.Hide();
        second.Hide();
        first.Show();
    });
    s.firstAgain = host.window(first)->size();
    return s;
}

TEST(SteadyFrame, KeptFrameIsTrustedThenCheckedAndPutRight) {
    const QString key = uiqt::frameKey("test build");
    QTemporaryDir reference;
    const Start fresh = start(reference.filePath("steady-window"));
    const std::optional<uiqt::SteadyFrame> right =
        uiqt::readFrame(reference.filePath("steady-window"), key);
    ASSERT_TRUE(right) << "a frame measured afresh is kept";
    ASSERT_EQ(fresh.first, right->size);
    ASSERT_EQ(right->printers.size(), 1u);
    auto kept = [&](QSize size, QImage picture = {}, const QString& under = {}) {
        uiqt::SteadyFrame frame = *right;
        frame.size = size;
        if (!picture.isNull())
            frame.printers.begin()->second = picture;
        return uiqt::formatFrame(under.isEmpty() ? key : under, frame);
    };
    auto keptIn = [&](double points, const QString& family = {}) {
        uiqt::SteadyFrame frame = *right;
        frame.font.setPointSizeF(points);
        if (!family.isEmpty())
            frame.font.setFamily(family);
        return uiqt::formatFrame(key, frame);
    };
    const QSize larger = right->size + QSize(120, 80);
    const QSize smaller(right->size.width() / 2, 10);
    QImage red = right->printers.begin()->second;
    red.fill(Qt::red);
    QImage wide(200, 100, QImage::Format_ARGB32), huge(2000, 2000, QImage::Format_ARGB32);
    wide.fill(Qt::red);
    huge.fill(Qt::red);
    struct Case {
        const char* name;
        std::optional<QByteArray> file;
        QSize first; // at start; none: what the first page needs
        QSize later; // the pages shown after the check
        QImage picture;
    };
    const Case cases[] = {
        {"nothing kept", std::nullopt, right->size, right->size, fresh.picture},
        {"kept and right", kept(right->size), right->size, right->size, fresh.picture},
        // This start stays steady; the next one is right.
        {"kept larger", kept(larger), larger, larger, fresh.picture},
        // The first page takes what it needs, the check the rest.
        {"kept smaller", kept(smaller), QSize(), right->size, fresh.picture},
        {"kept with another picture", kept(right->size, red), right->size, right->size, red},
        // A picture larger than the box asks for is not taken; one larger still is damage.
        {"kept picture too large", kept(right->size, wide), right->size, right->size,
         fresh.picture},
        {"kept picture huge", kept(larger, huge), right->size, right->size, fresh.picture},
        {"kept under another key", kept(larger, red, "other build"), right->size, right->size,
         fresh.picture},
        {"damaged", QByteArray("steady window 1\nkey: \xff\nsize: 9"), right->size, right->size,
         fresh.picture},
        {"no size", kept(QSize(0, 0)), right->size, right->size, fresh.picture},
        {"larger than the screen", kept(QSize(5000, 5000)), right->size, right->size,
         fresh.picture},
        {"cut short", kept(larger).left(kept(larger).size() - 9), right->size, right->size,
         fresh.picture},
        // A font no screen needs the pages set in: the desktop's is the largest, and it is
        // made smaller only so far.
        {"kept in a 40-point font", keptIn(40), right->size, right->size, fresh.picture},
        {"kept in a 3-point font", keptIn(3), right->size, right->size, fresh.picture},
        {"kept in another font", keptIn(right->font.pointSizeF(), "Some Other Family"), right->size,
         right->size, fresh.picture},
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
        const Start s = start(file);
        if (c.first.isValid()) {
            EXPECT_EQ(s.first, c.first);
        }
        EXPECT_EQ(s.picture, c.picture);
        EXPECT_EQ(s.font, right->font);
        EXPECT_EQ(s.firstWhileSecond, s.first) << "a page on screen keeps its size";
        EXPECT_EQ(s.second, c.later);
        EXPECT_EQ(s.firstAgain, c.later) << "a page shown again has the frame's size";
        EXPECT_EQ(uiqt::readFrame(file, key), right) << "the file holds the measured frame";
    }
}

// A place another user could have prepared (a shared XDG_CACHE_HOME), or one that is no file:
// neither read nor written, and the window measured as on a first start.
TEST(SteadyFrame, APlaceNotTheUsersAloneIsNotUsed) {
    const QString key = uiqt::frameKey("test build");
    QTemporaryDir reference;
    start(reference.filePath("f"));
    const std::optional<uiqt::SteadyFrame> right = uiqt::readFrame(reference.filePath("f"), key);
    ASSERT_TRUE(right);
    uiqt::SteadyFrame planted = *right;
    planted.size += QSize(120, 80);
    const uid_t other = test_fixtures::kOtherUser, me = ::geteuid();
    // In the case's folder: "W/f" is the kept frame, "t" what a link in its place, or in the
    // folder's, points at.
    auto frame = [&](mode_t folder, mode_t file, uid_t owner) {
        ::mkdir("W", folder), ::chmod("W", folder);
        test_fixtures::writeAll("W/f", uiqt::formatFrame(key, planted).toStdString());
        ::chmod("W/f", file), ::chown("W/f", owner, owner);
    };
    const struct {
        const char* name;
        bool rootOnly;
        std::function<void()> prepare;
    } cases[] = {
        {"a link to a private file", false,
         [] {
             test_fixtures::writeAll("t", "secret"), ::mkdir("W", 0700), ::symlink("../t", "W/f");
         }},
        {"a FIFO", false, [] { ::mkdir("W", 0700), ::mkfifo("W/f", 0600); }},
        {"another user's link to a private folder", true,
         [&] { ::mkdir("t", 0700), ::symlink("t", "W"), test_fixtures::plantShared("W"); }},
        {"another user's folder", true,
         [&] { frame(0755, 0644, other), ::chown("W", other, other); }},
        {"another user's frame", true, [&] { frame(0700, 0644, other); }},
        {"a folder others may write", false, [&] { frame(01777, 0644, me); }},
        {"a frame the group may write", false, [&] { frame(0700, 0620, me); }},
    };
    // What the places hold: type, owner, size and bytes.
    auto look = [] {
        std::string seen;
        for (const char* name : {"W", "W/f", "t"})
            if (struct stat st{}; ::lstat(name, &st) == 0)
                seen += std::to_string(st.st_mode) + " " + std::to_string(st.st_uid) + " " +
                        std::to_string(st.st_size) + " " +
                        (S_ISREG(st.st_mode) ? test_fixtures::readAll(name) : "") + "\n";
        return seen;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.rootOnly && me != 0)
            continue;
        test_fixtures::TempFolder top("frame", test_fixtures::TempFolder::Enter::Yes);
        c.prepare();
        const std::string before = look();
        // Nothing may reach a FIFO: its other end is open here to see it.
        struct stat st {};
        const bool fifo = ::lstat("W/f", &st) == 0 && S_ISFIFO(st.st_mode);
        const int reader = fifo ? ::open("W/f", O_RDONLY | O_NONBLOCK) : -1;
        const Start s = start(QDir::current().filePath("W/f"));
        EXPECT_EQ(s.first, right->size) << "measured afresh";
        EXPECT_EQ(s.font, right->font);
        EXPECT_EQ(look(), before) << "left as it was";
        char byte = 0;
        if (fifo) {
            EXPECT_LE(::read(reader, &byte, 1), 0);
            ::close(reader);
        }
    }
    if (me != 0)
        GTEST_SKIP() << "only root makes other users' files";
}

} // namespace
