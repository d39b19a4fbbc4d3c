#include "platform/ListControls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QListWidget>
#include <QStyle>

#include "platform/Controls.h"
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

}  // namespace

// ---- ItemList: entries and selection ----

void ItemList::ResetProperties() {
    Control::ResetProperties();
    items_.clear();
    listIndex_ = -1;
}

void ItemList::ApplyAll() {
    Control::ApplyAll();
    Sync([&] { WidgetFill(); });
}

// Runs one widget step with the widget's own change signals muted, then puts
// the selection back: a widget moves its current entry on its own when one is
// added to an empty list or the current one is removed.
template <class Step>
void ItemList::Sync(Step step) {
    if (!widget_)
        return;
    updating_ = true;
    step();
    WidgetSelect(listIndex_);
    updating_ = false;
}

void ItemList::WidgetFill() {
    if (auto* l = qobject_cast<QListWidget*>(widget_)) {
        l->clear();
        l->addItems(items_);
    } else {
        auto* c = static_cast<QComboBox*>(widget_);
        c->clear();
        c->addItems(items_);
    }
}

void ItemList::WidgetInsert(int at, const QString& item) {
    if (auto* l = qobject_cast<QListWidget*>(widget_)) {
        l->insertItem(at, item);
    } else {
        static_cast<QComboBox*>(widget_)->insertItem(at, item);
    }
}

void ItemList::WidgetRemove(int at) {
    if (auto* l = qobject_cast<QListWidget*>(widget_)) {
        delete l->takeItem(at);
    } else {
        static_cast<QComboBox*>(widget_)->removeItem(at);
    }
}

void ItemList::WidgetSelect(int index) {
    if (auto* l = qobject_cast<QListWidget*>(widget_)) {
        if (l->currentRow() != index)
            l->setCurrentRow(index);
    } else if (auto* c = static_cast<QComboBox*>(widget_); c->currentIndex() != index) {
        c->setCurrentIndex(index);
    }
}

void ItemList::Picked(int row) {
    if (updating_)
        return;
    listIndex_ = row;
    SelectionChanged();
}

void ItemList::SelectionChanged() {
    if (Click)
        Click();
}

void ItemList::AddItem(const QString& item, int index) {
    Touch();
    int at = InsertPosition(index, static_cast<int>(items_.size()));
    items_.insert(at, item);
    if (listIndex_ >= at)
        ++listIndex_;
    Sync([&] { WidgetInsert(at, item); });
}

void ItemList::RemoveItem(int index) {
    Touch();
    CheckItem(index, static_cast<int>(items_.size()));
    items_.removeAt(index);
    if (listIndex_ == index) {
        listIndex_ = -1;
    } else if (listIndex_ > index) {
        --listIndex_;
    }
    Sync([&] { WidgetRemove(index); });
}

void ItemList::Clear() {
    Touch();
    items_.clear();
    listIndex_ = -1;
    Sync([&] { WidgetFill(); });
}

void ItemList::SetItems(const QStringList& items, int index) {
    items_ = items;
    listIndex_ = index;
    Sync([&] { WidgetFill(); });
}

int ItemList::ListCount() const {
    Touch();
    return static_cast<int>(items_.size());
}

QString ItemList::List(int index) const {
    Touch();
    // Reading past the entries gives an empty text, as the list does.
    return index >= 0 && index < items_.size() ? items_.at(index) : QString();
}

int ItemList::ListIndex() const {
    Touch();
    return listIndex_;
}

void ItemList::SetListIndex(int index) {
    Touch();
    if (AllowsNoSelection()) {
        CheckIndex(index, static_cast<int>(items_.size()));
    } else {
        CheckItem(index, static_cast<int>(items_.size()));
    }
    if (index == listIndex_)
        return;
    listIndex_ = index;
    Sync([] {});
    SelectionChanged();
}

// ---- ListBox ----

QWidget* ListBox::CreateWidget(QWidget* parent) {
    auto* w = new QListWidget(parent);
    QObject::connect(w, &QListWidget::currentRowChanged, w, [this](int row) { Picked(row); });
    return w;
}

// ---- DropDownList ----

QWidget* DropDownList::CreateWidget(QWidget* parent) {
    auto* w = new QComboBox(parent);
    w->setEditable(false);
    if (QStyle* flat = FlatStyle())
        w->setStyle(flat);
    QObject::connect(w, &QComboBox::currentIndexChanged, w, [this](int index) { Picked(index); });
    return w;
}

// ---- ComboBox ----

void ComboBox::ResetProperties() {
    DropDownList::ResetProperties();
    fore_ = QColor(Qt::black);
    back_ = QColor(Qt::white);
    font_ = FontSpec{};
}

void ComboBox::ApplyAll() {
    DropDownList::ApplyAll();
    ApplyLook();
}

QString ComboBox::Text() const {
    return List(ListIndex());
}

// The look: colours and font of the box and of its open list.
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
    // The open list marks its entry in the text colour; the closed box keeps its
    // own colours when it has the focus (a dotted frame shows the focus).
    QPalette listPal = pal;
    listPal.setColor(QPalette::Highlight, fore_);
    listPal.setColor(QPalette::HighlightedText, back_);
    w->view()->setPalette(listPal);
    pal.setColor(QPalette::Highlight, back_);
    pal.setColor(QPalette::HighlightedText, fore_);
    w->setPalette(pal);
    w->setFont(font_.ToQFont());
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

void DriveListBox::ResetProperties() {
    DropDownList::ResetProperties();
    DriveListing listing = ListDrives();
    SetItems(listing.drives, listing.current);
    back_ = QColor(Qt::white);
    font_ = FontSpec{};
}

void DriveListBox::ApplyAll() {
    DropDownList::ApplyAll();
    ApplyLook();
    ShowDriveTip();
}

void DriveListBox::SelectionChanged() {
    ShowDriveTip();
    if (Change)
        Change();
}

// The box is narrow: a long mount point shows only its start, so the tooltip
// names the whole of the chosen one.
void DriveListBox::ShowDriveTip() {
    if (widget_)
        widget_->setToolTip(Items().value(Selected()));
}

QString DriveListBox::Drive() const {
    return List(ListIndex());
}

// The look: back colour and font; the open list as wide as its longest entry.
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
    for (const QString& item : Items()) widest = std::max(widest, fm.horizontalAdvance(item));
    w->view()->setMinimumWidth(widest + fm.height() * 2);
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

}  // namespace platform
