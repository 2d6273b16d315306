// quill-art <output-folder>
//
// Draws every picture the program loads from its Res folder and writes them to
// <output-folder>/Res, replacing earlier output. Exits 0 when all were written and read back,
// otherwise 1 (2 for a wrong command line) with the reasons on stderr.

#include "ImageFiles.h"
#include "Painters.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSize>
#include <QStringList>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

using namespace art;

struct Picture {
    const char *file;
    QSize size;
    Painter paint;
};

std::vector<Picture> pictures()
{
    using glyphs::Badge;
    const QSize book(72, 72);
    const QSize icon(32, 32);
    const QSize formBanner(420, 60);

    enum class Flow { Income, Expense };
    const auto entryBanner = [](const char *caption, Flow flow, Glyph document, Badge badge) {
        const Tone &tone = flow == Flow::Income ? tones::green : tones::red;
        const Tone &accent = flow == Flow::Income ? tones::gold : tones::orange;
        return banner(
            QString::fromUtf8(caption), tone, accent, glyphs::withBadge(std::move(document), badge, accent));
    };

    return {
        {"CompanyAccount.bmp", book, bookPicture({BookKind::Bank, BookKind::Cash})},
        {"CompanyAccount2.bmp", book, bookPicture({BookKind::Bank})},
        {"CompanyAccount3.bmp", book, bookPicture({BookKind::Cash})},
        {"EmptyAccount.bmp", book, bookPicture({BookKind::Empty})},

        {"Money-.ico", icon, balanceIcon(Balance::Negative)},
        {"Money0.ico", icon, balanceIcon(Balance::Zero)},
        {"Yellow+.ico", icon, wealthIcon(tones::gold, 1)},
        {"Yellow++.ico", icon, wealthIcon(tones::gold, 2)},
        {"Yellow+++.ico", icon, wealthIcon(tones::gold, 3)},
        {"Purple+.ico", icon, wealthIcon(tones::purple, 1)},
        {"Purple++.ico", icon, wealthIcon(tones::purple, 2)},
        {"Purple+++.ico", icon, wealthIcon(tones::purple, 3)},

        {"NewGet.bmp", formBanner, entryBanner("新增财务收入单", Flow::Income, glyphs::voucher, Badge::New)},
        {"EditGet.bmp", formBanner,
            entryBanner("修改财务收入单", Flow::Income, glyphs::voucher, Badge::Edit)},
        {"NewPay.bmp", formBanner, entryBanner("新增财务支出单", Flow::Expense, glyphs::voucher, Badge::New)},
        {"EditPay.bmp", formBanner,
            entryBanner("修改财务支出单", Flow::Expense, glyphs::voucher, Badge::Edit)},
        {"NewGet2.bmp", formBanner,
            entryBanner("新增应收款记录", Flow::Income, glyphs::calendar, Badge::New)},
        {"EditGet2.bmp", formBanner,
            entryBanner("修改应收款记录", Flow::Income, glyphs::calendar, Badge::Edit)},
        {"NewPay2.bmp", formBanner,
            entryBanner("新增应付款记录", Flow::Expense, glyphs::calendar, Badge::New)},
        {"EditPay2.bmp", formBanner,
            entryBanner("修改应付款记录", Flow::Expense, glyphs::calendar, Badge::Edit)},

        {"LeftBar.bmp", QSize(16, 540), sideBar(Arrow::Left)},
        {"RightBar.bmp", QSize(16, 540), sideBar(Arrow::Right)},
        {"LeftBar2.bmp", QSize(16, 710), sideBar(Arrow::Left)},
        {"RightBar2.bmp", QSize(16, 710), sideBar(Arrow::Right)},
        {"LeftBar3.bmp", QSize(16, 810), sideBar(Arrow::Left)},
        {"RightBar3.bmp", QSize(16, 810), sideBar(Arrow::Right)},

        {"YellowTower.ico", icon, tileIcon(tones::gold, glyphs::bank)},
        {"Customer.ico", icon, tileIcon(tones::blue, glyphs::customers)},
        {"Man.ico", icon, tileIcon(tones::teal, glyphs::salesman)},
        {"Reason.ico", icon, tileIcon(tones::orange, glyphs::tag)},
        {"Type.ico", icon, tileIcon(tones::green, glyphs::categories)},
        {"Token.ico", icon, tileIcon(tones::indigo, glyphs::voucher)},

        {"NoAccount.bmp", QSize(160, 120), emptyState(QStringLiteral("暂无帐户"))},
        {"DBChose.bmp", QSize(480, 64),
            banner(QStringLiteral("帐套选择"), tones::brand, tones::gold, glyphs::database)},
        {"Login.bmp", QSize(400, 64),
            banner(QStringLiteral("翎溪记帐财务软件"), tones::brand, tones::gold, glyphs::logo)},
        {"Quillbrook.ico", QSize(48, 48), appIcon()},
    };
}

