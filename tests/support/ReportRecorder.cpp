#include "support/ReportRecorder.h"

#include <QDir>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>

namespace TestSupport {

ReportRecorder::ReportRecorder(Seams &s) : seams(s)
{
    seams.onPreview = [this](const Platform::PreviewSource &source) {
        if (const auto *report = dynamic_cast<const PreparedReport *>(&source))
            reports.append(*report);
        else
            ++foreignPreviews;
    };
}

ReportRecorder::~ReportRecorder()
{
    seams.onPreview = nullptr;
}

namespace {

// A paint engine that draws nothing and remembers the texts.
class TextEngine : public QPaintEngine
{
public:
    TextEngine() : QPaintEngine(QPaintEngine::AllFeatures) { }
    QStringList texts;
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override { }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
    void drawTextItem(const QPointF &, const QTextItem &item) override { texts.append(item.text()); }
    void drawRects(const QRectF *, int) override { }
    void drawLines(const QLineF *, int) override { }
    void drawPath(const QPainterPath &) override { }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
    void drawPoints(const QPointF *, int) override { }
    void drawEllipse(const QRectF &) override { }
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override { }
    void drawTiledPixmap(const QRectF &, const QPixmap &, const QPointF &) override { }
    Type type() const override { return QPaintEngine::User; }
};

class TextDevice : public QPaintDevice
{
public:
    static constexpr int Dpi = 300;
    TextEngine engine;
    QPaintEngine *paintEngine() const override { return const_cast<TextEngine *>(&engine); }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return 420 * Dpi / 25;
        case PdmHeight:
            return 420 * Dpi / 25;
        case PdmWidthMM:
        case PdmHeightMM:
            return 420;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return Dpi;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        default:
            return 0;
        }
    }
};

} // namespace

QList<QStringList> ShownRows(const PreparedReport &report)
{
    QList<QStringList> rows;
    for (int page = 0; page < report.pageCount(); ++page)
        rows.append(report.pageRows(page));
    return rows;
}

QStringList DrawnTexts(const PreparedReport &report, int page)
{
    TextDevice device;
    {
        QPainter painter(&device);
        report.paintPreparedPage(painter, page, TextDevice::Dpi / 25.4);
    }
    return device.engine.texts;
}

QStringList SaveReportPictures(
    const PreparedReport &report, const QString &folder, const QString &stem, double dpi)
{
    QStringList files;
    QDir().mkpath(folder);
    for (int page = 0; page < report.pageCount(); ++page) {
        const QString file = QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(stem).arg(page + 1));
        if (report.renderPage(page, dpi).save(file))
            files.append(file);
    }
    return files;
}

} // namespace TestSupport
