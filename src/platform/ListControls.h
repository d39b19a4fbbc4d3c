// The list controls (list box, drop-down list, drive list), the check box and
// the timer. Like the other controls they keep their properties as their own
// values, restored to the design defaults at every load of their form.
#pragma once

#include <QStringList>
#include <functional>

#include "platform/Form.h"

namespace platform {

// The error a property raises for a value it cannot take (a list index the list
// does not hold).
inline constexpr int kInvalidPropertyValue = 380;

// A list of text entries with one selected entry, or none (-1).
class ListBox : public Control {
  public:
    using Control::Control;

    // Adds at the end, or before the entry at index.
    void AddItem(const QString& item, int index = -1);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const;
    QString List(int index) const;
    int ListIndex() const;
    // Raises Click when the selection changes; error 380 outside -1 to ListCount - 1.
    void SetListIndex(int index);

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ResetProperties() override;
    void ApplyAll() override;

  private:
    void ApplyItems();

    QStringList items_;
    int listIndex_ = -1;
    bool updating_ = false;
};

// A combo box in drop-down list style: the user picks an entry and cannot type.
class ComboBox : public Control {
  public:
    using Control::Control;

    void AddItem(const QString& item, int index = -1);
    void RemoveItem(int index);
    // Removes every entry, which leaves no selection.
    void Clear();
    int ListCount() const;
    QString List(int index) const;
    int ListIndex() const;
    // Raises Click when the selection changes, as a pick by the user does;
    // error 380 outside -1 to ListCount - 1.
    void SetListIndex(int index);
    // The selected entry's text, empty when nothing is selected.
    QString Text() const;

    QColor ForeColor() const;
    void SetForeColor(const QColor& color);
    QColor BackColor() const;
    void SetBackColor(const QColor& color);
    FontSpec Font() const;
    void SetFont(const FontSpec& font);

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ResetProperties() override;
    void ApplyAll() override;

  private:
    void ApplyItems();
    void ApplyLook();

    QStringList items_;
    int listIndex_ = -1;
    QColor fore_, back_;
    FontSpec font_;
    bool updating_ = false;
};

// The drive list: the mounted file systems that hold storage, by mount point,
// filled when the form loads, with the file system of the current folder selected.
class DriveListBox : public Control {
  public:
    using Control::Control;

    int ListCount() const;
    QString List(int index) const;
    int ListIndex() const;
    // Raises Change when the selection changes; error 380 outside the list.
    void SetListIndex(int index);
    // The selected entry's text.
    QString Drive() const;

    QColor BackColor() const;
    void SetBackColor(const QColor& color);
    FontSpec Font() const;
    void SetFont(const FontSpec& font);

    // Another drive was picked (by the user or by code).
    std::function<void()> Change;

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ResetProperties() override;
    void ApplyAll() override;

  private:
    void ApplyLook();

    QStringList items_;
    int listIndex_ = -1;
    QColor back_;
    FontSpec font_;
    bool updating_ = false;
};

// A check box: value 0 unticked, 1 ticked, 2 greyed.
class CheckBox : public Control {
  public:
    using Control::Control;

    int Value() const;
    // Raises Click when the value changes, as a click by the user does.
    void SetValue(int value);
    QString Caption() const;
    void SetCaption(const QString& caption);
    QColor ForeColor() const;
    void SetForeColor(const QColor& color);
    FontSpec Font() const;
    void SetFont(const FontSpec& font);

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ResetProperties() override;
    void ApplyAll() override;

  private:
    void ApplyValue();
    void ApplyLook();

    int value_ = 0;
    QString caption_;
    QColor fore_;
    FontSpec font_;
    bool updating_ = false;
};

// A timer: ticks every Interval milliseconds while it is enabled and the
// interval is not 0. It has no look of its own.
class TimerControl : public Control {
  public:
    using Control::Control;

    int Interval() const;
    void SetInterval(int milliseconds);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    // Whether it is ticking now.
    bool Running() const;

    std::function<void()> Timer;

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ResetProperties() override;
    void ApplyAll() override;

  private:
    void ApplyTimer();

    int interval_ = 0;
    bool enabled_ = true;
};

}  // namespace platform
