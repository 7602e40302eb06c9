#pragma once
#include <QByteArray>
#include <QFont>
#include <QSize>
#include <QString>

#include <optional>

namespace uiqt {

// A wizard's steady window as measured: the font its pages are set in and their size.
struct SteadyFrame {
    QFont font;
    QSize size;
    bool operator==(const SteadyFrame& other) const {
        return font == other.font && size == other.size;
    }
};

// What the measurement depends on besides the pages: the program's build (`identity`), Qt,
// the style, the desktop's font as it resolves and the screen. A frame kept under another
// key is measured afresh.
QString frameKey(const QString& identity);

// The kept frame's file text, and back; a text that is damaged or kept under another key
// gives none.
QByteArray formatFrame(const QString& key, const SteadyFrame& frame);
std::optional<SteadyFrame> parseFrame(const QByteArray& text, const QString& key);

// The same on a file; a file that cannot be read or written counts as no frame kept.
std::optional<SteadyFrame> readFrame(const QString& file, const QString& key);
void writeFrame(const QString& file, const QString& key, const SteadyFrame& frame);

} // namespace uiqt
