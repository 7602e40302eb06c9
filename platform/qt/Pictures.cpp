#include "platform/qt/Pictures.h"

#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>

namespace uiqt {

QPixmap pictureFile(const std::string& file) {
    const QString path = QString::fromStdString(file);
    QPixmap pixmap;
    if (!path.isEmpty() && QFile::exists(path) && pixmap.load(path))
        return pixmap;
    return QPixmap();
}

QPixmap themePrinter(int side, qreal devicePixelRatio) {
    const QIcon themed = QIcon::fromTheme(QStringLiteral("printer"));
    if (!themed.isNull()) {
        const QPixmap pixmap = themed.pixmap(QSize(side, side), devicePixelRatio);
        if (!pixmap.isNull())
            return pixmap;
    }
    return drawnPrinter(side, devicePixelRatio);
}

QPixmap drawnPrinter(int side, qreal devicePixelRatio) {
    QPixmap pixmap(QSize(side, side) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32-unit square: a sheet going in at the top, the body, a sheet coming out.
    p.scale(side / 32.0, side / 32.0);
    const QPen outline(QColor(0x3c, 0x45, 0x4c), 1.2);
    p.setPen(outline);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));
    QPainterPath body;
    body.addRoundedRect(QRectF(3, 11, 26, 12), 2.5, 2.5);
    p.setBrush(QColor(0x6d, 0x7b, 0x86));
    p.drawPath(body);
    p.setBrush(QColor(0x3c, 0x45, 0x4c));
    p.drawRect(QRectF(7, 19, 18, 2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 20, 16, 9));
    p.setPen(QPen(QColor(0x99, 0x99, 0x99), 1));
    p.drawLine(QPointF(11, 24), QPointF(21, 24));
    p.drawLine(QPointF(11, 26.5), QPointF(18, 26.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7a, 0xd1, 0x51));
    p.drawEllipse(QPointF(25, 15), 1.4, 1.4);
    return pixmap;
}

} // namespace uiqt
