#include "receivables/GetPayForm4.h"

#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "widgets/DataGrid.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const QString KindPayable = QStringLiteral("应付");

QPushButton *buttonFor(QAction *action, QWidget *parent)
{
    auto *button = new QPushButton(action->text(), parent);
    button->setObjectName(QStringLiteral("Button") + action->objectName());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    return button;
}
} // namespace

TFormGetPay4::TFormGetPay4(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormGetPay4"));
    setWindowTitle(QStringLiteral("应收应付记录对应"));

    prompt = new QLabel(this);
    prompt->setObjectName(QStringLiteral("Label1"));
    prompt->setWordWrap(true);

    grid = new DataGrid(this);
    grid->setObjectName(QStringLiteral("DBGridEh1"));
    prompt->setBuddy(grid);

    actionYes = new QAction(QStringLiteral("确定"), this);
    actionYes->setObjectName(QStringLiteral("ActionYes"));
    addAction(actionYes);
    actionCancel = new QAction(QStringLiteral("取消"), this);
    actionCancel->setObjectName(QStringLiteral("ActionCancel"));
    addAction(actionCancel);
    QPushButton *yes = buttonFor(actionYes, this);
    yes->setDefault(true);
    QPushButton *cancel = buttonFor(actionCancel, this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);
    resize(620, 320);

    connect(actionYes, &QAction::triggered, this, &TFormGetPay4::ActionYesExecute);
    connect(actionCancel, &QAction::triggered, this, &QDialog::reject);
}

void TFormGetPay4::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Every record of the customer and kind, settled ones too: the user decides.
    RunGridQuery(grid,
        Sql("Select * From GetPay Where (GetPayUser = ") + Sql::value(Request.MatchUser)
            + Sql(") And (GetPayKind = ") + Sql::value(Request.MatchKind) + Sql(")"),
        Texts::DatabaseOpenFailed);
    const bool payable = Request.MatchKind == KindPayable;
    prompt->setText(payable ? QStringLiteral("提示：是否更新该客户的应付记录，如果是，请先选择一条应付记录")
                            : QStringLiteral("提示：是否更新该客户的应收记录，如果是，请先选择一条应收记录"));
    grid->setAccessibleName(payable ? QStringLiteral("应付记录") : QStringLiteral("应收记录"));
    grid->setColumns({
        GridColumn::make(QStringLiteral("GetPayTime"),
            payable ? QStringLiteral("应付日期") : QStringLiteral("应收日期"), 75,
            GridFooter::staticText(QStringLiteral("合计"))),
        GridColumn::make(QStringLiteral("GetPayUser"),
            payable ? QStringLiteral("应付客户") : QStringLiteral("应收客户"), 120),
        GridColumn::make(QStringLiteral("GetPaySum"),
            payable ? QStringLiteral("应付金额") : QStringLiteral("应收金额"), 60, GridFooter::sum()),
        GridColumn::make(QStringLiteral("GetPaySum2"),
            payable ? QStringLiteral("已付金额") : QStringLiteral("已收金额"), 60, GridFooter::sum()),
        GridColumn::make(QStringLiteral("GetPaySum3"), QStringLiteral("尚欠金额"), 65, GridFooter::sum()),
        GridColumn::make(QStringLiteral("GetPayRemark"), QStringLiteral("备注信息"), 200),
    });
    grid->setFocus();
}

void TFormGetPay4::ActionYesExecute()
{
    const QVariant index = grid->isOpen() ? grid->value(QStringLiteral("GetPayIndex")) : QVariant();
    if (index.isNull()) {
        Platform::ShowMessage(QStringLiteral("请先选中一条记录"));
        return;
    }
    MatchIndex = index.toLongLong();
    accept();
}
