#include "platform/Controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include "platform/Errors.h"

namespace platform {

QString DisplayText(const QString& caption) {
    QString t = caption;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QStyle* FlatStyle() {
    // Qt's classic style fills a button and a box with their palette colours, as
    // the program's own controls were drawn; it ships with every Qt build.
    static QStyle* style = [] {
        QStyle* s = QStyleFactory::create(QStringLiteral("Windows"));
        if (s)
            s->setParent(qApp);
        return s;
    }();
    return style;
}

namespace {

class PictureWidget : public QWidget {
  public:
    using QWidget::QWidget;
    QPixmap picture;
    bool stretch = false;

  protected:
    void paintEvent(QPaintEvent*) override {
        if (picture.isNull() || width() <= 0)
            return;
        QPainter p(this);
        if (stretch) {
            p.drawPixmap(rect(), picture);
        } else {
            p.drawPixmap(0, 0, picture);
        }
    }
};

class FrameWidget : public QWidget {
  public:
    using QWidget::QWidget;
    QColor border;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(border);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

class BoxWidget : public QWidget {
  public:
    using QWidget::QWidget;
    QColor back;
    QPixmap picture;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), back);
        if (!picture.isNull())
            p.drawPixmap(0, 0, picture);
    }
};

}  // namespace

// ---- Label ----

QWidget* Label::CreateWidget(QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    return l;
}

void Label::ResetProperties() {
    Control::ResetProperties();
    caption_.clear();
    fore_ = QColor(Qt::black);
    back_ = QColor(0xC0, 0xC0, 0xC0);
    backStyle_ = 1;
    alignment_ = align::Left;
    font_ = FontSpec{};
    autoSize_ = false;
}

void Label::ApplyAll() {
    Control::ApplyAll();
    ApplyLook();
    ApplyText();
}

QString Label::Caption() const {
    Touch();
    return caption_;
}

void Label::SetCaption(const QString& caption) {
    Touch();
    caption_ = caption;
    ApplyText();
}

QColor Label::ForeColor() const {
    Touch();
    return fore_;
}
void Label::SetForeColor(const QColor& c) {
    Touch();
    fore_ = c;
    ApplyLook();
}
QColor Label::BackColor() const {
    Touch();
    return back_;
}
void Label::SetBackColor(const QColor& c) {
    Touch();
    back_ = c;
    ApplyLook();
}
int Label::BackStyle() const {
    Touch();
    return backStyle_;
}
void Label::SetBackStyle(int s) {
    Touch();
    backStyle_ = s;
    ApplyLook();
}
int Label::Alignment() const {
    Touch();
    return alignment_;
}
void Label::SetAlignment(int a) {
    Touch();
    alignment_ = a;
    ApplyLook();
}
FontSpec Label::Font() const {
    Touch();
    return font_;
}

void Label::SetFont(const FontSpec& f) {
    Touch();
    font_ = f;
    ApplyLook();
    FitToText();
}

void Label::SetFontSize(double size) {
    Touch();
    font_.size = size;
    ApplyLook();
    FitToText();
}

bool Label::AutoSize() const {
    Touch();
    return autoSize_;
}

void Label::SetAutoSize(bool a) {
    Touch();
    autoSize_ = a;
    if (auto* l = static_cast<QLabel*>(widget_))
        l->setWordWrap(!a);
    FitToText();
}

void Label::ApplyText() {
    if (auto* l = static_cast<QLabel*>(widget_)) {
        l->setText(DisplayText(caption_));
    }
    FitToText();
}

void Label::ApplyLook() {
    auto* l = static_cast<QLabel*>(widget_);
    if (!l)
        return;
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, fore_);
    pal.setColor(QPalette::Window, back_);
    l->setPalette(pal);
    l->setAutoFillBackground(backStyle_ != 0);
    l->setFont(font_.ToQFont());
    Qt::Alignment h = alignment_ == align::Center  ? Qt::AlignHCenter
                      : alignment_ == align::Right ? Qt::AlignRight
                                                   : Qt::AlignLeft;
    l->setAlignment(h | Qt::AlignTop);
}

