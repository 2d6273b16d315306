#pragma once

// The print preview: the pages of a preview source stacked in a scrolling view that draws only
// the pages in sight, when they come into sight, so that a report of any length opens at once
// and holds a few page pictures. Commands: first/previous/next/last page, a page number box,
// zoom (page width, whole page, fixed sizes), print and save as PDF.

#include "platform/Seams.h"

#include <QAbstractScrollArea>
#include <QDialog>
#include <QImage>
#include <QList>

class QComboBox;
class QLabel;
class QSpinBox;

namespace Platform {

// The scrolling stack of pages.
class PageView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    enum class Fit { Width, Page, None };

    explicit PageView(const PreviewSource &source, QWidget *parent = nullptr);

    // Zoom as a share of the paper's real size on this screen (1.0: 100 %).
    double zoom() const { return factor; }
    void setZoom(double zoom);
    void setFit(Fit fit);
    Fit fit() const { return fitMode; }

    int pageCount() const { return count; }
    // The page that fills most of the upper part of the view.
    int currentPage() const;
    void showPage(int page);
    // Pages drawn since the view was made (each at most once per zoom while it stays cached).
    int pagesRendered() const { return rendered; }
    // The pages at least partly in sight.
    QList<int> pagesInSight() const;

signals:
    void currentPageChanged(int page);
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    double dotsPerMm() const;
    QSize pageSize() const; // device-independent pixels
    int pageTop(int page) const;
    void layoutContents();
    void applyFit();
    const QImage &picture(int page);

    const PreviewSource &source;
    int count = 0;
    double factor = 1.0;
    Fit fitMode = Fit::Width;
    int lastPage = -1;
    int chosen = -1; // the page gone to, until the reader scrolls
    int rendered = 0;
    struct Cached {
        int page;
        QImage image;
    };
    QList<Cached> cache; // the most recently used first
};

class TFormPreview : public QDialog
{
    Q_OBJECT
public:
    explicit TFormPreview(const PreviewSource &source, QWidget *parent = nullptr);

    PageView *pageView() const { return view; }
    // The commands, as the toolbar offers them.
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void goToPage(int page); // 0-based
    void zoomIn();
    void zoomOut();
    void print();
    void savePdf();

private:
    void pageShown(int page);
    void zoomChosen(int index);
    void zoomShown(double zoom);

    const PreviewSource &source;
    PageView *view = nullptr;
    QSpinBox *pageBox = nullptr;
    QLabel *pageCountLabel = nullptr;
    QComboBox *zoomBox = nullptr;
};

} // namespace Platform
