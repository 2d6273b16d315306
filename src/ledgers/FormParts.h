#pragma once

// Small pieces the ledger and login windows share.

#include <QLineEdit>

class QAction;
class QLabel;
class QPushButton;
class QWidget;

// A command of the window: added to it (so its shortcut works) and given its object name.
QAction *NewAction(QWidget *window, const char *objectName, const QString &text);
// A push button that runs the action and follows its text and enabled state.
QPushButton *ActionButton(QAction *action, QWidget *parent);
// A label for a control, set as its buddy so the control is named by it.
QLabel *BuddyLabel(const QString &text, QWidget *control, QWidget *parent);
// Loads a banner picture from the program folder into the label (once it is found).
void LoadBanner(QLabel *banner, const QString &relativePath);

// A password field that shows every typed character as "#".
class HashPasswordEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit HashPasswordEdit(QWidget *parent = nullptr);
};
