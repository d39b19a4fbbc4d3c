#include "platform/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "platform/Events.h"

namespace platform {

namespace {

double LogicalDpi() {
    if (auto* screen = QGuiApplication::primaryScreen()) {
        return screen->logicalDotsPerInchX();
    }
    return 96.0;
}

QCursor CursorFor(int pointer, const QCursor& custom) {
    switch (pointer) {
        case pointer::Hourglass:
            return QCursor(Qt::WaitCursor);
        case pointer::Custom:
            return custom;
        default:
            return QCursor(Qt::ArrowCursor);
    }
}

int ShiftOf(Qt::KeyboardModifiers m) {
    int s = 0;
    if (m & Qt::ShiftModifier)
        s |= 1;
    if (m & Qt::ControlModifier)
        s |= 2;
    if (m & Qt::AltModifier)
        s |= 4;
    return s;
}

int ButtonOf(Qt::MouseButtons b) {
    int r = 0;
    if (b & Qt::LeftButton)
        r |= 1;
    if (b & Qt::RightButton)
        r |= 2;
    if (b & Qt::MiddleButton)
        r |= 4;
    return r;
}

// The height of one row of menu titles in this bar's font and style, whatever its
// titles hold: a title with line breaks, or more titles than fit, never grows it.
int MenuBarHeight(const QMenuBar& bar) {
    QMenuBar probe;
    probe.setStyle(bar.style());
    probe.setFont(bar.font());
    probe.addAction(QStringLiteral("X"));
    return probe.sizeHint().height();
}

// "C:/": a drive's root, whose separator belongs to its name.
bool IsDriveRoot(const QString& path) {
#ifdef _WIN32
    return path.size() == 3 && path[1] == QLatin1Char(':');
#else
    (void)path;
    return false;
#endif
}

// The local files a drag carries, in its order; links to elsewhere are left out,
// and so is a path whose bytes a string cannot hold (a name that is not valid
// UTF-8): its stand-in would name another file, or none. An address with a query
// or a fragment is left out too: a local name never has one, so it comes from a
// name its source did not escape ("notes#2"), and the rest names another file.
// So is a path holding NUL: the system would read it only up to the NUL. The
// local items left out are counted in Unnamed.
DataObject LocalFilesOf(const QDropEvent& event) {
    DataObject items;
    if (const QMimeData* data = event.mimeData()) {
        for (const QUrl& url : data->urls()) {
            if (!url.isLocalFile())
                continue;
#ifndef _WIN32
            if (!url.host().isEmpty())
                continue;  // a file of another machine
#endif
            QString path = url.toLocalFile();
            bool named = !url.hasQuery() && !url.hasFragment() && !path.contains(QChar(0));
#ifndef _WIN32
            named = named &&
                    QFile::encodeName(path) ==
                        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
#endif
            if (!named) {
                ++items.Unnamed;
                continue;
            }
            // A trailing separator is no part of a name, whatever stands before it:
            // "tree/" and "tree:/" are the folders "tree" and "tree:", which the
            // folder wipe can then give new names and remove. Only a root keeps it.
            while (path.size() > 1 && path.endsWith(QLatin1Char('/')) && !IsDriveRoot(path))
                path.chop(1);
            items.Files << QDir::toNativeSeparators(path);
        }
    }
    return items;
}

// A drag of files is taken as a copy, whatever the source proposed: a source
// told "moved" deletes its original, and the original is what the user wants
// destroyed by the wipe, not by the source before the question is answered.
bool AcceptAsCopy(QDropEvent* event) {
    if ((event->possibleActions() & Qt::CopyAction) && !LocalFilesOf(*event).Files.isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return true;
    }
    event->ignore();
    return false;
}

// Accepts the drop and runs the handler after the drop event has returned, so a
// long run never holds the source waiting for the end of its drag.
void DeliverDrop(QDropEvent* event, std::function<void(const DataObject&, int)> handler) {
    if (!AcceptAsCopy(event) || !handler)
        return;
    DataObject data = LocalFilesOf(*event);
    const int effects =
        static_cast<int>(event->possibleActions()) & (effect::Copy | effect::Move | effect::Link);
    QTimer::singleShot(0, qApp, [handler = std::move(handler), data = std::move(data), effects] {
        handler(data, effects);
    });
}

}  // namespace

int TwipsToPixels(int twips) {
    return static_cast<int>(std::lround(twips * LogicalDpi() / 1440.0));
}

int PixelsToTwips(int pixels) {
    return static_cast<int>(std::lround(pixels * 1440.0 / LogicalDpi()));
}

QColor ColorFromBgr(unsigned bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QColor QBColor(int index) {
    static const unsigned rgb[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                     0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                     0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    // The palette is given as BGR: index 1 is dark blue.
    return ColorFromBgr(rgb[std::clamp(index, 0, 15)]);
}

QFont FontSpec::ToQFont() const {
    QFont f(name);
    f.setPointSizeF(size);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    return f;
}

int KeyAsciiOf(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Escape) {
        return 27;
    }
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
        return 13;
    }
    if (event.key() == Qt::Key_Backspace) {
        return 8;
    }
    const QString t = event.text();
    if (t.size() == 1 && t.at(0).unicode() >= 32) {
        return t.at(0).unicode();
    }
    return 0;
}

// The window of a form: hands keys, the close box and drops to the form.
class FormWindow : public QWidget {
  public:
    explicit FormWindow(Form& form) : form_(form) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Keys reach the form only when no control has the focus.
        QWidget* focus = focusWidget();
        int key = KeyAsciiOf(*event);
        if (key != 0 && (focus == nullptr || focus == this)) {
            form_.Form_KeyPress(key);
            event->accept();
            return;
        }
        QWidget::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        // A close that comes after the form was unloaded (its window is only
        // waiting to be deleted) closes nothing: handling it would load the
        // form again.
        if (form_.WindowIfLoaded() == this)
            form_.Form_Close();
    }
    // Reached only while the form takes drops (the window accepts them then).
    void dragEnterEvent(QDragEnterEvent* event) override { AcceptAsCopy(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { AcceptAsCopy(event); }
    void dropEvent(QDropEvent* event) override {
        Form* form = &form_;
        DeliverDrop(event, [form](const DataObject& data, int effects) {
            form->Form_OLEDragDrop(data, effects);
        });
    }

  private:
    Form& form_;
};

// The client area: paints the form's picture and reports moves over the
// background. Controls stop their mouse events, so a move reaches this widget
// only when it is over no control.
class ClientWidget : public QWidget {
  public:
    ClientWidget(Form& form, QWidget* parent) : QWidget(parent), form_(form) {
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (form_.picture_.isNull())
            return;
        QPainter p(this);
        p.drawPixmap(0, 0, form_.picture_);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        float x = static_cast<float>(PixelsToTwips(static_cast<int>(event->position().x())));
        float y = static_cast<float>(PixelsToTwips(static_cast<int>(event->position().y())));
        form_.Form_MouseMove(ButtonOf(event->buttons()), ShiftOf(event->modifiers()), x, y);
    }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            form_.Form_Click();
    }

  private:
    Form& form_;
};

// Turns a control widget's events into the control's handlers.
class ControlFilter : public QObject {
  public:
    explicit ControlFilter(Control& control) : QObject(control.WidgetIfLoaded()), c_(control) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        (void)watched;
        switch (event->type()) {
            case QEvent::KeyPress: {
                auto* ke = static_cast<QKeyEvent*>(event);
                int key = KeyAsciiOf(*ke);
                if (key != 0 && c_.KeyPress) {
                    c_.KeyPress(key);
                    // Esc stops here: a key goes to the focused control only.
                    return key == 0 || KeyAsciiOf(*ke) == 27;
                }
                return false;
            }
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseMove: {
                auto* me = static_cast<QMouseEvent*>(event);
                float x = static_cast<float>(PixelsToTwips(static_cast<int>(me->position().x())));
                float y = static_cast<float>(PixelsToTwips(static_cast<int>(me->position().y())));
                int shift = ShiftOf(me->modifiers());
                if (event->type() == QEvent::MouseButtonPress) {
                    if (c_.MouseDown)
                        c_.MouseDown(ButtonOf(me->button()), shift, x, y);
                } else if (event->type() == QEvent::MouseMove) {
                    if (c_.MouseMove)
                        c_.MouseMove(ButtonOf(me->buttons()), shift, x, y);
                } else {
                    if (c_.MouseUp)
                        c_.MouseUp(ButtonOf(me->button()), shift, x, y);
                    // The handler may have unloaded the form: its widgets are gone.
                    if (!c_.WidgetIfLoaded())
                        return true;
                    if (c_.Click && !c_.WidgetIfLoaded()->inherits("QAbstractButton") &&
                        me->button() == Qt::LeftButton &&
                        c_.WidgetIfLoaded()->rect().contains(me->position().toPoint())) {
                        c_.Click();
                    }
                }
                return false;
            }
            case QEvent::MouseButtonDblClick:
                if (c_.DblClick)
                    c_.DblClick();
                return false;
            case QEvent::DragEnter:
            case QEvent::DragMove:
                // A control that takes no drops leaves the drag to the form beneath.
                if (TakesDrops()) {
                    AcceptAsCopy(static_cast<QDropEvent*>(event));
                } else {
                    static_cast<QDropEvent*>(event)->ignore();
                }
                return true;
            case QEvent::Drop:
                if (TakesDrops()) {
                    DeliverDrop(static_cast<QDropEvent*>(event), c_.OLEDragDrop);
                } else {
                    static_cast<QDropEvent*>(event)->ignore();
                }
                return true;
            default:
                return false;
        }
    }

