// The list controls (list box, drop-down list, drive list). Like the other controls they keep their
// properties as their own values, restored to the design defaults at every load of their form.
#pragma once

#include <QStringList>
#include <functional>

#include "platform/Form.h"

namespace platform {

// What the list controls share: text entries of their own and one selected
// entry, or none (-1). The widget follows each change by one step (an entry in
// or out, the selection moved), so appending stays constant-time however long
// the list grows; the widget is filled whole only when the form loads.
class ItemList : public Control {
  public:
    using Control::Control;

    int ListCount() const;
    QString List(int index) const;
    int ListIndex() const;
    // Notifies (SelectionChanged) when the selection changes; error 380 for an
    // index the list does not hold.
    void SetListIndex(int index);

  protected:
    // Editing: public in the controls that allow it.
    // Adds at the end, or before the entry at index.
    void AddItem(const QString& item, int index = -1);
    void RemoveItem(int index);
    // Removes every entry, which leaves no selection.
    void Clear();
    // Replaces the entries and the selection without notifying.
    void SetItems(const QStringList& items, int index);
    const QStringList& Items() const { return items_; }
    // The selection, without loading the form.
    int Selected() const { return listIndex_; }

    // Whether -1 (no selection) is a value SetListIndex takes.
    virtual bool AllowsNoSelection() const { return true; }
    // The selection changed, by the user or by code; Click by default.
    virtual void SelectionChanged();
    // The user picked a row in the widget.
    void Picked(int row);

    void ResetProperties() override;
    void ApplyAll() override;

  private:
    template <class Step>
    void Sync(Step step);
    // The widget's side of the list: a plain list or a drop-down box.
    void WidgetFill();
    void WidgetInsert(int at, const QString& item);
    void WidgetRemove(int at);
    void WidgetSelect(int index);

    QStringList items_;
    int listIndex_ = -1;
    bool updating_ = false;
};

// The list box: its widget is a plain list.
class ListBox : public ItemList {
  public:
    using ItemList::AddItem;
    using ItemList::Clear;
    using ItemList::ItemList;
    using ItemList::RemoveItem;

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
};

// The lists shown as a drop-down box the user picks from and cannot type in.
class DropDownList : public ItemList {
  public:
    using ItemList::ItemList;

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
};

// A combo box in drop-down list style, filled by code; Click on a pick.
class ComboBox : public DropDownList {
  public:
    using DropDownList::DropDownList;
    using ItemList::AddItem;
    using ItemList::Clear;
    using ItemList::RemoveItem;

    // The selected entry's text, empty when nothing is selected.
    QString Text() const;

    QColor ForeColor() const;
    void SetForeColor(const QColor& color);
    QColor BackColor() const;
    void SetBackColor(const QColor& color);
    FontSpec Font() const;
    void SetFont(const FontSpec& font);

  protected:
    void ResetProperties() override;
    void ApplyAll() override;

  private:
    void ApplyLook();

    QColor fore_, back_;
    FontSpec font_;
};

// The drive list: the mounted file systems that hold storage, by mount point,
// filled when the form loads, with the file system of the current folder
// selected. Some drive is always selected. The box keeps its size; its open list
// is as wide as its longest entry, and its tooltip is the chosen entry's whole
// mount point.
class DriveListBox : public DropDownList {
  public:
    using DropDownList::DropDownList;

    // The selected entry's text.
    QString Drive() const;

    QColor BackColor() const;
    void SetBackColor(const QColor& color);
    FontSpec Font() const;
    void SetFont(const FontSpec& font);

    // Another drive was picked (by the user or by code).
    std::function<void()> Change;

  protected:
    void ResetProperties() override;
    void ApplyAll() override;
    bool AllowsNoSelection() const override { return false; }
    void SelectionChanged() override;

  private:
    void ApplyLook();
    void ShowDriveTip();

    QColor back_;
    FontSpec font_;
};

}  // namespace platform
