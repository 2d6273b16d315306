#pragma once

// The matching dialog: lists a customer's receivable ("应收") or payable ("应付") records so
// that a new journal entry can be linked to the one it settles. On OK MatchIndex holds the
// chosen record's GetPayIndex; on Cancel it is left as it was.

#include <QDialog>
#include <QString>

class DataGrid;
class QAction;
class QLabel;
class QShowEvent;

struct MatchRequest {
    QString MatchUser;
    QString MatchKind; // "应收" or "应付"
};

class TFormGetPay4 : public QDialog
{
    Q_OBJECT
public:
    explicit TFormGetPay4(QWidget *parent = nullptr);

    // Inputs, set before each show.
    // The customer and kind whose records are offered; a caller assigns a whole request.
    MatchRequest Request;
    // Output: valid after OK.
    qint64 MatchIndex = 0;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ActionYesExecute();

    QLabel *prompt = nullptr; // Label1
    DataGrid *grid = nullptr; // DBGridEh1, over ADOQueryGrid
    QAction *actionYes = nullptr;
    QAction *actionCancel = nullptr;
};
