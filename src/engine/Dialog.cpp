#include "engine/Dialog.h"

#include <cmath>

#include "engine/Artwork.h"
#include "lang/Testi.h"
#include "platform/Errors.h"
#include "platform/Events.h"

namespace engine {

using lang::Testi;
using platform::FontSpec;

DialogForm::DialogForm() : Form(QStringLiteral("Dialog")) {
    CancelButton.Click = [this] { CancelButton_Click(); };
    CancelButton.KeyPress = [this](int& k) { CancelButton_KeyPress(k); };
}

void DialogForm::Design() {
    SetClientSize(6915, 3315);
    SetFrame(false, false);
    SetCaption(QString());

    Image1.SetStretch(false);
    Image1.SetPicture(DialogBackground());
    // After the picture, which sizes an image that does not stretch to itself.
    Image1.Move(0, 0, 7095, 3780);

    const QColor white = platform::ColorFromBgr(0x00FFFFFF);
    FontSpec status{QStringLiteral("Arial"), 12, true, true, false};
    Label8.Move(60, 90, 6795, 705);
    Label8.SetForeColor(white);
    Label8.SetAlignment(platform::align::Center);
    Label8.SetBackStyle(0);
    Label8.SetFont(status);

    FontSpec second{QStringLiteral("Arial"), 15, true, true, false};
    Label9.Move(270, 1080, 6405, 990);
    Label9.SetForeColor(white);
    Label9.SetAlignment(platform::align::Center);
    Label9.SetBackStyle(0);
    Label9.SetFont(second);
    Label9.SetVisible(false);

    FontSpec small{QStringLiteral("Arial"), 8.25, false, false, false};
    struct {
        platform::Label& label;
        int top;
    } lines[] = {{Label2, 990}, {Label1, 1230}, {Label3, 1470}, {Label4, 1710}};
    for (auto& l : lines) {
        l.label.Move(300, l.top, 480, 210);
        l.label.SetForeColor(white);
        l.label.SetAlignment(platform::align::Left);
        l.label.SetBackStyle(0);
        l.label.SetFont(small);
        l.label.SetAutoSize(true);
        l.label.SetVisible(false);
    }

    Shape1.Move(240, 2160, 6455, 255);
    Shape1.SetBorderColor(white);

    ImgBar.SetStretch(true);
    ImgBar.SetPicture(BarStrip());
    ImgBar.Move(270, 2190, 0, 210);

    CancelButton.Move(2730, 2640, 1455, 435);
    CancelButton.SetCaption(QStringLiteral("&Annulla"));
    CancelButton.SetMouseIcon(CancelCursor());
    CancelButton.SetMousePointer(platform::pointer::Custom);
    CancelButton.SetTabIndex(0);
}

void DialogForm::Form_Load() {
    SetMousePointer(platform::pointer::Hourglass);
    Label8.SetCaption(Testi[61]);
    Label9.SetCaption(Testi[62] + QChar(13) + Testi[65]);
    ImgBar.SetWidth(0);
    Annullato = 0;
}

void DialogForm::Form_Unload(int& cancel) {
    (void)cancel;
    SetMousePointer(platform::pointer::Default);
}

void DialogForm::RequestCancel() {
    Label9.SetCaption(Testi[64]);
    Annullato = 1;
}

void DialogForm::CancelButton_Click() {
    RequestCancel();
}

void DialogForm::CancelButton_KeyPress(int& keyAscii) {
    if (keyAscii == 27)
        RequestCancel();
}

void DialogForm::Form_KeyPress(int& keyAscii) {
    if (keyAscii == 27)
        RequestCancel();
}

void DialogForm::Form_Close() {
    RequestCancel();
}

DialogForm& Dialog() {
    static DialogForm* instance = new DialogForm;  // lives as long as the process
    return *instance;
}

int BarWidth(double total, double step) {
    if (total == 0) {
        platform::Raise(platform::err::DivisionByZero);
    }
    return static_cast<int>(std::floor(kBarFull / total * step));
}

}  // namespace engine
