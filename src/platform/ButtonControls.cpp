#include "platform/ButtonControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QStyle>

#include "platform/Controls.h"
#include "platform/Errors.h"

namespace platform {

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