void Label::FitToText() {
    auto* l = static_cast<QLabel*>(widget_);
    if (!autoSize_ || !l)
        return;
    QFontMetrics fm(font_.ToQFont());
    QSize s = fm.size(0, DisplayText(caption_));
    SetWidth(PixelsToTwips(s.width()));
    SetHeight(PixelsToTwips(s.height()));
}

// ---- Image ----

QWidget* Image::CreateWidget(QWidget* parent) {
    return new PictureWidget(parent);
}

void Image::ResetProperties() {
    Control::ResetProperties();
    picture_ = QPixmap();
    stretch_ = false;
}

void Image::ApplyAll() {
    Control::ApplyAll();
    auto* w = static_cast<PictureWidget*>(widget_);
    w->picture = picture_;
    w->stretch = stretch_;
    w->update();
}

const QPixmap& Image::Picture() const {
    Touch();
    return picture_;
}

void Image::SetPicture(const QPixmap& picture) {
    Touch();
    picture_ = picture;
    auto* w = static_cast<PictureWidget*>(widget_);
    w->picture = picture;
    if (!stretch_ && !picture.isNull()) {
        // An image that does not stretch takes the size of its picture.
        SetWidth(PixelsToTwips(picture.width()));
        SetHeight(PixelsToTwips(picture.height()));
    }
    w->update();
}

void Image::SetStretch(bool s) {
    Touch();
    stretch_ = s;
    static_cast<PictureWidget*>(widget_)->stretch = s;
    widget_->update();
}

// ---- Shape ----

QWidget* Shape::CreateWidget(QWidget* parent) {
    auto* w = new FrameWidget(parent);
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    return w;
}

void Shape::ResetProperties() {
    Control::ResetProperties();
    border_ = QColor(Qt::black);
}

void Shape::ApplyAll() {
    Control::ApplyAll();
    static_cast<FrameWidget*>(widget_)->border = border_;
}

void Shape::SetBorderColor(const QColor& c) {
    Touch();
    border_ = c;
    static_cast<FrameWidget*>(widget_)->border = c;
    widget_->update();
}

// ---- PictureBox ----

QWidget* PictureBox::CreateWidget(QWidget* parent) {
    return new BoxWidget(parent);
}

void PictureBox::ResetProperties() {
    Control::ResetProperties();
    back_ = QColor(0xC0, 0xC0, 0xC0);
    picture_ = QPixmap();
}

void PictureBox::ApplyAll() {
    Control::ApplyAll();
    ApplyLook();
}

void PictureBox::ApplyLook() {
    if (auto* w = static_cast<BoxWidget*>(widget_)) {
        w->back = back_;
        w->picture = picture_;
        w->update();
    }
}

QColor PictureBox::BackColor() const {
    Touch();
    return back_;
}

void PictureBox::SetBackColor(const QColor& color) {
    Touch();
    back_ = color;
    ApplyLook();
}

const QPixmap& PictureBox::Picture() const {
    Touch();
    return picture_;
}

void PictureBox::SetPicture(const QPixmap& picture) {
    Touch();
    picture_ = picture;
    ApplyLook();
}

// ---- CommandButton ----

QWidget* CommandButton::CreateWidget(QWidget* parent) {
    auto* b = new QPushButton(parent);
    QObject::connect(b, &QPushButton::clicked, b, [this] {
        if (Click)
            Click();
    });
    return b;
}

void CommandButton::ResetProperties() {
    Control::ResetProperties();
    caption_.clear();
    font_ = FontSpec{};
    back_ = QColor();
}

void CommandButton::ApplyAll() {
    Control::ApplyAll();
    auto* b = static_cast<QPushButton*>(widget_);
    b->setText(caption_);
    b->setFont(font_.ToQFont());
    ApplyBackColor();
}

