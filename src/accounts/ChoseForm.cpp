#include "accounts/ChoseForm.h"

#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QShowEvent>

using Accounts::PictureButton;

namespace {
constexpr int PictureSize = 72;
constexpr int CaptionHeight = 20;

struct Book {
    const char *object;
    const char *value;
    const char *picture;
    const char *caption;
    QPoint at;
};
// Image5 on top, Image1 lower left, Image2 lower right.
const Book Books[] = {
    {"Image5", "5", "Res/CompanyAccount.bmp", "全部帐户", QPoint(104, 16)},
    {"Image1", "1", "Res/CompanyAccount2.bmp", "银行帐户", QPoint(24, 148)},
    {"Image2", "2", "Res/CompanyAccount3.bmp", "现金帐户", QPoint(184, 148)},
};
} // namespace

namespace Accounts {
PictureButton::PictureButton(QWidget *parent) : QLabel(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setScaledContents(true);
}

void PictureButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit clicked();
        break;
    default:
        QLabel::keyPressEvent(event);
    }
}
} // namespace Accounts

TFormChose::TFormChose(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormChose"));
    setWindowTitle(QStringLiteral("帐簿选择"));
    setFixedSize(280, 260);

    PictureButton **targets[] = {&bothBooks, &bankBook, &cashBook};
    for (int i = 0; i < 3; ++i) {
        const Book &book = Books[i];
        auto *picture = new PictureButton(this);
        picture->setObjectName(QString::fromLatin1(book.object));
        picture->setGeometry(QRect(book.at, QSize(PictureSize, PictureSize)));
        picture->setAccessibleName(QString::fromUtf8(book.caption));
        picture->setToolTip(QString::fromUtf8(book.caption));
        auto *caption = new QLabel(QString::fromUtf8(book.caption), this);
        caption->setAlignment(Qt::AlignCenter);
        caption->setGeometry(
            book.at.x() - 14, book.at.y() + PictureSize + 2, PictureSize + 28, CaptionHeight);
        const QString value = QString::fromLatin1(book.value);
        connect(picture, &PictureButton::clicked, this, [this, value] { choose(value); });
        *targets[i] = picture;
    }
    setTabOrder(bothBooks, bankBook);
    setTabOrder(bankBook, cashBook);
}

void TFormChose::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || !ShareDataModule)
        return;
    PictureButton *pictures[] = {bothBooks, bankBook, cashBook};
    for (int i = 0; i < 3; ++i)
        if (pictures[i]->pixmap().isNull())
            pictures[i]->setPixmap(QPixmap(Session().ProgramDir + QString::fromLatin1(Books[i].picture)));
    bothBooks->setFocus();
}

// The tree: a stem down from the top picture, forking to the two below.
void TFormChose::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    const QRect top = bothBooks->geometry();
    const int stemTop = top.bottom() + CaptionHeight + 4;
    const int fork = (stemTop + bankBook->geometry().top()) / 2;
    painter.drawLine(top.center().x(), stemTop, top.center().x(), fork);
    painter.drawLine(bankBook->geometry().center().x(), fork, cashBook->geometry().center().x(), fork);
    for (const PictureButton *below : {bankBook, cashBook})
        painter.drawLine(below->geometry().center().x(), fork, below->geometry().center().x(),
            below->geometry().top() - 2);
}

void TFormChose::choose(const QString &book)
{
    // A failed write is not reported; the book is then read with its default.
    WriteSetting(Settings::AccountBook, book);
    accept();
}
