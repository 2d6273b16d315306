#include "Painters.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QtMath>

#include <utility>

namespace art {

namespace tones {
const Tone gold {QColor(0xFF, 0xD9, 0x66), QColor(0xF0, 0xAA, 0x1C), QColor(0xB3, 0x74, 0x08)};
const Tone purple {QColor(0xC3, 0xA6, 0xF0), QColor(0x86, 0x56, 0xD6), QColor(0x56, 0x2F, 0xA3)};
const Tone red {QColor(0xFF, 0x9E, 0x94), QColor(0xE5, 0x39, 0x35), QColor(0xA3, 0x1B, 0x18)};
const Tone grey {QColor(0xE4, 0xE7, 0xEB), QColor(0xA7, 0xAE, 0xB7), QColor(0x6F, 0x76, 0x80)};
const Tone green {QColor(0x86, 0xD9, 0x9B), QColor(0x2E, 0xA0, 0x5A), QColor(0x17, 0x6B, 0x3C)};
const Tone orange {QColor(0xFF, 0xC0, 0x6B), QColor(0xF5, 0x7C, 0x00), QColor(0xB8, 0x32, 0x1E)};
const Tone brand {QColor(0x6C, 0xC4, 0xF8), QColor(0x1E, 0x88, 0xE5), QColor(0x12, 0x4E, 0x9C)};
const Tone blue {QColor(0x90, 0xCA, 0xF9), QColor(0x2F, 0x80, 0xED), QColor(0x1A, 0x56, 0xB0)};
const Tone teal {QColor(0x80, 0xDE, 0xD0), QColor(0x00, 0x96, 0x88), QColor(0x00, 0x64, 0x5A)};
const Tone indigo {QColor(0xA5, 0xB0, 0xF0), QColor(0x5C, 0x6B, 0xC0), QColor(0x37, 0x43, 0x8F)};
} // namespace tones

namespace {

// Lets a glyph be drawn in a units x units design square centred in any rectangle.
class UnitBox
{
public:
    UnitBox(QPainter &painter, const QRectF &rect, qreal units) : p(painter)
    {
        const qreal side = qMin(rect.width(), rect.height());
        p.save();
        p.translate(rect.center().x() - side / 2, rect.center().y() - side / 2);
        p.scale(side / units, side / units);
    }
    ~UnitBox() { p.restore(); }
    UnitBox(const UnitBox &) = delete;
    UnitBox &operator=(const UnitBox &) = delete;

private:
    QPainter &p;
};

// The whole picture is designed on a fixed grid and scaled to its real size.
void scaleTo(QPainter &p, const QSizeF &size, qreal designWidth, qreal designHeight)
{
    p.scale(size.width() / designWidth, size.height() / designHeight);
}

QPen roundPen(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QColor withAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

QLinearGradient verticalGradient(const QRectF &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

QFont captionFont(qreal pixelSize)
{
    QFont font(QString::fromLatin1(CaptionFamily));
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// The largest caption font up to `pixelSize` whose text fits in `maxWidth`.
QFont fittedFont(const QString &text, qreal pixelSize, qreal maxWidth)
{
    QFont font = captionFont(pixelSize);
    while (font.pixelSize() > 8 && QFontMetricsF(font).horizontalAdvance(text) > maxWidth)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

QPainterPath personPath()
{
    QPainterPath path;
    path.addEllipse(QPointF(12, 7), 4.6, 4.6);
    QPainterPath body;
    body.moveTo(3.5, 22.5);
    body.lineTo(3.5, 19);
    body.cubicTo(3.5, 14.8, 7.2, 13, 12, 13);
    body.cubicTo(16.8, 13, 20.5, 14.8, 20.5, 19);
    body.lineTo(20.5, 22.5);
    body.closeSubpath();
    return path.united(body);
}

// A column of coins seen slightly from above, `bottom` being the lowest edge.
void drawCoinStack(QPainter &p, qreal cx, qreal bottom, qreal width, int coins, const Tone &tone)
{
    const qreal faceHeight = width * 0.42;
    const qreal thickness = 2.9;
    const qreal left = cx - width / 2;
    QLinearGradient side(QPointF(left, 0), QPointF(left + width, 0));
    side.setColorAt(0, tone.dark);
    side.setColorAt(0.4, tone.base);
    side.setColorAt(1, tone.dark);

    for (int i = 0; i < coins; ++i) {
        const qreal faceY = bottom - faceHeight / 2 - thickness - i * thickness;
        QPainterPath edge;
        edge.addRect(QRectF(left, faceY, width, thickness));
        edge.addEllipse(QRectF(left, faceY + thickness - faceHeight / 2, width, faceHeight));
        edge.setFillRule(Qt::WindingFill);
        p.setPen(Qt::NoPen);
        p.setBrush(side);
        p.drawPath(edge.simplified());

        // the rim line that tells one coin from the next
        p.setPen(roundPen(tone.dark.darker(125), 0.6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(left, faceY + thickness - faceHeight / 2, width, faceHeight), 180 * 16, 180 * 16);

        const QRectF face(left, faceY - faceHeight / 2, width, faceHeight);
        p.setPen(roundPen(tone.dark, 0.6));
        p.setBrush(tone.base.lighter(108));
        p.drawEllipse(face);
        if (i == coins - 1) {
            p.setPen(roundPen(tone.light, 0.8));
            p.setBrush(Qt::NoBrush);
            const QPointF c = face.center();
            p.drawEllipse(c, width * 0.3, faceHeight * 0.3);
        }
    }
}

// Book cover with its page block, seen from the front.
void drawBook(QPainter &p, const QRectF &cover, BookKind kind)
{
    const Tone &tone = kind == BookKind::Bank ? tones::gold
        : kind == BookKind::Cash              ? tones::purple
                                              : tones::grey;

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 26));
    p.drawEllipse(QRectF(cover.left() + 1, cover.bottom() + 1.5, cover.width() + 5, 5));

    const QRectF pages = cover.adjusted(3, 2.5, 3.5, 3);
    p.setPen(QPen(QColor(0xC8, 0xCF, 0xD8), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(pages, 3, 3);
    p.setPen(QPen(QColor(0xE0, 0xE5, 0xEB), 0.8));
    for (qreal d : {1.0, 2.0})
        p.drawLine(
            QPointF(cover.left() + 6, cover.bottom() + d), QPointF(pages.right() - 2, cover.bottom() + d));

    QPainterPath coverPath;
    coverPath.addRoundedRect(cover, 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(verticalGradient(cover, tone.base.lighter(115), tone.base));
    p.drawPath(coverPath);

    const qreal spineWidth = cover.width() * 0.17;
    p.save();
    p.setClipPath(coverPath);
    p.fillRect(QRectF(cover.left(), cover.top(), spineWidth, cover.height()), tone.dark);
    p.setPen(QPen(withAlpha(tone.light, 140), 1));
    p.drawLine(QPointF(cover.left() + spineWidth + 0.5, cover.top()),
        QPointF(cover.left() + spineWidth + 0.5, cover.bottom()));
    p.restore();
    p.setPen(QPen(withAlpha(tone.dark, 110), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(coverPath);

    const qreal faceLeft = cover.left() + spineWidth;
    const qreal side = (cover.right() - faceLeft) * 0.64;
    const QPointF centre((faceLeft + cover.right()) / 2, cover.top() + cover.height() * 0.42);
    const QRectF emblem(centre.x() - side / 2, centre.y() - side / 2, side, side);
    const Ink ink {Qt::white, tone.base};
    switch (kind) {
    case BookKind::Bank:
        glyphs::bank(p, emblem, ink);
        break;
    case BookKind::Cash:
        glyphs::cash(p, emblem, ink);
        break;
    case BookKind::Empty: {
        QPen dashed(withAlpha(Qt::white, 220), 1.4, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin);
        dashed.setDashPattern({2.5, 2});
        p.setPen(dashed);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(emblem.adjusted(1, 1, -1, -1), 3, 3);
        break;
    }
    }

    // title label under the emblem
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(Qt::white, kind == BookKind::Empty ? 120 : 170));
    const qreal labelWidth = side * 0.9;
    p.drawRoundedRect(
        QRectF(centre.x() - labelWidth / 2, emblem.bottom() + cover.height() * 0.1, labelWidth, 3.4), 1.7,
        1.7);
}

// The program's emblem on a 48 x 48 grid: a quill writing in an open book over a brook.
void drawLogoArt(QPainter &p)
{
    // open book
    QPainterPath left;
    left.moveTo(24, 24);
    left.cubicTo(19, 20.5, 13, 20.5, 7.5, 22.5);
    left.lineTo(7.5, 36.5);
    left.cubicTo(13, 34.5, 19, 34.5, 24, 38);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(24, 24);
    right.cubicTo(29, 20.5, 35, 20.5, 40.5, 22.5);
    right.lineTo(40.5, 36.5);
    right.cubicTo(35, 34.5, 29, 34.5, 24, 38);
    right.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 35));
    p.drawPath(left.translated(0, 1.2).united(right.translated(0, 1.2)));
    p.setBrush(Qt::white);
    p.drawPath(left);
    p.setBrush(QColor(0xE1, 0xF0, 0xFD));
    p.drawPath(right);
    p.setPen(roundPen(QColor(0xA9, 0xD3, 0xF7), 0.9));
    p.drawLine(QPointF(24, 24), QPointF(24, 38));
    for (qreal y : {26.5, 29.5, 32.5}) {
        QPainterPath line;
        line.moveTo(10.5, y - 0.3);
        line.cubicTo(14, y - 1.3, 18, y - 1, 21.5, y + 0.6);
        p.drawPath(line);
    }

    // brook
    QPainterPath brook;
    brook.moveTo(8, 42);
    for (int i = 0; i < 3; ++i) {
        const qreal x = 8 + i * 10.7;
        brook.cubicTo(x + 2.7, 39.6, x + 5.3, 44.4, x + 8, 42);
        if (i < 2)
            brook.cubicTo(x + 8.9, 41.2, x + 9.8, 41.2, x + 10.7, 42);
    }
    p.setPen(roundPen(QColor(0xB3, 0xE5, 0xFC), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(brook);

    // quill, drawn along its own axis from the nib
    const QPointF nib(26, 33);
    const QPointF top(40.5, 5.5);
    const QLineF axis(nib, top);
    const qreal len = axis.length();
    p.save();
    p.translate(nib);
    p.rotate(-axis.angle());

    QPainterPath vane;
    vane.moveTo(len * 0.30, 0);
    vane.cubicTo(len * 0.42, -6.2, len * 0.80, -7.2, len, 0);
    vane.cubicTo(len * 0.82, 4.6, len * 0.50, 4.6, len * 0.30, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawPath(vane.translated(0.6, 1.0));
    QLinearGradient vaneFill(QPointF(0, -6), QPointF(0, 4));
    vaneFill.setColorAt(0, tones::gold.light);
    vaneFill.setColorAt(1, tones::gold.base);
    p.setBrush(vaneFill);
    p.drawPath(vane);

    p.setPen(roundPen(withAlpha(tones::gold.dark, 150), 0.8));
    p.drawLine(QPointF(len * 0.52, 0), QPointF(len * 0.60, -5.2));
    p.drawLine(QPointF(len * 0.70, 0), QPointF(len * 0.79, -5.0));
    p.drawLine(QPointF(len * 0.62, 0), QPointF(len * 0.69, 3.2));

    p.setPen(roundPen(tones::gold.dark, 1.1));
    p.drawLine(QPointF(len * 0.10, 0), QPointF(len * 0.97, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x37, 0x47, 0x4F));
    p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(len * 0.14, -1.4), QPointF(len * 0.14, 1.4)}));
    p.restore();
}

void drawTile(QPainter &p, const QRectF &tile, qreal radius, const QColor &top, const QColor &bottom,
    const QColor &edge)
{
    p.setPen(QPen(edge, 1));
    p.setBrush(verticalGradient(tile, top, bottom));
    p.drawRoundedRect(tile, radius, radius);
}

} // namespace

namespace glyphs {

void bank(QPainter &p, const QRectF &r, const Ink &ink)
{
    UnitBox box(p, r, 24);
    p.setPen(roundPen(ink.ink, 1.2));
    p.setBrush(ink.ink);
    p.drawPolygon(QPolygonF({QPointF(12, 1.5), QPointF(22, 7.3), QPointF(2, 7.3)}));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(2.5, 8.6, 19, 1.8));
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(4 + i * 4.6, 11.3, 2.4, 7.5));
    p.drawRect(QRectF(2.5, 19.7, 19, 1.8));
    p.drawRect(QRectF(1, 22.2, 22, 1.8));
    p.setBrush(ink.detail);
    p.drawEllipse(QPointF(12, 5.4), 1.3, 1.3);
}

void cash(QPainter &p, const QRectF &r, const Ink &ink)
{
    UnitBox box(p, r, 24);
    const QRectF note(0.5, 3.5, 17.5, 11.5);
    p.setPen(Qt::NoPen);
    p.setBrush(ink.ink);
    p.drawRoundedRect(note, 1.8, 1.8);
    p.setPen(QPen(ink.detail, 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(note.adjusted(2, 2, -2, -2), 1, 1);
    p.drawEllipse(note.center(), 2.2, 2.2);

    const QPointF coin(17, 16.8);
    p.setPen(QPen(ink.detail, 1.7));
    p.setBrush(ink.ink);
    p.drawEllipse(coin, 6.2, 6.2);
    p.setPen(QPen(ink.detail, 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(coin, 3.6, 3.6);
}

void customers(QPainter &p, const QRectF &r, const Ink &ink)
{
    UnitBox box(p, r, 24);
    const QPainterPath person = personPath();
    p.setPen(Qt::NoPen);
    p.save();
    p.translate(7.2, 2.0);
    p.scale(0.8, 0.8);
    p.setBrush(withAlpha(ink.ink, 165));
    p.drawPath(person);
    p.restore();

    p.save();
    p.translate(-2.2, 1.3);
    p.scale(0.94, 0.94);
    p.setPen(QPen(ink.detail, 1.6));
    p.setBrush(ink.ink);
    p.drawPath(person);
    p.restore();
}

void salesman(QPainter &p, const QRectF &r, const Ink &ink)
{
    UnitBox box(p, r, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(ink.ink);
    p.drawPath(personPath());
    p.setBrush(ink.detail);
    p.drawPolygon(
        QPolygonF({QPointF(10.9, 13.1), QPointF(13.1, 13.1), QPointF(12.6, 14.8), QPointF(11.4, 14.8)}));
    p.drawPolygon(QPolygonF({QPointF(11.4, 15.3), QPointF(12.6, 15.3), QPointF(13.4, 20.4), QPointF(12, 22),
        QPointF(10.6, 20.4)}));
}

void tag(QPainter &p, const QRectF &r, const Ink &ink)
{
    UnitBox box(p, r, 24);
    p.translate(12, 12);
    p.rotate(-30);
    p.translate(-12, -12);
    p.setPen(roundPen(ink.ink, 2));
    p.setBrush(ink.ink);
    p.drawPolygon(QPolygonF(
        {QPointF(1.5, 12), QPointF(8, 5.5), QPointF(22, 5.5), QPointF(22, 18.5), QPointF(8, 18.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(ink.detail);
    p.drawEllipse(QPointF(8, 12), 1.9, 1.9);
    p.setPen(roundPen(ink.detail, 1.4));
    p.drawLine(QPointF(12.5, 10), QPointF(19, 10));
    p.drawLine(QPointF(12.5, 14), QPointF(17, 14));
}

void categories(QPainter &p, const QRectF &r, const Ink &ink)
{
    UnitBox box(p, r, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(ink.ink);
    p.drawRoundedRect(QRectF(1.5, 1.5, 9.5, 9.5), 2.4, 2.4);
    p.drawEllipse(QRectF(13, 1.5, 9.5, 9.5));
    p.setPen(roundPen(ink.ink, 1.6));
    p.drawPolygon(QPolygonF({QPointF(6.25, 13.8), QPointF(10.5, 21.8), QPointF(2, 21.8)}));
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(ink.ink, 170));
    p.drawRoundedRect(QRectF(13, 13, 9.5, 9.5), 2.4, 2.4);
}

void voucher(QPainter &p, const QRectF &r, const Ink &ink)
{
    UnitBox box(p, r, 24);
    QPainterPath slip;
    slip.moveTo(3.5, 1.5);
    slip.lineTo(20.5, 1.5);
    slip.lineTo(20.5, 22.5);
    bool low = true;
    for (qreal x = 20.5 - 1.7; x > 3.5 - 0.01; x -= 1.7) {
        slip.lineTo(x, low ? 20.6 : 22.5);
        low = !low;
    }
    slip.lineTo(3.5, 22.5);
    slip.closeSubpath();
    p.setPen(roundPen(ink.ink, 0.8));
    p.setBrush(ink.ink);
    p.drawPath(slip);
    p.setPen(roundPen(ink.detail, 1.5));
    p.drawLine(QPointF(7, 6), QPointF(17, 6));
    p.drawLine(QPointF(7, 10), QPointF(17, 10));
    p.drawLine(QPointF(7, 14), QPointF(12.5, 14));
    p.setPen(roundPen(ink.detail, 2));
    p.drawLine(QPointF(14.5, 17), QPointF(17, 17));
}

void calendar(QPainter &p, const QRectF &r, const Ink &ink)
{
    UnitBox box(p, r, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(ink.ink);
    p.drawRoundedRect(QRectF(2, 4, 20, 18.5), 2.6, 2.6);
    p.setPen(roundPen(ink.detail, 1.1));
    p.drawLine(QPointF(2.8, 9.2), QPointF(21.2, 9.2));
    p.setPen(QPen(ink.detail, 1));
    p.setBrush(ink.ink);
    p.drawRoundedRect(QRectF(6.3, 1.5, 2.6, 5.5), 1.3, 1.3);
    p.drawRoundedRect(QRectF(15.1, 1.5, 2.6, 5.5), 1.3, 1.3);
    p.setPen(Qt::NoPen);
    p.setBrush(ink.detail);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRoundedRect(QRectF(5.2 + col * 5.2, 11.6 + row * 5, 3.2, 3), 0.6, 0.6);
}

void database(QPainter &p, const QRectF &r, const Ink &ink)
{
    UnitBox box(p, r, 24);
    const qreal left = 3.5, width = 17, rim = 5.6;
    QPainterPath body;
    body.addEllipse(QRectF(left, 1.5, width, rim));
    body.addRect(QRectF(left, 1.5 + rim / 2, width, 16.5));
    body.addEllipse(QRectF(left, 18, width, rim));
    body.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(ink.ink);
    p.drawPath(body.simplified());
    p.setPen(roundPen(ink.detail, 1.2));
    p.setBrush(Qt::NoBrush);
    for (qreal y : {1.5, 7.2, 12.9})
        p.drawArc(QRectF(left, y, width, rim), 190 * 16, 160 * 16);
}

void logo(QPainter &p, const QRectF &r, const Ink &)
{
    // the art leaves a margin for the tile; crop it so the emblem fills the square
    UnitBox box(p, r, 40);
    p.translate(-4, -4.5);
    drawLogoArt(p);
}

Glyph withBadge(Glyph base, Badge badge, const Tone &badgeTone)
{
    return [base = std::move(base), badge, badgeTone](QPainter &p, const QRectF &r, const Ink &ink) {
        base(p, r, ink);
        UnitBox box(p, r, 24);
        const QPointF c(19.5, 19.5);
        p.setPen(QPen(ink.ink, 1.4));
        p.setBrush(badgeTone.base);
        p.drawEllipse(c, 6, 6);
        p.setPen(roundPen(Qt::white, 1.8));
        if (badge == Badge::New) {
            p.drawLine(c + QPointF(0, -3), c + QPointF(0, 3));
            p.drawLine(c + QPointF(-3, 0), c + QPointF(3, 0));
        } else {
            p.translate(c);
            p.rotate(-45);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(-3.6, -1.15, 5.4, 2.3));
            p.drawPolygon(QPolygonF({QPointF(2.3, -1.15), QPointF(4.1, 0), QPointF(2.3, 1.15)}));
        }
    };
}

} // namespace glyphs

Painter bookPicture(std::vector<BookKind> books)
{
    return [books = std::move(books)](QPainter &p, const QSizeF &size) {
        scaleTo(p, size, 72, 72);
        if (books.size() == 1) {
            drawBook(p, QRectF(14, 5, 42, 57), books.front());
            return;
        }
        drawBook(p, QRectF(7, 4, 35, 48), books.at(0));
        drawBook(p, QRectF(29, 17, 35, 48), books.at(1));
    };
}

Painter balanceIcon(Balance balance)
{
    return [balance](QPainter &p, const QSizeF &size) {
        scaleTo(p, size, 32, 32);
        const Tone &tone = balance == Balance::Negative ? tones::red : tones::grey;
        const QPointF c(16, 16);
        const QRectF coin(c.x() - 13.5, c.y() - 13.5, 27, 27);
        p.setPen(QPen(tone.dark, 1.4));
        p.setBrush(verticalGradient(coin, tone.base.lighter(122), tone.base));
        p.drawEllipse(coin);
        p.setPen(QPen(withAlpha(tone.light, 200), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, 10.3, 10.3);

        if (balance == Balance::Negative) {
            p.setPen(Qt::NoPen);
            p.setBrush(withAlpha(tone.dark, 110));
            p.drawRoundedRect(QRectF(9.5, 15.2, 13, 3.4), 1.7, 1.7);
            p.setBrush(Qt::white);
            p.drawRoundedRect(QRectF(9.5, 14.3, 13, 3.4), 1.7, 1.7);
        } else {
            p.setPen(QPen(Qt::white, 2.6));
            p.drawEllipse(QRectF(12.6, 10.2, 6.8, 11.6));
        }
    };
}

Painter wealthIcon(const Tone &tone, int level)
{
    return [tone, level](QPainter &p, const QSizeF &size) {
        scaleTo(p, size, 32, 32);
        static const std::vector<std::vector<int>> stacks {{4}, {3, 5}, {3, 5, 7}};
        const std::vector<int> &heights = stacks.at(qBound(1, level, 3) - 1);
        const int n = int(heights.size());
        const qreal width = n == 1 ? 15 : n == 2 ? 12.5 : 9.6;
        const qreal gap = 1.1;
        const qreal total = n * width + (n - 1) * gap;
        const qreal x0 = 16 - total / 2;
        for (int i = 0; i < n; ++i)
            drawCoinStack(p, x0 + width / 2 + i * (width + gap), 29.5, width, heights.at(i), tone);
    };
}

Painter tileIcon(const Tone &tone, Glyph glyph)
{
    return [tone, glyph = std::move(glyph)](QPainter &p, const QSizeF &size) {
        scaleTo(p, size, 32, 32);
        drawTile(
            p, QRectF(1.5, 1.5, 29, 29), 7, tone.base.lighter(118), tone.base, withAlpha(tone.dark, 140));
        glyph(p, QRectF(6.5, 6.5, 19, 19), Ink {Qt::white, tone.base});
    };
}

Painter banner(const QString &caption, const Tone &tone, const Tone &accent, Glyph glyph)
{
    return [caption, tone, accent, glyph = std::move(glyph)](QPainter &p, const QSizeF &size) {
        const qreal w = size.width(), h = size.height();
        QLinearGradient fill(QPointF(0, 0), QPointF(w, 0));
        fill.setColorAt(0, tone.dark);
        fill.setColorAt(0.55, tone.base);
        fill.setColorAt(1, tone.base.lighter(112));
        p.fillRect(QRectF(0, 0, w, h), fill);

        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 24));
        p.drawEllipse(QPointF(w - h * 0.9, -h * 0.3), h * 1.1, h * 1.1);
        p.setBrush(QColor(255, 255, 255, 16));
        p.drawEllipse(QPointF(w - h * 0.15, h * 1.05), h * 0.8, h * 0.8);
        p.fillRect(QRectF(0, h - 3, w, 3), accent.base);
        p.fillRect(QRectF(0, 0, w, 1), QColor(255, 255, 255, 45));

        const qreal d = h - 18;
        const QPointF c(14 + d / 2, (h - 3) / 2);
        p.setBrush(QColor(255, 255, 255, 46));
        p.drawEllipse(c, d / 2, d / 2);
        const qreal inner = d * 0.62;
        glyph(p, QRectF(c.x() - inner / 2, c.y() - inner / 2, inner, inner), Ink {Qt::white, tone.base});

        const qreal textX = 14 + d + 14;
        const QRectF textRect(textX, 0, w - textX - 12, h - 3);
        QFont font = fittedFont(caption, h * 0.37, textRect.width());
        font.setBold(true);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
        p.setFont(font);
        p.setPen(QColor(0, 0, 0, 70));
        p.drawText(textRect.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, caption);
        p.setPen(Qt::white);
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, caption);
    };
}

Painter sideBar(Arrow arrow)
{
    return [arrow](QPainter &p, const QSizeF &size) {
        const qreal w = size.width(), h = size.height();
        QLinearGradient fill(QPointF(0, 0), QPointF(w, 0));
        fill.setColorAt(0, QColor(0xF4, 0xF7, 0xFB));
        fill.setColorAt(1, QColor(0xDF, 0xE6, 0xEF));
        p.fillRect(QRectF(0, 0, w, h), fill);
        p.setPen(QPen(QColor(0xC4, 0xCE, 0xDA), 1));
        p.drawLine(QPointF(0.5, 0), QPointF(0.5, h));
        p.drawLine(QPointF(w - 0.5, 0), QPointF(w - 0.5, h));

        const qreal cy = h / 2, cx = w / 2;
        const QRectF pill(2.5, cy - 26, w - 5, 52);
        p.setPen(QPen(tones::brand.dark, 0.8));
        p.setBrush(verticalGradient(pill, tones::brand.light, tones::brand.base));
        p.drawRoundedRect(pill, pill.width() / 2, pill.width() / 2);

        const qreal dx = arrow == Arrow::Left ? 1.8 : -1.8;
        p.setPen(roundPen(Qt::white, 1.9));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(
            QPolygonF({QPointF(cx + dx, cy - 3.8), QPointF(cx - dx, cy), QPointF(cx + dx, cy + 3.8)}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 170));
        for (qreal off : {-16.0, -11.0, 11.0, 16.0})
            p.drawEllipse(QPointF(cx, cy + off), 1.1, 1.1);
    };
}

Painter emptyState(const QString &caption)
{
    return [caption](QPainter &p, const QSizeF &size) {
        scaleTo(p, size, 160, 120);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xF0, 0xF3, 0xF7));
        p.drawEllipse(QPointF(80, 50), 38, 38);

        p.setPen(roundPen(QColor(0xD3, 0xD8, 0xDF), 1.4));
        for (const QPointF &s : {QPointF(38, 26), QPointF(124, 32), QPointF(116, 14)}) {
            p.drawLine(s + QPointF(-2.5, 0), s + QPointF(2.5, 0));
            p.drawLine(s + QPointF(0, -2.5), s + QPointF(0, 2.5));
        }

        const QPen edge = roundPen(QColor(0xA3, 0xAA, 0xB4), 1.2);
        p.setPen(edge);
        p.setBrush(QColor(0xE3, 0xE6, 0xEA));
        p.drawPolygon(QPolygonF({QPointF(62, 42), QPointF(98, 42), QPointF(95, 33), QPointF(65, 33)}));
        p.setBrush(QColor(0xB4, 0xBB, 0xC4));
        p.drawPolygon(QPolygonF({QPointF(56, 51), QPointF(104, 51), QPointF(98, 42), QPointF(62, 42)}));
        p.setBrush(QColor(0xD8, 0xDC, 0xE1));
        p.drawPolygon(QPolygonF({QPointF(56, 51), QPointF(62, 42), QPointF(51, 36), QPointF(44, 46)}));
        p.drawPolygon(QPolygonF({QPointF(104, 51), QPointF(98, 42), QPointF(109, 36), QPointF(116, 46)}));
        const QRectF front(56, 51, 48, 28);
        p.setBrush(verticalGradient(front, QColor(0xCD, 0xD2, 0xD8), QColor(0xBD, 0xC3, 0xCB)));
        p.drawRect(front);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawRoundedRect(QRectF(70, 60, 20, 5), 2.5, 2.5);

        p.setFont(captionFont(15));
        p.setPen(QColor(0x86, 0x8E, 0x99));
        p.drawText(QRectF(0, 90, 160, 24), Qt::AlignCenter, caption);
    };
}

Painter appIcon()
{
    return [](QPainter &p, const QSizeF &size) {
        scaleTo(p, size, 48, 48);
        drawTile(p, QRectF(2, 2, 44, 44), 11, QColor(0x4F, 0xB3, 0xF6), QColor(0x15, 0x65, 0xC0),
            tones::brand.dark);
        drawLogoArt(p);
    };
}

} // namespace art
