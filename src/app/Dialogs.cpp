#include "app/Dialogs.h"

#include "accounts/AccountChoseForm.h"
#include "accounts/AccountForm.h"
#include "accounts/AccountForm2.h"
#include "accounts/AccountSearchForm.h"
#include "accounts/ChoseForm.h"
#include "app/OnlineServiceForm.h"
#include "journal/AskForm.h"
#include "journal/DrawForm.h"
#include "journal/GetPayForm.h"
#include "ledgers/DBChoseForm.h"
#include "ledgers/DBForm.h"
#include "ledgers/LoginForm.h"
#include "ledgers/PowerForm.h"
#include "ledgers/PowerForm2.h"
#include "receivables/GetPayForm2.h"
#include "receivables/GetPayForm3.h"
#include "receivables/GetPayForm4.h"
#include "reports/CakeForm.h"
#include "reports/MakeReportForm.h"
#include "reports/ProgressForm.h"

ProgramDialogs::ProgramDialogs(QWidget *owner)
{
    // The order is the program's start-up order; keep each dialog at its place.
    account = new TFormAccount(owner);
    chose = new TFormChose(owner);
    getPay = new TFormGetPay(owner);
    ask = new TFormAsk(owner);
    makeReport = new TFormMakeReport(owner);
    draw = new TFormDraw(owner);
    account2 = new TFormAccount2(getPay, draw, account, owner);
    progress = new TFormProgress(owner);
    online = new TFormOnline(owner);
    getPay2 = new TFormGetPay2(owner);
    getPay2->setEntryForm(getPay);
    cake = new TFormCake(owner);
    getPay3 = new TFormGetPay3(owner);
    accountChose = new TFormAccountChose(owner);
    db = new TFormDB(owner);
    dbChose = new TFormDBChose(db, owner);
    login = new TFormLogin(owner);
    login->setOnlineServiceDialog(online);
    accountSearch = new TFormAccountSearch(owner);
    getPay4 = new TFormGetPay4(owner);
    getPay->setMatchDialog(getPay4);
    power = new TFormPower(owner);
    power2 = new TFormPower2(owner);
    power->setUserDialog(power2);
}
