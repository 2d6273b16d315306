#pragma once

// Every dialog of the program, created once at start-up in a fixed order and living for the
// whole run. Callers set a dialog's input members and show it through Platform::ShowModal.
//
// A dialog whose subsystem is not built yet is an empty slot (null). Its issue includes the
// dialog's header in Dialogs.cpp and creates it at its place in the constructor; a dialog that
// needs another one gets it there, as the ledger chooser gets the ledger dialog.

class QWidget;

class TFormAccount;
class TFormChose;
class TFormGetPay;
class TFormAsk;
class TFormMakeReport;
class TFormDraw;
class TFormAccount2;
class TFormProgress;
class TFormOnline;
class TFormGetPay2;
class TFormCake;
class TFormGetPay3;
class TFormAccountChose;
class TFormDB;
class TFormDBChose;
class TFormLogin;
class TFormAccountSearch;
class TFormGetPay4;
class TFormPower;
class TFormPower2;

struct ProgramDialogs {
    // Creates the dialogs as children of owner (the main window), which deletes them.
    explicit ProgramDialogs(QWidget *owner);
    ProgramDialogs(const ProgramDialogs &) = delete;
    ProgramDialogs &operator=(const ProgramDialogs &) = delete;

    TFormAccount *account = nullptr; // slot: accounts
    TFormChose *chose = nullptr; // slot: accounts (account-book choice)
    TFormGetPay *getPay = nullptr; // slot: journal (entry form)
    TFormAsk *ask = nullptr; // slot: journal
    TFormMakeReport *makeReport = nullptr; // slot: reports
    TFormDraw *draw = nullptr; // slot: journal (transfers)
    TFormAccount2 *account2 = nullptr; // slot: accounts (account detail)
    TFormProgress *progress = nullptr; // slot: reports
    TFormOnline *online = nullptr; // online service
    TFormGetPay2 *getPay2 = nullptr; // slot: receivables
    TFormCake *cake = nullptr; // slot: reports (charts)
    TFormGetPay3 *getPay3 = nullptr; // slot: receivables (filter)
    TFormAccountChose *accountChose = nullptr; // slot: accounts (scope choice)
    TFormDB *db = nullptr; // ledger dialog
    TFormDBChose *dbChose = nullptr; // ledger chooser
    TFormLogin *login = nullptr; // login
    TFormAccountSearch *accountSearch = nullptr; // slot: accounts (search)
    TFormGetPay4 *getPay4 = nullptr; // slot: receivables (matching)
    TFormPower *power = nullptr; // slot: ledgers (user management)
    TFormPower2 *power2 = nullptr; // slot: ledgers (user management)
};
