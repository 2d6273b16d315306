#include "reports/ReportsPage.h"

ReportsPage::ReportsPage(QWidget *parent)
    : MainPage(QStringLiteral("报表中心"), QStringLiteral("TabSheet4"), parent)
{
}

void ReportsPage::Refresh()
{
}
