#include "widgets/PieLabels.h"

#include <QtMath>

#include <algorithm>

namespace PieLabels {

namespace {

// The pie never fills more of its area than this, so that a pie of few slices keeps room
// around it; below the least radius the marks give way, not the pie.
constexpr qreal LargestShare = 0.38;
constexpr qreal LeastShare = 0.2;

qreal middle(const Slice &s)
{
    return s.startAngle + s.span / 2;
}

bool onRight(const Slice &s)
{
    const qreal angle = std::fmod(std::fmod(middle(s), 360) + 360, 360);
    return angle < 180;
}

struct Placement {
    QPointF centre;
    qreal radius = 0;
};

// The pie's size and place for the marks still shown; false when the marks do not fit beside
// a pie of the least radius.
bool fitPie(const QList<Slice> &slices, const QList<bool> &shown, const QRectF &area, Placement *pie)
{
    qreal leftWidth = 0, rightWidth = 0, tallest = 0;
    for (int i = 0; i < slices.size(); ++i) {
        if (!shown[i])
            continue;
        (onRight(slices[i]) ? rightWidth : leftWidth)
            = qMax(onRight(slices[i]) ? rightWidth : leftWidth, slices[i].mark.width());
        tallest = qMax(tallest, slices[i].mark.height());
    }
    const qreal reach = LeaderRun + LeaderGap;
    const qreal shorter = qMin(area.width(), area.height());
    qreal radius = shorter * LargestShare;
    // A mark at the top or bottom sits at its leader's end, half its height beyond it.
    if (tallest > 0)
        radius = qMin(radius, area.height() / 2 - LeaderRun - tallest / 2);
    radius = qMin(radius, (area.width() - leftWidth - rightWidth) / 2 - reach);
    if (radius < shorter * LeastShare && (leftWidth > 0 || rightWidth > 0))
        return false;
    radius = qMax<qreal>(radius, qMin(shorter * LeastShare, shorter / 2));
    const qreal needed = leftWidth + rightWidth + 2 * (radius + reach);
    const qreal spare = qMax<qreal>(area.width() - needed, 0);
    pie->radius = radius;
    pie->centre = QPointF(area.left() + leftWidth + reach + radius + spare / 2, area.center().y());
    return true;
}

struct Wanted {
    int slice;
    qreal top; // where the mark's top would be, level with its leader's bend
    qreal height;
};

// Tops for marks stacked in one column between low and high, each as near its wish as the
// others allow: marks that would overlap are gathered and centred on their wishes together.
// Empty when they do not fit.
QList<qreal> stack(const QList<Wanted> &marks, qreal low, qreal high)
{
    qreal total = 0;
    for (const Wanted &m : marks)
        total += m.height;
    total += MarkSpacing * qMax<qsizetype>(marks.size() - 1, 0);
    if (total > high - low)
        return {};

    struct Group {
        int first, count;
        qreal height;
        qreal wishes; // sum of each member's wished top less its offset in the group
        qreal top;
    };
    auto settle = [&](Group &g) { g.top = qBound(low, g.wishes / g.count, high - g.height); };
    QList<Group> groups;
    for (int i = 0; i < marks.size(); ++i) {
        Group g {i, 1, marks[i].height, marks[i].top, 0};
        settle(g);
        groups.append(g);
        while (groups.size() > 1) {
            Group &before = groups[groups.size() - 2];
            const Group after = groups.last();
            if (before.top + before.height + MarkSpacing <= after.top)
                break;
            const qreal shift = before.height + MarkSpacing;
            before.wishes += after.wishes - shift * after.count;
            before.count += after.count;
            before.height += MarkSpacing + after.height;
            settle(before);
            groups.removeLast();
        }
    }
    QList<qreal> tops;
    for (const Group &g : groups) {
        qreal y = g.top;
        for (int i = g.first; i < g.first + g.count; ++i) {
            tops.append(y);
            y += marks[i].height + MarkSpacing;
        }
    }
    return tops;
}

// Leaves out the mark of the smallest slice among those the test picks.
void leaveOutSmallest(const QList<Slice> &slices, QList<bool> &shown, auto picks)
{
    int smallest = -1;
    for (int i = 0; i < slices.size(); ++i)
        if (shown[i] && picks(i) && (smallest < 0 || slices[i].span < slices[smallest].span))
            smallest = i;
    if (smallest >= 0)
        shown[smallest] = false;
}

} // namespace

QPointF onCircle(const QPointF &centre, qreal radius, qreal angle)
{
    const qreal a = qDegreesToRadians(angle);
    return {centre.x() + radius * std::sin(a), centre.y() - radius * std::cos(a)};
}

Layout place(const QList<Slice> &slices, const QRectF &area)
{
    Layout layout;
    layout.marks.resize(slices.size());
    layout.centre = area.center();
    if (area.width() <= 0 || area.height() <= 0)
        return layout;
    QList<bool> shown;
    for (const Slice &s : slices)
        shown.append(!s.mark.isEmpty());

    // Each pass leaves out one more mark, so this ends.
    for (;;) {
        Placement pie;
        if (!fitPie(slices, shown, area, &pie)) {
            // Only the widest mark of a column takes room from the pie: of the two widest,
            // the smaller slice's gives way.
            int widest[2] = {-1, -1};
            for (int i = 0; i < slices.size(); ++i) {
                int &w = widest[onRight(slices[i]) ? 1 : 0];
                if (shown[i] && (w < 0 || slices[i].mark.width() > slices[w].mark.width()))
                    w = i;
            }
            const int out = widest[0] < 0                          ? widest[1]
                : widest[1] < 0                                    ? widest[0]
                : slices[widest[0]].span <= slices[widest[1]].span ? widest[0]
                                                                   : widest[1];
            shown[out] = false;
            continue;
        }
        bool fits = true;
        QList<qreal> tops(slices.size(), 0);
        for (const bool right : {false, true}) {
            QList<Wanted> column;
            for (int i = 0; i < slices.size(); ++i) {
                if (!shown[i] || onRight(slices[i]) != right)
                    continue;
                const QPointF bend = onCircle(pie.centre, pie.radius + LeaderRun, middle(slices[i]));
                column.append({i, bend.y() - slices[i].mark.height() / 2, slices[i].mark.height()});
            }
            // Top to bottom, and along the rim where wishes tie.
            std::stable_sort(
                column.begin(), column.end(), [](const Wanted &a, const Wanted &b) { return a.top < b.top; });
            const QList<qreal> placed = stack(column, area.top(), area.bottom());
            if (placed.isEmpty() && !column.isEmpty()) {
                leaveOutSmallest(slices, shown, [&](int i) { return onRight(slices[i]) == right; });
                fits = false;
                break;
            }
            for (int k = 0; k < column.size(); ++k)
                tops[column[k].slice] = placed[k];
        }
        if (!fits)
            continue;

        layout.centre = pie.centre;
        layout.radius = pie.radius;
        const qreal reach = pie.radius + LeaderRun + LeaderGap;
        for (int i = 0; i < slices.size(); ++i) {
            if (!shown[i])
                continue;
            Mark &m = layout.marks[i];
            m.shown = true;
            const QSizeF size = slices[i].mark;
            const bool right = onRight(slices[i]);
            const qreal x = right ? pie.centre.x() + reach : pie.centre.x() - reach - size.width();
            m.rect = QRectF(QPointF(x, tops[i]), size);
            const qreal angle = middle(slices[i]);
            m.leader << onCircle(pie.centre, pie.radius, angle)
                     << onCircle(pie.centre, pie.radius + LeaderRun, angle)
                     << QPointF(right ? m.rect.left() : m.rect.right(), m.rect.center().y());
        }
        return layout;
    }
}

} // namespace PieLabels
