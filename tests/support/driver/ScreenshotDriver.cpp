// Takes the README's pictures of the real program on a real X display (scripts/screenshots.sh
// runs it under a virtual one with a window manager). The program runs from a fresh copy of the
// built program folder; each dialog is shown as the program shows it, pictured with its frame,
// and then driven by object name, so the pictures follow the layout wherever it puts things.
//
//   quill_screenshots <output folder>

#include "app/AppSetup.h"
#include "app/MainForm.h"
#include "app/Session.h"
#include "support/ProgramRun.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QWindow>

using namespace TestSupport;

namespace {

QString outputFolder;

// The window with its frame as the window manager drew it, after its grids have been fetched
// and painted.
void picture(QWidget *window, const QString &name)
{
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    window->raise();
    QTest::qWait(1200);
    const QRect frame = window->frameGeometry();
    const QPixmap shot = window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    const QString path = QDir(outputFolder).filePath(name + QStringLiteral(".png"));
    QVERIFY2(shot.save(path), qPrintable(path));
    qInfo("wrote %s (%dx%d)", qPrintable(path), shot.width(), shot.height());
    // What lies beyond the screen is not in the picture.
    const QRect screen = window->screen()->geometry();
    QVERIFY2(screen.contains(frame),
        qPrintable(QStringLiteral("%1 reaches beyond the screen: %2,%3 %4x%5")
                       .arg(name)
                       .arg(frame.x())
                       .arg(frame.y())
                       .arg(frame.width())
                       .arg(frame.height())));
}

void choose(QDialog *dialog, const char *list, const QString &text)
{
    auto *combo = child<QComboBox>(dialog, QString::fromLatin1(list));
    QVERIFY(combo);
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
}

} // namespace

class Screenshots : public QObject
{
    Q_OBJECT

private slots:
    void pictures()
    {
        Run run;
        QVERIFY(run.folder.isValid());
        // A fixed day, so that pictures made again differ only where the program changed.
        run.seams.today = QDate(2026, 12, 10);

        run.seams.onDialog(QStringLiteral("TFormDBChose"), [](QDialog *d) {
            picture(d, QStringLiteral("chooser"));
            auto *grid = d->findChild<QTableWidget *>(QStringLiteral("DBGridEh1"));
            QVERIFY(grid);
            const auto found = grid->findItems(QStringLiteral("软件演示帐套"), Qt::MatchExactly);
            QVERIFY(!found.isEmpty());
            grid->setCurrentCell(found.first()->row(), found.first()->column());
            trigger(d, QStringLiteral("ActionLogin"));
        });
        run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(Cashier));
        run.seams.onDialog(QStringLiteral("TFormChose"), CloseBox);
        QVERIFY(run.start());
        TFormMain *window = run.window();
        picture(window, QStringLiteral("main"));

        run.seams.onDialog(
            QStringLiteral("TFormGetPay"), [](QDialog *d) { picture(d, QStringLiteral("entry")); });
        window->action(QStringLiteral("ActionGet"))->trigger();

        window->tabs()->setCurrentWidget(window->tabPage(MainTab::Journal));
        picture(window, QStringLiteral("journal"));

        QWidget *reports = window->tabPage(MainTab::Reports);
        window->tabs()->setCurrentWidget(reports);
        run.seams.onDialog(QStringLiteral("TFormMakeReport"),
            [](QDialog *d) { child<QAbstractButton>(d, QStringLiteral("BitBtn1"))->click(); });
        trigger(reports, QStringLiteral("ActionMakeReport"));
        picture(window, QStringLiteral("reports"));

        run.seams.onDialog(QStringLiteral("TFormCake"), [](QDialog *d) {
            choose(d, "ComboBox1", QStringLiteral("按收支种类分析"));
            choose(d, "ComboBox2", QStringLiteral("饼型图"));
            picture(d, QStringLiteral("chart"));
        });
        trigger(reports, QStringLiteral("ActionCake"));

        QVERIFY2(run.seams.messages.isEmpty(), qPrintable(run.seams.messageTexts().join(QLatin1Char('\n'))));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ConfigureApplication(app);
    if (argc < 2) {
        qWarning("usage: quill_screenshots <output folder>");
        return 2;
    }
    outputFolder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outputFolder);
    Screenshots pictures;
    // QtTest reads only its own options.
    return QTest::qExec(&pictures, QStringList {QString::fromLocal8Bit(argv[0])});
}

#include "ScreenshotDriver.moc"
