#pragma once

// One tab of the main window. The main window calls the steps below in its own, fixed order
// (start-up, login, RefreshAll, layout); a page fills the steps it takes part in. Pages get the
// dialogs they use in their constructors and never reach for the main window or another page: a
// page that must tell another something emits a signal that the main window connects.

#include "widgets/PageLayout.h"

#include <QHash>
#include <QRect>
#include <QString>
#include <QWidget>

class MainPage : public QWidget
{
    Q_OBJECT
public:
    // caption is the tab's text; objectName the page's established name ("TabSheet1" …).
    MainPage(const QString &caption, const QString &objectName, QWidget *parent = nullptr);

    QString caption() const { return tabCaption; }

    // The page's step of RefreshAll, whole and at once.
    virtual void Refresh() { }
    // RefreshAll's call: a page on screen refreshes at once; a hidden one refreshes only what is
    // shown elsewhere (RefreshOffScreen) and is marked out of date, to refresh when it is shown,
    // before it is painted.
    void RefreshWhenShown();
    bool isOutOfDate() const { return outOfDate; }
    // Refreshes a page marked out of date; for whatever reads its figures while it is hidden.
    void BringUpToDate();
    // The page's part of a display layout: its named controls placed (a name the page does not
    // have is skipped), then whatever the page is too small to hold brought inside.
    virtual void ApplyLayout(const PageLayout &layout);
    const PageLayout &layoutInForce() const { return layout; }

protected:
    // The part of the refresh that must not wait while the page is hidden, because its figures
    // are shown elsewhere.
    virtual void RefreshOffScreen() { }
    void showEvent(QShowEvent *event) override;
    // Brings every placed control wholly inside its parent: the layout's numbers are kept where
    // they fit, and otherwise changed as little as it takes. Runs after each layout and whenever
    // the page changes size (the window, or the work panel collapsed or expanded), each time
    // from the layout's own numbers, so a control returns to its place when there is room again.
    virtual void FitControls();
    // The control of that name on this page, or null.
    QWidget *control(const QString &name) const;
    // A placed control's geometry as the page created it, before any layout.
    QRect designRect(const QString &name) const { return designRects.value(name); }
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeControls();

    QString tabCaption;
    bool outOfDate = false;
    PageLayout layout;
    // Each placed control's geometry as the page created it.
    QHash<QString, QRect> designRects;
};
