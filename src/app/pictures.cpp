// The program's pictures, drawn with QPainter so that they scale with nothing
// but the code: simple, recognisable shapes in the colours of the dark strips.
#include "app/pictures.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace qv {
namespace {

const QColor kBright(0xF0, 0xF0, 0xF0);
const QColor kDim(0x80, 0x80, 0x80);
const QColor kAccent(0x7C, 0xD0, 0x4A);

QPixmap Draw(int w, int h, const std::function<void(QPainter&)>& paint) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    p.end();
    return QPixmap::fromImage(image);
}

QPolygonF Triangle(double x, double y, double w, double h, bool right) {
    if (right) return QPolygonF({{x, y}, {x + w, y + h / 2}, {x, y + h}});
    return QPolygonF({{x + w, y}, {x, y + h / 2}, {x + w, y + h}});
}

// A shaded disc centred on (c, c) with a dark hole: the library's and the
// program's emblem.
void Disc(QPainter& p, double c, double r, double hole, const QColor& inner, const QColor& outer) {
    QRadialGradient g(c, c, r);
    g.setColorAt(0, inner);
    g.setColorAt(1, outer);
    p.setBrush(g);
    p.drawEllipse(QPointF(c, c), r, r);
    p.setBrush(QColor(0x40, 0x40, 0x40));
    p.drawEllipse(QPointF(c, c), hole, hole);
}

QPixmap PlayPicture(const QColor& c) {
    return Draw(35, 16, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(Triangle(3, 2, 11, 12, true));
        p.setPen(QPen(c, 1.5));
        p.drawLine(QPointF(16.5, 14), QPointF(21.5, 2));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(24, 2.5, 3, 11));
        p.drawRect(QRectF(29, 2.5, 3, 11));
    });
}

// Two arrows chasing each other round a rounded rectangle.
void LoopArrows(QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath top;
    top.moveTo(5, 9);
    top.lineTo(5, 6);
    top.quadTo(5, 3, 8, 3);
    top.lineTo(18, 3);
    p.drawPath(top);
    QPainterPath bottom;
    bottom.moveTo(21, 9);
    bottom.lineTo(21, 12);
    bottom.quadTo(21, 15, 18, 15);
    bottom.lineTo(8, 15);
    p.drawPath(bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({{17, 0}, {22, 3}, {17, 6}}));
    p.drawPolygon(QPolygonF({{9, 12}, {4, 15}, {9, 18}}));
}

QPixmap TreePicture(int n) {
    return Draw(16, 16, [n](QPainter& p) {
        const QColor folder(0xE8, 0xB8, 0x40);
        switch (n) {
            case 1: {  // all media: a disc
                p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
                Disc(p, 8, 7, 1.5, QColor(0xF8, 0xF8, 0xF8), QColor(0x90, 0xB0, 0xE0));
                break;
            }
            case 2:  // registered playlists: a folder with lines
            case 4:  // folder
                p.setPen(QPen(QColor(0x80, 0x60, 0x10), 1));
                p.setBrush(folder);
                p.drawRect(QRectF(1.5, 3.5, 6, 2));
                p.drawRect(QRectF(1.5, 5.5, 13, 8));
                if (n == 2) {
                    p.setPen(QPen(QColor(0x30, 0x30, 0x80), 1));
                    for (int y = 8; y <= 12; y += 2) p.drawLine(4, y, 12, y);
                }
                break;
            case 3: {  // searched media: a magnifier
                p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
                p.setBrush(QColor(0xC0, 0xE0, 0xFF));
                p.drawEllipse(QRectF(2, 2, 8, 8));
                p.drawLine(QPointF(9, 9), QPointF(14, 14));
                break;
            }
            case 5: {  // MIDI: piano keys
                p.setPen(QPen(Qt::black, 1));
                p.setBrush(Qt::white);
                p.drawRect(QRectF(1.5, 3.5, 13, 10));
                for (int x = 4; x < 15; x += 3)
                    p.drawLine(QPointF(x + 0.5, 3.5), QPointF(x + 0.5, 13.5));
                p.setBrush(Qt::black);
                p.setPen(Qt::NoPen);
                for (int x : {3, 6, 12}) p.drawRect(QRectF(x, 3.5, 2, 6));
                break;
            }
            case 6: {  // wave: a sine
                p.setPen(QPen(QColor(0x20, 0x80, 0x20), 1.5));
                QPainterPath s;
                s.moveTo(1, 8);
                s.cubicTo(4, -2, 5, -2, 8, 8);
                s.cubicTo(11, 18, 12, 18, 15, 8);
                p.drawPath(s);
                break;
            }
            case 7:     // MP3 and AU: a note
            case 8:     // WMA and ASF: the same note in blue
            case 10:    // FLAC: in green, on a full bar (nothing of the sound left out)
            case 11: {  // Ogg, Opus and M4A: in amber
                const QColor c = n == 7    ? QColor(0xC0, 0x30, 0x30)
                                 : n == 8  ? QColor(0x30, 0x50, 0xC0)
                                 : n == 10 ? QColor(0x20, 0x90, 0x40)
                                           : QColor(0xD0, 0x80, 0x10);
                p.setPen(Qt::NoPen);
                p.setBrush(c);
                const double lift = n == 10 ? 1.5 : 0;  // room for the bar
                p.drawEllipse(QRectF(2, 10 - lift, 5, 4));
                p.drawEllipse(QRectF(9, 9 - lift, 5, 4));
                p.drawRect(QRectF(6, 2 - lift, 1.5, 10));
                p.drawRect(QRectF(12.5, 1 - lift, 1.5, 10));
                p.drawPolygon(
                    QPolygonF({{6, 2 - lift}, {14, 1 - lift}, {14, 4 - lift}, {6, 5 - lift}}));
                if (n == 10) p.drawRect(QRectF(1, 14, 14, 1.5));
                break;
            }
            case 9: {  // a playlist file: a sheet with lines
                p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
                p.setBrush(Qt::white);
                p.drawRect(QRectF(2.5, 1.5, 11, 13));
                p.setPen(QPen(QColor(0x30, 0x60, 0xC0), 1));
                for (int y = 4; y <= 12; y += 2) p.drawLine(5, y, 11, y);
                break;
            }
        }
    });
}

}  // namespace

