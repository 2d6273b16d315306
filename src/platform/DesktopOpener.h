#pragma once

// The desktop opens files and web addresses through xdg-open; a desktop without it opens nothing,
// so a failed open can say why.

#include <QString>

namespace Platform {

inline constexpr const char *DesktopOpener = "xdg-open";

// True when xdg-open is on the PATH.
bool DesktopOpenerFound();

} // namespace Platform
