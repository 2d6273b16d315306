#include "app/WorkPanel.h"

#include "app/Dialogs.h"
#include "app/OnlineServiceForm.h"
#include "journal/DrawForm.h"
#include "journal/EntryRules.h"
#include "journal/GetPayForm.h"
#include "ledgers/LedgerBackup.h"
#include "platform/Seams.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QDateEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>
#include <QToolButton>

namespace {
constexpr int PanelWidth = 97;
} // namespace

bool IsPictureClick(const QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease)
        return true;
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The layout calls this region "Panel1" when it collapses it; it is named "PanelWork" because the
// rights show and hide it under that name.
WorkPanel::WorkPanel(QWidget *window, const QString &programDir) : programDir(programDir)
{
    setObjectName(QStringLiteral("PanelWork"));
    setFrameShape(QFrame::StyledPanel);
    setFixedWidth(PanelWidth);

    auto *bookCaption = MakeLabel(this, QStringLiteral("帐簿范围"), QRect(8, 6, 81, 18));
    image1 = MakeLabel(this, QString(), QRect(8, 26, 81, 64), "Image1");
    image1->setScaledContents(true);
    image1->setAccessibleName(QStringLiteral("帐簿范围"));
    image1->setFocusPolicy(Qt::TabFocus);
    image1->installEventFilter(this);
    bookCaption->setBuddy(image1);

    auto *dayCaption = MakeLabel(this, QStringLiteral("当前日期"), QRect(8, 96, 81, 18));
    dateTimePicker1 = MakeDateBox(this, "DateTimePicker1");
    dateTimePicker1->setGeometry(4, 116, 89, 24);
    dayCaption->setBuddy(dateTimePicker1);
    connect(dateTimePicker1, &QDateEdit::dateChanged, this, [this](const QDate &day) {
        Session().CurrentDay = day;
        emit dayChanged();
    });
    auto *dayBack = MakeToolButton(this, "BitBtn1", QStringLiteral("前一天"), QRect(4, 144, 44, 24));
    dayBack->setToolTip(QStringLiteral("前一天"));
    connect(dayBack, &QToolButton::clicked, this, [this] { moveDay(-1); });
    auto *dayForward = MakeToolButton(this, "BitBtn2", QStringLiteral("后一天"), QRect(49, 144, 44, 24));
    dayForward->setToolTip(QStringLiteral("后一天"));
    connect(dayForward, &QToolButton::clicked, this, [this] { moveDay(1); });

    MakeLabel(this, QStringLiteral("录入操作"), QRect(8, 176, 81, 18));
    // 收入 and 支出 open the entry form for a new entry of their kind.
    auto newEntry = [this](const QString &kind) {
        return [this, kind] {
            if (TFormGetPay *form = programDialogs ? programDialogs->getPay : nullptr) {
                form->Request = EntryRequest {.EntryMode = EntryTexts::ModeNew, .EntryKind = kind};
                Platform::ShowModal(form);
            }
        };
    };
    QAction *actionGet = NewAction(window, "ActionGet", QStringLiteral("收入"));
    connect(actionGet, &QAction::triggered, this, newEntry(EntryTexts::KindIncome));
    MakeToolButton(this, "SpeedButtonGet", actionGet, QRect(8, 196, 81, 28));
    QAction *actionPay = NewAction(window, "ActionPay", QStringLiteral("支出"));
    connect(actionPay, &QAction::triggered, this, newEntry(EntryTexts::KindExpense));
    MakeToolButton(this, "SpeedButtonPay", actionPay, QRect(8, 228, 81, 28));
    QAction *actionDraw = NewAction(window, "ActionDraw", QStringLiteral("平调"));
    connect(actionDraw, &QAction::triggered, this, [this] {
        if (programDialogs && programDialogs->draw)
            OpenTransfer(programDialogs->draw);
    });
    MakeToolButton(this, "SpeedButtonDraw", actionDraw, QRect(8, 260, 81, 28));

    MakeLabel(this, QStringLiteral("当前用户"), QRect(8, 298, 81, 18));
    label18 = MakeLabel(this, QStringLiteral("未登录"), QRect(8, 318, 81, 20), "Label18");
    label18->setAlignment(Qt::AlignCenter);
    label18->setAccessibleDescription(QStringLiteral("当前用户"));

    auto *online
        = MakeToolButton(this, "SpeedButtonOnline", QStringLiteral("在线服务"), QRect(8, 350, 81, 28));
    connect(online, &QToolButton::clicked, this, [this] {
        if (programDialogs && programDialogs->online)
            Platform::ShowModal(programDialogs->online);
    });
    QAction *reLogin = NewAction(window, "ActionReLogin", QStringLiteral("重新登录"));
    connect(reLogin, &QAction::triggered, this, &WorkPanel::reLoginRequested);
    MakeToolButton(this, "SpeedButtonReLogin", reLogin, QRect(8, 382, 81, 28));

    // Below the normal layout's bottom on purpose: it shows in the taller layouts.
    QAction *actionSave = NewAction(window, "ActionSave", QStringLiteral("备份数据"));
    connect(actionSave, &QAction::triggered, this, [window] { Ledgers::BackupLedger(window); });
    saveButton = MakeToolButton(this, "SpeedButtonSave", actionSave, QRect(8, 544, 81, 28));
}

QDate WorkPanel::currentDay() const
{
    return dateTimePicker1->date();
}

void WorkPanel::setCurrentDay(const QDate &day)
{
    {
        const QSignalBlocker quiet(dateTimePicker1);
        dateTimePicker1->setDate(day);
    }
    Session().CurrentDay = dateTimePicker1->date();
}

void WorkPanel::moveDay(int days)
{
    setCurrentDay(currentDay().addDays(days));
    emit dayChanged();
}

void WorkPanel::setUserName(const QString &name)
{
    label18->setText(name);
}

void WorkPanel::showBookPicture(const QString &relativePath)
{
    image1->setPixmap(QPixmap(programDir + relativePath));
}

bool WorkPanel::isCollapsed() const
{
    return width() <= 0;
}

void WorkPanel::setCollapsed(bool collapsed)
{
    setFixedWidth(collapsed ? 0 : PanelWidth);
}

// How tall the panel is depends on the window's frame as well as on the layout: a button that
// would only partly show is left out until the panel is tall enough to hold it whole.
void WorkPanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    saveButton->setVisible(saveButton->geometry().bottom() <= contentsRect().bottom());
}

bool WorkPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == image1 && IsPictureClick(event)) {
        emit bookPictureClicked();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
