#pragma once

// The "日记帐簿" tab: the current day's entries with the balances and the day's totals.

#include "widgets/MainPage.h"

class TFormGetPay;

class JournalPage : public MainPage
{
    Q_OBJECT
public:
    JournalPage(TFormGetPay *entryForm, QWidget *parent = nullptr);

    // RefreshMoneyGrid with the journal grid: the current day's figures and rows.
    void Refresh() override;

private:
    TFormGetPay *entryForm;
};
