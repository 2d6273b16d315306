#include "widgets/ChartView.h"

#include "storage/PublicFunction.h"
#include "widgets/PieLabels.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsSimpleTextItem>
#include <QImageWriter>
#include <QLegend>
#include <QLegendMarker>
#include <QPainter>
#include <QPainterPath>
#include <QPieSeries>
#include <QPieSlice>
#include <QResizeEvent>
#include <QValueAxis>

#include <cmath>

namespace {

// Colours handed out to points in turn; neighbours differ clearly.
const QList<QColor> &automaticColors()
{
    static const QList<QColor> colors = {
        QColor(0xd9, 0x3a, 0x3a),
        QColor(0x2f, 0x7e, 0xd8),
        QColor(0x3c, 0xa8, 0x4b),
        QColor(0xf2, 0xb7, 0x05),
        QColor(0x8e, 0x4b, 0xb8),
        QColor(0xe6, 0x7e, 0x22),
        QColor(0x17, 0xa5, 0x9a),
        QColor(0x5d, 0x6d, 0x7e),
        QColor(0xe8, 0x6a, 0x9a),
        QColor(0x8d, 0x6e, 0x3f),
        QColor(0x9c, 0xcc, 0x2c),
        QColor(0x1f, 0x3a, 0x93),
        QColor(0xc0, 0x39, 0x2b),
        QColor(0x00, 0xb8, 0xd4),
        QColor(0xb0, 0x8d, 0x1e),
        QColor(0x6a, 0x1b, 0x9a),
        QColor(0xff, 0x8a, 0x65),
        QColor(0x2e, 0x7d, 0x32),
        QColor(0x78, 0x90, 0x9c),
        QColor(0x88, 0x0e, 0x4f),
    };
    return colors;
}

// The bars together take this share of their one category.
constexpr qreal BarGroupWidth = 0.8;
// Between a bar's end and its mark, and the least room beside a mark.
constexpr qreal MarkGap = 4;

// The value range when the marks lie across: room beyond the ends of the bars, and the zero
// line always in it.
void setLevelRange(QValueAxis *values, double low, double high)
{
    const double span = qMax(high - low, 1e-9);
    values->setRange(
        low < 0 ? low - span * 0.15 : 0, high > 0 ? high + span * 0.15 : (low < 0 ? span * 0.05 : 1));
}

QString joined(const QString &label, const QString &text)
{
    return label.isEmpty() ? text : label + QLatin1Char(' ') + text;
}

} // namespace

ChartView::ChartView(QWidget *parent) : QChartView(parent)
{
    QChart *c = chart();
    c->setBackgroundBrush(Qt::white);
    c->setBackgroundRoundness(0);
    c->setDropShadowEnabled(false);
    c->setAnimationOptions(QChart::NoAnimation);
    c->legend()->setAlignment(Qt::AlignRight);
    c->legend()->setVisible(true);
    QFont titleFont = c->titleFont();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleFont.setBold(true);
    c->setTitleFont(titleFont);
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::NoRubberBand);
    setDragMode(QGraphicsView::NoDrag);
    setInteractive(false);
    connect(c, &QChart::plotAreaChanged, this, [this] {
        // New legend texts during the chart's own layout would keep the old widths: lay out
        // the legend and the chart again once this pass is over.
        if (placeMarks())
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (chart()->legend()->layout())
                        chart()->legend()->layout()->invalidate();
                    if (chart()->layout())
                        chart()->layout()->invalidate();
                },
                Qt::QueuedConnection);
    });
}

void ChartView::setTitle(const QString &title)
{
    chart()->setTitle(title);
    setAccessibleName(title);
}

QString ChartView::title() const
{
    return chart()->title();
}

void ChartView::newSeries(Kind kind)
{
    seriesKind = kind;
    hasSeries = true;
    points.clear();
    rebuild();
}

void ChartView::clear()
{
    points.clear();
    rebuild();
}

void ChartView::addPoint(double value, const QString &label)
{
    hasSeries = true; // a point before newSeries goes to a pie
    const QList<QColor> &colors = automaticColors();
    points.append({value, label, colors[points.size() % colors.size()]});
    rebuild();
}

void ChartView::setMarksVisible(bool visible)
{
    showMarks = visible;
    rebuild();
}

double ChartView::pointValue(int index) const
{
    return points.value(index).value;
}

