#pragma once

// The "日记帐簿" tab: the current day's entries of the visible accounts with the closing balances
// of the day before and of the day, the day's income and expense counts and sums, the opening of
// an entry for editing, the day's print and the saved column widths.

#include "widgets/MainPage.h"

class DataGrid;
class QAction;
class QLabel;
class TFormGetPay;

class JournalPage : public MainPage
{
    Q_OBJECT
public:
    JournalPage(TFormGetPay *entryForm, QWidget *parent = nullptr);

    // RefreshMoneyGrid with the journal grid: the current day's figures and rows.
    void Refresh() override;

    DataGrid *grid() const { return dailyGrid; }

signals:
    // The day's closing balance as the accounts page shows it ("总金额：… 元").
    void accountSumChanged(const QString &text);

protected:
    // The figures are shown on the accounts page too.
    void RefreshOffScreen() override;

private:
    bool refreshFigures();
    void EditMoney();
    void PrintMoney();
    void SaveColumnWidths();
    void RestoreColumnWidths();

    TFormGetPay *entryForm;
    DataGrid *dailyGrid = nullptr; // DBGridEh1 over ADOQueryDailyGrid
    QLabel *label7 = nullptr;
    QLabel *label8 = nullptr;
    QLabel *label11 = nullptr;
    QLabel *label12 = nullptr;
};
