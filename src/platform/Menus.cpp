#include "platform/Menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace platform {

void MenuStrip::Load() {
    QMenuBar* bar = form_.MenuBar();
    bar->clear();
    for (MenuItem* item : items_) {
        item->Reset();
        item->action_ = nullptr;
        item->menu_ = nullptr;
    }
    // Items come after their parents: each is added to a menu made before it.
    for (MenuItem* item : items_) {
        QWidget* owner = item->parent_ ? static_cast<QWidget*>(item->parent_->menu_)
                                       : static_cast<QWidget*>(bar);
        if (!item->children_.empty()) {
            item->menu_ = new QMenu(owner);
            item->action_ = item->menu_->menuAction();
        } else if (item->IsSeparator()) {
            item->action_ = new QAction(owner);
            item->action_->setSeparator(true);
        } else {
            item->action_ = new QAction(owner);
            item->action_->setShortcut(item->designShortcut_);
            QObject::connect(item->action_, &QAction::triggered, item->action_, [item] {
                if (item->Click)
                    item->Click();
            });
        }
        owner->addAction(item->action_);
        item->Apply();
    }
}

MenuItem::MenuItem(MenuStrip& strip, QString name, QString caption, MenuItem* parent,
                   QKeySequence shortcut)
    : strip_(strip),
      name_(std::move(name)),
      parent_(parent),
      designCaption_(std::move(caption)),
      designShortcut_(std::move(shortcut)) {
    caption_ = designCaption_;
    strip_.items_.push_back(this);
    if (parent_)
        parent_->children_.push_back(this);
}

bool MenuItem::IsSeparator() const {
    return designCaption_ == QLatin1String("-");
}

void MenuItem::Touch() const {
    strip_.form_.EnsureLoaded();
}

void MenuItem::Reset() {
    caption_ = designCaption_;
    enabled_ = visible_ = true;
}

void MenuItem::Apply() {
    if (!action_)
        return;
    if (!IsSeparator())
        action_->setText(caption_);
    action_->setEnabled(enabled_);
    action_->setVisible(visible_);
}

QString MenuItem::Caption() const {
    Touch();
    return caption_;
}
void MenuItem::SetCaption(const QString& c) {
    Touch();
    caption_ = c;
    Apply();
}
bool MenuItem::Enabled() const {
    Touch();
    return enabled_;
}
void MenuItem::SetEnabled(bool e) {
    Touch();
    enabled_ = e;
    Apply();
}
bool MenuItem::Visible() const {
    Touch();
    return visible_;
}
void MenuItem::SetVisible(bool v) {
    Touch();
    visible_ = v;
    Apply();
}

QAction* MenuItem::Action() const {
    Touch();
    return action_;
}
QMenu* MenuItem::Menu() const {
    Touch();
    return menu_;
}

QString WithoutAccessKeys(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 >= caption.size())
                break;
            ++i;
        }
        plain += caption[i];
    }
    return plain;
}

}  // namespace platform
