#pragma once

// Where the marks of a pie go: the pie is sized and placed in its area so that the marks fit
// beside it in two columns, left and right, each mark at the height of its slice as far as
// its neighbours allow, joined to its slice by a leader line. No mark covers another, a leader
// line or the pie, and every mark lies inside the area. Marks that find no room (too many in a
// column, or too wide for the area even beside a small pie) are left out, the smallest slices'
// first; the legend names those.
//
// Angles are in degrees, clockwise from twelve o'clock, as the pie series gives them.

#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>

namespace PieLabels {

struct Slice {
    qreal startAngle = 0;
    qreal span = 0;
    // The mark's size; an empty size asks for no mark.
    QSizeF mark;
};

struct Mark {
    bool shown = false;
    QRectF rect;
    // From the slice's rim out and across to the mark's near edge.
    QPolygonF leader;
};

struct Layout {
    QPointF centre;
    qreal radius = 0;
    QList<Mark> marks; // one per slice, in the slices' order
};

// The radial run of a leader beyond the rim, the gap between its end and its mark, and the
// gap between marks one above the other.
inline constexpr qreal LeaderRun = 12;
inline constexpr qreal LeaderGap = 4;
inline constexpr qreal MarkSpacing = 2;

Layout place(const QList<Slice> &slices, const QRectF &area);

// The point at that angle and distance from the centre.
QPointF onCircle(const QPointF &centre, qreal radius, qreal angle);

} // namespace PieLabels
