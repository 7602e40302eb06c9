#include "platform/qt/FrameCache.h"

#include "platform/sys/Fd.h"
#include "platform/sys/System.h"
#include "platform/sys/Trust.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QList>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QWidget>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace uiqt {

namespace {
constexpr const char* kHeader = "steady window 1";
constexpr qsizetype kLargestFile = 256 * 1024; // anything larger is no file of ours

QString oneLine(QString text) {
    return text.replace('\n', ' ').replace('\r', ' ');
}

constexpr int kLargestPicture = 1024; // pixels a side; an icon is far smaller

// A picture from the file, never a large one, whatever the file says.
QImage picture(QByteArray png) {
    QBuffer buffer(&png);
    QImageReader reader(&buffer, "PNG");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kLargestPicture || size.height() > kLargestPicture)
        return QImage();
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
} // namespace

QString printerKey(int side, qreal devicePixelRatio) {
    return QStringLiteral("%1@%2").arg(side).arg(devicePixelRatio);
}

QString frameKey(const QString& identity) {
    const QFont font = QApplication::font();
    const QFontInfo resolved(font);
    const QFontMetricsF metrics(font);
    QStringList parts = {identity,
                         QString::fromLatin1(qVersion()),
                         QGuiApplication::platformName(),
                         QApplication::style() ? QApplication::style()->name() : QString(),
                         font.toString(),
                         resolved.family(),
                         resolved.styleName(),
                         QString::number(metrics.height()),
                         QString::number(metrics.horizontalAdvance(
                             QStringLiteral("The quick brown fox, 0123456789 < &Back Next >"))),
                         QIcon::themeName(),
                         QIcon::fallbackThemeName(),
                         QIcon::themeSearchPaths().join(':')};
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size();
        parts << QStringLiteral("%1x%2").arg(room.width()).arg(room.height())
              << QString::number(screen->devicePixelRatio())
              << QString::number(screen->logicalDotsPerInch());
    }
    return oneLine(parts.join('|'));
}

QByteArray formatFrame(const QString& key, const SteadyFrame& frame) {
    QByteArray text = QStringLiteral("%1\nkey: %2\nfont: %3\nsize: %4 %5\n")
                          .arg(QLatin1String(kHeader), oneLine(key), oneLine(frame.font.toString()))
                          .arg(frame.size.width())
                          .arg(frame.size.height())
                          .toUtf8();
    for (const auto& [which, image] : frame.printers)
        text += "printer: " + oneLine(which).toUtf8() + " " + png(image).toBase64() + "\n";
    return text;
}

std::optional<SteadyFrame> parseFrame(const QByteArray& text, const QString& key) {
    const QStringList lines = QString::fromUtf8(text).split('\n');
    if (lines.size() < 5 || lines[0] != QLatin1String(kHeader) || !lines.back().isEmpty() ||
        lines[1] != QStringLiteral("key: ") + oneLine(key) || !lines[2].startsWith("font: ") ||
        !lines[3].startsWith("size: "))
        return std::nullopt;
    SteadyFrame frame;
    if (!frame.font.fromString(lines[2].mid(6)))
        return std::nullopt;
    const QStringList size = lines[3].mid(6).split(' ');
    bool wide = false, high = false;
    if (size.size() == 2)
        frame.size = QSize(size[0].toInt(&wide), size[1].toInt(&high));
    if (!wide || !high || frame.size.width() <= 0 || frame.size.height() <= 0 ||
        frame.size.width() > QWIDGETSIZE_MAX || frame.size.height() > QWIDGETSIZE_MAX)
        return std::nullopt;
    for (qsizetype i = 4; i + 1 < lines.size(); ++i) {
        const QStringList printer = lines[i].split(' ');
        const QImage image = printer.size() == 3 && printer[0] == "printer:"
                                 ? picture(QByteArray::fromBase64(printer[2].toLatin1()))
                                 : QImage();
        if (image.isNull())
            return std::nullopt;
        frame.printers[printer[1]] = image;
    }
    return frame;
}

namespace {

// Owned by the user, and no one else may write it (an ACL that lets others write shows in the
// group bits, which are then its mask).
bool usersAlone(const struct stat& st) {
    return st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The folder that holds the kept frame, open, when it is the user's alone; anyone else could
// put a link or a frame of theirs in it. It is reached through the open folder
// (/proc/self/fd/N/NAME), so that no folder swapped in after the check is used.
class CacheFolder {
  public:
    // `make`: a missing folder is made (0700, with any missing folder above it).
    CacheFolder(const QString& file, bool make) {
        const std::filesystem::path path = QFile::encodeName(file).toStdString();
        name_ = path.filename();
        if (make && !sys::makeOwnFolders(path.parent_path()))
            return;
        // Walked as the writer walks paths: another user's link in a shared cache is no way
        // into a folder of the user's.
        sys::Fd fd = sys::openFolder(path.parent_path());
        struct stat st {};
        if (fd && ::fstat(fd.get(), &st) == 0 && usersAlone(st) && !name_.empty())
            fd_ = std::move(fd);
    }

    bool usable() const { return bool(fd_); }
    std::string path() const { return "/proc/self/fd/" + std::to_string(fd_.get()) + "/" + name_; }
    // What has the frame's name now, looked at without following a link.
    std::optional<struct stat> kept() const {
        struct stat st {};
        if (!fd_ || ::fstatat(fd_.get(), name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return std::nullopt;
        return st;
    }

  private:
    sys::Fd fd_;
    std::string name_;
};

} // namespace

// The cache is written and read as carefully as the settings files, and only where no one
// else can have put or changed what is there; anything else counts as no frame kept.
std::optional<SteadyFrame> readFrame(const QString& file, const QString& key) {
    const CacheFolder folder(file, false);
    const auto st = folder.kept();
    if (!st || !S_ISREG(st->st_mode) || !usersAlone(*st) || st->st_size > kLargestFile)
        return std::nullopt;
    const auto text = sys::RealSystem(std::string()).readFile(folder.path());
    if (!text || text->size() > static_cast<std::size_t>(kLargestFile))
        return std::nullopt;
    return parseFrame(QByteArray::fromStdString(*text), key);
}

void writeFrame(const QString& file, const QString& key, const SteadyFrame& frame) {
    // Only a help for the next start: a place that cannot be used is left be.
    const CacheFolder folder(file, true);
    const auto st = folder.kept();
    if (!folder.usable() || (st && (!S_ISREG(st->st_mode) || !usersAlone(*st))))
        return;
    sys::RealSystem(std::string())
        .writePrivateFile(folder.path(), formatFrame(key, frame).toStdString());
}

} // namespace uiqt
