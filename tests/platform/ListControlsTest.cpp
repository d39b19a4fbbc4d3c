// The list controls: entries and selection as code and the user see them.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QListWidget>
#include <functional>

#include "platform/Drives.h"
#include "platform/Errors.h"
#include "platform/ListControls.h"
#include "platform/Units.h"

namespace {

class ListForm : public platform::Form {
  public:
    ListForm() : Form(QStringLiteral("ListForm")) {}
    platform::ListBox list{*this, QStringLiteral("List1")};
    platform::ComboBox combo{*this, QStringLiteral("Combo1")};
};

// What the widget shows: its entries and its current one.
QStringList Shown(QWidget* w, int* current) {
    QStringList texts;
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        for (int i = 0; i < l->count(); ++i) texts << l->item(i)->text();
        *current = l->currentRow();
    } else {
        auto* c = static_cast<QComboBox*>(w);
        for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
        *current = c->currentIndex();
    }
    return texts;
}

// One step on a list, the entries and selection it leaves, and whether it
// raises Click.
struct Step {
    const char* what;
    std::function<void(platform::ListBox&)> onList;
    std::function<void(platform::ComboBox&)> onCombo;
    QStringList items;
    int index;
    bool clicks;
};

template <class F>
Step Both(const char* what, F f, QStringList items, int index, bool clicks) {
    return {what, f, f, items, index, clicks};
}

TEST(ListControls, EntriesAndSelectionFollowEachEditInControlAndWidget) {
    const Step steps[] = {
        Both(
            "append a", [](auto& l) { l.AddItem(QStringLiteral("a")); }, {"a"}, -1, false),
        Both(
            "append b", [](auto& l) { l.AddItem(QStringLiteral("b")); }, {"a", "b"}, -1, false),
        Both(
            "select b", [](auto& l) { l.SetListIndex(1); }, {"a", "b"}, 1, true),
        Both(
            "select b again", [](auto& l) { l.SetListIndex(1); }, {"a", "b"}, 1, false),
        Both(
            "insert before the selection", [](auto& l) { l.AddItem(QStringLiteral("c"), 0); },
            {"c", "a", "b"}, 2, false),
        Both(
            "insert at the end by index", [](auto& l) { l.AddItem(QStringLiteral("d"), 3); },
            {"c", "a", "b", "d"}, 2, false),
        Both(
            "remove before the selection", [](auto& l) { l.RemoveItem(0); }, {"a", "b", "d"}, 1,
            false),
        Both(
            "remove the selection", [](auto& l) { l.RemoveItem(1); }, {"a", "d"}, -1, false),
        Both(
            "select a", [](auto& l) { l.SetListIndex(0); }, {"a", "d"}, 0, true),
        Both(
            "select none", [](auto& l) { l.SetListIndex(-1); }, {"a", "d"}, -1, true),
        Both(
            "clear", [](auto& l) { l.Clear(); }, {}, -1, false),
    };
    ListForm form;
    int clicks = 0;
    form.list.Click = [&] { ++clicks; };
    form.combo.Click = [&] { ++clicks; };
    for (const Step& s : steps) {
        for (platform::ItemList* l :
             std::initializer_list<platform::ItemList*>{&form.list, &form.combo}) {
            clicks = 0;
            if (l == &form.list) {
                s.onList(form.list);
            } else {
                s.onCombo(form.combo);
            }
            SCOPED_TRACE(QStringLiteral("%1 on %2").arg(s.what, l->Name()).toStdString());
            ASSERT_EQ(l->ListCount(), s.items.size());
            for (int i = 0; i < s.items.size(); ++i) EXPECT_EQ(l->List(i), s.items[i]);
            EXPECT_EQ(l->List(static_cast<int>(s.items.size())), QString())
                << "past the end reads empty";
            EXPECT_EQ(l->ListIndex(), s.index);
            EXPECT_EQ(clicks, s.clicks ? 1 : 0);
            int current = -2;
            EXPECT_EQ(Shown(l->Widget(), &current), s.items);
            EXPECT_EQ(current, s.index);
        }
    }
    EXPECT_EQ(form.combo.Text(), QString());
}

