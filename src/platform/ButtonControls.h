// The controls a user clicks: the command button and the check box.
#pragma once

#include "platform/Form.h"

namespace platform {

class CommandButton : public Control {
  public:
    using Control::Control;

    QString Caption() const;
    void SetCaption(const QString& caption);
    FontSpec Font() const;
    void SetFont(const FontSpec& font);
    // An invalid colour is the system's button colour.
    QColor BackColor() const;
    void SetBackColor(const QColor& color);

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ResetProperties() override;
    void ApplyAll() override;

  private:
    void ApplyBackColor();

    QString caption_;
    FontSpec font_;
    QColor back_;
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

}  // namespace platform
