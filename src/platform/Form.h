// Forms and controls: single-instance windows whose controls keep their
// properties (positions and sizes in twips) as their own values. A form that
// is not loaded loads itself, hidden, when one of its properties or controls is
// touched, running its load handler on fresh controls.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QWidget;
class QMenuBar;
class QKeyEvent;

namespace platform {

class Form;

// Twips (1440 per inch) to pixels at the screen's logical resolution, and back.
int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);

// A colour written &H00BBGGRR.
QColor ColorFromBgr(unsigned bgr);
// The 16-colour palette (0 black … 7 grey, 15 white).
QColor QBColor(int index);

struct FontSpec {
    QString name = QStringLiteral("MS Sans Serif");
    double size = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    QFont ToQFont() const;
};

// The key code handed to KeyPress handlers for a key event (27 for Esc), or 0.
int KeyAsciiOf(const QKeyEvent& event);

// What a drop brings: the dropped files and folders as full paths, in the order
// the source lists them (item i, counted from 1, is Files[i - 1]).
struct DataObject {
    QStringList Files;
    // The local items left out of Files because no string names them faithfully
    // (a name that is not valid UTF-8, one holding NUL, or an address whose
    // source did not escape it): the run cannot reach them.
    qsizetype Unnamed = 0;
};

// The drop effects a source offers, as bits.
namespace effect {
inline constexpr int Copy = 1;
inline constexpr int Move = 2;
inline constexpr int Link = 4;
}  // namespace effect

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
