// The menu bar of a form: menus and their items, declared in the form in menu
// order. Like the controls they keep their properties as their own values,
// restored to the design values whenever the form loads; touching one loads
// the form.
#pragma once

#include <QKeySequence>
#include <QString>
#include <functional>
#include <vector>

#include "platform/Form.h"

class QAction;
class QMenu;

namespace platform {

class MenuItem;

// The menus of one form. The form's Design calls Load, which builds the bar.
class MenuStrip {
  public:
    explicit MenuStrip(Form& form) : form_(form) {}
    MenuStrip(const MenuStrip&) = delete;
    MenuStrip& operator=(const MenuStrip&) = delete;

    // Restores every item's design values and builds the form's menu bar.
    void Load();

  private:
    friend class MenuItem;
    Form& form_;
    std::vector<MenuItem*> items_;
};

// A top menu (no parent), or an item of a menu. A caption of "-" makes a separator
// line; "&" before a letter makes it the access key.
class MenuItem {
  public:
    MenuItem(MenuStrip& strip, QString name, QString caption, MenuItem* parent = nullptr,
             QKeySequence shortcut = QKeySequence());
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const QString& Name() const { return name_; }
    bool IsSeparator() const;

    QString Caption() const;
    void SetCaption(const QString& caption);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    void SetVisible(bool visible);

    // The item's action on the bar or in its menu; touching it loads the form.
    QAction* Action() const;
    // The item's drop-down menu when it has items, else nullptr.
    QMenu* Menu() const;

    // The item was chosen (by the mouse, its access key or its shortcut).
    std::function<void()> Click;

  private:
    friend class MenuStrip;
    void Touch() const;
    void Reset();
    void Apply();

    MenuStrip& strip_;
    QString name_;
    MenuItem* parent_;
    std::vector<MenuItem*> children_;
    const QString designCaption_;
    const QKeySequence designShortcut_;

    QString caption_;
    bool enabled_ = true, visible_ = true;
    QAction* action_ = nullptr;
    QMenu* menu_ = nullptr;
};

// A menu caption as plain text, for a window title that shares it: the access-key
// marks dropped, "&&" kept as one "&".
QString WithoutAccessKeys(const QString& caption);

}  // namespace platform
