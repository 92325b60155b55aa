#pragma once

#include <QLabel>
#include <QWidget>
#include <array>
#include <optional>

#include "platform/qt/side_window.h"
#include "script/book_keeper.h"
#include "script/book_texts.h"
#include "ui/texts/english.h"

namespace mogumo {

class PictureCache;

// The catch book on screen, in the battle screen's colours and fonts: the
// totals at the top, then the 41 creatures in catalogue order, each landed
// one with its name, count and records, each never landed as ？？？. The
// rows a game has just changed are marked. F2 and Esc put it away.
class CatchBookWindow : public SideWindow {
public:
    // Its texts are shown in `language`.
    CatchBookWindow(const PictureCache& pictures, Language language = Language::Japanese);

    // Shows `book` (marking the rows of `news`) over the given window, or
    // where the window system puts it.
    void open(const book::CatchBook& book, const std::optional<book::News>& news = std::nullopt,
              const QWidget* over = nullptr);

    // What the window shows, for checks.
    QString totalsText() const { return totals_->text(); }
    QString rowText(int species) const;
    bool rowMarked(int species) const;

private:
    struct Row {
        QWidget* box = nullptr;
        QLabel* picture = nullptr;
        QLabel* name = nullptr;
        QLabel* records = nullptr;
        bool marked = false;
    };
    void fill(const book::CatchBook& book, const std::optional<book::News>& news);

    const PictureCache& pictures_;
    Language language_;
    QLabel* totals_;
    std::array<Row, kSpecies.size()> rows_{};
};

}  // namespace mogumo
