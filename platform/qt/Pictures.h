#pragma once
#include <QPixmap>

#include <string>

namespace uiqt {

// The picture file an image control names; a null pixmap when there is none that loads.
QPixmap pictureFile(const std::string& file);

// What a box without a picture file of its own shows: the desktop theme's printer icon,
// else a printer drawn here, `side` pixels square.
QPixmap themePrinter(int side, qreal devicePixelRatio);

// A small printer of our own drawing, for desktops whose theme has none.
QPixmap drawnPrinter(int side, qreal devicePixelRatio);

} // namespace uiqt
