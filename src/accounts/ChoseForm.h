#pragma once

// The account-book choice: three pictures drawn as a small tree, the book of both account
// types at the top and the bank and cash books below it. A click writes the setting
// "AccountType" ("5", "1" or "2") and closes with OK; the close box writes nothing.

#include <QDialog>
#include <QLabel>
#include <QString>

class QShowEvent;

namespace Accounts {

// A picture that acts as a button: a click, Space or Enter runs it.
class PictureButton : public QLabel
{
    Q_OBJECT
public:
    explicit PictureButton(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
} // namespace Accounts

class TFormChose : public QDialog
{
    Q_OBJECT
public:
    explicit TFormChose(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void choose(const QString &book);

    Accounts::PictureButton *bothBooks = nullptr; // Image5
    Accounts::PictureButton *bankBook = nullptr; // Image1
    Accounts::PictureButton *cashBook = nullptr; // Image2
};
