// Forms: single-instance windows whose controls keep their properties
// (positions and sizes in twips) as their own values. A form that is not loaded
// loads itself, hidden, when one of its properties or controls is touched,
// running its load handler on fresh controls.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <vector>

#include "platform/Control.h"

class QWidget;
class QMenuBar;

namespace platform {

class Form {
  public:
    explicit Form(QString name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const QString& Name() const { return name_; }

    void Load();
    void Show();
    void Hide();
    void Unload();
    void Refresh();
    bool IsLoaded() const { return loaded_; }
    // Whether the window is on screen, without touching the form.
    bool IsShown() const;

    QString Caption() const;
    void SetCaption(const QString& caption);
    int MousePointer() const;
    void SetMousePointer(int pointer);
    void SetIcon(const QPixmap& icon);
    // An icon of several images; the system picks the size it shows.
    void SetIcon(const QIcon& icon);
    const QIcon& Icon() const { return icon_; }
    // The picture drawn behind the controls.
    const QPixmap& Picture() const { return picture_; }

    // The top-level window; touching it loads the form.
    QWidget* Window();
    QWidget* WindowIfLoaded() const;
    // The area below the menu bar where the controls live.
    QWidget* ClientArea();
    // The menu bar, created on first use (only while loaded).
    QMenuBar* MenuBar();

    void EnsureLoaded();
    const std::vector<Control*>& Controls() const { return controls_; }

  protected:
    // Sets the form's and the controls' design properties; runs at every load,
    // before Form_Load.
    virtual void Design() {}
    virtual void Form_Load() {}
    virtual void Form_Unload(int& cancel) { (void)cancel; }
    virtual void Form_KeyPress(int& keyAscii) { (void)keyAscii; }
    // The close box was used; by default the form unloads.
    virtual void Form_Close() { Unload(); }
    // A left click on the form's background, over no control.
    virtual void Form_Click() {}
    // Files dropped on the form's own area, when it takes drops; accepted and
    // delivered as a control's OLEDragDrop is.
    virtual void Form_OLEDragDrop(const DataObject& data, int effect) { (void)data, (void)effect; }
    // The mouse moved over the form's background, over no control (x, y in twips).
    virtual void Form_MouseMove(int button, int shift, float x, float y) {
        (void)button, (void)shift, (void)x, (void)y;
    }

    void SetClientSize(int widthTwips, int heightTwips);
    // A fixed frame; the minimise and maximise boxes as given.
    void SetFrame(bool minimizeBox, bool maximizeBox);
    void SetAcceptDrops(bool accept);
    // A window left out of the task bar (a tool window).
    void SetShowInTaskbar(bool show);
    void SetBackColor(const QColor& color);
    // A picture drawn at the top-left corner of the client area, behind the controls.
    void SetPicture(const QPixmap& picture);

  private:
    friend class Control;
    friend class FormWindow;
    friend class ClientWidget;
    void Register(Control* control);
    void Unregister(Control* control);
    void ApplyWindowProperties();
    void FixWindowSize();

    QString name_;
    std::vector<Control*> controls_;
    QWidget* window_ = nullptr;
    QWidget* client_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    bool loaded_ = false;
    bool shownOnce_ = false;
    QString caption_;
    int pointer_ = 0;
    int clientWidth_ = 4800, clientHeight_ = 3600;
    bool minimizeBox_ = true, maximizeBox_ = false;
    bool acceptDrops_ = false;
    bool showInTaskbar_ = true;
    QColor backColor_;
    QIcon icon_;
    QPixmap picture_;
};

}  // namespace platform
