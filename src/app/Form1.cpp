#include "app/Form1.h"

#include <utility>

#include "app/MainArtwork.h"
#include "engine/Utilities.h"
#include "engine/WipeSpace.h"
#include "lang/LanguageFile.h"
#include "lang/Settings.h"
#include "lang/Testi.h"
#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/Events.h"

namespace app {

using lang::Testi;
using platform::FontSpec;
using platform::QBColor;
using platform::Try;

namespace {

// The palette's grey and white: the label-buttons' released and pressed looks.
constexpr int kGrey = 7;
constexpr int kWhite = 15;
// How far a pressed label-button moves right and down, in twips.
constexpr int kPressOffset = 20;
// How far the description's shadow lies right of and below it, in twips.
constexpr int kShadowOffset = 10;
// The method whose long description gets the smaller font.
constexpr int kLongDescriptionMethod = 8;

FontSpec Arial(double size, bool bold, bool italic = false) {
    return FontSpec{QStringLiteral("Arial"), size, bold, italic, false};
}

}  // namespace

QString ProgramTitle() {
    return QStringLiteral("%1 %2.%3.%4")
        .arg(QLatin1String(kProductName))
        .arg(QUELLIX_VERSION_MAJOR)
        .arg(QUELLIX_VERSION_MINOR)
        .arg(QUELLIX_VERSION_PATCH);
}

Form1Form::Form1Form() : Form(QStringLiteral("Form1")) {
    engine::SetMainWindow(this);

    Command1.MouseDown = [this](int b, int s, float x, float y) { Command1_MouseDown(b, s, x, y); };
    Command3.MouseDown = [this](int b, int s, float x, float y) { Command3_MouseDown(b, s, x, y); };
    Command1.Click = [this] { Command1_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Label4.Click = [this] { Label4_Click(); };
    Combo1.Click = [this] { Combo1_Click(); };
    Drive1.Change = [] { engine::Drive1_Change(); };
    Timer1.Timer = [] { engine::Timer1_Timer(); };
    Label9.OLEDragDrop = [this](const platform::DataObject& d, int e) { Label9_OLEDragDrop(d, e); };
    Label4.OLEDragDrop = [this](const platform::DataObject& d, int e) { Label4_OLEDragDrop(d, e); };
    Combo1.OLEDragDrop = [this](const platform::DataObject& d, int e) { Combo1_OLEDragDrop(d, e); };
    Label1.OLEDragDrop = [this](const platform::DataObject& d, int e) { Label1_OLEDragDrop(d, e); };

    mnuEsci.Click = [this] { mnuEsci_Click(); };
    mnuDistruggiFile.Click = [this] { mnuDistruggiFile_Click(); };
    mnuDistruggiCartella.Click = [this] { mnuDistruggiCartella_Click(); };
    mnuDistruggiSpazioLibero.Click = [this] { mnuDistruggiSpazioLibero_Click(); };
    mnuGuida.Click = [this] { mnuGuida_Click(); };
    mnuVersioni.Click = [this] { mnuVersioni_Click(); };
    mnuAggiornamenti.Click = [this] { mnuAggiornamenti_Click(); };
    mnuFaiDonazione.Click = [this] { mnuFaiDonazione_Click(); };
    mnuLingua.Click = [this] { mnuLingua_Click(); };
    mnuAggLingua.Click = [this] { mnuAggLingua_Click(); };
    mnuInfo.Click = [this] { mnuInfo_Click(); };
}

void Form1Form::Design() {
    SetClientSize(10815, 5445);
    SetFrame(true, false);
    // Files and folders may be dropped on the background.
    SetAcceptDrops(true);
    SetPicture(MainBackground());
    SetIcon(ProgramIcon());
    Menus.Load();

    const QCursor hand = HandCursor();
    auto handPointer = [&hand](platform::Control& c) {
        c.SetMouseIcon(hand);
        c.SetMousePointer(platform::pointer::Custom);
    };
    const QColor white(255, 255, 255);

    List2.Move(5160, 4320, 975, 255);
    List2.SetVisible(false);

    Check1.Move(6840, 4500, 195, 195);
    Check1.SetValue(0);
    handPointer(Check1);
    Check1.SetTabIndex(1);

    Command2.Move(6840, 3660, 3335, 715);
    Command2.SetCaption(QStringLiteral("Distruggi Spazio Libero"));
    Command2.SetBackColor(QColor(38, 97, 206));
    Command2.SetFont(Arial(9.75, true));
    handPointer(Command2);
    Command2.SetTabIndex(3);

    Combo1.Move(480, 580, 5475, 345);
    Combo1.SetBackColor(QColor(255, 128, 128));
    Combo1.SetForeColor(QColor(128, 0, 0));
    Combo1.SetFont(Arial(9, true));
    handPointer(Combo1);
    Combo1.SetOLEDropMode(1);
    Combo1.SetTabIndex(0);

    Timer1.SetInterval(0);

    Drive1.Move(6840, 3240, 945, 315);
    Drive1.SetBackColor(white);
    handPointer(Drive1);
    Drive1.SetTabIndex(2);

    // The labels over the panels: transparent, so the background shows through.
    auto label = [](platform::Label& l, int left, int top, int width, int height,
                    const QString& caption, const QColor& colour, const FontSpec& font) {
        l.Move(left, top, width, height);
        l.SetBackStyle(0);
        l.SetForeColor(colour);
        l.SetFont(font);
        l.SetCaption(caption);
    };

    label(Label1, 510, 320, 2115, 240, QStringLiteral("Metodo di cancellazione"), white,
          Arial(9.75, false));
    Label1.SetAutoSize(true);
    Label1.SetOLEDropMode(1);

    label(Command3, 6600, 1560, 3765, 465, QStringLiteral("Command3"), QColor(192, 192, 192),
          Arial(15.75, true));
    Command3.SetAlignment(platform::align::Center);
    handPointer(Command3);

    label(Command1, 6630, 480, 3765, 465, QStringLiteral("Command1"), QColor(192, 192, 192),
          Arial(15.75, true));
    Command1.SetAlignment(platform::align::Center);
    handPointer(Command1);

    label(Label4, 7140, 4490, 2415, 225, QStringLiteral("Al termine arresta il sistema"), white,
          Arial(9, true));
    Label4.SetAutoSize(true);
    handPointer(Label4);
    Label4.SetOLEDropMode(1);

    label(Label9, 480, 1560, 5475, 2580, QStringLiteral("Metodo di cancellazione"), white,
          Arial(15, true, true));
    Label9.SetAlignment(platform::align::Center);
    Label9.SetOLEDropMode(1);

    label(Label3, 5070, 3900, 855, 165, QStringLiteral("Label3"), QColor(64, 0, 0),
          Arial(8.25, true, true));
    Label3.SetAlignment(platform::align::Center);
    // The shadow lies under the description it follows.
    Label3.ZOrder(1);

    label(Label2, 330, 5100, 570, 225, QStringLiteral("Label2"), white, Arial(9, true, true));
    Label2.SetAutoSize(true);
    Label2.SetOLEDropMode(1);
    Label2.SetVisible(false);
}

void Form1Form::Form_Load() {
    Try([this] { SetCaption(ProgramTitle()); });
    Try([] { engine::Drive1_Change(); });
    Try([this] { LeggeIni(); });
    Try([this] { Command1.SetForeColor(QBColor(kGrey)); });
}

void Form1Form::Form_Unload(int& cancel) {
    (void)cancel;
    platform::EndProgram();
}

void Form1Form::Form_MouseMove(int, int, float, float) {
    for (platform::Label* button : {&Command1, &Command3}) {
        if (button->ForeColor() == QBColor(kWhite)) {
            button->SetLeft(button->Left() - kPressOffset);
            button->SetTop(button->Top() - kPressOffset);
            button->SetForeColor(QBColor(kGrey));
        }
    }
}

namespace {
// A label-button goes down once, however often it is pressed.
void Press(platform::Label& button) {
    if (button.ForeColor() != QBColor(kWhite)) {
        button.SetLeft(button.Left() + kPressOffset);
        button.SetTop(button.Top() + kPressOffset);
        button.SetForeColor(QBColor(kWhite));
    }
}
}  // namespace

void Form1Form::Command1_MouseDown(int, int, float, float) {
    Press(Command1);
}
void Form1Form::Command3_MouseDown(int, int, float, float) {
    Press(Command3);
}

void Form1Form::Label4_Click() {
    Check1.SetValue(Check1.Value() == 1 ? 0 : 1);
}

void Form1Form::Combo1_Click() {
    Combo1_Change();
}

void Form1Form::Combo1_Change() {
    const int index = Combo1.ListIndex();
    if (index == -1)
        return;
    Try([&] { Label9.SetFontSize(index == kLongDescriptionMethod ? 10 : 15); });
    Try([&] { Label9.SetCaption(Descrizioni.at(static_cast<std::size_t>(index))); });
    Try([this] {
        Label3.SetWidth(Label9.Width());
        Label3.SetHeight(Label9.Height());
        Label3.SetTop(Label9.Top() + kShadowOffset);
        Label3.SetLeft(Label9.Left() + kShadowOffset);
        Label3.SetFontSize(Label9.Font().size);
        Label3.SetCaption(Label9.Caption());
    });
    Try([&] { lang::ScriviIni(index, FileLingua); });
}

void Form1Form::mnuEsci_Click() {
    platform::EndProgram();
}
void Form1Form::mnuDistruggiFile_Click() {
    Command1_Click();
}
void Form1Form::mnuDistruggiCartella_Click() {
    Command3_Click();
}
void Form1Form::mnuDistruggiSpazioLibero_Click() {
    Command2_Click();
}

void Form1Form::LeggeIni() {
    bool primoAvvio = false;
    Try([&] { primoAvvio = !lang::ReadSettings(MetodoSalvato, FileLingua); });
    Try([this] { lang::ChooseLanguageIfNone(FileLingua); });
    Try([this] { lang::LoadLanguageFile(FileLingua); });
    Try([this] { CambiaLingua(); });
    if (!primoAvvio)
        Try([this] { ScriviIni(); });
}

void Form1Form::CambiaLingua() {
    const QString amp = QStringLiteral("&");
    mnuFile.SetCaption(Testi[1]);
    mnuEsci.SetCaption(Testi[2]);
    mnuDistruggi.SetCaption(amp + Testi[3]);
    mnuDistruggiFile.SetCaption(amp + Testi[83]);
    mnuDistruggiCartella.SetCaption(amp + Testi[80] + QStringLiteral("..."));
    mnuDistruggiSpazioLibero.SetCaption(amp + Testi[4]);
    mnuOpzioni.SetCaption(Testi[56]);
    mnuLingua.SetCaption(Testi[55]);
    mnuAggLingua.SetCaption(Testi[79]);
    mnuDonazioni.SetCaption(Testi[5]);
    mnuFaiDonazione.SetCaption(Testi[6]);
    mnuGuida.SetCaption(Testi[7]);
    mnuVersioni.SetCaption(Testi[82]);
    mnuAggiornamenti.SetCaption(Testi[8]);
    mnuInfo.SetCaption(Testi[9]);
    Command1.SetCaption(Testi[3] + QLatin1Char(' ') + Testi[83]);
    Command2.SetCaption(Testi[3] + QLatin1Char(' ') + Testi[4]);
    Command3.SetCaption(Testi[80]);
    Label1.SetCaption(Testi[34]);
    Label4.SetCaption(Testi[10]);

    std::array<QString, 21> nomi;
    for (int i = 0; i < lang::kMethodCount; ++i) {
        nomi[static_cast<std::size_t>(i)] = Testi[35 + 2 * i];
        Descrizioni[static_cast<std::size_t>(i)] = Testi[36 + 2 * i];
    }
    Combo1.Clear();
    for (int i = 0; i < lang::kMethodCount; ++i) Combo1.AddItem(nomi[static_cast<std::size_t>(i)]);
    // Raises the list's click, which shows the description and saves the settings.
    Try([this] { Combo1.SetListIndex(lang::SavedMethodIndex(MetodoSalvato)); });

    Label2.SetCaption(QStringLiteral("By Corvane - ") + Testi[11]);
}

void Form1Form::ScriviIni() {
    lang::ScriviIni(Combo1.ListIndex(), FileLingua);
}

void Form1Form::Hide() {
    Form::Hide();
}
void Form1Form::SetMousePointer(int pointer) {
    Form::SetMousePointer(pointer);
}
QString Form1Form::SelectedDrive() const {
    return Drive1.Drive();
}

Form1Form& Form1() {
    static Form1Form* instance = new Form1Form;  // lives as long as the process
    return *instance;
}

}  // namespace app
