#pragma once

// The "应收应付" tab: the receivables above, the payables panel PanelPay below, each with its
// commands.

#include "widgets/MainPage.h"

class ReceivablesPage : public MainPage
{
    Q_OBJECT
public:
    explicit ReceivablesPage(QWidget *parent = nullptr);

    // Start-up: 按记录显示 in both display groups, which fills both grids.
    void SelectGetPayRecordMode();
    // RefreshGetPayGrids for both the receivables and the payables.
    void Refresh() override;
};
