#include "platform/qt/screen_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "core/keys.h"
#include "core/screen.h"
#include "platform/qt/font_map.h"
#include "platform/qt/game_button.h"
#include "platform/qt/picture_box_widget.h"
#include "platform/qt/picture_cache.h"
#include "platform/qt/progress_widget.h"
#include "platform/qt/status_box_widget.h"
#include "platform/qt/window_placement.h"

namespace mogumo {

namespace {

// Keys a focused child uses itself; the rest go straight to the screen.
bool childKeepsKey(const QObject* child, int code) {
    return controlKeepsKey(
        qobject_cast<const QPlainTextEdit*>(child) ? ControlKind::TextBox : ControlKind::Button, code);
}

}  // namespace

ScreenWindow::ScreenWindow(const Screen& screen, const PictureCache& pictures, Callbacks callbacks,
                           Language language)
    : QWidget(nullptr),
      screen_(&screen),
      form_(screen.id()),
      instance_(screen.instance()),
      painter_(pictures, language),
      callbacks_(std::move(callbacks)) {
    const ScreenLayout& layout = screen.layout();
    setWindowTitle(qText(std::string(layout.caption), language));
    // The battle splash is only looked at, and a disabled screen takes no
    // input: the window system must not hand them the keys the screen being
    // played needs, not even on a click. Flags go first: changing them on the
    // widget later forgets where the window was placed.
    if (refusesFocus(form_, screen.enabled()))
        setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    // The client area lands where the layout puts it; X11 places a top-level
    // widget's geometry without its frame.
    const QRect client = WindowPlacement::laidOutClient(form_);
    setGeometry(client);
    setFixedSize(client.size());
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (const QPixmap* icon = pictures.pixmap(layout.icon))
        setWindowIcon(QIcon(*icon));
    setFont(FontMap::fontFor(std::nullopt, layout.screenFont, devicePixelRatioF()));
    setFocusPolicy(keysDrivePlay(form_) ? Qt::StrongFocus : Qt::NoFocus);
    createChildren();
    sync();
}

ScreenWindow::~ScreenWindow() = default;

void ScreenWindow::createChildren() {
    const auto& controls = screen_->controls();
    const std::optional<Font>& screenFont = screen_->layout().screenFont;
    const bool noFocus = keysDrivePlay(form_);
    // Created back to front, so the front-most child ends on top.
    for (size_t i = controls.size(); i-- > 0;) {
        const Control& c = controls[i];
        if (c.isWindowless() || c.isTimer())
            continue;
        QWidget* w = nullptr;
        switch (c.kind) {
            case ControlKind::Button: {
                auto* b = new GameButton(this);
                const size_t index = i;
                connect(b, &QPushButton::clicked, this, [this, index] {
                    if (screen_ && callbacks_.click)
                        callbacks_.click(*this, screen_->controls()[index]);
                });
                w = b;
                break;
            }
            case ControlKind::TextBox: {
                if (!c.enabled) {
                    w = new StatusBoxWidget(this, c.multiLine);
                    break;
                }
                auto* t = new QPlainTextEdit(this);
                t->setReadOnly(true);
                t->setLineWrapMode(c.multiLine ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
                t->setVerticalScrollBarPolicy(c.scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
                t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                t->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
                t->setTabChangesFocus(true);
                // The game rewrites some boxes every step: keep no undo history.
                t->document()->setUndoRedoEnabled(false);
                // A disabled text box still shows its text in the normal colour.
                QPalette pal = t->palette();
                pal.setColor(QPalette::Disabled, QPalette::Text, pal.color(QPalette::Active, QPalette::Text));
                pal.setColor(QPalette::Disabled, QPalette::Base, pal.color(QPalette::Active, QPalette::Base));
                t->setPalette(pal);
                w = t;
                break;
            }
            case ControlKind::PictureBox: w = new PictureBoxWidget(painter_, this); break;
            case ControlKind::ProgressBar: w = new ProgressWidget(this); break;
            default: break;
        }
        if (!w)
            continue;
        w->setFont(FontMap::fontFor(c.font, screenFont, devicePixelRatioF()));
        if (noFocus || c.kind == ControlKind::PictureBox || c.kind == ControlKind::ProgressBar)
            w->setFocusPolicy(Qt::NoFocus);
        else
            w->setFocusPolicy(Qt::StrongFocus);
        w->installEventFilter(this);
        children_.push_back({i, w, {}});
    }
    // Tab order as the layout numbers it.
    std::vector<const Child*> tabbed;
    for (const Child& ch : children_)
        if (controls[ch.index].tabOrder >= 0)
            tabbed.push_back(&ch);
    std::sort(tabbed.begin(), tabbed.end(), [&](const Child* a, const Child* b) {
        return controls[a->index].tabOrder < controls[b->index].tabOrder;
    });
    for (size_t k = 1; k < tabbed.size(); ++k) setTabOrder(tabbed[k - 1]->widget, tabbed[k]->widget);
}

void ScreenWindow::sync() {
    if (!screen_)
        return;
    if (isEnabled() != screen_->enabled())
        setEnabled(screen_->enabled());

    const auto& controls = screen_->controls();
    const bool first = painted_.empty();
    if (first)
        painted_.resize(controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (!c.isWindowless() || !c.container.empty())
            continue;
        if (first) {
            painted_[i] = c;
            continue;
        }
        if (ScreenPainter::samePaint(painted_[i], c))
            continue;
        update(ScreenPainter::bounds(painted_[i]).united(ScreenPainter::bounds(c)));
        painted_[i] = c;
    }
    if (first)
        update();

    const auto& drawings = screen_->drawings();
    if (drawings.size() < drawingsPainted_) {
        update();
    } else {
        for (size_t k = drawingsPainted_; k < drawings.size(); ++k)
            update(ScreenPainter::rectOf(drawings[k]).adjusted(-1, -1, 1, 1));
    }
    drawingsPainted_ = drawings.size();

    for (Child& ch : children_) syncChild(ch, controls[ch.index]);
}

void ScreenWindow::syncChild(Child& child, const Control& c) {
    QWidget* w = child.widget;
    const QRect r = ScreenPainter::rectOf(c);
    if (w->geometry() != r)
        w->setGeometry(r);
    if (w->isHidden() == c.visible)
        w->setVisible(c.visible);
    if (w->isEnabled() != c.enabled) {
        w->setEnabled(c.enabled);
        // Disabled text boxes never take the focus.
        if (c.kind == ControlKind::TextBox && !keysDrivePlay(form_))
            w->setFocusPolicy(c.enabled ? Qt::StrongFocus : Qt::NoFocus);
    }
    switch (c.kind) {
        case ControlKind::Button: {
            // Compared as the game wrote it: a caption is put into words only
            // when it changes.
            if (child.text == c.text)
                break;
            child.text = c.text;
            static_cast<QPushButton*>(w)->setText(qText(c.text, painter_.language()));
            break;
        }
        case ControlKind::TextBox: {
            if (child.text == c.text)
                break;
            child.text = c.text;
            const QString text = qText(c.text, painter_.language());
            if (auto* box = dynamic_cast<StatusBoxWidget*>(w)) {
                box->setText(text, FontMap::lentLetters(text, box->font(), devicePixelRatioF()));
                break;
            }
            auto* t = static_cast<QPlainTextEdit*>(w);
            t->setPlainText(text);
            // Letters the box's font cannot draw legibly come from another.
            QTextCursor cursor(t->document());
            for (const QTextLayout::FormatRange& run :
                 FontMap::lentLetters(text, t->font(), devicePixelRatioF())) {
                cursor.setPosition(run.start);
                cursor.setPosition(run.start + run.length, QTextCursor::KeepAnchor);
                cursor.mergeCharFormat(run.format);
            }
            break;
        }
        case ControlKind::PictureBox: {
            std::vector<const Control*> inside;
            for (const Control& other : screen_->controls())
                if (other.container == c.name)
                    inside.push_back(&other);
            static_cast<PictureBoxWidget*>(w)->sync(c, inside);
            break;
        }
        case ControlKind::ProgressBar: {
            auto* p = static_cast<ProgressWidget*>(w);
            p->setRange(c.min, c.max);
            p->setValue(c.value);
            break;
        }
        default: break;
    }
}

void ScreenWindow::focusAtOpen() {
    if (!screen_)
        return;
    // The control that can take the focus with the lowest tab order.
    const Child* first = nullptr;
    for (const Child& ch : children_) {
        const Control& c = screen_->controls()[ch.index];
        if (c.tabOrder < 0 || !c.enabled || !c.visible || ch.widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (!first || c.tabOrder < screen_->controls()[first->index].tabOrder)
            first = &ch;
    }
    if (first)
        first->widget->setFocus(Qt::OtherFocusReason);
    else if (keysDrivePlay(form_))
        setFocus(Qt::OtherFocusReason);
}

bool ScreenWindow::refusesFocus(FormId form, bool enabled) {
    return !takesKeys(form) || !enabled;
}

void ScreenWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange)
        return;
    const bool refuse = refusesFocus(form_, isEnabled());
    if (bool(windowFlags() & Qt::WindowDoesNotAcceptFocus) == refuse)
        return;
    // Told to the window as it stands, so that it stays where it is.
    const Qt::WindowFlags flags = windowFlags().setFlag(Qt::WindowDoesNotAcceptFocus, refuse);
    overrideWindowFlags(flags);
    if (QWindow* handle = windowHandle())
        handle->setFlags(flags);
}

void ScreenWindow::detach() {
    // Still on the screen: the windows that replace it are not painted yet.
    screen_ = nullptr;
}

void ScreenWindow::whenFirstPainted(std::function<void()> then) {
    firstPainted_ = std::move(then);
}

QWidget* ScreenWindow::widgetOf(std::string_view name, int index) const {
    if (!screen_)
        return nullptr;
    for (const Child& ch : children_) {
        const Control& c = screen_->controls()[ch.index];
        if (c.name == name && c.index == index)
            return ch.widget;
    }
    return nullptr;
}

void ScreenWindow::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const auto& layout = screen_ ? screen_->layout() : layoutOf(form_);
    const QColor background = ScreenPainter::colour(layout.background.value_or(ScreenPainter::kButtonFace));
    if (screen_)
        painter_.paint(p, *screen_, event->region(), background);
    else
        for (const QRect& r : event->region()) p.fillRect(r, background);
    if (!paintedOnce_) {
        paintedOnce_ = true;
        // Once the picture has gone out to the window system.
        if (firstPainted_)
            QTimer::singleShot(0, this, firstPainted_);
    }
}

void ScreenWindow::deliverKey(QKeyEvent* event) {
    const KeyMap::Mapped m = KeyMap::map(*event);
    event->accept();
    if (m.action == KeyMap::Action::None || !screen_ || !callbacks_.key)
        return;
    if (!isEnabled() || !isVisible())
        return;
    callbacks_.key(*this, m.action, m.code);
}

void ScreenWindow::keyPressEvent(QKeyEvent* event) {
    if (KeyMap::virtualKey(event->key()) < 0)
        return QWidget::keyPressEvent(event);
    deliverKey(event);
}

void ScreenWindow::keyReleaseEvent(QKeyEvent* event) {
    if (KeyMap::virtualKey(event->key()) < 0)
        return QWidget::keyReleaseEvent(event);
    deliverKey(event);
}

bool ScreenWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const int code = KeyMap::virtualKey(key->key());
    // A focused button must not swallow the game's keys (F1 above all). Keys
    // the child uses itself stay with it and reach the window only when the
    // child passes them on.
    if (code < 0 || childKeepsKey(watched, code))
        return false;
    deliverKey(key);
    return true;
}

void ScreenWindow::closeEvent(QCloseEvent* event) {
    // The close box ends the game; the host takes the windows down.
    event->ignore();
    if (screen_ && callbacks_.close)
        callbacks_.close(*this);
}

}  // namespace mogumo
