#include "platform/ListControls.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QListWidget>
#include <QTimer>

#include "platform/Drives.h"
#include "platform/Errors.h"

namespace platform {

namespace {

void CheckIndex(int index, int count) {
    if (index < -1 || index >= count) {
        throw RuntimeError(kInvalidPropertyValue, QStringLiteral("Invalid property value"));
    }
}

void CheckItem(int index, int count) {
    if (index < 0 || index >= count) {
        throw RuntimeError(kInvalidPropertyValue, QStringLiteral("Invalid property value"));
    }
}

// The index an entry added at `index` lands at; an index past the end is an error.
int InsertPosition(int index, int count) {
    if (index == -1)
        return count;
    if (index < 0 || index > count) {
        throw RuntimeError(kInvalidPropertyValue, QStringLiteral("Invalid property value"));
    }
    return index;
}

class TimerWidget : public QWidget {
  public:
    explicit TimerWidget(QWidget* parent) : QWidget(parent) { hide(); }
    QTimer timer;
};

}  // namespace

// ---- ListBox ----

QWidget* ListBox::CreateWidget(QWidget* parent) {
    auto* w = new QListWidget(parent);
    QObject::connect(w, &QListWidget::currentRowChanged, w, [this](int row) {
        if (updating_)
            return;
        listIndex_ = row;
        if (Click)
            Click();
    });
    return w;
}

void ListBox::ResetProperties() {
    Control::ResetProperties();
    items_.clear();
    listIndex_ = -1;
}

void ListBox::ApplyAll() {
    Control::ApplyAll();
    ApplyItems();
}

void ListBox::ApplyItems() {
    auto* w = static_cast<QListWidget*>(widget_);
    if (!w)
        return;
    updating_ = true;
    w->clear();
    w->addItems(items_);
    w->setCurrentRow(listIndex_);
    updating_ = false;
}

void ListBox::AddItem(const QString& item, int index) {
    Touch();
    int at = InsertPosition(index, static_cast<int>(items_.size()));
    items_.insert(at, item);
    if (listIndex_ >= at)
        ++listIndex_;
    ApplyItems();
}

void ListBox::RemoveItem(int index) {
    Touch();
    CheckItem(index, static_cast<int>(items_.size()));
    items_.removeAt(index);
    if (listIndex_ == index) {
        listIndex_ = -1;
    } else if (listIndex_ > index) {
        --listIndex_;
    }
    ApplyItems();
}

void ListBox::Clear() {
    Touch();
    items_.clear();
    listIndex_ = -1;
    ApplyItems();
}

int ListBox::ListCount() const {
    Touch();
    return static_cast<int>(items_.size());
}

QString ListBox::List(int index) const {
    Touch();
    // Reading past the entries gives an empty text, as the list does.
    return index >= 0 && index < items_.size() ? items_.at(index) : QString();
}

int ListBox::ListIndex() const {
    Touch();
    return listIndex_;
}

void ListBox::SetListIndex(int index) {
    Touch();
    CheckIndex(index, static_cast<int>(items_.size()));
    if (index == listIndex_)
        return;
    listIndex_ = index;
    ApplyItems();
    if (Click)
        Click();
}

// ---- ComboBox ----

QWidget* ComboBox::CreateWidget(QWidget* parent) {
    auto* w = new QComboBox(parent);
    w->setEditable(false);
    QObject::connect(w, &QComboBox::currentIndexChanged, w, [this](int index) {
        if (updating_)
            return;
        listIndex_ = index;
        if (Click)
            Click();
    });
    return w;
}

void ComboBox::ResetProperties() {
    Control::ResetProperties();
    items_.clear();
    listIndex_ = -1;
    fore_ = QColor(Qt::black);
    back_ = QColor(Qt::white);
    font_ = FontSpec{};
}

void ComboBox::ApplyAll() {
    Control::ApplyAll();
    ApplyLook();
    ApplyItems();
}

void ComboBox::ApplyItems() {
    auto* w = static_cast<QComboBox*>(widget_);
    if (!w)
        return;
    updating_ = true;
    w->clear();
    w->addItems(items_);
    w->setCurrentIndex(listIndex_);
    updating_ = false;
}

void ComboBox::ApplyLook() {
    auto* w = static_cast<QComboBox*>(widget_);
    if (!w)
        return;
    QPalette pal = w->palette();
    for (auto role : {QPalette::Base, QPalette::Button, QPalette::Window}) {
        pal.setColor(role, back_);
    }
    for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
        pal.setColor(role, fore_);
    }
    pal.setColor(QPalette::Highlight, fore_);
    pal.setColor(QPalette::HighlightedText, back_);
    w->setPalette(pal);
    w->view()->setPalette(pal);
    w->setFont(font_.ToQFont());
}

void ComboBox::AddItem(const QString& item, int index) {
    Touch();
    int at = InsertPosition(index, static_cast<int>(items_.size()));
    items_.insert(at, item);
    if (listIndex_ >= at)
        ++listIndex_;
    ApplyItems();
}

void ComboBox::RemoveItem(int index) {
    Touch();
    CheckItem(index, static_cast<int>(items_.size()));
    items_.removeAt(index);
    if (listIndex_ == index) {
        listIndex_ = -1;
    } else if (listIndex_ > index) {
        --listIndex_;
    }
    ApplyItems();
}

void ComboBox::Clear() {
    Touch();
    items_.clear();
    listIndex_ = -1;
    ApplyItems();
}

