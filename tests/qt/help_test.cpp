// The help: the page for the player's language, the links between the two
// pages as the viewer follows them, and the captions a player must find there.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>

#include "core/layout.h"
#include "platform/qt/help_window.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/player_language.h"
#include "ui/layouts/layouts.h"

namespace mogumo {
namespace {

const QString kJapanese = QStringLiteral("mogumo_help.html");
const QString kEnglish = QStringLiteral("mogumo_help_en.html");

QString pageOf(const QUrl& url) {
    return QFileInfo(url.path()).fileName();
}

TEST(Help, OpensInThePlayersLanguage) {
    const struct {
        const char* locale;
        const QString& page;
    } cases[] = {
        {"ja_JP.UTF-8", kJapanese}, {"ja", kJapanese}, {"ja-JP", kJapanese},
        {"en_US", kEnglish},        {"", kEnglish},    {"jv_ID", kEnglish},
    };
    for (const auto& c : cases) {
        const QUrl url = HelpWindow::urlForLocale(QString::fromLatin1(c.locale));
        EXPECT_EQ(pageOf(url), c.page) << c.locale;
        EXPECT_EQ(url.fragment(), QStringLiteral("contents")) << c.locale;
        EXPECT_TRUE(HelpWindow::documentExists(url)) << c.locale;
    }
}

// The first of the locale's variables that is set decides, LANGUAGE by its
// first entry; the game's windows follow the same choice.
TEST(Help, TheLocalesFirstSetVariableChoosesTheLanguage) {
    const char* const names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    const struct {
        const char* values[4];
        Language language;
    } cases[] = {
        {{"ja:en", "C", nullptr, "en_US.UTF-8"}, Language::Japanese},
        {{"en_GB:ja", nullptr, nullptr, "ja_JP.UTF-8"}, Language::English},
        {{"", "", "ja_JP.UTF-8", "C"}, Language::Japanese},
        {{nullptr, "C.UTF-8", "ja_JP", "ja_JP"}, Language::English},
        {{nullptr, nullptr, nullptr, "ja"}, Language::Japanese},
        {{nullptr, nullptr, nullptr, nullptr}, Language::English},
    };
    std::optional<std::string> saved[4];
    for (int i = 0; i < 4; ++i)
        if (const char* v = std::getenv(names[i]))
            saved[i] = v;
    for (const auto& c : cases) {
        for (int i = 0; i < 4; ++i) c.values[i] ? setenv(names[i], c.values[i], 1) : unsetenv(names[i]);
        EXPECT_EQ(systemLanguage(), c.language) << "case " << &c - cases;
    }
    for (int i = 0; i < 4; ++i) saved[i] ? setenv(names[i], saved[i]->c_str(), 1) : unsetenv(names[i]);
}

// Ideographic spaces are part of a caption; runs of ASCII blanks are one
// blank once a page is laid out.
QString collapsed(QString s) {
    static const QRegularExpression blanks(QStringLiteral("[ \\r\\n\\t]+"));
    return s.replace(blanks, QStringLiteral(" ")).trimmed();
}

class HelpPages : public ::testing::Test {
protected:
    void SetUp() override { initResources(); }

    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }

    // Clicks the first link to `page` in the viewer, as the player would.
    static void clickLinkTo(QTextBrowser& browser, const QString& page) {
        for (QTextBlock b = browser.document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (!f.charFormat().isAnchor() || !f.charFormat().anchorHref().startsWith(page))
                    continue;
                QTextCursor at(browser.document());
                at.setPosition(f.position() + f.length() / 2);
                browser.ensureCursorVisible();
                browser.setTextCursor(at);
                browser.ensureCursorVisible();
                const QPointF p = browser.cursorRect(at).center();
                const QPointF global = browser.viewport()->mapToGlobal(p);
                QMouseEvent press(QEvent::MouseButtonPress, p, global, Qt::LeftButton, Qt::LeftButton,
                                  Qt::NoModifier);
                QApplication::sendEvent(browser.viewport(), &press);
                QMouseEvent release(QEvent::MouseButtonRelease, p, global, Qt::LeftButton, Qt::NoButton,
                                    Qt::NoModifier);
                QApplication::sendEvent(browser.viewport(), &release);
                settle();
                return;
            }
        ADD_FAILURE() << "no link to " << page.toStdString() << " on "
                      << browser.source().toString().toStdString();
    }