  private:
    bool TakesDrops() const { return c_.OLEDropMode() == 1 && c_.OLEDragDrop; }

    Control& c_;
};

// ---- Control ----

Control::Control(Form& form, QString name, Control* container)
    : form_(form), name_(std::move(name)), container_(container) {
    form_.Register(this);
}

Control::~Control() {
    form_.Unregister(this);
}

void Control::Touch() const {
    form_.EnsureLoaded();
}

int Control::Left() const {
    Touch();
    return left_;
}
int Control::Top() const {
    Touch();
    return top_;
}
int Control::Width() const {
    Touch();
    return width_;
}
int Control::Height() const {
    Touch();
    return height_;
}

void Control::SetLeft(int v) {
    Touch();
    left_ = v;
    ApplyGeometry();
}
void Control::SetTop(int v) {
    Touch();
    top_ = v;
    ApplyGeometry();
}
void Control::SetWidth(int v) {
    Touch();
    width_ = v;
    ApplyGeometry();
}
void Control::SetHeight(int v) {
    Touch();
    height_ = v;
    ApplyGeometry();
}

void Control::Move(int left, int top, int width, int height) {
    Touch();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    ApplyGeometry();
}

bool Control::Visible() const {
    Touch();
    return visible_;
}

void Control::SetVisible(bool v) {
    Touch();
    visible_ = v;
    if (widget_)
        widget_->setVisible(v);
}

