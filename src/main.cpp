#include "app/AppSetup.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ConfigureApplication(app);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("翎溪记帐财务软件"));
    window.resize(792, 571);
    window.show();
    return app.exec();
}
