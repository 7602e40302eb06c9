#pragma once
#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

#include <map>
#include <optional>

namespace uiqt {

// A wizard's steady window as measured: the font its pages are set in and their size, and
// the pictures of its picture boxes without a file of their own (themePrinter), by
// printerKey.
struct SteadyFrame {
    QFont font;
    QSize size;
    std::map<QString, QImage> printers;
    bool operator==(const SteadyFrame& other) const {
        return font == other.font && size == other.size && printers == other.printers;
    }
};
QString printerKey(int side, qreal devicePixelRatio);

// What the measurement depends on besides the pages: the program's build (`identity`), Qt,
// the style, the desktop's font as it resolves, its icon theme and the screen. A frame kept
// under another key is measured afresh.
QString frameKey(const QString& identity);

// The kept frame's file text, and back; a text that is damaged or kept under another key
// gives none.
QByteArray formatFrame(const QString& key, const SteadyFrame& frame);
std::optional<SteadyFrame> parseFrame(const QByteArray& text, const QString& key);

// The same on a file, through the careful writer and reader of the settings files (a new file
// is the user's alone). A file that is not the user's alone (another owner's, or one others
// may write), or in a folder that is not, is neither read nor written, and neither is a link,
// a FIFO or a device in its place: each counts as no frame kept, as one that cannot be read.
std::optional<SteadyFrame> readFrame(const QString& file, const QString& key);
void writeFrame(const QString& file, const QString& key, const SteadyFrame& frame);

} // namespace uiqt
