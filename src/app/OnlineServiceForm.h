#pragma once

// The vendor's online service: the user leaves a contact name, a telephone number and a message,
// and 发送 opens the vendor's service address with those values in the browser. The program
// itself sends nothing over the network.

#include <QDialog>
#include <QString>

class QAction;
class QComboBox;
class QLineEdit;

inline const QString DefaultSaleLink = QStringLiteral("https://www.lingxisoft.example/service");

// The service address with the three values appended as URL-encoded query items (any query
// the address already holds is kept).
QString BuildServiceAddress(
    const QString &saleLink, const QString &contact, const QString &telephone, const QString &message);

class TFormOnline : public QDialog
{
    Q_OBJECT
public:
    explicit TFormOnline(QWidget *parent = nullptr);

    // The canned messages offered in the message list (it also takes typed text).
    static QStringList CannedMessages();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void send();

    QLineEdit *contactEdit;
    QLineEdit *telephoneEdit;
    QComboBox *messageCombo;
    QAction *sendAction;
    QAction *cancelAction;
};
