#include "journal/JournalPage.h"

#include "journal/DailyFigures.h"
#include "journal/EntryRules.h"
#include "journal/GetPayForm.h"
#include "journal/MoneyGrid.h"
#include "platform/Seams.h"
#include "printing/ReportEngine.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/DataGrid.h"
#include "widgets/FormParts.h"
#include "widgets/StatementRows.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString NoRowSelected = QStringLiteral("请先选中要修改的记录");

void setColour(QLabel *label, const QColor &colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}
} // namespace

JournalPage::JournalPage(TFormGetPay *entryForm, QWidget *parent)
    : MainPage(QStringLiteral("日记帐簿"), QStringLiteral("TabSheet2"), parent), entryForm(entryForm)
{
    label7 = MakeLabel(this, QStringLiteral("上日结余："), "Label7");
    label8 = MakeLabel(this, QStringLiteral("本日结余："), "Label8");
    auto *label9 = MakeLabel(this, QStringLiteral("本日收入："), "Label9");
    label11 = MakeLabel(this, QString(), "Label11");
    setColour(label11, Qt::blue);
    auto *label10 = MakeLabel(this, QStringLiteral("本日支出："), "Label10");
    label12 = MakeLabel(this, QString(), "Label12");
    setColour(label12, Qt::red);
    label9->setBuddy(label11);
    label10->setBuddy(label12);

    QAction *actionEdit = NewAction(this, "ActionEditMoney", QStringLiteral("修改记录"));
    connect(actionEdit, &QAction::triggered, this, &JournalPage::EditMoney);
    QAction *actionPrint = NewAction(this, "ActionPrintMoney", QStringLiteral("打印记录"));
    connect(actionPrint, &QAction::triggered, this, &JournalPage::PrintMoney);
    QToolButton *editButton = MakeToolButton(this, "EditMoney", actionEdit, QRect());
    QToolButton *printButton = MakeToolButton(this, "PrintMoney", actionPrint, QRect());
    QPushButton *saveWidths = MakeButton(this, "Button22", QStringLiteral("保存当前列表格式"));
    connect(saveWidths, &QPushButton::clicked, this, &JournalPage::SaveColumnWidths);
    QPushButton *restoreWidths = MakeButton(this, "Button23", QStringLiteral("恢复默认列表格式"));
    connect(restoreWidths, &QPushButton::clicked, this, &JournalPage::RestoreColumnWidths);

    dailyGrid = new DataGrid(this);
    dailyGrid->setObjectName(QStringLiteral("DBGridEh1"));
    dailyGrid->setAccessibleName(QStringLiteral("日记帐簿"));
    MoneyGrid::AttachCellRules(dailyGrid);
    // Anywhere on the grid, as 修改记录: on an empty grid it says that no row is chosen.
    connect(dailyGrid, &DataGrid::gridDoubleClicked, this, [this] { EditMoney(); });

    // Not placed by the display modes: the page grows with the window.
    auto *figures = new QGridLayout;
    figures->addWidget(label7, 0, 0, 1, 2);
    figures->addWidget(label8, 0, 2, 1, 2);
    figures->addWidget(label9, 1, 0);
    figures->addWidget(label11, 1, 1);
    figures->addWidget(label10, 1, 2);
    figures->addWidget(label12, 1, 3);
    figures->setColumnStretch(1, 1);
    figures->setColumnStretch(3, 1);
    auto *commands = new QHBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(editButton), static_cast<QWidget *>(printButton),
             static_cast<QWidget *>(saveWidths), static_cast<QWidget *>(restoreWidths)})
        commands->addWidget(w);
    commands->addStretch();
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->addLayout(figures);
    page->addLayout(commands);
    page->addWidget(dailyGrid, 1);
}

void JournalPage::Refresh()
{
    if (!refreshFigures())
        return;
    const SessionValues &s = Session();
    if (!RunGridQuery(dailyGrid,
            DailyJournal::DailyGridSql(s.CurrentDay, s.AccountBookFilter, s.MoneyOwnerFilter),
            Texts::DatabaseOpenFailed))
        return;
    MoneyGrid::SetColumns(dailyGrid, SettingSections::JournalGrid);
}

// The day's figures: the labels, and the total that the accounts page shows. They cost the same
// whatever the ledger's size. False when they could not all be computed.
bool JournalPage::refreshFigures()
{
    const SessionValues &s = Session();
    DailyJournal::DayFigures figures;
    DailyJournal::ComputeDayFigures(s.CurrentDay, s.AccountBookFilter, s.MoneyOwnerFilter,
        ReadSetting(Settings::AccountBook, QStringLiteral("5")), figures, Texts::DatabaseOpenFailed);
    if (figures.reached == DailyJournal::DayFigures::Reached::Nothing)
        return false;
    label7->setText(DailyJournal::PreviousBalanceText(figures));
    if (!figures.complete())
        return false;
    label8->setText(DailyJournal::DayBalanceText(figures));
    emit accountSumChanged(DailyJournal::AccountSumText(figures));
    label11->setText(DailyJournal::IncomeText(figures));
    label12->setText(DailyJournal::ExpenseText(figures));
    return true;
}

void JournalPage::RefreshOffScreen()
{
    refreshFigures();
}

void JournalPage::EditMoney()
{
    BringUpToDate();
    const QVariant index = dailyGrid->isOpen() ? dailyGrid->value(QStringLiteral("MoneyIndex")) : QVariant();
    if (index.isNull()) {
        Platform::ShowMessage(NoRowSelected);
        return;
    }
    entryForm->Request = EntryRequest {.EntryMode = EntryTexts::ModeEdit,
        .EntryKind = dailyGrid->value(QStringLiteral("MoneyKind")).toString(),
        .EntryIndex = index.toLongLong()};
    // The form has refreshed every view when it closes with OK.
    if (Platform::ShowModal(entryForm) == QDialog::Accepted)
        dailyGrid->selectRowWithKey(QStringLiteral("MoneyIndex"), index);
}

void JournalPage::PrintMoney()
{
    BringUpToDate();
    if (!UpdateRow(QStringLiteral("PrintTable"), QStringLiteral("PrintIndex"), 1,
            {{QStringLiteral("PrintValue1"), label7->text()}, {QStringLiteral("PrintValue2"), label8->text()},
                {QStringLiteral("PrintValue3"), QStringLiteral("本日收入：") + label11->text()},
                {QStringLiteral("PrintValue4"), QStringLiteral("本日支出：") + label12->text()}}))
        return;
    // The day's rows as the grid's statement gives them, in the grid's order, read page by page.
    if (!dailyGrid->isOpen())
        return;
    const auto rows = StatementRows::open(dailyGrid->statement(), Texts::DatabaseOpenFailed);
    if (!rows)
        return;
    PrintReport(ListTemplatePath(QStringLiteral("Daily.frf"), QStringLiteral("Daily2.frf")), rows, {}, this);
}

void JournalPage::SaveColumnWidths()
{
    if (!Platform::AskYesNo(QStringLiteral("您确定把当前格式保存为常用格式吗？"), QStringLiteral("保存确认")))
        return;
    if (!MoneyGrid::SaveWidths(dailyGrid, SettingSections::JournalGrid))
        return;
    Platform::ShowMessage(QStringLiteral("列表格式保存成功，日记帐簿数据列宽将按当前长度显示"));
}

void JournalPage::RestoreColumnWidths()
{
    if (!MoneyGrid::SaveDefaultWidths(SettingSections::JournalGrid))
        return;
    Refresh();
    Platform::ShowMessage(QStringLiteral("列表格式恢复成功，日记帐簿数据列宽恢复为软件默认格式"));
}
