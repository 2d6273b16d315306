#pragma once

// The main window's four layouts: two display modes ("ScreenPixel" "1024 * 768" and "1440 * 900"),
// each normal and maximized. One table gives, per layout, the window size, the panel grid of the
// accounts tab, the side-bar pictures and the place of every control the layout moves, by page and
// object name. The main window applies a column; each page applies its own part of it.

#include "widgets/MainPage.h"

#include <QList>
#include <QMargins>
#include <QSize>
#include <QString>

namespace MainLayout {

struct LayoutColumn {
    // Its column in the table, 0 … 3.
    int column = 0;
    QString screenPixel;
    bool maximized = false;
    // The window's outer size, frame and title bar included; empty where the layout sets none
    // (a maximized window keeps the size the platform gives it, within sizeLimit).
    QSize windowSize;
    // The largest a maximized window of the mode gets, and the platform sizes it compares:
    // wider than limitFrom.width() gives sizeLimit.width(), taller likewise.
    QSize limitFrom;
    QSize sizeLimit;
    PanelGrid panels;
    // Side-bar pictures, relative to ProgramDir: with the work panel shown, and collapsed.
    QString leftBar;
    QString rightBar;

    // The part of this layout that the page of that object name applies ("TabSheet1" …).
    PageLayout page(const QString &pageName) const;
};

// The four layouts in the order 1024 normal, 1024 maximized, 1440 normal, 1440 maximized.
const QList<LayoutColumn> &Layouts();
// The layout of a display mode in its normal or maximized form; null when the mode is neither
// known text (the layout in force then stays).
const LayoutColumn *LayoutFor(const QString &screenPixel, bool maximized);
// The layout the window is designed in, in force until another is applied.
const LayoutColumn &DesignLayout();

// A maximized window of the mode: the size the platform gives it, cut to the mode's limit along
// each side that exceeds the mode's screen (a 1024 × 768 screen keeps its own height).
QSize MaximizedWindowSize(const LayoutColumn &layout, const QSize &platformSize);
// The inside of a window whose outer size is outer, with the frame the platform draws around it.
QSize InnerSize(const QSize &outer, const QMargins &frame);

} // namespace MainLayout
