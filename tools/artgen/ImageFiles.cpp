#include "ImageFiles.h"

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QImage>
#include <QSaveFile>

namespace art {

namespace {

constexpr quint16 IcoTypeIcon = 1;
constexpr int IconDirSize = 6;
constexpr int IconDirEntrySize = 16;

QString commit(QSaveFile &file, const QString &path)
{
    if (!file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

} // namespace

QString writeBmp(const QImage &image, const QString &path)
{
    // RGB888 makes Qt's BMP writer emit plain 24-bit pixels with no alpha masks.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
    if (!rgb.save(&file, "BMP")) {
        file.cancelWriting();
        return QStringLiteral("cannot encode %1 as BMP").arg(path);
    }
    return commit(file, path);
}

QString writeIco(const QImage &image, const QString &path)
{
    if (image.width() < 1 || image.width() > 256 || image.height() < 1 || image.height() > 256)
        return QStringLiteral("%1: an icon must be 1 to 256 pixels a side").arg(path);

    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG"))
            return QStringLiteral("cannot encode %1 as PNG").arg(path);
    }

    QByteArray ico;
    {
        QDataStream out(&ico, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        // ICONDIR
        out << quint16(0) << IcoTypeIcon << quint16(1);
        // ICONDIRENTRY: a side of 256 is stored as 0
        out << quint8(image.width() & 0xff) << quint8(image.height() & 0xff) << quint8(0) // no palette
            << quint8(0) // reserved
            << quint16(1) // colour planes
            << quint16(32) // bits per pixel
            << quint32(png.size()) << quint32(IconDirSize + IconDirEntrySize);
    }
    ico += png;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
    if (file.write(ico) != ico.size()) {
        file.cancelWriting();
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    }
    return commit(file, path);
}

QImage readIcoPayload(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    if (data.size() < IconDirSize + IconDirEntrySize)
        return {};

    QDataStream in(data);
    in.setByteOrder(QDataStream::LittleEndian);
    quint16 reserved = 0, type = 0, count = 0;
    in >> reserved >> type >> count;
    if (reserved != 0 || type != IcoTypeIcon || count < 1)
        return {};
    quint8 width = 0, height = 0, colours = 0, entryReserved = 0;
    quint16 planes = 0, bits = 0;
    quint32 size = 0, offset = 0;
    in >> width >> height >> colours >> entryReserved >> planes >> bits >> size >> offset;
    if (qint64(offset) + qint64(size) > data.size())
        return {};

    QImage payload = QImage::fromData(data.mid(offset, size), "PNG");
    const int expectedWidth = width == 0 ? 256 : width;
    const int expectedHeight = height == 0 ? 256 : height;
    if (payload.width() != expectedWidth || payload.height() != expectedHeight)
        return {};
    return payload;
}

} // namespace art
