// Message boxes by numeric style, behind a seam that tests answer.
#pragma once

#include <QString>
#include <functional>

namespace platform {

namespace mb {
// Buttons.
inline constexpr int OkOnly = 0;
inline constexpr int YesNo = 4;
// Icons.
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
// Default button.
inline constexpr int DefaultButton2 = 256;
// Answers.
inline constexpr int Ok = 1;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
}  // namespace mb

// Shows a modal box and returns the answer (1 OK, 6 Yes, 7 No). A CR in the
// prompt starts a new line.
int MsgBox(const QString& prompt, int style, const QString& title);

// Tests answer the boxes: the handler gets what would have been shown and
// returns the answer, on the UI thread (the only one that shows boxes). Without
// a handler the real box is shown.
using MsgBoxHandler = std::function<int(const QString& prompt, int style, const QString& title)>;
void SetMsgBoxHandler(MsgBoxHandler handler);

// The real box comes from the widget side, which installs it when the application
// is made (platform::Application). A program without windows has none: the prompt
// goes to the log and the answer is the one Esc would give (No, or OK), so nothing
// is ever confirmed unseen.
using MsgBoxShower = int (*)(const QString& prompt, int style, const QString& title);
void SetMsgBoxShower(MsgBoxShower shower);

}  // namespace platform
