#pragma once

// The "应收应付" tab: the receivables above and the payables panel PanelPay below, twins that
// differ only by kind. Each half has its grid in one of three display modes (by record, by
// customer, by date) with totals in the footer, its filter, its print, and the commands that
// create, edit and delete records through the record dialog.

#include "widgets/MainPage.h"

#include <memory>

class TFormGetPay2;
class TFormGetPay3;

// Which grids RefreshGetPayGrids fills.
enum GetPayGrids : int { GetPayGridReceivables = 0, GetPayGridPayables = 1, GetPayGridBoth = 2 };

class ReceivablesPage : public MainPage
{
    Q_OBJECT
public:
    ReceivablesPage(TFormGetPay2 *recordDialog, TFormGetPay3 *filterDialog, QWidget *parent = nullptr);
    ~ReceivablesPage() override;

    // Start-up: 按记录显示 in both display groups, which fills the receivables, then the payables.
    void SelectGetPayRecordMode();
    // Fills the grids asked for by their display mode, filter and the owner filter, and shows
    // their commands by mode and rights.
    void RefreshGetPayGrids(int which);
    // The step of RefreshAll: both grids.
    void Refresh() override;

protected:
    void FitControls() override;

private:
    class GetPayView;
    std::unique_ptr<GetPayView> views[2];
};
