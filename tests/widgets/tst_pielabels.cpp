// Where a pie's marks go, for pies a ledger really gives: marks never over one another, over
// a leader line or over the pie, never cut and never outside the chart; marks that find no
// room are left out, the small slices' first.

#include "support/TestMain.h"
#include "widgets/PieLabels.h"

#include <QLineF>
#include <QtMath>

using Values = QList<double>;
using Widths = QList<qreal>;

namespace {

constexpr qreal MarkHeight = 16;

// Slices as the pie series lays them out: from twelve o'clock, clockwise, each by its share.
QList<PieLabels::Slice> slicesOf(const Values &values, const Widths &widths)
{
    double total = 0;
    for (double v : values)
        total += v;
    QList<PieLabels::Slice> slices;
    qreal start = 0;
    for (int i = 0; i < values.size(); ++i) {
        const qreal span = 360 * values[i] / total;
        slices.append({start, span, QSizeF(widths[i % widths.size()], MarkHeight)});
        start += span;
    }
    return slices;
}

// Whether the segment passes through the inside of the rectangle.
bool crosses(const QLineF &segment, const QRectF &rect)
{
    const QRectF inside = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    for (int step = 0; step <= 200; ++step)
        if (inside.contains(segment.pointAt(step / 200.0)))
            return true;
    return false;
}

// Whether the rectangle keeps clear of the disc.
bool clearOfDisc(const QRectF &rect, const QPointF &centre, qreal radius)
{
    const QPointF nearest(
        qBound(rect.left(), centre.x(), rect.right()), qBound(rect.top(), centre.y(), rect.bottom()));
    return QLineF(centre, nearest).length() >= radius;
}

qreal angleOf(const QPointF &centre, const QPointF &p)
{
    // Clockwise from twelve o'clock.
    const qreal a = qRadiansToDegrees(std::atan2(p.x() - centre.x(), centre.y() - p.y()));
    return a < 0 ? a + 360 : a;
}

QRectF inflated(const QRectF &r)
{
    return r.adjusted(-0.01, -0.01, 0.01, 0.01);
}

} // namespace

class TestPieLabels : public QObject
{
    Q_OBJECT

private slots:
    void marksStayApart_data()
    {
        QTest::addColumn<Values>("values");
        QTest::addColumn<Widths>("widths");
        QTest::addColumn<QSizeF>("area");
        // How many marks must be shown at least: all of them where there is room.
        QTest::addColumn<int>("leastShown");

        QTest::newRow("a few") << Values {500, 120, 380} << Widths {70} << QSizeF(560, 380) << 3;
        // The accounts of the demonstration ledger: a small one between two large ones.
        QTest::newRow("small between large")
            << Values {39120, 520, 16850, 8800} << Widths {130, 70, 140, 120} << QSizeF(520, 360) << 4;
        // Six small slices one after another, as the reasons of a month give them.
        QTest::newRow("many small together") << Values {52000, 31000, 12000, 900, 650, 420, 300, 180, 90}
                                             << Widths {90, 110, 80} << QSizeF(560, 380) << 9;
        QTest::newRow("one huge, many tiny")
            << Values {100000, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}
            << Widths {60, 90} << QSizeF(560, 380) << 19; // a column of 380 holds 21 marks
        QTest::newRow("long names near the edge") << Values {3000, 2800, 2500, 1200, 900}
                                                  << Widths {230, 60, 210, 190, 220} << QSizeF(600, 360) << 1;
        QTest::newRow("twenty alike") << Values(20, 100.0) << Widths {100} << QSizeF(640, 420) << 20;
        // The analysis window at its smallest: more marks than either column holds.
        QTest::newRow("smallest window") << Values {9000, 7000, 5000, 3000, 2500, 2000, 1500, 1200, 1000, 900,
            800, 700, 600, 500, 400, 300, 200, 150, 100, 50}
                                         << Widths {70, 100, 130} << QSizeF(330, 250) << 8;
        QTest::newRow("no room at all") << Values {60, 40} << Widths {300} << QSizeF(120, 90) << 0;
    }
    void marksStayApart()
    {
        QFETCH(Values, values);
        QFETCH(Widths, widths);
        QFETCH(QSizeF, area);
        QFETCH(int, leastShown);
        const QList<PieLabels::Slice> slices = slicesOf(values, widths);
        const QRectF chart(QPointF(12, 40), area);
        const PieLabels::Layout layout = PieLabels::place(slices, chart);
        QCOMPARE(layout.marks.size(), slices.size());

        // The pie lies whole inside the chart.
        QVERIFY(layout.radius > 0);
        QVERIFY(inflated(chart).contains(QRectF(layout.centre - QPointF(layout.radius, layout.radius),
            QSizeF(2 * layout.radius, 2 * layout.radius))));

        QList<int> shown;
        for (int i = 0; i < slices.size(); ++i)
            if (layout.marks[i].shown)
                shown.append(i);
        QVERIFY2(shown.size() >= leastShown, qPrintable(QString::number(shown.size())));

        for (int i : shown) {
            const PieLabels::Mark &m = layout.marks[i];
            const QString which = QStringLiteral("mark %1").arg(i);
            // Whole, inside, off the pie.
            QCOMPARE(m.rect.size(), slices[i].mark);
            QVERIFY2(inflated(chart).contains(m.rect), qPrintable(which));
            QVERIFY2(clearOfDisc(m.rect, layout.centre, layout.radius), qPrintable(which));
            // The leader starts on the rim of its own slice and ends at its mark.
            QVERIFY(m.leader.size() >= 2);
            QCOMPARE(QLineF(layout.centre, m.leader.first()).length(), layout.radius);
            const qreal angle = angleOf(layout.centre, m.leader.first());
            QVERIFY2(
                angle >= slices[i].startAngle - 0.01 && angle <= slices[i].startAngle + slices[i].span + 0.01,
                qPrintable(which));
            QVERIFY2(inflated(m.rect).contains(m.leader.last()), qPrintable(which));
            for (int j : shown) {
                if (j == i)
                    continue;
                QVERIFY2(!m.rect.intersects(layout.marks[j].rect),
                    qPrintable(which + QStringLiteral(" over %1").arg(j)));
                for (int k = 1; k < m.leader.size(); ++k)
                    QVERIFY2(!crosses(QLineF(m.leader[k - 1], m.leader[k]), layout.marks[j].rect),
                        qPrintable(which + QStringLiteral("'s leader through %1").arg(j)));
            }
        }
    }

