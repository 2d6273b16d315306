#include "reports/CakeForm.h"

#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "printing/ReportEngine.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/ChartView.h"
#include "widgets/DataGrid.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cerrno>

namespace Cake {

const QList<Analysis> &Analyses()
{
    static const QList<Analysis> analyses = {
        {QStringLiteral("按帐户分析"), QStringLiteral("Res/YellowTower.ico"), QStringLiteral("AccountName"),
            QStringLiteral("帐户获取失败")},
        {QStringLiteral("按客户分析"), QStringLiteral("Res/Customer.ico"), QStringLiteral("MoneyUser"),
            QStringLiteral("客户获取失败")},
        {QStringLiteral("按业务员分析"), QStringLiteral("Res/Man.ico"), QStringLiteral("MoneyMan"),
            QStringLiteral("业务员获取失败")},
        {QStringLiteral("按收支种类分析"), QStringLiteral("Res/Reason.ico"), QStringLiteral("MoneyReason"),
            QStringLiteral("收支种类获取失败")},
        {QStringLiteral("按款项类别分析"), QStringLiteral("Res/Type.ico"), QStringLiteral("MoneyType"),
            QStringLiteral("款项类别获取失败")},
        {QStringLiteral("按款项凭证分析"), QStringLiteral("Res/Token.ico"), QStringLiteral("MoneyToken"),
            QStringLiteral("款项凭证获取失败")},
    };
    return analyses;
}

const Analysis *FindAnalysis(const QString &name)
{
    for (const Analysis &a : Analyses())
        if (a.name == name)
            return &a;
    return nullptr;
}

const QStringList &RestrictionChoices()
{
    static const QStringList choices
        = {QStringLiteral("综合统计收支"), QStringLiteral("仅统计收入"), QStringLiteral("仅统计支出")};
    return choices;
}

const QStringList &ChartKinds()
{
    static const QStringList kinds = {QStringLiteral("饼型图"), QStringLiteral("条型图")};
    return kinds;
}

Sql Restriction(const QString &choice)
{
    if (choice == RestrictionChoices().at(1))
        return Sql(" And (MoneyKind = ") + Sql::value(QStringLiteral("财务收入")) + Sql(")");
    if (choice == RestrictionChoices().at(2))
        return Sql(" And (MoneyKind = ") + Sql::value(QStringLiteral("财务支出")) + Sql(")");
    return {};
}

namespace {
// The grouping column is one of the six fixed names above, never typed text.
Sql groupAndOrder(const Analysis &analysis)
{
    return Sql(" Group By ") + Sql(analysis.column) + Sql(" Order By Sum(MoneySum) Desc");
}
} // namespace

Sql ChartSql(const Analysis &analysis, const Sql &accountBookFilter, const Sql &moneyOwnerFilter,
    const Sql &chartCondition, const Sql &restriction)
{
    Sql sql = Sql("Select ") + Sql(analysis.column)
        + Sql(",Round(Sum(MoneySum),2) As TotalSum From Account,MoneyTable Where (MoneyAccount = "
              "AccountIndex)");
    if (analysis.column == QLatin1String("AccountName"))
        sql += Sql(" And (AccountIndex > 1)");
    return sql + accountBookFilter + moneyOwnerFilter + chartCondition + restriction
        + groupAndOrder(analysis);
}

Sql GridSql(const Analysis &analysis, const Sql &accountBookFilter, const Sql &moneyOwnerFilter,
    const Sql &chartCondition, const Sql &restriction)
{
    return Sql("Select ") + Sql(analysis.column)
        + Sql(
            " As DataFieldName,Round(Sum(MoneyIn),2) As MoneyIn,Round(Sum(MoneyOut),2) As MoneyOut,"
            "Round(Sum(MoneySum),2) As MoneySum From Account,MoneyTable Where (MoneyAccount = AccountIndex)")
        + accountBookFilter + moneyOwnerFilter + chartCondition + restriction + groupAndOrder(analysis);
}

QList<ChartPoint> ChartPoints(const Query &rows, const QString &column)
{
    QList<ChartPoint> points;
    for (int r = 0; r < rows.rowCount() && points.size() < MaxChartPoints; ++r) {
        const double sum = rows.valueAt(r, QStringLiteral("TotalSum")).toDouble();
        if (sum != 0)
            points.append({sum, rows.valueAt(r, column).toString()});
    }
    return points;
}

} // namespace Cake

