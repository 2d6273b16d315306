#include "receivables/ReceivablesPage.h"

#include "widgets/FormParts.h"

#include <QAction>
#include <QFrame>

ReceivablesPage::ReceivablesPage(QWidget *parent)
    : MainPage(QStringLiteral("应收应付"), QStringLiteral("TabSheet3"), parent)
{
    // The command buttons stand beside where the receivables grid and the payables panel go.
    MakeToolButton(this, "SpeedButton5", NewAction(this, "ActionNewGet", QStringLiteral("新增记录")),
        QRect(436, 8, 90, 26));
    MakeToolButton(this, "SpeedButton6", NewAction(this, "ActionEditGet", QStringLiteral("修改记录")),
        QRect(436, 40, 90, 26));
    MakeToolButton(this, "SpeedButton7", NewAction(this, "ActionDeleteGet", QStringLiteral("删除记录")),
        QRect(436, 72, 90, 26));

    auto *panelPay = new QFrame(this);
    panelPay->setObjectName(QStringLiteral("PanelPay"));
    panelPay->setGeometry(0, 240, 663, 280);
    MakeToolButton(panelPay, "SpeedButton8", NewAction(this, "ActionNewPay", QStringLiteral("新增记录")),
        QRect(436, 8, 90, 26));
    MakeToolButton(panelPay, "SpeedButton9", NewAction(this, "ActionEditPay", QStringLiteral("修改记录")),
        QRect(436, 40, 90, 26));
    MakeToolButton(panelPay, "SpeedButton10", NewAction(this, "ActionDeletePay", QStringLiteral("删除记录")),
        QRect(436, 72, 90, 26));
}

void ReceivablesPage::SelectGetPayRecordMode()
{
}

void ReceivablesPage::Refresh()
{
}
