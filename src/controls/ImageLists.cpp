#include "controls/ImageLists.h"

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


// The start screen's and about box's sky with the note and the title.
void Backdrop(QPainter& p, const QRect& area)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, area.height());
    sky.setColorAt(0, QColor(22, 44, 92));
    sky.setColorAt(1, QColor(70, 120, 190));
    p.fillRect(area, sky);
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
}

// A 372 x 259 picture on the backdrop; paint adds to it with white text of
// the point size.
QPixmap BackdropPicture(int pointSize, const std::function<void(QPainter&)>& paint)
{
    QPixmap picture(372, 259);
    QPainter p(&picture);
    Backdrop(p, picture.rect());
    QFont text = p.font();
    text.setPointSize(pointSize);
    text.setBold(false);
    p.setFont(text);
    paint(p);
    p.end();
    return picture;
}

void FavoriteFolder(QPainter& p)
{
    p.setPen(QPen(QColor(150, 110, 30), 1));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(QRectF(1.5, 4.5, 13, 9.5));
    p.drawRect(QRectF(1.5, 2.5, 5, 2));
    p.save();
    p.translate(6, 6);
    p.scale(0.62, 0.62);
    Star(p, QColor(220, 60, 40));
    p.restore();
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
        list[tiFavorite] = Draw(FavoriteFolder);
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
    return BackdropPicture(11, [&version](QPainter& p) {
        p.drawText(QRect(26, 100, 320, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Version ") + version);
        p.drawText(QRect(26, 215, 320, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("MP3 tag editor"));
    });
}

QPixmap AboutBoxPicture(const QString& contact, const QString& webSite)
{
    return BackdropPicture(10, [&](QPainter& p) {
        p.drawText(QRect(26, 130, 320, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("MP3 tag editor"));
        QFont link = p.font();
        link.setUnderline(true);
        p.setFont(link);
        p.drawText(QRect(26, AboutEmailLineTop, 320, 22), Qt::AlignLeft | Qt::AlignVCenter, contact);
        p.drawText(QRect(26, AboutWebSiteLineTop, 320, 25), Qt::AlignLeft | Qt::AlignVCenter, webSite);
        // The close mark.
        p.setPen(QPen(QColor(255, 255, 255, 200), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(358, 5), QPointF(366, 13));
        p.drawLine(QPointF(366, 5), QPointF(358, 13));
    });
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

namespace {

const QColor Ink(40, 60, 110);
const QColor Paper(250, 250, 252);
const QColor Accent(40, 130, 60);

void Sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawRect(r);
}

void Arrow(QPainter& p, QPointF from, QPointF to)
{
    p.setPen(QPen(Accent, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double len = std::hypot(d.x(), d.y());
    if (len <= 0)
        return;
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    p.drawLine(to, to - u * 3.5 + n * 2.5);
    p.drawLine(to, to - u * 3.5 - n * 2.5);
}

void Caption(QPainter& p, const QRectF& r, const QString& text, int pixels)
{
    QFont font = p.font();
    font.setPixelSize(pixels);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Ink);
    p.drawText(r, Qt::AlignCenter, text);
}

void TextLines(QPainter& p, double x, double y, int lines)
{
    p.setPen(QPen(Ink, 1));
    for (int i = 0; i < lines; ++i)
        p.drawLine(QPointF(x, y + 2.5 * i), QPointF(x + 6, y + 2.5 * i));
}

// A file: a sheet with a folded corner.
void FileSheet(QPainter& p, const QRectF& r)
{
    const double fold = r.width() / 3;
    QPolygonF sheet;
    sheet << r.topLeft() << QPointF(r.right() - fold, r.top()) << QPointF(r.right(), r.top() + fold) << r.bottomRight()
          << r.bottomLeft();
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawPolygon(sheet);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

// A tag: a label pointing left, with its hole.
void TagLabel(QPainter& p, const QRectF& r)
{
    const QColor fill(240, 150, 30);
    const double tip = r.height() / 2;
    QPolygonF label;
    label << QPointF(r.left(), r.center().y()) << QPointF(r.left() + tip, r.top()) << r.topRight() << r.bottomRight()
          << QPointF(r.left() + tip, r.bottom());
    p.setPen(QPen(fill.darker(170), 1));
    p.setBrush(fill);
    p.drawPolygon(label);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(r.left() + tip, r.center().y()), 1.1, 1.1);
}

// Letters on a coloured badge, so that they read at a glance.
void Badge(QPainter& p, const QString& text, const QColor& fill, int pixels)
{
    p.setPen(QPen(fill.darker(150), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 1.5, 15, 13), 3, 3);
    QFont font = p.font();
    font.setPixelSize(pixels);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 1, 16, 14), Qt::AlignCenter, text);
}

// A filled shape, dark edged so that it stands out as clearly as text.
void SolidShape(QPainter& p, const QPolygonF& shape)
{
    const QColor fill(40, 135, 60);
    p.setPen(QPen(fill.darker(190), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(fill);
    p.drawPolygon(shape);
}

// A solid arrow pointing at the angle (degrees clockwise from the right).
void SolidArrow(QPainter& p, double degrees)
{
    p.save();
    p.translate(8, 8);
    p.rotate(degrees);
    SolidShape(p, QPolygonF{QPointF(-6, -2.3), QPointF(0.5, -2.3), QPointF(0.5, -6.5), QPointF(6.8, 0),
                            QPointF(0.5, 6.5), QPointF(0.5, 2.3), QPointF(-6, 2.3)});
    p.restore();
}

using TPainting = void (*)(QPainter&);

struct TCommandPicture {
    const char* Action;
    TPainting Paint;
};

const TCommandPicture CommandPictures[] = {
    // Going through folders, moving rows, stepping through choices.
    {"ActDirZurueck", [](QPainter& p) { SolidArrow(p, 180); }},
    {"ActDirVor", [](QPainter& p) { SolidArrow(p, 0); }},
    {"ActAufwaerts", [](QPainter& p) { SolidArrow(p, -90); }},
    {"ActNachOben", [](QPainter& p) { SolidArrow(p, -90); }},
    {"ActNachUnten", [](QPainter& p) { SolidArrow(p, 90); }},
    {"ActVorherigeMoeglichkeit", [](QPainter& p) { SolidArrow(p, 180); }},
    {"ActNaechsteMoeglichkeit", [](QPainter& p) { SolidArrow(p, 0); }},
    {"ActPlay", [](QPainter& p) { SolidShape(p, QPolygonF{QPointF(3.5, 1.5), QPointF(14, 8), QPointF(3.5, 14.5)}); }},
    {"ActUndo", [](QPainter& p) {
         QPainterPath path;
         path.moveTo(4, 7);
         path.cubicTo(7, 2, 14, 3, 13, 9);
         path.cubicTo(12.5, 12, 10, 13, 8, 13);
         p.setPen(QPen(Accent, 1.6, Qt::SolidLine, Qt::RoundCap));
         p.setBrush(Qt::NoBrush);
         p.drawPath(path);
         p.drawLine(QPointF(4, 7), QPointF(4, 2.5));
         p.drawLine(QPointF(4, 7), QPointF(8.5, 7));
     }},
    {"EditCut1", [](QPainter& p) {
         p.setPen(QPen(Ink, 1.3));
         p.setBrush(Qt::NoBrush);
         p.drawEllipse(QPointF(4.5, 12), 2.3, 2.3);
         p.drawEllipse(QPointF(11.5, 12), 2.3, 2.3);
         p.drawLine(QPointF(6, 10.3), QPointF(11, 1.5));
         p.drawLine(QPointF(10, 10.3), QPointF(5, 1.5));
     }},
    {"EditCopy1", [](QPainter& p) {
         Sheet(p, QRectF(1.5, 1.5, 8, 10));
         Sheet(p, QRectF(6.5, 4.5, 8, 10));
         TextLines(p, 7.5, 7.5, 3);
     }},
    {"ActCopyFileTo", [](QPainter& p) {
         Sheet(p, QRectF(1.5, 1.5, 8, 10));
         Sheet(p, QRectF(6.5, 4.5, 8, 10));
         Arrow(p, QPointF(2.5, 13.5), QPointF(8, 13.5));
     }},
    {"EditPaste1", [](QPainter& p) {
         p.setPen(QPen(Ink, 1));
         p.setBrush(QColor(205, 170, 110));
         p.drawRoundedRect(QRectF(2.5, 2.5, 11, 12.5), 1.5, 1.5);
         p.setBrush(QColor(180, 180, 190));
         p.drawRect(QRectF(5.5, 1, 5, 3));
         Sheet(p, QRectF(4.5, 5.5, 7, 8));
         TextLines(p, 5.5, 7.5, 3);
     }},
    {"EditSelectAll1", [](QPainter& p) {
         p.setPen(QPen(Ink, 1, Qt::DashLine));
         p.setBrush(QColor(215, 228, 250));
         p.drawRect(QRectF(1.5, 1.5, 13, 13));
         TextLines(p, 4.5, 5, 3);
     }},
    {"ActReplaceInFrames", [](QPainter& p) {
         Caption(p, QRectF(0, 0, 8, 9), QStringLiteral("a"), 9);
         Caption(p, QRectF(8, 7, 8, 9), QStringLiteral("b"), 9);
         Arrow(p, QPointF(3, 11), QPointF(7, 14));
     }},
    {"ActAllesUebernehmen", [](QPainter& p) {
         Sheet(p, QRectF(1.5, 1.5, 7, 13));
         TextLines(p, 2.5, 4, 4);
         Arrow(p, QPointF(9, 8), QPointF(15, 8));
     }},
    {"ActFeldUebernehmen", [](QPainter& p) {
         p.setPen(QPen(Ink, 1));
         p.setBrush(Paper);
         p.drawRect(QRectF(1.5, 5.5, 7, 5));
         Arrow(p, QPointF(9, 8), QPointF(15, 8));
     }},
    {"ActID3FromFilename", [](QPainter& p) {
         // From the file's name to its tag.
         FileSheet(p, QRectF(1.5, 0.5, 7, 9));
         Arrow(p, QPointF(4.5, 10.5), QPointF(8, 13));
         TagLabel(p, QRectF(8.5, 9.5, 7, 5.5));
     }},
    {"ActFilenameFromID3", [](QPainter& p) {
         // From the tag to the file's name.
         TagLabel(p, QRectF(0.5, 0.5, 7, 5.5));
         Arrow(p, QPointF(4, 7), QPointF(7.5, 10.5));
         FileSheet(p, QRectF(8.5, 6.5, 7, 9));
     }},
    {"ActAutoTrackNo", [](QPainter& p) { Badge(p, QStringLiteral("#"), QColor(40, 100, 190), 12); }},
    {"ActAddToFavorites", [](QPainter& p) {
         FavoriteFolder(p);
         p.setPen(QPen(Accent, 1.8));
         p.drawLine(QPointF(12.5, 0.5), QPointF(12.5, 6.5));
         p.drawLine(QPointF(9.5, 3.5), QPointF(15.5, 3.5));
     }},
    {"ActOrganizeFavorites", FavoriteFolder},
    {"ActGrossKleinSchreibung", [](QPainter& p) { Badge(p, QStringLiteral("Aa"), QColor(150, 60, 160), 10); }},
    {"ActGrossKleinDateiname", [](QPainter& p) {
         // The case of the file's name too.
         FileSheet(p, QRectF(0.5, 0.5, 9, 12));
         Caption(p, QRectF(6, 6, 10, 10), QStringLiteral("Aa"), 7);
     }},
};

}

namespace ImageLists {

QIcon CommandIcon(const QString& action)
{
    for (const TCommandPicture& picture : CommandPictures)
        if (action == QLatin1String(picture.Action))
            return Draw([&picture](QPainter& p) { picture.Paint(p); }, 32);
    return {};
}

}
