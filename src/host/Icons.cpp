#include "host/Icons.h"

#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QPixmap>

namespace {

void drawPage(QPainter &p, const QRectF &r)
{
    QPolygonF page;
    page << r.topLeft() << QPointF(r.right() - 4, r.top()) << QPointF(r.right(), r.top() + 4)
         << r.bottomRight() << r.bottomLeft();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(page);
}

void drawDisk(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(40, 70, 160));
    p.drawRect(r);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.left() + 3, r.top() + 1, r.width() - 6, r.height() * 0.4));
    p.setBrush(QColor(180, 180, 180));
    p.drawRect(
        QRectF(r.left() + 4, r.bottom() - r.height() * 0.35, r.width() - 8, r.height() * 0.35));
}

QIcon drawn(ToolIcon which)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (which) {
    case ToolIcon::New:
        drawPage(p, QRectF(2.5, 0.5, 11, 15));
        break;
    case ToolIcon::Open:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(230, 190, 60));
        p.drawRect(QRectF(0.5, 4.5, 13, 10));
        p.setBrush(QColor(250, 220, 110));
        p.drawPolygon(QPolygonF(
            {QPointF(2.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 14.5), QPointF(0.5, 14.5)}));
        break;
    case ToolIcon::Save:
        drawDisk(p, QRectF(1.5, 1.5, 13, 13));
        break;
    case ToolIcon::SaveAll:
        drawDisk(p, QRectF(0.5, 0.5, 10, 10));
        drawDisk(p, QRectF(5.5, 5.5, 10, 10));
        break;
    }
    return QIcon(pixmap);
}

QIcon drawnFolder(bool open)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(120, 90, 20), 1));
    p.setBrush(QColor(230, 190, 60));
    p.drawRect(QRectF(0.5, 3.5, 14, 11));
    p.drawRect(QRectF(0.5, 2.5, 6, 2));
    if (open) {
        p.setBrush(QColor(250, 220, 110));
        p.drawPolygon(QPolygonF(
            {QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 14.5), QPointF(0.5, 14.5)}));
    }
    return QIcon(pixmap);
}

QIcon drawnChevrons(bool horizontal)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setRenderHint(QPainter::Antialiasing);
    QTransform turn;
    if (!horizontal)
        turn.translate(16, 0).rotate(90);
    p.setTransform(turn);
    for (qreal x : {4.0, 9.0})
        p.drawPolyline(QPolygonF({QPointF(x, 4), QPointF(x + 3, 8), QPointF(x, 12)}));
    return QIcon(pixmap);
}

} // namespace

QIcon ToolBarIcon(ToolIcon which)
{
    return drawn(which);
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (const char *file : {":/orvik/icon-48.png", ":/orvik/icon-128.png"}) {
        QImageReader png(QString::fromLatin1(file), "png");
        // Read as PNG outright: guessing the format would load every image-format plugin.
        png.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(png.read()));
    }
    return icon;
}

QIcon StartupStandardIcon(int standardPixmap)
{
    switch (standardPixmap) {
    case QStyle::SP_DirOpenIcon:
        return drawnFolder(true);
    case QStyle::SP_DirClosedIcon:
    case QStyle::SP_DirIcon:
        return drawnFolder(false);
    case QStyle::SP_ToolBarHorizontalExtensionButton:
        return drawnChevrons(true);
    case QStyle::SP_ToolBarVerticalExtensionButton:
        return drawnChevrons(false);
    default:
        return QIcon();
    }
}
