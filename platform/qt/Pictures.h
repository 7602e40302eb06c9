#pragma once
#include <QPixmap>

#include <string>

namespace uiqt {

// The picture of an image control: the file it names when that exists, else the desktop
// theme's printer icon, else a printer drawn here, both `side` pixels square.
QPixmap pictureFor(const std::string& file, int side, qreal devicePixelRatio);

// A small printer of our own drawing, for desktops whose theme has none.
QPixmap drawnPrinter(int side, qreal devicePixelRatio);

} // namespace uiqt