QColor CommandButton::BackColor() const {
    Touch();
    return back_;
}

void CommandButton::SetBackColor(const QColor& color) {
    Touch();
    back_ = color;
    ApplyBackColor();
}

void CommandButton::ApplyBackColor() {
    auto* b = static_cast<QPushButton*>(widget_);
    if (!b)
        return;
    // A colour of its own is drawn flat; the system's colour keeps the desktop's style.
    QStyle* style = back_.isValid() ? FlatStyle() : nullptr;
    if (style != nullptr && b->style() != style)
        b->setStyle(style);
    else if (style == nullptr && b->style() != QApplication::style())
        b->setStyle(nullptr);
    QPalette pal = b->palette();
    if (back_.isValid()) {
        pal.setColor(QPalette::Button, back_);
    } else {
        pal.setColor(QPalette::Button, QApplication::palette().color(QPalette::Button));
    }
    b->setPalette(pal);
}

QString CommandButton::Caption() const {
    Touch();
    return caption_;
}

void CommandButton::SetCaption(const QString& caption) {
    Touch();
    caption_ = caption;
    static_cast<QPushButton*>(widget_)->setText(caption);
}

FontSpec CommandButton::Font() const {
    Touch();
    return font_;
}

void CommandButton::SetFont(const FontSpec& f) {
    Touch();
    font_ = f;
    static_cast<QPushButton*>(widget_)->setFont(f.ToQFont());
}

// ---- CheckBox ----

QWidget* CheckBox::CreateWidget(QWidget* parent) {
    auto* w = new QCheckBox(parent);
    QObject::connect(w, &QCheckBox::stateChanged, w, [this, w](int state) {
        if (updating_)
            return;
        // A click ticks or unticks; a greyed box becomes a plain one again.
        w->setTristate(false);
        value_ = state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
        if (Click)
            Click();
    });
    return w;
}

void CheckBox::ResetProperties() {
    Control::ResetProperties();
    value_ = 0;
    caption_.clear();
    fore_ = QColor(Qt::black);
    font_ = FontSpec{};
}

void CheckBox::ApplyAll() {
    Control::ApplyAll();
    ApplyLook();
    ApplyValue();
}

void CheckBox::ApplyValue() {
    auto* w = static_cast<QCheckBox*>(widget_);
    if (!w)
        return;
    updating_ = true;
    w->setText(caption_);
    w->setCheckState(value_ == 1   ? Qt::Checked
                     : value_ == 2 ? Qt::PartiallyChecked
                                   : Qt::Unchecked);
    if (value_ != 2)
        w->setTristate(false);
    updating_ = false;
}

void CheckBox::ApplyLook() {
    auto* w = static_cast<QCheckBox*>(widget_);
    if (!w)
        return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, fore_);
    w->setPalette(pal);
    w->setFont(font_.ToQFont());
}

int CheckBox::Value() const {
    Touch();
    return value_;
}

void CheckBox::SetValue(int value) {
    Touch();
    if (value < 0 || value > 2) {
        throw RuntimeError(kInvalidPropertyValue, QStringLiteral("Invalid property value"));
    }
    if (value == value_)
        return;
    value_ = value;
    ApplyValue();
    if (Click)
        Click();
}

QString CheckBox::Caption() const {
    Touch();
    return caption_;
}
void CheckBox::SetCaption(const QString& c) {
    Touch();
    caption_ = c;
    ApplyValue();
}
QColor CheckBox::ForeColor() const {
    Touch();
    return fore_;
}
void CheckBox::SetForeColor(const QColor& c) {
    Touch();
    fore_ = c;
    ApplyLook();
}
FontSpec CheckBox::Font() const {
    Touch();
    return font_;
}
void CheckBox::SetFont(const FontSpec& f) {
    Touch();
    font_ = f;
    ApplyLook();
}

}  // namespace platform
