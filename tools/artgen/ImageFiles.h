#pragma once

#include <QString>

class QImage;

namespace art {

// Both writers replace the file atomically and return an empty string on success,
// otherwise a message naming the file.

// 24-bit BMP: the image is flattened to RGB first, so it must already have its background.
QString writeBmp(const QImage &image, const QString &path);

// One-entry ICO whose payload is the image as a 32-bit PNG. Written by hand so that no
// ico image plugin is needed to produce it.
QString writeIco(const QImage &image, const QString &path);

// Reads an ICO written by writeIco without any ico plugin: returns the PNG payload decoded,
// or a null image when the container is malformed.
QImage readIcoPayload(const QString &path);

} // namespace art