bool Control::Enabled() const {
    Touch();
    return enabled_;
}

void Control::SetEnabled(bool v) {
    Touch();
    enabled_ = v;
    if (widget_)
        widget_->setEnabled(v);
}

int Control::MousePointer() const {
    Touch();
    return pointer_;
}

void Control::SetMousePointer(int p) {
    Touch();
    pointer_ = p;
    ApplyCursor();
}

void Control::SetMouseIcon(const QCursor& cursor) {
    Touch();
    icon_ = cursor;
    ApplyCursor();
}

void Control::SetTabIndex(int index) {
    Touch();
    tabIndex_ = index;
}

void Control::SetFocus() {
    Touch();
    if (widget_)
        widget_->setFocus(Qt::OtherFocusReason);
}

void Control::Refresh() {
    Touch();
    if (widget_)
        widget_->repaint();
}

int Control::OLEDropMode() const {
    Touch();
    return oleDropMode_;
}
void Control::SetOLEDropMode(int mode) {
    Touch();
    oleDropMode_ = mode;
}

void Control::ZOrder(int position) {
    Touch();
    if (!widget_)
        return;
    if (position == 0) {
        widget_->raise();
    } else {
        widget_->lower();
    }
}

QWidget* Control::Widget() const {
    Touch();
    return widget_;
}

