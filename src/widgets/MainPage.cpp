#include "widgets/MainPage.h"

#include <QResizeEvent>
#include <QShowEvent>

namespace {
constexpr int EdgeGap = 4;

// One axis of FitInside: position and length inside [0, room].
void fitAxis(int &position, int &length, bool lengthFixed, int minimum, int room)
{
    if (position >= 0 && position + length <= room)
        return;
    if (!lengthFixed && position >= 0 && room - position >= minimum) {
        length = room - position;
        return;
    }
    length = qMin(length, room);
    position = qMax(0, qMin(position, room - length - EdgeGap));
}
} // namespace

QRect FitInside(const QRect &placed, const ControlPlace &place, const QSize &parent, const QSize &minimum)
{
    int left = placed.x();
    int top = placed.y();
    int width = placed.width();
    int height = placed.height();
    fitAxis(left, width, place.width.has_value(), minimum.width(), parent.width());
    fitAxis(top, height, place.height.has_value() && !place.toBottom, minimum.height(), parent.height());
    return QRect(left, top, width, height);
}

MainPage::MainPage(const QString &caption, const QString &objectName, QWidget *parent)
    : QWidget(parent), tabCaption(caption)
{
    setObjectName(objectName);
}

void MainPage::RefreshWhenShown()
{
    if (isVisible()) {
        outOfDate = false;
        Refresh();
        return;
    }
    RefreshOffScreen();
    outOfDate = true;
}

void MainPage::BringUpToDate()
{
    if (!outOfDate)
        return;
    outOfDate = false;
    Refresh();
}

// Delivered while the page becomes visible, before its first paint, so no stale figure is seen.
void MainPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    BringUpToDate();
}

QWidget *MainPage::control(const QString &name) const
{
    return findChild<QWidget *>(name);
}

void MainPage::ApplyLayout(const PageLayout &pageLayout)
{
    layout = pageLayout;
    placeControls();
    FitControls();
}

void MainPage::placeControls()
{
    for (const ControlPlace &place : layout.controls) {
        QWidget *w = control(place.control);
        if (!w)
            continue;
        // From the place the page made it at, so an earlier fit leaves nothing behind.
        QRect r = designRects.contains(place.control) ? designRects.value(place.control) : w->geometry();
        designRects.insert(place.control, r);
        if (place.left)
            r.moveLeft(*place.left);
        if (place.top)
            r.moveTop(*place.top);
        if (place.width)
            r.setWidth(*place.width);
        if (place.height)
            r.setHeight(*place.height);
        if (place.toBottom && w->parentWidget())
            r.setBottom(w->parentWidget()->height() - 1);
        w->setGeometry(r);
    }
}

void MainPage::FitControls()
{
    // Twice, so that a control inside another placed control fits the size its parent ends with.
    for (int pass = 0; pass < 2; ++pass) {
        for (const ControlPlace &place : layout.controls) {
            QWidget *w = control(place.control);
            if (!w || !w->parentWidget())
                continue;
            w->setGeometry(FitInside(
                w->geometry(), place, w->parentWidget()->size(), w->minimumSizeHint().expandedTo({1, 1})));
        }
    }
}

void MainPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeControls();
    FitControls();
}
