#include "app/OnlineServiceForm.h"

#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

QString BuildServiceAddress(
    const QString &saleLink, const QString &contact, const QString &telephone, const QString &message)
{
    // Percent-encode every value ourselves: "&", "=", "+" and "#" typed by the user stay data.
    auto item = [](const char *key, const QString &value) {
        return QString::fromLatin1(key) + QLatin1Char('=')
            + QString::fromLatin1(QUrl::toPercentEncoding(value));
    };
    QUrl url(saleLink.trimmed());
    QString query = url.query(QUrl::FullyEncoded);
    const QStringList items = {item("name", contact), item("tel", telephone), item("message", message)};
    for (const QString &i : items) {
        if (!query.isEmpty())
            query += QLatin1Char('&');
        query += i;
    }
    url.setQuery(query, QUrl::StrictMode);
    return url.toString(QUrl::FullyEncoded);
}

QStringList TFormOnline::CannedMessages()
{
    return {QStringLiteral("我想购买正式版软件，请与我联系"),
        QStringLiteral("软件使用中遇到问题，请与我联系"), QStringLiteral("我想了解软件的升级服务"),
        QStringLiteral("我对软件有意见和建议")};
}

TFormOnline::TFormOnline(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormOnline"));
    setWindowTitle(QStringLiteral("在线服务"));

    auto *intro = new QLabel(QStringLiteral("请留下您的联系方式和留言，发送后将在浏览器中打开"
                                            "翎溪软件的在线服务网页。"),
        this);
    intro->setWordWrap(true);

    contactEdit = new QLineEdit(this);
    contactEdit->setObjectName(QStringLiteral("Edit1"));
    telephoneEdit = new QLineEdit(this);
    telephoneEdit->setObjectName(QStringLiteral("Edit2"));
    messageCombo = new QComboBox(this);
    messageCombo->setObjectName(QStringLiteral("ComboBox1"));
    messageCombo->setEditable(true);
    messageCombo->setInsertPolicy(QComboBox::NoInsert);
    messageCombo->addItems(CannedMessages());
    messageCombo->setMinimumWidth(280);

    auto *form = new QFormLayout;
    auto addRow = [form, this](const QString &text, QWidget *field) {
        auto *label = new QLabel(text, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(QStringLiteral("联系人(&N)："), contactEdit);
    addRow(QStringLiteral("联系电话(&T)："), telephoneEdit);
    addRow(QStringLiteral("留言内容(&M)："), messageCombo);

    sendAction = new QAction(QStringLiteral("发送"), this);
    sendAction->setObjectName(QStringLiteral("ActionSend"));
    cancelAction = new QAction(QStringLiteral("关闭"), this);
    cancelAction->setObjectName(QStringLiteral("ActionCancel"));
    connect(sendAction, &QAction::triggered, this, &TFormOnline::send);
    connect(cancelAction, &QAction::triggered, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QAction *action : {sendAction, cancelAction}) {
        auto *button = new QToolButton(this);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setMinimumWidth(72);
        buttons->addWidget(button);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void TFormOnline::showEvent(QShowEvent *event)
{
    // The contact stays filled from last time; the message starts again from the first choice.
    messageCombo->setCurrentIndex(0);
    contactEdit->setFocus();
    QDialog::showEvent(event);
}

void TFormOnline::send()
{
    const QString telephone = telephoneEdit->text().trimmed();
    const QString message = messageCombo->currentText().trimmed();
    if (telephone.isEmpty()) {
        Platform::ShowMessage(QStringLiteral("请输入联系电话，以便我们与您联系"));
        telephoneEdit->setFocus();
        return;
    }
    if (message.isEmpty()) {
        Platform::ShowMessage(QStringLiteral("请选择或输入留言内容"));
        messageCombo->setFocus();
        return;
    }
    QString link = ReadSetting(Settings::SaleLink, DefaultSaleLink);
    if (link.trimmed().isEmpty())
        link = DefaultSaleLink;
    const QString address = BuildServiceAddress(link, contactEdit->text().trimmed(), telephone, message);
    if (!Platform::OpenWithDesktop(address)) {
        Platform::ShowMessage(QStringLiteral("无法打开浏览器，请访问：") + address);
        return;
    }
    accept();
}
