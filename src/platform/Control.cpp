#include "platform/Control.h"

#include <QWidget>
#include <algorithm>

#include "platform/ControlEvents.h"
#include "platform/Events.h"
#include "platform/Form.h"
#include "platform/InputCodes.h"

namespace platform {

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
    if (!widget_)
        return;
    const QSize size(std::max(0, TwipsToPixels(width_)), std::max(0, TwipsToPixels(height_)));
    if (HoldsItsSize() && (widget_->minimumSize() != size || widget_->maximumSize() != size))
        widget_->setFixedSize(size);
    widget_->setGeometry(QRect(QPoint(TwipsToPixels(left_), TwipsToPixels(top_)), size));
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
    widget_->installEventFilter(NewControlFilter(*this));
    // The control's own mouse events and drags stay with it, as on the form they
    // would go to the control and not to the background.
    widget_->setAttribute(Qt::WA_NoMousePropagation);
    widget_->setAcceptDrops(true);
}

}  // namespace platform