    static QString read(const QString& page) {
        QFile f(QStringLiteral(":/help/") + page);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << page.toStdString();
        return QString::fromUtf8(f.readAll());
    }
};

TEST_F(HelpPages, EachLinksToTheOtherInTheViewerTitledInItsLanguage) {
    HelpWindow help(HelpWindow::urlForLocale(QStringLiteral("ja_JP")));
    ASSERT_TRUE(help.open());
    settle();
    QTextBrowser& browser = *help.browser();
    ASSERT_EQ(pageOf(browser.source()), kJapanese);

    EXPECT_EQ(help.windowTitle(), QStringLiteral("Mogumo野郎 ヘルプ"));

    clickLinkTo(browser, kEnglish);
    EXPECT_EQ(pageOf(browser.source()), kEnglish);
    EXPECT_TRUE(browser.toPlainText().contains(QStringLiteral("Glossary")));
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Mogumo野郎 help"));

    clickLinkTo(browser, kJapanese);
    EXPECT_EQ(pageOf(browser.source()), kJapanese);
    EXPECT_TRUE(browser.toPlainText().contains(QStringLiteral("目次")));
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Mogumo野郎 ヘルプ"));
    help.close();
}

// Both pages cover the same sections, among them each screen's own; the
// English one adds the glossary.
TEST_F(HelpPages, EnglishHasEverySectionOfTheJapanese) {
    static const QRegularExpression ids(QStringLiteral("id=\"([a-z]+)\""));
    QSet<QString> japanese, english;
    for (const auto& m : ids.globalMatch(read(kJapanese))) japanese.insert(m.captured(1));
    for (const auto& m : ids.globalMatch(read(kEnglish))) english.insert(m.captured(1));
    EXPECT_GE(japanese.size(), 5);
    EXPECT_TRUE(english.contains(japanese)) << "sections only in Japanese";
    EXPECT_EQ(english - japanese, QSet<QString>{QStringLiteral("glossary")});
    for (int f = 0; f < kFormCount; ++f) {
        const std::string_view section = layoutOf(static_cast<FormId>(f)).helpSection;
        EXPECT_TRUE(japanese.contains(QString::fromUtf8(section.data(), qsizetype(section.size()))))
            << "no section " << section;
    }
}

// Every button of every screen is named as the game writes it, on both pages;
// the English page also names every window the player sees.
TEST_F(HelpPages, NameEveryButtonAndWindowAsTheGameWritesThem) {
    QTextBrowser browser;
    QString text[2];
    for (int i = 0; i < 2; ++i) {
        browser.setSource(QUrl(QStringLiteral("qrc:/help/") + (i == 0 ? kJapanese : kEnglish)));
        text[i] = collapsed(browser.toPlainText());
    }
    for (int f = 0; f <= static_cast<int>(FormId::Form8); ++f) {
        const ScreenLayout& layout = layoutOf(static_cast<FormId>(f));
        if (layout.id == FormId::Form2)
            continue;  // the picture store is never shown
        const QString caption =
            collapsed(QString::fromUtf8(layout.caption.data(), qsizetype(layout.caption.size())));
        EXPECT_TRUE(text[1].contains(caption)) << "English page lacks window " << caption.toStdString();
        for (const Control& c : layout.controls) {
            if (c.kind != ControlKind::Button)
                continue;
            const QString button = collapsed(QString::fromStdString(c.text));
            for (int i = 0; i < 2; ++i)
                EXPECT_TRUE(text[i].contains(button))
                    << (i ? "English" : "Japanese") << " page lacks button " << button.toStdString();
        }
    }
}

}  // namespace
}  // namespace mogumo
