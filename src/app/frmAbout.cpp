#include "app/frmAbout.h"

#include "app/AboutArtwork.h"
#include "app/Form1.h"
#include "app/Links.h"
#include "app/MainArtwork.h"
#include "lang/Testi.h"
#include "platform/Events.h"

namespace app {

using platform::FontSpec;

namespace {

// Where the panel starts: only its first 35 twips show, at the viewport's bottom.
constexpr int kPanelStart = 2200;
// How far the panel moves at each tick, in twips, and how many ticks it rests.
constexpr int kStep = 10;
constexpr int kPauseTicks = 120;
constexpr int kTickMs = 10;

FontSpec Verdana(double size, bool bold = false) {
    return FontSpec{QStringLiteral("Verdana"), size, bold, false, false};
}

// A label that lets what lies behind it show through.
void Transparent(platform::Label& l, int left, int top, int width, int height) {
    l.Move(left, top, width, height);
    l.SetBackStyle(0);
    l.SetFont(Verdana(8.25));
}

}  // namespace

FrmAboutForm::FrmAboutForm() : Form(QStringLiteral("frmAbout")) {
    auto close = [this] { Unload(); };
    imgTitle.Click = close;
    lblTitle.Click = close;
    lblVersion.Click = close;
    lblDescription.Click = close;
    lblCopyright.Click = close;
    lblHomePage.Click = [this] { lblHomePage_Click(); };
    Timer1.Timer = [this] { Timer1_Timer(); };
}

void FrmAboutForm::Design() {
    const QColor white(255, 255, 255);
    const QColor blue(2, 92, 202);
    SetClientSize(6375, 3645);
    SetFrame(false, false);
    SetShowInTaskbar(false);
    SetBackColor(white);
    SetIcon(ProgramIcon());

    imgTitle.SetPicture(AboutTitlePicture());
    imgTitle.Move(0, 0, 1155, 1125);

    Transparent(lblTitle, 900, 330, 2490, 375);
    lblTitle.SetForeColor(blue);
    lblTitle.SetFont(Verdana(15.75, true));
    lblTitle.SetAutoSize(true);

    Transparent(lblVersion, 4800, 510, 720, 195);
    lblVersion.SetForeColor(QColor(128, 0, 0));
    lblVersion.SetFont(Verdana(8.25, true));
    lblVersion.SetAutoSize(true);

    Frame1.Move(-60, 1140, 6495, 25);
    Frame1.SetBackColor(blue);

    Picture1.Move(210, 1170, 5940, 2235);
    Picture1.SetBackColor(white);
    Picture2.Move(60, 0, 5775, 4155);
    Picture2.SetBackColor(white);

    Transparent(lblDescription, 900, 0, 3945, 1095);
    lblDescription.SetForeColor(QColor(40, 86, 147));
    lblDescription.SetFont(Verdana(9));
    lblDescription.SetAlignment(platform::align::Center);

    Transparent(lblCopyright, 690, 1320, 4380, 435);
    lblCopyright.SetAlignment(platform::align::Center);
    lblCopyright.SetCaption(QString::fromUtf8(kAboutCredit));

    Image1.SetPicture(AboutPicture());
    Image1.Move(1740, 2040, 2250, 1800);

    Transparent(lblHomePageCap, 720, 3870, 1050, 195);
    lblHomePageCap.SetCaption(QStringLiteral("Home Page:"));
    lblHomePageCap.SetAutoSize(true);

    Transparent(lblHomePage, 1860, 3840, 3255, 255);
    lblHomePage.SetForeColor(QColor(255, 0, 0));
    lblHomePage.SetFont(FontSpec{QStringLiteral("Arial"), 11.25, false, false, true});
    lblHomePage.SetAlignment(platform::align::Center);
    lblHomePage.SetCaption(HomePageAddress());
    lblHomePage.SetAutoSize(true);
    lblHomePage.SetMouseIcon(HandCursor());
    lblHomePage.SetMousePointer(platform::pointer::Custom);

    Timer1.SetInterval(0);
}

void FrmAboutForm::Form_Load() {
    Timer1.SetInterval(kTickMs);
    Picture2.SetTop(kPanelStart);
    Pausa = 0;
}

void FrmAboutForm::Form_Unload(int& cancel) {
    (void)cancel;
    Timer1.SetInterval(0);
    Form1().Show();
}

void FrmAboutForm::Form_Click() {
    Unload();
}

void FrmAboutForm::lblHomePage_Click() {
    OpenPage(HomePageAddress());
}

void FrmAboutForm::Timer1_Timer() {
    // Every position is read back from the controls, in twips.
    if (Picture1.Height() - Picture2.Height() < Picture2.Top()) {
        Picture2.SetTop(Picture2.Top() - kStep);
    } else {
        ++Pausa;
        if (Pausa > kPauseTicks)
            Picture2.SetTop(Picture2.Top() - kStep);
    }
    // Gone above the viewport: start again in the same tick, never drawn up there.
    if (-Picture2.Height() > Picture2.Top()) {
        Picture2.SetTop(kPanelStart);
        Pausa = 0;
    }
}

FrmAboutForm& frmAbout() {
    static FrmAboutForm* instance = new FrmAboutForm;  // lives as long as the process
    return *instance;
}

}  // namespace app