TFormCake::TFormCake(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormCake"));
    setWindowTitle(QStringLiteral("报表数据分析"));

    analysisChoice = new QComboBox(this);
    analysisChoice->setObjectName(QStringLiteral("ComboBox1"));
    for (const Cake::Analysis &a : Cake::Analyses())
        analysisChoice->addItem(a.name);
    restrictionChoice = new QComboBox(this);
    restrictionChoice->setObjectName(QStringLiteral("ComboBox3"));
    restrictionChoice->addItems(Cake::RestrictionChoices());
    image = MakeLabel(this, QString(), "Image1");
    image->setFixedSize(32, 32);
    image->setScaledContents(true);
    image->setAccessibleName(QStringLiteral("分析图标"));
    QPushButton *close = MakeButton(this, "Close", QStringLiteral("退出"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->addWidget(image);
    top->addWidget(BuddyLabel(QStringLiteral("分析方式"), analysisChoice, this));
    top->addWidget(analysisChoice);
    top->addWidget(BuddyLabel(QStringLiteral("统计范围"), restrictionChoice, this));
    top->addWidget(restrictionChoice);
    top->addStretch();
    top->addWidget(close);

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));

    auto *chartPage = new QWidget;
    chartView = new ChartView(chartPage);
    chartView->setObjectName(QStringLiteral("Chart1"));
    chartView->setTitle(QStringLiteral("图形数据分析"));
    // Room for a pie with its marks beside it even in the smallest window.
    chartView->setLeastSize(QSize(640, 300));
    kindChoice = new QComboBox(chartPage);
    kindChoice->setObjectName(QStringLiteral("ComboBox2"));
    kindChoice->addItems(Cake::ChartKinds());
    QAction *toBmp = NewAction(this, "ActionToBmp", QStringLiteral("存成图片"));
    connect(toBmp, &QAction::triggered, this, &TFormCake::ActionToBmpExecute);
    auto *chartCommands = new QHBoxLayout;
    chartCommands->addWidget(BuddyLabel(QStringLiteral("图形种类"), kindChoice, chartPage));
    chartCommands->addWidget(kindChoice);
    chartCommands->addStretch();
    chartCommands->addWidget(ActionButton(toBmp, chartPage));
    auto *chartLayout = new QVBoxLayout(chartPage);
    chartLayout->addWidget(chartView, 1);
    chartLayout->addLayout(chartCommands);
    tabs->addTab(chartPage, QStringLiteral("用图形显示"));

    auto *gridPage = new QWidget;
    dataGrid = new DataGrid(gridPage);
    dataGrid->setObjectName(QStringLiteral("DBGridEh1"));
    dataGrid->setAccessibleName(QStringLiteral("分项统计"));
    dataGrid->setColumns({
        GridColumn::make(QStringLiteral("DataFieldName"), QStringLiteral("参数名称"), 220,
            GridFooter::rowCount(QStringLiteral("共 %1 条记录"))),
        GridColumn::make(QStringLiteral("MoneyIn"), QStringLiteral("收入金额"), 120,
            GridFooter::sum(Qt::blue), Qt::AlignRight | Qt::AlignVCenter),
        GridColumn::make(QStringLiteral("MoneyOut"), QStringLiteral("支出金额"), 120,
            GridFooter::sum(Qt::red), Qt::AlignRight | Qt::AlignVCenter),
        GridColumn::make(QStringLiteral("MoneySum"), QStringLiteral("合计金额"), 150, GridFooter::sum(),
            Qt::AlignRight | Qt::AlignVCenter),
    });
    QAction *print = NewAction(this, "ActionPrint", QStringLiteral("报表打印"));
    connect(print, &QAction::triggered, this, &TFormCake::ActionPrintExecute);
    auto *gridCommands = new QHBoxLayout;
    gridCommands->addWidget(MakeLabel(gridPage, QStringLiteral("分项统计")));
    gridCommands->addStretch();
    gridCommands->addWidget(ActionButton(print, gridPage));
    auto *gridLayout = new QVBoxLayout(gridPage);
    gridLayout->addLayout(gridCommands);
    gridLayout->addWidget(dataGrid, 1);
    tabs->addTab(gridPage, QStringLiteral("用列表显示"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tabs, 1);
    resize(720, 520);

    for (QComboBox *choice : {analysisChoice, kindChoice, restrictionChoice})
        connect(choice, &QComboBox::currentIndexChanged, this, &TFormCake::RefreshAnalysis);
}

void TFormCake::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        RefreshAnalysis();
}

void TFormCake::RefreshAnalysis()
{
    chartView->newSeries(kindChoice->currentIndex() == 1 ? ChartView::Kind::Bar : ChartView::Kind::Pie);
    chartView->setMarksVisible(true);
    const Sql restriction = Cake::Restriction(restrictionChoice->currentText());
    const Cake::Analysis *analysis = Cake::FindAnalysis(analysisChoice->currentText());
    if (!analysis)
        return;
    const SessionValues &s = Session();
    shownIcon = analysis->iconFile;
    image->setPixmap(QPixmap(s.ProgramDir + analysis->iconFile));

    Query rows;
    if (!RunQuery(rows,
            Cake::ChartSql(*analysis, s.AccountBookFilter, s.MoneyOwnerFilter, ChartCondition, restriction),
            analysis->failMessage))
        return;
    for (const Cake::ChartPoint &p : Cake::ChartPoints(rows, analysis->column))
        chartView->addPoint(p.value, p.label);

    RunGridQuery(dataGrid,
        Cake::GridSql(*analysis, s.AccountBookFilter, s.MoneyOwnerFilter, ChartCondition, restriction),
        Texts::DatabaseOpenFailed);
}

void TFormCake::ActionToBmpExecute()
{
    // Beside the program, where a desktop program's working folder was; never wherever the
    // process happens to have been started from.
    const QString path = Session().ProgramDir + QStringLiteral("Cake.bmp");
    QString reason;
    const int result = Platform::WriteThroughTemporary(path, [this, &reason](const QString &temporary) {
        return chartView->saveBitmap(temporary, &reason) ? 0 : EIO;
    });
    if (result != 0) {
        Platform::ShowError(QStringLiteral("图片保存失败：") + path + QStringLiteral("，")
            + (reason.isEmpty() ? Platform::ErrorNumberText(result) : reason));
        return;
    }
    if (!Platform::OpenWithDesktop(path))
        Platform::ShowError(QStringLiteral("图片打开失败，没有程序能打开：") + path);
}

void TFormCake::ActionPrintExecute()
{
    if (!dataGrid->isOpen())
        return;
    Query rows;
    if (!RunQuery(rows, dataGrid->statement(), Texts::DatabaseOpenFailed))
        return;
    PrintReport(ReportTemplatePath(QStringLiteral("Cake.frf")), rows, {}, this);
}
