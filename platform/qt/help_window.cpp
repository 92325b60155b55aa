#include "platform/qt/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/qt/font_map.h"
#include "platform/qt/picture_cache.h"

namespace mogumo {

HelpWindow::HelpWindow(QUrl url) : QWidget(nullptr), url_(std::move(url)), browser_(new QTextBrowser(this)) {
    initResources();
    setWindowTitle(QStringLiteral("Mogumo ヘルプ"));
    resize(640, 520);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setFont(FontMap::fontFor(std::nullopt, std::nullopt));
    browser_->setOpenExternalLinks(false);
}

bool HelpWindow::documentExists(const QUrl& url) {
    if (url.scheme() == QLatin1String("qrc"))
        return QFile::exists(QLatin1Char(':') + url.path());
    if (url.isLocalFile())
        return QFileInfo(url.toLocalFile()).isFile();
    return false;
}

bool HelpWindow::open() {
    if (!documentExists(url_)) {
        const QString name = QFileInfo(url_.path()).fileName();
        if (!notice_) {
            notice_ = new QMessageBox(QMessageBox::Information, QStringLiteral("Mogumo ヘルプ"),
                                      QStringLiteral("ヘルプの文書 %1 が見つかりません。").arg(name),
                                      QMessageBox::Ok);
            notice_->setAttribute(Qt::WA_DeleteOnClose);
        }
        // Not modal: the game's timers keep running behind the notice.
        notice_->show();
        notice_->raise();
        return false;
    }
    browser_->setSource(url_);
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace mogumo