QString ChartView::pointLabel(int index) const
{
    return points.value(index).label;
}

QColor ChartView::pointColor(int index) const
{
    return points.value(index).color;
}

double ChartView::percentage(int index) const
{
    if (index < 0 || index >= points.size())
        return 0;
    double total = 0;
    for (const Point &p : points)
        total += std::fabs(p.value);
    return total > 0 ? std::fabs(points[index].value) * 100.0 / total : 0;
}

QString ChartView::markText(int index) const
{
    if (index < 0 || index >= points.size())
        return {};
    return joined(points[index].label, RoundMoney(points[index].value));
}

QString ChartView::legendText(int index) const
{
    if (index < 0 || index >= points.size())
        return {};
    const QString share = RoundMoney(percentage(index)) + QLatin1Char('%');
    // A slice without its mark on the pie shows its value here.
    if (!markShown(index) && showMarks)
        return joined(points[index].label,
            RoundMoney(points[index].value) + QStringLiteral("（") + share + QStringLiteral("）"));
    return joined(points[index].label, share);
}

bool ChartView::markShown(int index) const
{
    return showMarks && index >= 0 && index < points.size() && !offPie.value(index);
}

void ChartView::showLegendTexts()
{
    if (!series)
        return;
    const QList<QLegendMarker *> markers = chart()->legend()->markers(series);
    for (int i = 0; i < markers.size() && i < points.size(); ++i)
        markers[i]->setLabel(legendText(i));
    // Not at once: this runs while the view is being resized, and a view that grows inside its
    // own resize leaves its viewport at the old size.
    QMetaObject::invokeMethod(this, &ChartView::keepRoomForLegend, Qt::QueuedConnection);
}

