#pragma once

#include <QIcon>

namespace mogumo {

// The game's name, version and desktop id as the installed files know them:
// the menu entry, the AppStream metadata and the icons are all named by the
// desktop id.
QString applicationVersion();
QString desktopId();

// The game's own icon at every size it is installed in (16 to 256 pixels).
QIcon applicationIcon();

// Tells Qt who we are: application name and version, the desktop entry that
// launched us (so a desktop can match our windows to the menu entry) and the
// icon that every window without one of its own shows. The icon follows once
// the first window has been painted, behind whatever else is waiting then:
// the title has an icon of its own, and decoding every size of the game's
// would hold the title back. Needs a QApplication.
void setApplicationIdentity();

}  // namespace mogumo