QPixmap PlayOnPicture() {
    return PlayPicture(kBright);
}
QPixmap PlayOffPicture() {
    return PlayPicture(kDim);
}

QPixmap StopPicture() {
    return Draw(12, 13, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBright);
        p.drawRect(QRectF(1, 1.5, 10, 10));
    });
}

QPixmap PrevPicture() {
    return Draw(24, 13, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBright);
        p.drawRect(QRectF(2, 1, 2, 11));
        p.drawPolygon(Triangle(4, 1, 9, 11, false));
        p.drawPolygon(Triangle(13, 1, 9, 11, false));
    });
}

QPixmap NextPicture() {
    return Draw(24, 13, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBright);
        p.drawPolygon(Triangle(2, 1, 9, 11, true));
        p.drawPolygon(Triangle(11, 1, 9, 11, true));
        p.drawRect(QRectF(20, 1, 2, 11));
    });
}

QPixmap LoopOffPicture() {
    return Draw(29, 18, [](QPainter& p) {
        LoopArrows(p, kDim);
        p.setPen(QPen(QColor(0xE0, 0x20, 0x20), 2.2));
        p.drawLine(QPointF(6, 3), QPointF(20, 15));
        p.drawLine(QPointF(20, 3), QPointF(6, 15));
    });
}

QPixmap LoopAllPicture() {
    return Draw(29, 18, [](QPainter& p) { LoopArrows(p, kAccent); });
}

QPixmap LoopOnePicture() {
    return Draw(29, 18, [](QPainter& p) {
        LoopArrows(p, kAccent);
        p.setPen(QPen(kBright, 1.6));
        p.drawLine(QPointF(24, 6), QPointF(26, 4));
        p.drawLine(QPointF(26, 4), QPointF(26, 15));
        p.drawLine(QPointF(24, 15), QPointF(28, 15));
    });
}

QPixmap UpPicture() {
    return Draw(13, 12, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBright);
        p.drawPolygon(QPolygonF({{6.5, 1}, {12, 11}, {1, 11}}));
    });
}

QPixmap DownPicture() {
    return Draw(13, 13, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBright);
        p.drawPolygon(QPolygonF({{1, 2}, {12, 2}, {6.5, 12}}));
    });
}

QList<QPixmap> TreeImages() {
    QList<QPixmap> images;
    for (int n = 1; n <= 11; ++n) images.append(TreePicture(n));
    return images;
}

QPixmap BannerPicture() {
    return Draw(213, 23, [](QPainter& p) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(19);
        f.setBold(true);
        f.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
        p.setFont(f);
        QLinearGradient g(0, 0, 0, 23);
        g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
        g.setColorAt(1, QColor(0xA8, 0xD8, 0x88));
        p.setPen(QPen(QBrush(g), 1));
        p.drawText(QRect(0, 0, 213, 23), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("QUORVANE"));
    });
}

QPixmap SubtitlePicture() {
    return Draw(246, 13, [](QPainter& p) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(10);
        p.setFont(f);
        p.setPen(QColor(0xC8, 0xC8, 0xC8));
        p.drawText(QRect(0, 0, 246, 13), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("media player with a library of its own"));
    });
}

QPixmap IconPicture() {
    return Draw(32, 32, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x40, 0x40, 0x40));
        p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);
        Disc(p, 16, 13, 3, QColor(0xE8, 0xF4, 0xFF), QColor(0x70, 0x98, 0xD8));
        p.setBrush(kAccent);
        p.drawPolygon(QPolygonF({{20, 17}, {30, 23}, {20, 29}}));
    });
}

QIcon AppIcon() {
    return QIcon(IconPicture());
}

}  // namespace qv
