#include "reports/ReportsPage.h"

#include "journal/EntryRules.h"
#include "journal/GetPayForm.h"
#include "journal/MoneyGrid.h"
#include "platform/Seams.h"
#include "printing/ReportEngine.h"
#include "reports/CakeForm.h"
#include "reports/DailyStatistics.h"
#include "reports/GridExport.h"
#include "reports/MakeReportForm.h"
#include "reports/ReportQuery.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/DataGrid.h"
#include "widgets/FormParts.h"
#include "widgets/StatementRows.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

ReportsPage::ReportsPage(
    TFormMakeReport *builder, TFormGetPay *entryForm, TFormCake *analysis, QWidget *parent)
    : MainPage(QStringLiteral("报表中心"), QStringLiteral("TabSheet4"), parent),
      builder(builder),
      entryForm(entryForm),
      analysis(analysis)
{
    auto *commands = new QHBoxLayout;
    struct Command {
        const char *button;
        const char *action;
        const char *caption;
    };
    // 财务日结 is wired by the command that owns it.
    const Command buttons[] = {
        {"Cake", "ActionCake", "报表分析"},
        {"ToExcel", "ActionToExcel", "导出EXCEL"},
        {"ResearchReport", "ActionResearchReport", "财务日结"},
        {"MakeReport", "ActionMakeReport", "生成报表"},
        {"PrintReport", "ActionPrintReport", "打印报表"},
    };
    for (const Command &c : buttons) {
        QAction *action = NewAction(this, c.action, QString::fromUtf8(c.caption));
        commands->addWidget(MakeToolButton(this, c.button, action, QRect()));
    }
    connect(findChild<QAction *>(QStringLiteral("ActionMakeReport")), &QAction::triggered, this,
        &ReportsPage::makeReport);
    connect(findChild<QAction *>(QStringLiteral("ActionPrintReport")), &QAction::triggered, this,
        &ReportsPage::printReport);
    connect(findChild<QAction *>(QStringLiteral("ActionResearchReport")), &QAction::triggered, this,
        [this] { DailyStatistics::Run(this); });
    connect(findChild<QAction *>(QStringLiteral("ActionCake")), &QAction::triggered, this,
        &ReportsPage::showAnalysis);
    connect(findChild<QAction *>(QStringLiteral("ActionToExcel")), &QAction::triggered, this, [this] {
        BringUpToDate();
        ExportGridToExcel(reportGrid);
    });

    sortChoice = new QComboBox(this);
    sortChoice->setObjectName(QStringLiteral("ComboBox3"));
    sortChoice->addItems(ReportSortChoices());
    sortChoice->setCurrentIndex(0);
    // Even before a report was made: the list then holds every entry in view.
    connect(sortChoice, &QComboBox::currentIndexChanged, this, &ReportsPage::Refresh);
    commands->addStretch();
    // The list's own settings in a second row: one row does not hold them all at 1024 * 768.
    auto *listCommands = new QHBoxLayout;
    listCommands->addWidget(BuddyLabel(QStringLiteral("排序方式"), sortChoice, this));
    listCommands->addWidget(sortChoice);

    QPushButton *saveWidths = MakeButton(this, "Button24", QStringLiteral("保存当前列表格式"));
    connect(saveWidths, &QPushButton::clicked, this, &ReportsPage::saveColumnWidths);
    QPushButton *restoreWidths = MakeButton(this, "Button25", QStringLiteral("恢复默认列表格式"));
    connect(restoreWidths, &QPushButton::clicked, this, &ReportsPage::restoreColumnWidths);
    listCommands->addWidget(saveWidths);
    listCommands->addWidget(restoreWidths);
    listCommands->addStretch();

    reportGrid = new DataGrid(this);
    reportGrid->setObjectName(QStringLiteral("DBGridEh2"));
    reportGrid->setAccessibleName(QStringLiteral("报表中心"));
    reportGrid->setToolTip(QStringLiteral("报表中心"));
    MoneyGrid::AttachCellRules(reportGrid);
    connect(reportGrid, &DataGrid::gridDoubleClicked, this, &ReportsPage::editEntry);

    // Not placed by the display modes: the page grows with the window.
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->addLayout(commands);
    page->addLayout(listCommands);
    page->addWidget(reportGrid, 1);
}

bool ReportsPage::reportOpen() const
{
    return reportGrid->isOpen();
}

void ReportsPage::Refresh()
{
    const SessionValues &s = Session();
    if (!RunGridQuery(reportGrid,
            ReportGridSql(
                s.AccountBookFilter, s.MoneyOwnerFilter, s.ReportCondition, sortChoice->currentText()),
            Texts::DatabaseOpenFailed))
        return;
    MoneyGrid::SetColumns(reportGrid, SettingSections::ReportGrid);
}

void ReportsPage::makeReport()
{
    if (Platform::ShowModal(builder) == QDialog::Accepted)
        Refresh();
}

void ReportsPage::printReport()
{
    BringUpToDate();
    if (!reportGrid->isOpen())
        return;
    // The grid's statement, in the grid's order, read page by page.
    const auto rows = StatementRows::open(reportGrid->statement(), Texts::DatabaseOpenFailed);
    if (!rows)
        return;
    PrintReport(
        ListTemplatePath(QStringLiteral("Report.frf"), QStringLiteral("Report2.frf")), rows, {}, this);
}

void ReportsPage::showAnalysis()
{
    if (!analysis)
        return;
    analysis->ChartCondition = Session().ReportCondition;
    Platform::ShowModal(analysis);
}

void ReportsPage::editEntry()
{
    BringUpToDate();
    const QVariant index
        = reportGrid->isOpen() ? reportGrid->value(QStringLiteral("MoneyIndex")) : QVariant();
    if (index.isNull()) {
        Platform::ShowMessage(QStringLiteral("请先选中需要修改的记录"));
        return;
    }
    entryForm->Request = EntryRequest {.EntryMode = EntryTexts::ModeEdit,
        .EntryKind = reportGrid->value(QStringLiteral("MoneyKind")).toString(),
        .EntryIndex = index.toLongLong()};
    // The form's RefreshAll has refreshed this grid when it closes with OK. An entry that left the
    // conditions is not found, and the current row stays where the refresh put it.
    if (Platform::ShowModal(entryForm) == QDialog::Accepted)
        reportGrid->selectRowWithKey(QStringLiteral("MoneyIndex"), index);
}

void ReportsPage::saveColumnWidths()
{
    if (!Platform::AskYesNo(QStringLiteral("您确定把当前格式保存为常用格式吗？"), QStringLiteral("保存确认")))
        return;
    // Before the first report the grid has no columns yet: save the widths it would show.
    if (reportGrid->columnCount() != MoneyGrid::Columns().size())
        MoneyGrid::SetColumns(reportGrid, SettingSections::ReportGrid);
    if (!MoneyGrid::SaveWidths(reportGrid, SettingSections::ReportGrid))
        return;
    Platform::ShowMessage(QStringLiteral("列表格式保存成功，报表中心数据列宽将按当前长度显示"));
}

void ReportsPage::restoreColumnWidths()
{
    if (!MoneyGrid::SaveDefaultWidths(SettingSections::ReportGrid))
        return;
    if (reportOpen())
        Refresh();
    Platform::ShowMessage(QStringLiteral("列表格式恢复成功，报表中心数据列宽恢复为软件默认格式"));
}
