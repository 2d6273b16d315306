#include "widgets/MainPage.h"

MainPage::MainPage(const QString &caption, const QString &objectName, QWidget *parent)
    : QWidget(parent), tabCaption(caption)
{
    setObjectName(objectName);
}

void MainPage::ApplyLayout(const QString &, bool isMaximized)
{
    maximized = isMaximized;
}
