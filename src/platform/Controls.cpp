#include "platform/Controls.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

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

}  // namespace platform