void fail(const QString &message)
{
    std::fprintf(stderr, "quill-art: %s\n", qPrintable(message));
}

// Captions need a CJK font; fontconfig normally finds it, the path is a fallback for
// environments where it is installed but not registered.
bool ensureCaptionFont()
{
    const QString family = QString::fromLatin1(CaptionFamily);
    if (QFontDatabase::families().contains(family))
        return true;
    QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"));
    return QFontDatabase::families().contains(family);
}

QImage render(const Picture &picture, bool icon)
{
    QImage image(picture.size, icon ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.fill(icon ? Qt::transparent : Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    picture.paint(painter, QSizeF(picture.size));
    painter.end();
    return image;
}

// Reads the written file back the way the program will. Without an ico reader in this Qt,
// icons are checked through their PNG payload instead.
QString checkReadable(const QString &path, const QSize &size, bool icon, bool icoReaderPresent)
{
    QImage back(path);
    if (back.isNull() && icon && !icoReaderPresent)
        back = readIcoPayload(path);
    if (back.isNull())
        return QStringLiteral("%1 was written but cannot be read back").arg(path);
    if (back.size() != size)
        return QStringLiteral("%1 reads back as %2x%3, expected %4x%5")
            .arg(path)
            .arg(back.width())
            .arg(back.height())
            .arg(size.width())
            .arg(size.height());
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2 || args.at(1).isEmpty()) {
        std::fprintf(stderr,
            "usage: quill-art <output-folder>\n"
            "Writes the program's pictures into <output-folder>/Res.\n");
        return 2;
    }

    const QString resDir = QDir(args.at(1)).filePath(QStringLiteral("Res"));
    if (!QDir().mkpath(resDir)) {
        fail(QStringLiteral("cannot create folder %1").arg(resDir));
        return 1;
    }

    if (!ensureCaptionFont())
        fail(QStringLiteral("warning: font \"%1\" not found; captions use a fallback font")
                 .arg(QString::fromLatin1(CaptionFamily)));

    const bool icoReaderPresent = QImageReader::supportedImageFormats().contains("ico");
    int failures = 0;
    int written = 0;
    for (const Picture &picture : pictures()) {
        const QString name = QString::fromUtf8(picture.file);
        const QString path = QDir(resDir).filePath(name);
        const bool icon = name.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive);
        const QImage image = render(picture, icon);
        QString error = icon ? writeIco(image, path) : writeBmp(image, path);
        if (error.isEmpty())
            error = checkReadable(path, picture.size, icon, icoReaderPresent);
        if (!error.isEmpty()) {
            fail(error);
            ++failures;
            continue;
        }
        ++written;
    }

    if (failures > 0) {
        fail(QStringLiteral("%1 of %2 pictures failed").arg(failures).arg(failures + written));
        return 1;
    }
    std::printf("quill-art: wrote %d pictures to %s%s\n", written,
        qPrintable(QDir::toNativeSeparators(QFileInfo(resDir).absoluteFilePath())),
        icoReaderPresent ? "" : " (no ico reader in this Qt: icons checked by payload)");
    return 0;
}
