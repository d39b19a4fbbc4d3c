// The main window's menu items that open pages outside the program.
#include "app/Form1.h"
#include "app/Links.h"

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

}  // namespace app
