#include "platform/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "platform/DroppedFiles.h"
#include "platform/Events.h"
#include "platform/InputCodes.h"

namespace platform {

namespace {

// The height of one row of menu titles in this bar's font and style, whatever its
// titles hold: a title with line breaks, or more titles than fit, never grows it.
int MenuBarHeight(const QMenuBar& bar) {
    QMenuBar probe;
    probe.setStyle(bar.style());
    probe.setFont(bar.font());
    probe.addAction(QStringLiteral("X"));
    return probe.sizeHint().height();
}

}  // namespace

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
        DeliverDrop(event, [form](const DataObject& dropped, int effects) {
            form->Form_OLEDragDrop(dropped, effects);
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
