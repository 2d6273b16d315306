#include "journal/JournalPage.h"

JournalPage::JournalPage(TFormGetPay *entryForm, QWidget *parent)
    : MainPage(QStringLiteral("日记帐簿"), QStringLiteral("TabSheet2"), parent), entryForm(entryForm)
{
}

void JournalPage::Refresh()
{
}
