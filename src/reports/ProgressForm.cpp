#include "reports/ProgressForm.h"

#include <QProgressBar>
#include <QVBoxLayout>

TFormProgress::TFormProgress(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormProgress"));
    setWindowTitle(QStringLiteral("正在统计，请稍候"));
    bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("ProgressBar1"));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setAccessibleName(QStringLiteral("统计进度"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    resize(300, 60);
}

void TFormProgress::ShowAt(int value)
{
    bar->setValue(value);
    if (!isVisible())
        show();
    // The work runs on this thread and takes no events: draw now.
    repaint();
}

int TFormProgress::position() const
{
    return bar->value();
}
