#pragma once

// What a display layout tells one page of the main window: where its named controls go and, for
// a page of panels, the grid the panels stand in. Plain values, so layouts can be worked out and
// compared without widgets.

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

// Where a display layout puts one control of a page, found by its object name. A field the
// layout leaves empty keeps what the page gave the control.
struct ControlPlace {
    QString control;
    std::optional<int> left;
    std::optional<int> top;
    std::optional<int> width;
    std::optional<int> height;
    // Reaches down to the bottom edge of its parent whatever the layout's height.
    bool toBottom = false;
};

// The grid of a page of panels: slot i sits at ((i mod columns) × pitch + 8, (i div columns) ×
// 86 + 8); the slots from visibleSlots on are hidden by the layout.
struct PanelGrid {
    int columns = 3;
    int width = 210;
    int pitch = 217;
    int visibleSlots = 15;
};

// A page's part of a display layout.
struct PageLayout {
    QList<ControlPlace> controls;
    PanelGrid panels;
};

// Where a control of that size goes inside its parent so that it lies wholly inside: unchanged
// when it fits. Otherwise a size the layout leaves free shrinks toward the edge, down to the
// control's minimum; what still sticks out is moved back in, keeping a 4-pixel gap.
QRect FitInside(const QRect &placed, const ControlPlace &place, const QSize &parent, const QSize &minimum);
