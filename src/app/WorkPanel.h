#pragma once

// The main window's left work panel: the account-book picture, the current day with the day
// buttons, the entry commands 收入, 支出 and 平调, the user's name, 在线服务, 重新登录 and 备份数据.
// Its commands are actions of the main window, so the window's rights and shortcuts reach them.

#include <QDate>
#include <QFrame>

class QDateEdit;
class QLabel;
class QToolButton;
struct ProgramDialogs;

class WorkPanel : public QFrame
{
    Q_OBJECT
public:
    WorkPanel(QWidget *window, const QString &programDir);

    // The dialogs its commands open, created after the panel.
    void setDialogs(ProgramDialogs *dialogs) { programDialogs = dialogs; }

    QDate currentDay() const;
    // Sets the day without announcing it; every change reaches Session().CurrentDay.
    void setCurrentDay(const QDate &day);
    void setUserName(const QString &name);
    void showBookPicture(const QString &relativePath);

    // Collapsed to no width by the side bar, or expanded to its normal width.
    bool isCollapsed() const;
    void setCollapsed(bool collapsed);

signals:
    // The user picked a day or moved it by a button; every view is to follow.
    void dayChanged();
    void bookPictureClicked();
    void reLoginRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void moveDay(int days);

    QString programDir;
    ProgramDialogs *programDialogs = nullptr;
    QLabel *image1 = nullptr;
    QDateEdit *dateTimePicker1 = nullptr;
    QLabel *label18 = nullptr;
    QToolButton *saveButton = nullptr;
};

// A picture label that acts as a button: a click, Space or Enter.
bool IsPictureClick(const QEvent *event);
