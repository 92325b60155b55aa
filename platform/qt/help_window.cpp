#include "platform/qt/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/qt/font_map.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/screen_painter.h"

namespace mogumo {

HelpWindow::HelpWindow(QUrl url, Language language)
    : url_(std::move(url)), language_(language), browser_(new QTextBrowser(this)) {
    initResources();
    setWindowTitle(qText("Mogumo ヘルプ", language_));
    resize(640, 520);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setFont(FontMap::fontFor(std::nullopt, std::nullopt));
    browser_->setOpenExternalLinks(false);
    // Titled as the page it shows, in that page's language, also after a
    // link to the other one.
    QObject::connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        if (const QString title = browser_->documentTitle(); !title.isEmpty())
            setWindowTitle(title);
    });
}

QUrl HelpWindow::defaultUrl() {
    return urlFor(systemLanguage());
}

QUrl HelpWindow::urlForLocale(const QString& localeName) {
    return urlFor(languageOfLocale(localeName.toStdString()));
}

QUrl HelpWindow::urlFor(Language language) {
    return QUrl(language == Language::Japanese ? QStringLiteral("qrc:/help/mogumo_help.html#contents")
                                               : QStringLiteral("qrc:/help/mogumo_help_en.html#contents"));
}

bool HelpWindow::documentExists(const QUrl& url) {
    if (url.scheme() == QLatin1String("qrc"))
        return QFile::exists(QLatin1Char(':') + url.path());
    if (url.isLocalFile())
        return QFileInfo(url.toLocalFile()).isFile();
    return false;
}

bool HelpWindow::open(const QWidget* over, std::string_view section) {
    if (!documentExists(url_)) {
        const QString name = QFileInfo(url_.path()).fileName();
        if (!notice_) {
            notice_ = new QMessageBox(
                QMessageBox::Information, qText("Mogumo ヘルプ", language_),
                qText("ヘルプの文書 " + name.toStdString() + " が見つかりません。", language_),
                QMessageBox::Ok);
            notice_->setAttribute(Qt::WA_DeleteOnClose);
        }
        // Not modal: the game's timers keep running behind the notice.
        notice_->adjustSize();
        placeOver(*notice_, over);
        notice_->show();
        notice_->raise();
        return false;
    }
    QUrl at = url_;
    at.setFragment(QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())));
    browser_->setSource(at);
    showOver(over);
    return true;
}

}  // namespace mogumo
