// A control of a form: its place in twips, its state and its event handlers. Its
// properties are its own values, restored to the design defaults at every load
// of its form; touching one loads the form.
#pragma once

#include <QCursor>
#include <QString>
#include <functional>

#include "platform/DroppedFiles.h"
#include "platform/Units.h"

class QWidget;

namespace platform {

class Form;

class Control {
  public:
    // A control with a container (a picture box) lives inside it: its place is
    // relative to the container, and the container clips it.
    Control(Form& form, QString name, Control* container = nullptr);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const QString& Name() const { return name_; }

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int twips);
    void SetTop(int twips);
    void SetWidth(int twips);
    void SetHeight(int twips);
    void Move(int left, int top, int width, int height);

    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    int MousePointer() const;
    void SetMousePointer(int pointer);
    void SetMouseIcon(const QCursor& cursor);
    void SetTabIndex(int index);
    void SetFocus();
    void Refresh();
    // 0 none: the control takes no drop of its own, a drag over it goes on to
    // the form beneath; 1 manual: the control takes drops when it has an
    // OLEDragDrop handler.
    int OLEDropMode() const;
    void SetOLEDropMode(int mode);
    // 0 brings the control in front of its siblings, 1 sends it behind them.
    void ZOrder(int position = 0);

    // The control's widget; touching it loads the form.
    QWidget* Widget() const;
    // The widget if the form is loaded, without touching it (for tests).
    QWidget* WidgetIfLoaded() const { return widget_; }

    // Event handlers, set by the form that owns the control.
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void(int& keyAscii)> KeyPress;
    // Button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; x, y in twips.
    std::function<void(int button, int shift, float x, float y)> MouseDown;
    std::function<void(int button, int shift, float x, float y)> MouseMove;
    std::function<void(int button, int shift, float x, float y)> MouseUp;
    // Files dropped on the control with the effects offered. A drag of local
    // files that offers a copy is accepted as a copy (never a move, so the source
    // keeps its original); the handler runs once the drop event has returned.
    std::function<void(const DataObject& data, int effect)> OLEDragDrop;

  protected:
    friend class Form;
    virtual QWidget* CreateWidget(QWidget* parent) = 0;
    // Design-time defaults, restored at every load.
    virtual void ResetProperties();
    // Pushes every property to the fresh widget.
    virtual void ApplyAll();
    void Touch() const;
    void ApplyGeometry();
    // Whether the widget's size is held at the control's: a control whose text
    // changes while a run shows it, so that a new text asks its form for no new
    // layout (an event posted for every caption).
    virtual bool HoldsItsSize() const { return false; }

    QWidget* widget_ = nullptr;

  private:
    void ApplyCursor();
    void InstallFilter();

    Form& form_;
    QString name_;
    Control* container_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true, enabled_ = true;
    int pointer_ = 0;
    int tabIndex_ = -1;
    int oleDropMode_ = 0;
    QCursor icon_;
};

}  // namespace platform
