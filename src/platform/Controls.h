// The controls the forms are made of; the command button and the check box are
// in ButtonControls.h.
#pragma once

#include "platform/ButtonControls.h"
#include "platform/Form.h"

class QStyle;

namespace platform {

namespace align {
inline constexpr int Left = 0;
inline constexpr int Right = 1;
inline constexpr int Center = 2;
}  // namespace align

class Label : public Control {
  public:
    using Control::Control;

    QString Caption() const;
    void SetCaption(const QString& caption);
    QColor ForeColor() const;
    void SetForeColor(const QColor& color);
    QColor BackColor() const;
    void SetBackColor(const QColor& color);
    // 0 transparent, 1 opaque.
    int BackStyle() const;
    void SetBackStyle(int style);
    int Alignment() const;
    void SetAlignment(int alignment);
    FontSpec Font() const;
    void SetFont(const FontSpec& font);
    void SetFontSize(double size);
    bool AutoSize() const;
    void SetAutoSize(bool autoSize);

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ResetProperties() override;
    void ApplyAll() override;
    bool HoldsItsSize() const override { return true; }

  private:
    void ApplyText();
    void ApplyLook();
    void FitToText();

    QString caption_;
    QColor fore_, back_;
    int backStyle_ = 1;
    int alignment_ = align::Left;
    FontSpec font_;
    bool autoSize_ = false;
};

// A picture, drawn at its size or stretched over the control.
class Image : public Control {
  public:
    using Control::Control;

    const QPixmap& Picture() const;
    void SetPicture(const QPixmap& picture);
    void SetStretch(bool stretch);

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ResetProperties() override;
    void ApplyAll() override;

  private:
    QPixmap picture_;
    bool stretch_ = false;
};

// A rectangle drawn as a frame.
class Shape : public Control {
  public:
    using Control::Control;

    void SetBorderColor(const QColor& color);

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ResetProperties() override;
    void ApplyAll() override;

  private:
    QColor border_;
};

// A picture box: an area filled with its back colour, with its picture at the
// top-left corner; other controls may live inside it (see Control's container).
class PictureBox : public Control {
  public:
    using Control::Control;

    QColor BackColor() const;
    void SetBackColor(const QColor& color);
    const QPixmap& Picture() const;
    void SetPicture(const QPixmap& picture);

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ResetProperties() override;
    void ApplyAll() override;

  private:
    void ApplyLook();

    QColor back_;
    QPixmap picture_;
};

// The style of the controls that carry a colour of their own: it fills them flat
// with the palette's colour, where the desktop's style would paint a gradient over it.
QStyle* FlatStyle();

// Text with CR (or CR LF) line breaks, as Qt shows it.
QString DisplayText(const QString& caption);

}  // namespace platform