int ComboBox::ListCount() const {
    Touch();
    return static_cast<int>(items_.size());
}

QString ComboBox::List(int index) const {
    Touch();
    return index >= 0 && index < items_.size() ? items_.at(index) : QString();
}

int ComboBox::ListIndex() const {
    Touch();
    return listIndex_;
}

void ComboBox::SetListIndex(int index) {
    Touch();
    CheckIndex(index, static_cast<int>(items_.size()));
    if (index == listIndex_)
        return;
    listIndex_ = index;
    ApplyItems();
    if (Click)
        Click();
}

QString ComboBox::Text() const {
    Touch();
    return listIndex_ >= 0 ? items_.at(listIndex_) : QString();
}

QColor ComboBox::ForeColor() const {
    Touch();
    return fore_;
}
void ComboBox::SetForeColor(const QColor& c) {
    Touch();
    fore_ = c;
    ApplyLook();
}
QColor ComboBox::BackColor() const {
    Touch();
    return back_;
}
void ComboBox::SetBackColor(const QColor& c) {
    Touch();
    back_ = c;
    ApplyLook();
}
FontSpec ComboBox::Font() const {
    Touch();
    return font_;
}
void ComboBox::SetFont(const FontSpec& f) {
    Touch();
    font_ = f;
    ApplyLook();
}

// ---- DriveListBox ----

QWidget* DriveListBox::CreateWidget(QWidget* parent) {
    auto* w = new QComboBox(parent);
    w->setEditable(false);
    QObject::connect(w, &QComboBox::currentIndexChanged, w, [this](int index) {
        if (updating_)
            return;
        listIndex_ = index;
        if (Change)
            Change();
    });
    return w;
}

void DriveListBox::ResetProperties() {
    Control::ResetProperties();
    DriveListing listing = ListDrives();
    items_ = listing.drives;
    listIndex_ = listing.current;
    back_ = QColor(Qt::white);
    font_ = FontSpec{};
}

void DriveListBox::ApplyAll() {
    Control::ApplyAll();
    auto* w = static_cast<QComboBox*>(widget_);
    updating_ = true;
    w->clear();
    w->addItems(items_);
    w->setCurrentIndex(listIndex_);
    updating_ = false;
    ApplyLook();
}

void DriveListBox::ApplyLook() {
    auto* w = static_cast<QComboBox*>(widget_);
    if (!w)
        return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, back_);
    pal.setColor(QPalette::Button, back_);
    w->setPalette(pal);
    QFont font = font_.ToQFont();
    w->setFont(font);
    // The box is narrow; the open list is as wide as its longest entry.
    QFontMetrics fm(font);
    int widest = 0;
    for (const QString& item : items_) widest = std::max(widest, fm.horizontalAdvance(item));
    w->view()->setMinimumWidth(widest + fm.height() * 2);
}

int DriveListBox::ListCount() const {
    Touch();
    return static_cast<int>(items_.size());
}

QString DriveListBox::List(int index) const {
    Touch();
    return index >= 0 && index < items_.size() ? items_.at(index) : QString();
}

int DriveListBox::ListIndex() const {
    Touch();
    return listIndex_;
}

void DriveListBox::SetListIndex(int index) {
    Touch();
    CheckItem(index, static_cast<int>(items_.size()));
    if (index == listIndex_)
        return;
    listIndex_ = index;
    updating_ = true;
    static_cast<QComboBox*>(widget_)->setCurrentIndex(index);
    updating_ = false;
    if (Change)
        Change();
}

QString DriveListBox::Drive() const {
    return List(ListIndex());
}

QColor DriveListBox::BackColor() const {
    Touch();
    return back_;
}
void DriveListBox::SetBackColor(const QColor& c) {
    Touch();
    back_ = c;
    ApplyLook();
}
FontSpec DriveListBox::Font() const {
    Touch();
    return font_;
}
void DriveListBox::SetFont(const FontSpec& f) {
    Touch();
    font_ = f;
    ApplyLook();
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

// ---- TimerControl ----

QWidget* TimerControl::CreateWidget(QWidget* parent) {
    auto* w = new TimerWidget(parent);
    QObject::connect(&w->timer, &QTimer::timeout, w, [this] {
        if (Timer)
            Timer();
    });
    return w;
}

void TimerControl::ResetProperties() {
    Control::ResetProperties();
    interval_ = 0;
    enabled_ = true;
}

void TimerControl::ApplyAll() {
    Control::ApplyAll();
    widget_->hide();
    ApplyTimer();
}

void TimerControl::ApplyTimer() {
    auto* w = static_cast<TimerWidget*>(widget_);
    if (!w)
        return;
    if (enabled_ && interval_ > 0) {
        // A new interval or a re-enabling starts the count again.
        w->timer.start(interval_);
    } else {
        w->timer.stop();
    }
}

int TimerControl::Interval() const {
    Touch();
    return interval_;
}

void TimerControl::SetInterval(int ms) {
    Touch();
    if (ms < 0) {
        throw RuntimeError(kInvalidPropertyValue, QStringLiteral("Invalid property value"));
    }
    interval_ = ms;
    ApplyTimer();
}

bool TimerControl::Enabled() const {
    Touch();
    return enabled_;
}

void TimerControl::SetEnabled(bool enabled) {
    Touch();
    enabled_ = enabled;
    ApplyTimer();
}

bool TimerControl::Running() const {
    Touch();
    auto* w = static_cast<TimerWidget*>(widget_);
    return w && w->timer.isActive();
}

}  // namespace platform
