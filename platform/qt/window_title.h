#pragma once

namespace mogumo {

// Keeps the legacy WM_NAME of every top-level window of the application (the
// game's, the help, the book, message boxes) readable in every locale.
// Qt writes WM_NAME in the encoding of the locale the game was started in:
// under LANG=C, or a locale that is not installed, a Japanese caption turns
// into Latin-1 mojibake there, although _NET_WM_NAME holds it right. Window
// lists that read only the old property, and `xdotool search --name`, then
// never find the window. On X11 this writes WM_NAME again, after Qt, as
// UTF8_STRING whenever the window is shown or retitled; elsewhere, and in a
// build without xcb, it does nothing. Call it once the QApplication exists.
void keepLegacyTitlesReadable();

}  // namespace mogumo
