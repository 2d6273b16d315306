#include "app/AppSetup.h"

#include "platform/Seams.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void ConfigureApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Quillbrook"));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));

    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    QFont font(QStringLiteral("WenQuanYi Micro Hei"), 9);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}