void ChartView::rebuild()
{
    QChart *c = chart();
    qDeleteAll(barMarks);
    barMarks.clear();
    qDeleteAll(pieMarks);
    pieMarks.clear();
    qDeleteAll(leaders);
    leaders.clear();
    offPie = QList<bool>(points.size(), false);
    delete zeroLine;
    zeroLine = nullptr;
    c->removeAllSeries();
    for (QAbstractAxis *axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
    series = nullptr;
    keepRoomForLegend();
    if (!hasSeries)
        return;

    if (seriesKind == Kind::Pie) {
        auto *pie = new QPieSeries;
        for (int i = 0; i < points.size(); ++i) {
            // The slice's size is the magnitude; its mark keeps the sign.
            auto *slice = new QPieSlice(markText(i), std::fabs(points[i].value));
            slice->setColor(points[i].color);
            slice->setBorderColor(Qt::white);
            // The slice keeps its mark's text, but the series would draw it where it covers its
            // neighbours': the chart draws the marks itself, where they find room.
            slice->setLabelVisible(showMarks);
            slice->setLabelPosition(QPieSlice::LabelInsideHorizontal);
            slice->setLabelColor(Qt::transparent);
            pie->append(slice);
            if (showMarks) {
                auto *mark = new QGraphicsSimpleTextItem(markText(i), c);
                mark->setZValue(11);
                pieMarks.append(mark);
                auto *leader = new QGraphicsPathItem(c);
                leader->setPen(QPen(points[i].color.darker(120), 1));
                leader->setZValue(10);
                leaders.append(leader);
            }
        }
        pie->setPieSize(0.6);
        c->addSeries(pie);
        series = pie;
        showLegendTexts();
        placePieMarks();
        return;
    }

    // One bar set per point, so that each bar has its own colour and legend entry.
    auto *bars = new QBarSeries;
    double low = 0, high = 0;
    for (int i = 0; i < points.size(); ++i) {
        auto *set = new QBarSet(legendText(i));
        set->append(points[i].value);
        set->setColor(points[i].color);
        set->setBorderColor(points[i].color.darker(130));
        bars->append(set);
        low = qMin(low, points[i].value);
        high = qMax(high, points[i].value);
    }
    bars->setBarWidth(BarGroupWidth);
    bars->setLabelsVisible(false);
    c->addSeries(bars);
    auto *categories = new QBarCategoryAxis;
    categories->append(QStringLiteral(" "));
    categories->setVisible(false);
    auto *values = new QValueAxis;
    values->setVisible(false);
    // Until the marks are placed on the plot area.
    setLevelRange(values, low, high);
    c->addAxis(categories, Qt::AlignBottom);
    c->addAxis(values, Qt::AlignLeft);
    bars->attachAxis(categories);
    bars->attachAxis(values);
    series = bars;

    zeroLine = new QGraphicsLineItem(c);
    zeroLine->setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    zeroLine->setZValue(10);
    if (showMarks) {
        for (int i = 0; i < points.size(); ++i) {
            auto *mark = new QGraphicsSimpleTextItem(markText(i), c);
            mark->setZValue(11);
            barMarks.append(mark);
        }
    }
    placeBarMarks();
}

bool ChartView::placeMarks()
{
    placeBarMarks();
    return placePieMarks();
}

bool ChartView::placePieMarks()
{
    auto *pie = qobject_cast<QPieSeries *>(series);
    if (seriesKind != Kind::Pie || !pie)
        return false;
    const QRectF area = chart()->plotArea();
    if (area.width() <= 0 || area.height() <= 0)
        return false;
    const QList<QPieSlice *> slices = pie->slices();
    QList<PieLabels::Slice> wanted;
    for (int i = 0; i < slices.size(); ++i) {
        const bool asked = i < pieMarks.size() && !offPie.value(i);
        wanted.append({slices[i]->startAngle(), slices[i]->angleSpan(),
            asked ? pieMarks[i]->boundingRect().size() : QSizeF()});
    }
    const PieLabels::Layout layout = PieLabels::place(wanted, area);
    const qreal shorter = qMin(area.width(), area.height());
    pie->setPieSize(qBound<qreal>(0, 2 * layout.radius / shorter, 1));
    pie->setHorizontalPosition(qBound<qreal>(0, (layout.centre.x() - area.left()) / area.width(), 1));
    pie->setVerticalPosition(qBound<qreal>(0, (layout.centre.y() - area.top()) / area.height(), 1));
    bool legendChanged = false;
    for (int i = 0; i < pieMarks.size() && i < layout.marks.size(); ++i) {
        const PieLabels::Mark &m = layout.marks[i];
        pieMarks[i]->setVisible(m.shown);
        leaders[i]->setVisible(m.shown);
        if (m.shown) {
            pieMarks[i]->setPos(m.rect.topLeft());
            QPainterPath path;
            path.addPolygon(m.leader);
            leaders[i]->setPath(path);
        } else if (!offPie[i]) {
            offPie[i] = true;
            legendChanged = true;
        }
    }
    if (legendChanged)
        showLegendTexts();
    return legendChanged;
}

void ChartView::keepRoomForLegend()
{
    const QLegend *legend = chart()->legend();
    QSize least = leastSize;
    if (legend->isVisible() && !points.isEmpty()) {
        // An entry is a line of its font with the text item's margins; the title and the
        // chart's margins lie above and below the entries. The chart gives its legend at most
        // two fifths of its width and cuts longer entries short.
        const QFontMetricsF metrics(legend->font());
        const qreal entry = metrics.height() + 8;
        const qreal around = QFontMetricsF(chart()->titleFont()).height() + 90;
        least.setHeight(qMax(least.height(), int(std::ceil(entry * points.size() + around))));
        // The widest text, with the colour box and the margins beside it.
        qreal widest = 0;
        for (int i = 0; i < points.size(); ++i)
            widest = qMax(widest, metrics.horizontalAdvance(legendText(i)));
        least.setWidth(qMax(least.width(), int(std::ceil((widest + 40) / 0.4 + 64))));
    }
    setMinimumSize(least);
}

void ChartView::setLeastSize(const QSize &size)
{
    leastSize = size;
    keepRoomForLegend();
}

void ChartView::resizeEvent(QResizeEvent *event)
{
    // A new size may have room for marks an older one had not.
    if (offPie.contains(true)) {
        offPie.fill(false);
        showLegendTexts();
    }
    QChartView::resizeEvent(event);
    // The plot area may stay as it was, and then no one else places the marks again.
    placeMarks();
}

void ChartView::placeBarMarks()
{
    if (seriesKind != Kind::Bar || !series)
        return;
    QChart *c = chart();
    const QRectF area = c->plotArea();
    const int count = int(qMin(points.size(), barMarks.size()));
    // Marks side by side overlap once one is wider than its bar's place: they then stand
    // upright, reading upwards, and the value range grows to give them their length beyond the
    // ends of the bars, up to 60% of the height; a label longer than that is cut short, never
    // its value.
    const qreal place = count > 0 ? area.width() * BarGroupWidth / count : area.width();
    QList<qreal> lengths;
    bool upright = false;
    qreal above = 0, below = 0;
    for (int i = 0; i < count; ++i) {
        const QFontMetricsF metrics(barMarks[i]->font());
        lengths.append(metrics.horizontalAdvance(markText(i)) + MarkGap);
        upright = upright || lengths[i] > place;
        if (points[i].value >= 0)
            above = qMax(above, lengths[i]);
        else
            below = qMax(below, lengths[i]);
    }
    const qreal room = area.height() * 0.6;
    if (upright && above + below > room) {
        const qreal scale = room / (above + below);
        above *= scale;
        below *= scale;
    }
    auto *values = qobject_cast<QValueAxis *>(c->axes(Qt::Vertical).value(0));
    if (values && area.height() > 0) {
        double low = 0, high = 0;
        for (const Point &p : points) {
            low = qMin(low, p.value);
            high = qMax(high, p.value);
        }
        if (upright) {
            // Room of r pixels on a height of h takes the share r / h of the whole range.
            const qreal share = (above + below) / area.height();
            const double pixel = qMax(high - low, 1e-9) / (1 - share) / area.height();
            values->setRange(low - below * pixel, high + above * pixel);
        } else {
            setLevelRange(values, low, high);
        }
    }
    if (zeroLine) {
        const qreal y = c->mapToPosition(QPointF(0, 0), series).y();
        zeroLine->setLine(area.left(), y, area.right(), y);
    }
    for (int i = 0; i < count; ++i) {
        // Bar i of n covers [-w/2 + i·w/n, -w/2 + (i+1)·w/n] of the single category.
        const qreal x = -BarGroupWidth / 2 + (i + 0.5) * BarGroupWidth / count;
        const double v = points[i].value;
        const QPointF end = c->mapToPosition(QPointF(x, v), series);
        QGraphicsSimpleTextItem *mark = barMarks[i];
        QString text = markText(i);
        const qreal allowed = (v >= 0 ? above : below) - MarkGap;
        if (upright && lengths[i] - MarkGap > allowed) {
            const QFontMetricsF metrics(mark->font());
            const QString value = RoundMoney(v);
            const qreal forLabel = allowed - metrics.horizontalAdvance(QLatin1Char(' ') + value);
            const QString label = metrics.elidedText(points[i].label, Qt::ElideRight, forLabel);
            text = label.isEmpty() || label == QStringLiteral("…") ? value : joined(label, value);
        }
        mark->setText(text);
        const QRectF box = mark->boundingRect();
        if (upright) {
            // Turned a quarter left about its top left corner, the text spans x in [0, height]
            // and y in [-width, 0] from its position.
            mark->setRotation(-90);
            const qreal bottom = v >= 0 ? end.y() - MarkGap / 2 : end.y() + MarkGap / 2 + box.width();
            mark->setPos(end.x() - box.height() / 2, bottom);
        } else {
            mark->setRotation(0);
            const qreal top = v >= 0 ? end.y() - box.height() - MarkGap / 2 : end.y() + MarkGap / 2;
            mark->setPos(end.x() - box.width() / 2, top);
        }
    }
}

QImage ChartView::renderImage()
{
    if (!isVisible()) {
        // A chart that is not on screen has never been laid out for a size: give it one.
        if (width() < 320 || height() < 240)
            resize(640, 480);
        chart()->resize(size());
        // Marks moved into the legend widen it, which narrows the pie's room: place again
        // until the legend stays as it is (each pass moves one more mark or none).
        for (int pass = 0; pass <= points.size(); ++pass) {
            if (chart()->layout())
                chart()->layout()->activate();
            if (!placeMarks())
                break;
        }
    }
    const QRectF source = chart()->geometry();
    QImage image(source.size().toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene()->render(&painter, QRectF(image.rect()), source);
    painter.end();
    return image;
}

bool ChartView::saveBitmap(const QString &path, QString *error)
{
    const QImage image = renderImage();
    QImageWriter writer(path, "bmp");
    if (image.isNull() || !writer.write(image)) {
        if (error)
            *error = writer.errorString();
        return false;
    }
    return true;
}
