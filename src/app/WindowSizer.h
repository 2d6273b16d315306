#pragma once

// Keeps a top-level window at the size its layout gives. The layout's sizes are outer sizes, frame
// and title bar included; a normal layout has a size of its own, yet the window can still be
// maximized, so the platform is told the largest size a maximize may give on this screen, and any
// other size (a border dragged) is put back.

#include "app/MainLayout.h"

#include <QMargins>
#include <QObject>
#include <QSize>

class QWidget;

class WindowSizer : public QObject
{
    Q_OBJECT
public:
    explicit WindowSizer(QWidget *window);

    // Sizes the window for the layout (kept by reference for the run).
    void apply(const MainLayout::LayoutColumn &layout);
    void apply();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setSizeLimit(const QSize &limit);
    // Neither maximized, nor full screen, nor minimized: the layout sets the size.
    bool sizedByLayout() const;
    QMargins frameMargins() const;
    void afterResize();

    QWidget *window;
    const MainLayout::LayoutColumn *layout = nullptr;
    // The frame the window's size was last worked out with; the platform may tell it late.
    QMargins appliedFrame;
    // The largest size a maximize may give, inside the frame.
    QSize sizeLimit;
    // Sizes put back in a row without success: a window manager that insists wins.
    int resizesUndone = 0;
};
