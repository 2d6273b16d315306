#pragma once

// The user dialog: changes one user's name, password and rights. The caller sets Mode and
// PowerIndex before showing it; it closes with Accepted once the change is stored.

#include <QDialog>

class QAction;
class QCheckBox;
class QLineEdit;
class QShowEvent;

struct UserRequest {
    QString Mode; // "修改"
    qint64 PowerIndex = 0;
};

class TFormPower2 : public QDialog
{
    Q_OBJECT
public:
    explicit TFormPower2(QWidget *parent = nullptr);

    // The user to change; a caller assigns a whole request before each show.
    UserRequest Request;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ActionYesExecute();

    QLineEdit *nameEdit = nullptr; // Edit1
    QLineEdit *keyEdit = nullptr; // Edit2
    QCheckBox *rightBoxes[6] = {}; // CheckBox1 … CheckBox6, in the order of the rights
    QAction *actionYes = nullptr;
    QAction *actionCancel = nullptr;
};
