// The main window's Help and Donations items: pages outside the program, the about box.
#include "app/Form1.h"
#include "app/Links.h"
#include "app/frmAbout.h"
#include "lang/Testi.h"

namespace app {

void Form1Form::mnuGuida_Click() {
    OpenPage(HelpPagePath());
}

void Form1Form::mnuVersioni_Click() {
    OpenPage(VersionHistoryPath());
}

void Form1Form::mnuAggiornamenti_Click() {
    OpenPage(ProductPageAddress());
}

void Form1Form::mnuFaiDonazione_Click() {
    OpenPage(DonationPageAddress());
}

void Form1Form::mnuInfo_Click() {
    using lang::Testi;
    Hide();
    frmAbout().Load();
    // The box is captioned like its menu item, without the item's access key.
    frmAbout().SetCaption(platform::WithoutAccessKeys(Testi[9]));
    frmAbout().lblTitle.SetCaption(QStringLiteral("Quellix Free"));
    frmAbout().lblVersion.SetCaption(QStringLiteral("Rel. %1.%2.%3")
                                         .arg(QUELLIX_VERSION_MAJOR)
                                         .arg(QUELLIX_VERSION_MINOR)
                                         .arg(QUELLIX_VERSION_PATCH));
    frmAbout().lblDescription.SetCaption(Testi[60]);
    frmAbout().lblCopyright.SetCaption(frmAbout().lblCopyright.Caption() + QStringLiteral(" - ") +
                                       Testi[11]);
    frmAbout().Show();
}

}  // namespace app