    // When a column cannot hold every mark, the small slices give up theirs; a slice that asks
    // for no mark gets none.
    void smallSlicesGiveWayFirst()
    {
        Values values;
        for (int i = 0; i < 20; ++i)
            values.append(1000 - 45 * i);
        const QList<PieLabels::Slice> slices = slicesOf(values, {80});
        const PieLabels::Layout layout = PieLabels::place(slices, QRectF(0, 0, 420, 200));
        int leftOut = 0;
        for (const PieLabels::Mark &m : layout.marks)
            leftOut += m.shown ? 0 : 1;
        QVERIFY(leftOut > 0);
        QVERIFY(layout.marks[0].shown);
        // Within a column, never a larger slice's mark left out for a smaller one's.
        for (const bool right : {false, true}) {
            qreal shownLeast = 360, outMost = 0;
            for (int i = 0; i < slices.size(); ++i) {
                const qreal middle = slices[i].startAngle + slices[i].span / 2;
                if ((middle < 180) != right)
                    continue;
                if (layout.marks[i].shown)
                    shownLeast = qMin(shownLeast, slices[i].span);
                else
                    outMost = qMax(outMost, slices[i].span);
            }
            QVERIFY(outMost <= shownLeast);
        }

        // Too wide to stand on both sides of the pie: the one large slice keeps its mark, the
        // longest, and the small ones across from it give way.
        Values oneLarge {90000};
        Widths longNames {190};
        for (int i = 1; i < 20; ++i) {
            oneLarge.append(4000.0 / i);
            longNames.append(170);
        }
        const PieLabels::Layout wide
            = PieLabels::place(slicesOf(oneLarge, longNames), QRectF(0, 0, 410, 470));
        QVERIFY(wide.marks[0].shown);

        QList<PieLabels::Slice> unasked = slicesOf({5, 3, 2}, {50});
        unasked[1].mark = QSizeF();
        const PieLabels::Layout some = PieLabels::place(unasked, QRectF(0, 0, 400, 300));
        QVERIFY(some.marks[0].shown && !some.marks[1].shown && some.marks[2].shown);
    }
};

QUILL_TEST_MAIN(TestPieLabels)
#include "tst_pielabels.moc"
