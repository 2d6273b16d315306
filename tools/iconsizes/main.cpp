// quill-icons <output-folder>
//
// Draws the program's icon at the sizes a desktop menu asks for and writes
// <output-folder>/<n>x<n>/apps/io.quillbrook.Quillbrook.png. Exits 0 when all were written.

#include "../artgen/Painters.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: quill-icons <output-folder>\n");
        return 2;
    }
    const art::Painter paint = art::appIcon();
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QDir(args.at(1)).filePath(QStringLiteral("%1x%1/apps").arg(size));
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHints(
            QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        paint(painter, QSizeF(size, size));
        painter.end();
        if (!QDir().mkpath(folder)
            || !image.save(QDir(folder).filePath(QStringLiteral("io.quillbrook.Quillbrook.png")))) {
            std::fprintf(
                stderr, "quill-icons: cannot write the %dx%d icon into %s\n", size, size, qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
