// The progress window and the cancel flag.
#pragma once

#include <cstdint>

#include "engine/Wipe.h"  // the cancel flag
#include "platform/Controls.h"

namespace engine {

// The bar's full width in twips.
inline constexpr int kBarFull = 6390;

class DialogForm : public platform::Form {
  public:
    DialogForm();

    platform::Image Image1{*this, QStringLiteral("Image1")};
    platform::Label Label8{*this, QStringLiteral("Label8")};
    platform::Label Label9{*this, QStringLiteral("Label9")};
    platform::Label Label2{*this, QStringLiteral("Label2")};
    platform::Label Label1{*this, QStringLiteral("Label1")};
    platform::Label Label3{*this, QStringLiteral("Label3")};
    platform::Label Label4{*this, QStringLiteral("Label4")};
    platform::Shape Shape1{*this, QStringLiteral("Shape1")};
    platform::Image ImgBar{*this, QStringLiteral("ImgBar")};
    platform::CommandButton CancelButton{*this, QStringLiteral("CancelButton")};

    void CancelButton_Click();
    void CancelButton_KeyPress(int& keyAscii);

  protected:
    void Design() override;
    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void Form_KeyPress(int& keyAscii) override;
    // The close box is a Cancel: the window stays, so no silent reload can clear
    // a stop that was asked for.
    void Form_Close() override;

  private:
    void RequestCancel();
};

// The one progress window, created on first use.
DialogForm& Dialog();

// The bar for step k of a total t: Int(6390 / t * k); error 11 when t is 0.
int BarWidth(double total, double step);

}  // namespace engine
