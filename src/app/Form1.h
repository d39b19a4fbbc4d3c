// The main window: the method list with its description, the label-buttons,
// the drive list with the free-space button, the shutdown box and the menus.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "engine/MainWindowLink.h"
#include "platform/Controls.h"
#include "platform/ListControls.h"
#include "platform/Menus.h"
#include "platform/TimerControl.h"

namespace platform {
class TreeAnchor;
}

namespace app {

// The product name at the head of the title.
inline constexpr char kProductName[] = "Quellix";

// "Quellix 2.1.4": the product name and the version numbers joined by points.
QString ProgramTitle();

class Form1Form : public platform::Form, public engine::MainWindowLink {
  public:
    Form1Form();

    // The controls, in the window's control order.
    platform::ListBox List2{*this, QStringLiteral("List2")};
    platform::CheckBox Check1{*this, QStringLiteral("Check1")};
    platform::CommandButton Command2{*this, QStringLiteral("Command2")};
    platform::ComboBox Combo1{*this, QStringLiteral("Combo1")};
    platform::TimerControl Timer1{*this, QStringLiteral("Timer1")};
    platform::DriveListBox Drive1{*this, QStringLiteral("Drive1")};
    platform::Label Label1{*this, QStringLiteral("Label1")};
    platform::Label Command3{*this, QStringLiteral("Command3")};
    platform::Label Command1{*this, QStringLiteral("Command1")};
    platform::Label Label4{*this, QStringLiteral("Label4")};
    platform::Label Label9{*this, QStringLiteral("Label9")};
    platform::Label Label3{*this, QStringLiteral("Label3")};
    platform::Label Label2{*this, QStringLiteral("Label2")};

    // The menu bar, in menu order.
    platform::MenuStrip Menus{*this};
    platform::MenuItem mnuFile{Menus, QStringLiteral("mnuFile"), QStringLiteral("&File")};
    platform::MenuItem mnuEsci{Menus, QStringLiteral("mnuEsci"), QStringLiteral("&Esci"), &mnuFile};
    platform::MenuItem mnuDistruggi{Menus, QStringLiteral("mnuDistruggi"),
                                    QStringLiteral("&Distruggi")};
    platform::MenuItem mnuDistruggiFile{Menus, QStringLiteral("mnuDistruggiFile"),
                                        QStringLiteral("&File(s)..."), &mnuDistruggi};
    platform::MenuItem mnuDistruggiCartella{Menus, QStringLiteral("mnuDistruggiCartella"),
                                            QStringLiteral("&Cartella..."), &mnuDistruggi};
    platform::MenuItem mnuDistruggiSpazioLibero{Menus, QStringLiteral("mnuDistruggiSpazioLibero"),
                                                QStringLiteral("&Spazio libero"), &mnuDistruggi};
    platform::MenuItem mnuOpzioni{Menus, QStringLiteral("mnuOpzioni"), QStringLiteral("&Opzioni")};
    platform::MenuItem mnuLingua{Menus, QStringLiteral("mnuLingua"), QStringLiteral("Lingua"),
                                 &mnuOpzioni};
    platform::MenuItem mnuAggLingua{Menus, QStringLiteral("mnuAggLingua"),
                                    QStringLiteral("&Aggiungi lingua..."), &mnuOpzioni};
    platform::MenuItem mnuDonazioni{Menus, QStringLiteral("mnuDonazioni"),
                                    QStringLiteral("&Donazioni")};
    platform::MenuItem mnuFaiDonazione{Menus, QStringLiteral("mnuFaiDonazione"),
                                       QStringLiteral("&Fai una donazione..."), &mnuDonazioni};
    platform::MenuItem mnuHelp{Menus, QStringLiteral("mnuHelp"), QStringLiteral("&?")};
    platform::MenuItem mnuGuida{Menus, QStringLiteral("mnuGuida"), QStringLiteral("&Guida..."),
                                &mnuHelp, QKeySequence(Qt::Key_F1)};
    platform::MenuItem r2{Menus, QStringLiteral("r2"), QStringLiteral("-"), &mnuHelp};
    platform::MenuItem mnuVersioni{Menus, QStringLiteral("mnuVersioni"), QStringLiteral("Versioni"),
                                   &mnuHelp};
    platform::MenuItem mnuAggiornamenti{Menus, QStringLiteral("mnuAggiornamenti"),
                                        QStringLiteral("Controlla &Aggiornamenti..."), &mnuHelp};
    platform::MenuItem r3{Menus, QStringLiteral("r3"), QStringLiteral("-"), &mnuHelp};
    platform::MenuItem mnuInfo{Menus, QStringLiteral("mnuInfo"), QStringLiteral("&Informazioni"),
                               &mnuHelp, QKeySequence(Qt::CTRL | Qt::Key_F1)};

