#include "platform/DesktopOpener.h"

#include <QStandardPaths>

namespace Platform {

bool DesktopOpenerFound()
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(DesktopOpener)).isEmpty();
}

} // namespace Platform
