#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace mogumo {

// The help window F1 opens: the game's help document in a browser. When the
// document is missing, a short notice says so and the game goes on.
class HelpWindow : public QWidget {
public:
    static QUrl defaultUrl() { return QUrl(QStringLiteral("qrc:/help/mogumo_help.html#contents")); }

    explicit HelpWindow(QUrl url = defaultUrl());

    // Shows the document, or the notice when it cannot be found. Returns
    // whether the document was shown.
    bool open();

    QTextBrowser* browser() const { return browser_; }
    // The notice of the last failed open, while it is up.
    QMessageBox* notice() const { return notice_; }

    // Whether the document behind a help location exists.
    static bool documentExists(const QUrl& url);

private:
    QUrl url_;
    QTextBrowser* browser_;
    QPointer<QMessageBox> notice_;
};

}  // namespace mogumo
