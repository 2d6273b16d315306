#pragma once

// One tab of the main window. The main window calls the steps below in its own, fixed order
// (start-up, login, RefreshAll, layout); a page fills the steps it takes part in. Pages get the
// dialogs they use in their constructors and never reach for the main window or another page: a
// page that must tell another something emits a signal that the main window connects.

#include <QString>
#include <QWidget>

class MainPage : public QWidget
{
    Q_OBJECT
public:
    // caption is the tab's text; objectName the page's established name ("TabSheet1" …).
    MainPage(const QString &caption, const QString &objectName, QWidget *parent = nullptr);

    QString caption() const { return tabCaption; }

    // The page's step of RefreshAll.
    virtual void Refresh() { }
    // The page's part of the layout of a display mode ("ScreenPixel" text, maximized or not).
    virtual void ApplyLayout(const QString &screenPixel, bool maximized);

protected:
    bool layoutMaximized() const { return maximized; }

private:
    QString tabCaption;
    bool maximized = false;
};
