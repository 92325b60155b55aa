#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <string_view>

#include "core/layout.h"
#include "platform/qt/player_language.h"
#include "platform/qt/side_window.h"

class QTextBrowser;

namespace mogumo {

// The help window F1 opens: the game's help document in a browser. When the
// document is missing, a short notice says so and the game goes on.
class HelpWindow : public SideWindow {
public:
    // The page for the player's language: Japanese for a Japanese locale,
    // English for every other (see systemLanguage()).
    static QUrl defaultUrl();
    // The page in `language`, at its contents.
    static QUrl urlFor(Language language);
    // The page for a locale name such as "ja_JP", "ja_JP.UTF-8", "en_GB" or
    // "C", at its contents.
    static QUrl urlForLocale(const QString& localeName);

    // Its own texts (the title before a page is shown, the notice) are in
    // `language`.
    explicit HelpWindow(QUrl url = defaultUrl(), Language language = systemLanguage());

    // Shows the document, or the notice when it cannot be found, over the
    // given window (the game window being played) or else where the window
    // system puts it, at `section` (an anchor of the document). Returns
    // whether the document was shown.
    bool open(const QWidget* over = nullptr, std::string_view section = kHelpContents);

    QTextBrowser* browser() const { return browser_; }
    // The notice of the last failed open, while it is up.
    QMessageBox* notice() const { return notice_; }

    // Whether the document behind a help location exists.
    static bool documentExists(const QUrl& url);

private:
    QUrl url_;
    Language language_;
    QTextBrowser* browser_;
    QPointer<QMessageBox> notice_;
};

}  // namespace mogumo
