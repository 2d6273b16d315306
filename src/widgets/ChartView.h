#pragma once

// A chart that holds one series at a time, drawn as a pie or as bars. Points carry a signed
// value, a label and a colour the chart picks. Marks beside each slice or bar show the label
// and the signed value; legend entries show the label and the share of the point in the sum
// of all magnitudes. A pie draws each slice by the magnitude of its value; bars of negative
// values hang below the zero line. Marks never cover one another: a pie's marks stand in
// columns beside it, and a slice whose mark finds no room there has its value in its legend
// entry instead.
//
//   chart->setTitle("图形数据分析");
//   chart->newSeries(ChartView::Kind::Pie);
//   chart->addPoint(500, "甲公司");
//   chart->addPoint(-120, "乙公司");
//   QString error;
//   if (!chart->saveBitmap(QDir::current().filePath("Cake.bmp"), &error)) …

#include <QChartView>
#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

class QAbstractSeries;
class QGraphicsLineItem;
class QGraphicsPathItem;
class QGraphicsSimpleTextItem;

class ChartView : public QChartView
{
    Q_OBJECT
public:
    enum class Kind { Pie, Bar };

    explicit ChartView(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    QString title() const;

    // Removes the series (and its points) and starts an empty one of this kind.
    void newSeries(Kind kind);
    Kind kind() const { return seriesKind; }
    // Removes every point of the series.
    void clear();
    void addPoint(double value, const QString &label);
    void setMarksVisible(bool visible);
    // The least size the chart keeps, grown to what its legend needs to show every entry whole.
    void setLeastSize(const QSize &size);
    bool marksVisible() const { return showMarks; }

    int pointCount() const { return int(points.size()); }
    double pointValue(int index) const;
    QString pointLabel(int index) const;
    QColor pointColor(int index) const;
    // Share of the point's magnitude in the sum of all magnitudes, in percent.
    double percentage(int index) const;
    QString markText(int index) const;
    QString legendText(int index) const;
    // Whether the point's mark is drawn; false for a pie's mark that found no room beside it.
    bool markShown(int index) const;

    // The chart drawn on white; a chart not on screen is drawn at 640×480.
    QImage renderImage();
    // Writes the drawing as a .bmp file, replacing one of that name; false and *error when it
    // cannot be written.
    bool saveBitmap(const QString &path, QString *error = nullptr);

    // The Qt Charts series now shown (null before newSeries).
    QAbstractSeries *currentSeries() const { return series; }

private:
    struct Point {
        double value;
        QString label;
        QColor color;
    };
    void rebuild();
    void placeBarMarks();
    // True when marks went into the legend, which then takes a new width.
    bool placePieMarks();
    bool placeMarks();
    void showLegendTexts();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Tall enough for every legend entry: the entries are the one place that names each slice
    // and carries the values of the marks left off the pie.
    void keepRoomForLegend();

private:
    Kind seriesKind = Kind::Pie;
    bool hasSeries = false;
    bool showMarks = true;
    QList<Point> points;
    QAbstractSeries *series = nullptr;
    QList<QGraphicsSimpleTextItem *> barMarks;
    QList<QGraphicsSimpleTextItem *> pieMarks;
    QList<QGraphicsPathItem *> leaders;
    // Pie marks left out for want of room; only grows until the points or the size change, so
    // that the legend's growing never sets off placing after placing.
    QList<bool> offPie;
    QSize leastSize {320, 240};
    QGraphicsLineItem *zeroLine = nullptr;
};
