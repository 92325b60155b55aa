#include "platform/qt/catch_book_window.h"

#include <QGridLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "platform/qt/font_map.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/screen_painter.h"

namespace mogumo {

namespace {

// The battle screen's look: its cyan water, the pale blue of its labels, the
// dark red of its marks, its 9-point gothic.
const QColor kWater(0, 192, 192);
const QColor kLabel(192, 192, 255);
const QColor kNews(255, 255, 192);
const QColor kMark(192, 0, 0);
constexpr Font kFace{"ＭＳ ゴシック", 9.0f};
constexpr Font kTitleFace{"ＭＳ ゴシック", 12.0f, true};
constexpr int kRowHeight = 40;

void paintWith(QWidget& w, const QColor& back) {
    QPalette p = w.palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::WindowText, Qt::black);
    w.setPalette(p);
    w.setAutoFillBackground(true);
}

}  // namespace

CatchBookWindow::CatchBookWindow(const PictureCache& pictures, Language language)
    : SideWindow(Qt::Key_F2), pictures_(pictures), language_(language), totals_(new QLabel) {
    setWindowTitle(qText("釣果帳 (F2で閉じる)", language_));
    paintWith(*this, kWater);
    setFont(FontMap::toQFont(kFace, devicePixelRatioF()));

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(qText("釣果帳", language_));
    title->setFont(FontMap::toQFont(kTitleFace, devicePixelRatioF()));
    layout->addWidget(title);
    totals_->setFrameStyle(QFrame::Box | QFrame::Plain);
    totals_->setMargin(4);
    paintWith(*totals_, kLabel);
    layout->addWidget(totals_);

    auto* list = new QWidget;
    paintWith(*list, kWater);
    auto* grid = new QVBoxLayout(list);
    grid->setSpacing(2);
    for (size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        row.box = new QWidget;
        row.box->setFixedHeight(kRowHeight);
        auto* line = new QHBoxLayout(row.box);
        line->setContentsMargins(4, 0, 4, 0);
        auto* number = new QLabel(QStringLiteral("%1").arg(i + 1, 2));
        row.picture = new QLabel;
        row.picture->setFixedSize(48, 36);
        row.name = new QLabel;
        row.name->setFixedWidth(150);
        row.records = new QLabel;
        line->addWidget(number);
        line->addWidget(row.picture);
        line->addWidget(row.name);
        line->addWidget(row.records, 1);
        grid->addWidget(row.box);
    }
    auto* scroll = new QScrollArea;
    scroll->setWidget(list);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(scroll, 1);
    resize(620, 520);
}

void CatchBookWindow::open(const book::CatchBook& book, const std::optional<book::News>& news,
                           const QWidget* over) {
    fill(book, news);
    showOver(over);
    setFocus();
}

void CatchBookWindow::fill(const book::CatchBook& book, const std::optional<book::News>& news) {
    const book::BookTexts texts = book::bookTexts(book, language_);
    std::string totals;
    for (const std::string& line : texts.totals) totals += (totals.empty() ? "" : "\n") + line;
    totals_->setText(QString::fromStdString(totals) + (news && (news->bestGame || news->heaviestEver)
                                                           ? qText("\n★ 記録を更新しました！", language_)
                                                           : QString()));

    // The fish as the battle screen shows it, scaled once, pixels kept sharp.
    const QPixmap* picture = pictures_.pixmap("fish_calm");
    const QPixmap fish = picture ? picture->scaled(rows_[0].picture->size(), Qt::KeepAspectRatio) : QPixmap();
    for (size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        row.marked = news && news->rows[i];
        paintWith(*row.box, row.marked ? kNews : kWater);
        const book::BookTexts::Row& text = texts.rows[i];
        if (!text.landed) {
            row.picture->clear();
            row.name->setText(QString::fromStdString(text.name));
            row.records->clear();
            continue;
        }
        row.picture->setPixmap(fish);
        row.name->setText(
            (row.marked ? QStringLiteral("<span style='color:%1'>★</span>").arg(kMark.name()) : QString()) +
            QString::fromStdString(text.name));
        row.records->setText(QString::fromStdString(text.records[0] + "<br>" + text.records[1]));
    }
}

QString CatchBookWindow::rowText(int species) const {
    const Row& row = rows_.at(static_cast<size_t>(species));
    return row.name->text() + QLatin1Char(' ') + row.records->text();
}

bool CatchBookWindow::rowMarked(int species) const {
    return rows_.at(static_cast<size_t>(species)).marked;
}

}  // namespace mogumo