void Control::ResetProperties() {
    left_ = top_ = width_ = height_ = 0;
    visible_ = enabled_ = true;
    pointer_ = 0;
    tabIndex_ = -1;
    oleDropMode_ = 0;
    icon_ = QCursor();
}

void Control::ApplyAll() {
    ApplyGeometry();
    widget_->setEnabled(enabled_);
    ApplyCursor();
}

void Control::ApplyGeometry() {
    if (widget_) {
        widget_->setGeometry(TwipsToPixels(left_), TwipsToPixels(top_),
                             std::max(0, TwipsToPixels(width_)),
                             std::max(0, TwipsToPixels(height_)));
    }
}

void Control::ApplyCursor() {
    if (!widget_)
        return;
    if (pointer_ == pointer::Default) {
        widget_->unsetCursor();
    } else {
        widget_->setCursor(CursorFor(pointer_, icon_));
    }
}

void Control::InstallFilter() {
    widget_->installEventFilter(new ControlFilter(*this));
    // The control's own mouse events and drags stay with it, as on the form they
    // would go to the control and not to the background.
    widget_->setAttribute(Qt::WA_NoMousePropagation);
    widget_->setAcceptDrops(true);
}

// ---- Form ----

Form::Form(QString name) : name_(std::move(name)) {}

Form::~Form() {
    if (window_) {
        for (Control* c : controls_) c->widget_ = nullptr;
        delete window_;
    }
}

void Form::Register(Control* c) {
    controls_.push_back(c);
}

void Form::Unregister(Control* c) {
    std::erase(controls_, c);
}

void Form::EnsureLoaded() {
    if (!loaded_)
        Load();
}

void Form::Load() {
    if (loaded_)
        return;
    auto* window = new FormWindow(*this);
    window_ = window;
    client_ = new ClientWidget(*this, window_);
    menuBar_ = nullptr;
    shownOnce_ = false;
    caption_.clear();
    pointer_ = 0;
    loaded_ = true;
    for (Control* c : controls_) {
        c->ResetProperties();
        // A container comes before the controls it holds.
        QWidget* parent = c->container_ ? c->container_->widget_ : client_;
        c->widget_ = c->CreateWidget(parent ? parent : client_);
        c->InstallFilter();
    }
    for (Control* c : controls_) c->ApplyAll();
    Design();
    ApplyWindowProperties();
    // Tab order follows the controls' tab indices.
    std::vector<Control*> order;
    for (Control* c : controls_) {
        if (c->tabIndex_ >= 0)
            order.push_back(c);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](Control* a, Control* b) { return a->tabIndex_ < b->tabIndex_; });
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1]->widget_, order[i]->widget_);
    }
    // The first control of the order has the focus when the window comes up.
    if (!order.empty())
        order.front()->widget_->setFocus(Qt::OtherFocusReason);
    Form_Load();
}

void Form::Show() {
    Load();
    FixWindowSize();
    if (!shownOnce_) {
        shownOnce_ = true;
        if (auto* screen = QGuiApplication::primaryScreen()) {
            QRect area = screen->availableGeometry();
            QSize size = window_->frameGeometry().size();
            window_->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
        }
    }
    window_->show();
}

void Form::Hide() {
    EnsureLoaded();
    window_->hide();
}

