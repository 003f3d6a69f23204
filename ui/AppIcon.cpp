#include "ui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace bendwise {

namespace {

// Drawn on a 64 x 64 grid, the same one as data/bendwise.svg.
QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(230, 230, 222));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 8, 8);

    // Tangents from PC (10, 52) and PT (54, 52) to the PI (32, 14).
    painter.setPen(QPen(QColor(120, 120, 112), 2.5, Qt::DashLine, Qt::RoundCap));
    painter.drawLine(QPointF(10, 52), QPointF(32, 14));
    painter.drawLine(QPointF(32, 14), QPointF(54, 52));

    // The arc, tangent to both lines at PC and PT.
    QPainterPath arc(QPointF(10, 52));
    arc.quadTo(QPointF(32, 14), QPointF(54, 52));
    painter.setPen(QPen(QColor(24, 64, 140), 5, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arc);
    return pixmap;
}

}  // namespace

QIcon MakeAppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(DrawIcon(size));
    return icon;
}

}  // namespace bendwise
