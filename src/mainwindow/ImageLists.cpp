#include "mainwindow/ImageLists.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

#include <functional>

namespace {

constexpr int Side = 16;

QIcon Draw(const std::function<void(QPainter&)>& paint, int side = Side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / double(Side), side / double(Side));
    paint(p);
    p.end();
    return QIcon(pixmap);
}

void Note(QPainter& p, double x, double y, const QColor& color)
{
    p.setPen(QPen(color, 1.4));
    p.drawLine(QPointF(x + 3.2, y + 10), QPointF(x + 3.2, y + 1.5));
    p.drawLine(QPointF(x + 3.2, y + 1.5), QPointF(x + 7, y + 3.5));
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QPointF(x + 1.8, y + 10.5), 2.2, 1.7);
}

void Star(QPainter& p, const QColor& fill)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 3.2 : 7.5;
        const double a = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(8 + r * std::cos(a), 8.5 + r * std::sin(a));
    }
    p.setPen(QPen(fill.darker(160), 0.8));
    p.setBrush(fill);
    p.drawPolygon(star);
}

void Magnifier(QPainter& p)
{
    p.setPen(QPen(QColor(40, 70, 140), 1.6));
    p.setBrush(QColor(210, 230, 255));
    p.drawEllipse(QPointF(6.5, 6.5), 4.3, 4.3);
    p.setPen(QPen(QColor(90, 60, 30), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.8, 9.8), QPointF(14, 14));
}

}

namespace ImageLists {

const QList<QIcon>& ToolButtonImages()
{
    static const QList<QIcon> images = [] {
        QList<QIcon> list(ToolImageCount);
        list[tiFile] = Draw([](QPainter& p) { Note(p, 4, 2, QColor(30, 60, 150)); });
        list[tiTemplate] = Draw([](QPainter& p) { Star(p, QColor(250, 200, 40)); });
        list[tiReadFailed] = Draw([](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(200, 30, 30));
            p.drawEllipse(QPointF(8, 8), 7, 7);
            p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(5, 5), QPointF(11, 11));
            p.drawLine(QPointF(11, 5), QPointF(5, 11));
        });
        list[tiUnsupported] = Draw([](QPainter& p) {
            QPolygonF triangle;
            triangle << QPointF(8, 1) << QPointF(15, 14.5) << QPointF(1, 14.5);
            p.setPen(QPen(QColor(150, 110, 0), 1));
            p.setBrush(QColor(255, 215, 50));
            p.drawPolygon(triangle);
            p.setPen(QPen(Qt::black, 1.8, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, 5.5), QPointF(8, 10));
            p.drawPoint(QPointF(8, 12.6));
        });
        return list;
    }();
    return images;
}

QIcon StatusBarImage(int index)
{
    switch (index) {
    case 0:
        return Draw([](QPainter& p) {
            p.setPen(QPen(QColor(140, 140, 140), 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3.5, 1.5, 9, 13));
        });
    case 1:
        return Draw([](QPainter& p) { Note(p, 4, 2, QColor(30, 60, 150)); });
    case 2:
        return Draw([](QPainter& p) {
            Note(p, 1, 1, QColor(30, 60, 150));
            Note(p, 7, 3, QColor(30, 110, 60));
        });
    case 3:
        return Draw(Magnifier);
    default:
        return QIcon();
    }
}

QPixmap StartScreenPicture(const QString& version)
{
    QPixmap picture(372, 259);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, picture.height());
    sky.setColorAt(0, QColor(22, 44, 92));
    sky.setColorAt(1, QColor(70, 120, 190));
    p.fillRect(picture.rect(), sky);
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    for (int i = 0; i < 5; ++i)
        p.drawLine(20, 150 + i * 12, 352, 150 + i * 12);
    p.save();
    p.translate(250, 60);
    p.scale(6, 6);
    Note(p, 0, 0, QColor(255, 255, 255, 210));
    p.restore();
    QFont title = p.font();
    title.setPointSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(24, 40, 320, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quillon"));
    QFont small = p.font();
    small.setPointSize(11);
    small.setBold(false);
    p.setFont(small);
    p.drawText(QRect(26, 100, 320, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Version ") + version);
    p.drawText(QRect(26, 215, 320, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("MP3 tag editor"));
    p.end();
    return picture;
}

QIcon ProgramIcon()
{
    return Draw(
        [](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(40, 80, 160));
            p.drawRoundedRect(QRectF(0, 0, 16, 16), 3, 3);
            Note(p, 4, 2, Qt::white);
        },
        64);
}

QIcon LetterIcon(QChar letter)
{
    return Draw(
        [letter](QPainter& p) {
            p.setPen(QPen(QColor(60, 90, 150), 0.8));
            p.setBrush(QColor(225, 235, 250));
            p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
            QFont font = p.font();
            font.setPixelSize(11);
            font.setBold(true);
            p.setFont(font);
            p.setPen(QColor(30, 50, 110));
            p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QString(letter.toUpper()));
        },
        32);
}

}
