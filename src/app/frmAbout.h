// The about box: title, version, description and a credits panel that scrolls
// up through its viewport, pauses with its bottom edge at the viewport's, and
// starts again. A click anywhere closes it but on the home-page line, which
// opens the makers' home page.
#pragma once

#include <QString>
#include <cstdint>

#include "platform/Controls.h"
#include "platform/TimerControl.h"

namespace app {

// The credit line as designed, before the tag line is added at each opening.
inline constexpr char kAboutCredit[] = "Quellix Free \u00A9 Corvane";

class FrmAboutForm : public platform::Form {
  public:
    FrmAboutForm();

    platform::Image imgTitle{*this, QStringLiteral("imgTitle")};
    platform::Label lblTitle{*this, QStringLiteral("lblTitle")};
    platform::Label lblVersion{*this, QStringLiteral("lblVersion")};
    // The rule under the title: a frame no taller than its border.
    platform::PictureBox Frame1{*this, QStringLiteral("Frame1")};
    platform::PictureBox Picture1{*this, QStringLiteral("Picture1")};
    platform::PictureBox Picture2{*this, QStringLiteral("Picture2"), &Picture1};
    platform::Label lblDescription{*this, QStringLiteral("lblDescription"), &Picture2};
    platform::Label lblCopyright{*this, QStringLiteral("lblCopyright"), &Picture2};
    platform::Image Image1{*this, QStringLiteral("Image1"), &Picture2};
    platform::Label lblHomePageCap{*this, QStringLiteral("lblHomePageCap"), &Picture2};
    platform::Label lblHomePage{*this, QStringLiteral("lblHomePage"), &Picture2};
    platform::TimerControl Timer1{*this, QStringLiteral("Timer1"), &Picture2};

    // Scroll steps since the panel's bottom edge reached the viewport's.
    std::int16_t Pausa = 0;

    // One step of the scroll.
    void Timer1_Timer();
    void lblHomePage_Click();

  protected:
    void Design() override;
    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void Form_Click() override;
};

// The one about box, created on first use.
FrmAboutForm& frmAbout();

}  // namespace app
