#pragma once

#include <QColor>
#include <QString>

#include <functional>
#include <vector>

class QPainter;
class QRectF;
class QSizeF;

namespace art {

// The family every caption is set in; main() makes sure it is loaded.
inline constexpr const char *CaptionFamily = "WenQuanYi Micro Hei";

// Three shades of one colour: highlights, fills, edges.
struct Tone {
    QColor light;
    QColor base;
    QColor dark;
};

namespace tones {
extern const Tone gold; // bank accounts
extern const Tone purple; // cash accounts
extern const Tone red; // negative balance
extern const Tone grey; // empty / zero
extern const Tone green; // income
extern const Tone orange; // expense
extern const Tone brand; // program-wide banners and the program icon
extern const Tone blue;
extern const Tone teal;
extern const Tone indigo;
} // namespace tones

// Glyphs are small white symbols drawn into a square; `detail` is the colour of the parts cut
// into them, normally the colour they stand on.
struct Ink {
    QColor ink;
    QColor detail;
};
using Glyph = std::function<void(QPainter &, const QRectF &, const Ink &)>;

namespace glyphs {
void bank(QPainter &, const QRectF &, const Ink &);
void cash(QPainter &, const QRectF &, const Ink &);
void customers(QPainter &, const QRectF &, const Ink &);
void salesman(QPainter &, const QRectF &, const Ink &);
void tag(QPainter &, const QRectF &, const Ink &);
void categories(QPainter &, const QRectF &, const Ink &);
void voucher(QPainter &, const QRectF &, const Ink &);
void calendar(QPainter &, const QRectF &, const Ink &);
void database(QPainter &, const QRectF &, const Ink &);
void logo(QPainter &, const QRectF &, const Ink &); // full colour, ignores the ink

enum class Badge { New, Edit };
// `base` with a small round badge (plus or pencil) in the bottom-right corner.
Glyph withBadge(Glyph base, Badge badge, const Tone &badgeTone);
} // namespace glyphs

// A painter draws a whole picture of the given size onto a prepared image: white for
// pictures without alpha, transparent for icons.
using Painter = std::function<void(QPainter &, const QSizeF &)>;

enum class BookKind { Bank, Cash, Empty };
enum class Balance { Negative, Zero };
enum class Arrow { Left, Right };

Painter bookPicture(std::vector<BookKind> books); // one book, or two overlapping
Painter balanceIcon(Balance balance);
Painter wealthIcon(const Tone &tone, int level); // level 1..3: one, two, three coin stacks
Painter tileIcon(const Tone &tone, Glyph glyph);
Painter banner(const QString &caption, const Tone &tone, const Tone &accent, Glyph glyph);
Painter sideBar(Arrow arrow);
Painter emptyState(const QString &caption);
Painter appIcon();

} // namespace art