void Form::Unload() {
    if (!loaded_)
        return;
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0)
        return;
    for (Control* c : controls_) c->widget_ = nullptr;
    QWidget* w = window_;
    window_ = nullptr;
    client_ = nullptr;
    menuBar_ = nullptr;
    loaded_ = false;
    w->hide();
    // Deferred: the unload may come from inside one of the window's own handlers.
    w->deleteLater();
}

void Form::Refresh() {
    EnsureLoaded();
    window_->repaint();
}

bool Form::IsShown() const {
    return loaded_ && window_->isVisible();
}

QString Form::Caption() const {
    const_cast<Form*>(this)->EnsureLoaded();
    return caption_;
}

void Form::SetCaption(const QString& caption) {
    EnsureLoaded();
    caption_ = caption;
    window_->setWindowTitle(caption);
}

int Form::MousePointer() const {
    const_cast<Form*>(this)->EnsureLoaded();
    return pointer_;
}

void Form::SetMousePointer(int p) {
    EnsureLoaded();
    pointer_ = p;
    if (p == pointer::Default) {
        window_->unsetCursor();
    } else {
        window_->setCursor(CursorFor(p, QCursor()));
    }
}

void Form::SetIcon(const QPixmap& icon) {
    SetIcon(QIcon(icon));
}

void Form::SetIcon(const QIcon& icon) {
    icon_ = icon;
    if (window_)
        window_->setWindowIcon(icon);
}

void Form::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    if (client_)
        client_->update();
}

QWidget* Form::Window() {
    EnsureLoaded();
    return window_;
}

QWidget* Form::WindowIfLoaded() const {
    return window_;
}

QWidget* Form::ClientArea() {
    EnsureLoaded();
    return client_;
}

QMenuBar* Form::MenuBar() {
    EnsureLoaded();
    if (!menuBar_) {
        menuBar_ = new QMenuBar(window_);
        FixWindowSize();
    }
    return menuBar_;
}

void Form::SetClientSize(int w, int h) {
    clientWidth_ = w;
    clientHeight_ = h;
    if (window_)
        FixWindowSize();
}

void Form::SetFrame(bool minimizeBox, bool maximizeBox) {
    minimizeBox_ = minimizeBox;
    maximizeBox_ = maximizeBox;
    if (window_)
        ApplyWindowProperties();
}

void Form::SetAcceptDrops(bool accept) {
    acceptDrops_ = accept;
    if (window_)
        window_->setAcceptDrops(accept);
}

void Form::SetShowInTaskbar(bool show) {
    showInTaskbar_ = show;
    if (window_)
        ApplyWindowProperties();
}

void Form::SetBackColor(const QColor& color) {
    backColor_ = color;
    if (window_)
        ApplyWindowProperties();
}

void Form::ApplyWindowProperties() {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (minimizeBox_)
        flags |= Qt::WindowMinimizeButtonHint;
    if (maximizeBox_)
        flags |= Qt::WindowMaximizeButtonHint;
    if (!showInTaskbar_)
        flags |= Qt::Tool;
    window_->setWindowFlags(flags);
    window_->setAcceptDrops(acceptDrops_);
    if (backColor_.isValid()) {
        QPalette pal = window_->palette();
        pal.setColor(QPalette::Window, backColor_);
        window_->setPalette(pal);
        window_->setAutoFillBackground(true);
    }
    if (!icon_.isNull())
        window_->setWindowIcon(icon_);
    window_->setWindowTitle(caption_);
    FixWindowSize();
}

void Form::FixWindowSize() {
    int w = TwipsToPixels(clientWidth_);
    int h = TwipsToPixels(clientHeight_);
    int top = 0;
    if (menuBar_) {
        top = MenuBarHeight(*menuBar_);
        menuBar_->setGeometry(0, 0, w, top);
    }
    client_->setGeometry(0, top, w, h);
    window_->setFixedSize(w, top + h);
}

}  // namespace platform