    // Description of method i (0 to 8); the rest stay empty.
    std::array<QString, 21> Descrizioni;
    // The current language file's name, with ".lng".
    QString FileLingua;
    // The saved method index as read from the settings file, until it is selected.
    QString MetodoSalvato;
    // A folder handed from a drop to the folder wipe; empty when none.
    QString CartellaRilasciata;
    // Its top, held since the drop arrived; null when the folder wipe is to open it.
    platform::TreeAnchor* AncoraRilasciata = nullptr;

    // Reads the settings, loads the language, applies the texts, saves the settings.
    void LeggeIni();
    // Puts the texts on the menus and controls, refills the method list and
    // selects the saved method.
    void CambiaLingua();
    // Writes the settings file from the method list and FileLingua.
    void ScriviIni();

    // The operations behind the label-buttons and the free-space button.
    void Command1_Click();
    void Command3_Click();
    void Command2_Click();

    // The question every run that destroys files asks first (texts 12 and 13,
    // No the default button): false when the user answers No.
    bool ConfirmDestruction(int icon, const QString& title);
    // The end of a run that was not cancelled: with the shutdown box ticked, the
    // shutdown and no box; otherwise `beforeBox`, then the completion box:
    // `completed`, or, when files kept their data, text 17 and their count.
    void EndOfRun(const QString& completed, const std::function<void()>& beforeBox = {});

    // The file wipe's open dialog: "" (cancelled or failed), one full path, or a
    // folder followed, for each file, by a NUL and its name under that folder.
    QString GetFiles(const QString& sTitle);
    // The method every wipe uses: the selected one, or method 0 while none is
    // selected, so that no file is ever removed without an overwrite.
    std::int16_t MetodoScelto() const;

    // Drops on the controls that take them, and the drop itself.
    void Label9_OLEDragDrop(const platform::DataObject& Data, int Effect);
    void Label4_OLEDragDrop(const platform::DataObject& Data, int Effect);
    void Combo1_OLEDragDrop(const platform::DataObject& Data, int Effect);
    void Label1_OLEDragDrop(const platform::DataObject& Data, int Effect);
    void RilasciaFiles(const platform::DataObject& Data, int Effect);

    // The folder walks of the folder wipe: Scan wipes a folder's files and walks
    // its subfolders, listing each in List2; Scan2 lists and walks the top
    // folder's subfolders; ElencaFiles wipes the files lying in one folder.
    void Scan(const QString& Percorso);
    void Scan2(const QString& Percorso);
    void ElencaFiles(const QString& folderOr);

    void Command1_MouseDown(int button, int shift, float x, float y);
    void Command3_MouseDown(int button, int shift, float x, float y);
    void Label4_Click();
    void Combo1_Click();
    void Combo1_Change();
    void mnuEsci_Click();
    void mnuDistruggiFile_Click();
    void mnuDistruggiCartella_Click();
    void mnuDistruggiSpazioLibero_Click();
    // The pages outside the program: help (also F1), release history, updates, donations.
    void mnuGuida_Click();
    void mnuVersioni_Click();
    void mnuAggiornamenti_Click();
    void mnuFaiDonazione_Click();
    // Another language file from the Lang folder: saved and applied at once.
    void mnuLingua_Click();
    // Writes the translation form beside the program and opens it.
    void mnuAggLingua_Click();
    // Opens the about box in place of the main window.
    void mnuInfo_Click();

    // What the engine needs of the window.
    void Hide() override;
    void SetMousePointer(int pointer) override;
    QString SelectedDrive() const override;
    void Show() override;
    int MethodIndex() const override;
    int ShutdownAtEnd() const override;
    void SetTimerInterval(int milliseconds) override;

  protected:
    void Design() override;
    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void Form_MouseMove(int button, int shift, float x, float y) override;
    void Form_OLEDragDrop(const platform::DataObject& Data, int Effect) override;

  public:
    // What a folder run holds while it lasts (FolderWipe.cpp).
    struct FolderRun;

  private:
    FolderRun* folderRun_ = nullptr;
};

// The one main window, created on first use; it registers itself as the
// engine's main window.
Form1Form& Form1();

}  // namespace app
