#include "ledgers/DBForm.h"

#include "ledgers/LedgerRegistry.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TFormDB::TFormDB(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormDB"));
    setWindowTitle(QStringLiteral("软件帐套管理"));
    // Only 确定 and 取消 leave the dialog.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("Edit1"));
    KeepWholeText(nameEdit);
    pathEdit = new QLineEdit(this);
    pathEdit->setObjectName(QStringLiteral("Edit2"));
    KeepWholeText(pathEdit);
    pathEdit->setReadOnly(true);
    remarkEdit = new QLineEdit(this);
    remarkEdit->setObjectName(QStringLiteral("Edit3"));
    KeepWholeText(remarkEdit);
    tipsEdit = new QLineEdit(this);
    tipsEdit->setObjectName(QStringLiteral("Edit4"));
    KeepWholeText(tipsEdit);
    dateEdit = MakeDateBox(this, "DateTimePicker1");

    auto *form = new QFormLayout;
    form->addRow(BuddyLabel(QStringLiteral("帐套名称："), nameEdit, this), nameEdit);
    form->addRow(BuddyLabel(QStringLiteral("帐套路径："), pathEdit, this), pathEdit);
    form->addRow(BuddyLabel(QStringLiteral("帐套介绍："), remarkEdit, this), remarkEdit);
    form->addRow(BuddyLabel(QStringLiteral("帐套提示："), tipsEdit, this), tipsEdit);
    form->addRow(BuddyLabel(QStringLiteral("创建时间："), dateEdit, this), dateEdit);

    QHBoxLayout *buttons = YesCancelButtons(this, &actionYes, &actionCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    setTabOrder(nameEdit, pathEdit);
    setTabOrder(pathEdit, remarkEdit);
    setTabOrder(remarkEdit, tipsEdit);
    setTabOrder(tipsEdit, dateEdit);

    connect(nameEdit, &QLineEdit::textChanged, this, &TFormDB::NameChanged);
    connect(actionYes, &QAction::triggered, this, &TFormDB::ActionYesExecute);
    connect(actionCancel, &QAction::triggered, this, &QDialog::reject);
}

void TFormDB::NameChanged(const QString &name)
{
    pathEdit->setText(Ledgers::ProposedLedgerPath(Session().DefaultLedgerFolder, name));
}

void TFormDB::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    nameEdit->clear();
    pathEdit->setText(Session().DefaultLedgerFolder);
    remarkEdit->clear();
    tipsEdit->clear();
    dateEdit->setDate(Platform::Today());
    if (Request.Mode == Ledgers::ModeEdit) {
        Query query;
        if (RunQuery(query,
                Sql("Select * From SoftData Where SoftDataIndex = ") + Sql::value(Request.LedgerIndex),
                Texts::DatabaseOpenFailed)
            && !query.isEmpty()) {
            // The name first: it proposes a path, which the stored one then replaces.
            nameEdit->setText(query.text(QStringLiteral("SoftDataName")));
            pathEdit->setText(query.text(QStringLiteral("SoftDataPath")));
            remarkEdit->setText(query.text(QStringLiteral("SoftDataRemark")));
            tipsEdit->setText(query.text(QStringLiteral("SoftDataTips")));
            const QDate created = query.date(QStringLiteral("SoftDataTime"));
            if (created.isValid())
                dateEdit->setDate(created);
        }
    }
    nameEdit->setFocus();
}

void TFormDB::ActionYesExecute()
{
    const Ledgers::LedgerFields fields {
        nameEdit->text(), pathEdit->text(), remarkEdit->text(), tipsEdit->text(), dateEdit->date()};
    const Ledgers::SaveOutcome outcome = Request.Mode == Ledgers::ModeEdit
        ? Ledgers::EditLedger(Request.LedgerIndex, fields)
        : Ledgers::AddLedger(fields);
    switch (outcome) {
    case Ledgers::SaveOutcome::Saved:
    case Ledgers::SaveOutcome::Vanished:
        accept();
        break;
    case Ledgers::SaveOutcome::NameRejected:
        nameEdit->setFocus();
        break;
    case Ledgers::SaveOutcome::Failed:
        break;
    }
}