TEST(ListControls, IndicesOutsideTheListRaiseError380AndChangeNothing) {
    ListForm form;
    form.list.AddItem(QStringLiteral("a"));
    form.combo.AddItem(QStringLiteral("a"));
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"select past the end", [&] { form.list.SetListIndex(1); }},
        {"select below -1", [&] { form.combo.SetListIndex(-2); }},
        {"insert past the end", [&] { form.list.AddItem(QStringLiteral("x"), 2); }},
        {"insert below -1", [&] { form.combo.AddItem(QStringLiteral("x"), -2); }},
        {"remove -1", [&] { form.list.RemoveItem(-1); }},
        {"remove past the end", [&] { form.combo.RemoveItem(1); }},
    };
    for (const auto& [what, call] : cases) {
        try {
            call();
            ADD_FAILURE() << what << " raised nothing";
        } catch (const platform::RuntimeError& e) {
            EXPECT_EQ(e.Number(), platform::kInvalidPropertyValue) << what;
        }
    }
    EXPECT_EQ(form.list.ListCount(), 1);
    EXPECT_EQ(form.combo.ListCount(), 1);
}

TEST(ListControls, UserPickRaisesClickAndAWidgetIsNeverRebuiltByAnAppend) {
    ListForm form;
    for (const char* t : {"a", "b", "c"}) form.list.AddItem(QString::fromLatin1(t));
    auto* w = static_cast<QListWidget*>(form.list.Widget());
    QListWidgetItem* first = w->item(0);
    int clicks = 0;
    form.list.Click = [&] { ++clicks; };
    w->setCurrentRow(2);  // as a click on the entry does
    EXPECT_EQ(form.list.ListIndex(), 2);
    EXPECT_EQ(clicks, 1);
    // An append touches only the new entry: the widget keeps the entries it has.
    for (int i = 0; i < 100; ++i) form.list.AddItem(QString::number(i));
    EXPECT_EQ(w->item(0), first);
    EXPECT_EQ(w->count(), 103);
    EXPECT_EQ(form.list.ListIndex(), 2);
    EXPECT_EQ(clicks, 1);
    // The next load starts from the design: no entries.
    form.Unload();
    EXPECT_EQ(form.list.ListCount(), 0);
}

// The drive list keeps its narrow box: the open list shows every mount point
// whole, and the tooltip names the chosen one.
TEST(DriveList, NarrowBoxShowsWholeMountPointsInItsOpenListAndTooltip) {
    const QString longest = QStringLiteral("/srv/media/photos-archive-2024/external-disk");
    platform::hooks::SetMountedVolumes(
        std::vector<platform::MountedVolume>{
            {QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4")},
            {QStringLiteral("/srv/media/backup"), QStringLiteral("/dev/sdb1"),
             QStringLiteral("ext4")},
            {longest, QStringLiteral("/dev/sdc1"), QStringLiteral("vfat")}},
        longest + QStringLiteral("/photos"));
    class DriveForm : public platform::Form {
      public:
        DriveForm() : Form(QStringLiteral("DriveForm")) {}
        platform::DriveListBox Drive1{*this, QStringLiteral("Drive1")};

      protected:
        void Design() override {
            SetClientSize(3000, 1500);
            Drive1.Move(120, 120, 945, 315);
        }
    } form;
    int changes = 0;
    form.Drive1.Change = [&] { ++changes; };
    form.Show();
    auto* box = static_cast<QComboBox*>(form.Drive1.Widget());
    const int designWidth = platform::TwipsToPixels(945);
    EXPECT_EQ(box->width(), designWidth);
    EXPECT_EQ(form.Drive1.Drive(), longest);
    EXPECT_EQ(box->toolTip(), longest);

    form.Drive1.SetListIndex(1);
    EXPECT_EQ(box->toolTip(), QStringLiteral("/srv/media/backup"));
    box->setCurrentIndex(0);  // as the user's pick in the open list does
    EXPECT_EQ(box->toolTip(), QStringLiteral("/"));
    EXPECT_EQ(changes, 2);

    box->showPopup();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(list->isVisible());
    // No entry is cut short: the list is as wide as its widest entry needs.
    EXPECT_GE(list->viewport()->width(), list->sizeHintForColumn(0));
    EXPECT_GT(list->sizeHintForColumn(0), designWidth);
    box->hidePopup();
    EXPECT_EQ(box->width(), designWidth);

    form.Unload();
    platform::hooks::SetMountedVolumes(std::nullopt);
}

}  // namespace
