#pragma once

// The "报表中心" tab: the report made by the query builder, sorted, printed and edited.

#include "widgets/MainPage.h"

class ReportsPage : public MainPage
{
    Q_OBJECT
public:
    explicit ReportsPage(QWidget *parent = nullptr);

    // True once a report was made: RefreshAll refreshes the report grid only then.
    bool reportOpen() const { return false; }
    // RefreshMoneyGrid with the report grid.
    void Refresh() override;
};
