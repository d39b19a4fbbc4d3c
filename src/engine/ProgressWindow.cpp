#include "engine/ProgressWindow.h"

#include <QChar>

#include "engine/Dialog.h"
#include "engine/Gutmann.h"
#include "engine/MainWindowLink.h"
#include "lang/Testi.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/Messages.h"

namespace engine {

using lang::Testi;

QString WipingCaption(const QString& Nome, int percent, int pass) {
    QString caption = QStringLiteral("Wiping: ") + Nome + QChar(13) + QString::number(percent) +
                      QStringLiteral("%");
    if (pass > 0)
        caption += QStringLiteral(" (") + Testi[69] + QStringLiteral(" ") + QString::number(pass) +
                   QStringLiteral(")");
    return caption;
}

namespace {

// What the window shows is set only when it changes: a pass steps a hundred
// times, and a caption or bar set again to what it holds would still go through
// the control and its widget for nothing.
void ShowCaption(platform::Label& label, const QString& caption) {
    if (label.Caption() != caption)
        label.SetCaption(caption);
}
void ShowBar(platform::Image& bar, int width) {
    if (bar.Width() != width)
        bar.SetWidth(width);
}

}  // namespace

QString ShownName(const QString& Path) {
    const qsizetype i = Path.lastIndexOf(platform::kSep);
    return i >= 0 ? Path.mid(i + 1) + QStringLiteral("...") : QString();
}

FileProgressWindow::FileProgressWindow(int Metodo, const QString& Nome)
    : traits_(TraitsOf(Metodo)), nome_(Nome) {}

void FileProgressWindow::PassBegins(int pass, PassKind kind) {
    DialogForm& dlg = Dialog();
    dlg.Load();
    if (traits_.thirtyFivePass) {
        dlg.Label8.SetCaption(WipingCaption(nome_, 0, 1));
        dlg.Show();
        MainWindow().Hide();
        platform::DoEvents();
        dlg.Refresh();
        return;
    }
    ShowCaption(dlg.Label8, WipingCaption(nome_, 0, traits_.showsPassNumber ? pass : 0));
    ownTotal_ = traits_.ownTotal && kind != PassKind::Random;
    if (ownTotal_)
        MainWindow().Totale = platform::Currency::FromWhole(99);
    ShowBar(dlg.ImgBar, 0);
    dlg.Show();
    if (kind == PassKind::Zeros && traits_.refreshesZeros) {
        dlg.Refresh();
        platform::DoEvents();
    }
    MainWindow().Hide();
}

void FileProgressWindow::Stepped(int pass, int step) {
    if (traits_.thirtyFivePass) {
        ShowPassProgress(static_cast<std::int16_t>(pass), nome_, kGutmannPassCount);
        return;
    }
    DialogForm& dlg = Dialog();
    ShowCaption(dlg.Label8, WipingCaption(nome_, step, traits_.showsPassNumber ? pass : 0));
    const double total = ownTotal_ ? MainWindow().Totale.ToDouble() : 99.0;
    ShowBar(dlg.ImgBar, BarWidth(total, step - 1));
    platform::DoEvents();
}

bool FileProgressWindow::GoOn() {
    if (Annullato == 1)
        return false;
    if (traits_.yieldsTwice)
        platform::DoEvents();
    return true;
}

void FileProgressWindow::Stopped() {
    Dialog().Unload();
    MainWindow().SetMousePointer(platform::pointer::Default);
    platform::MsgBox(Testi[27], platform::mb::Information, Testi[26]);
    Annullato = 1;
}

void FileProgressWindow::Failed() {
    Dialog().Unload();
    MainWindow().SetMousePointer(platform::pointer::Default);
}

void ShowPassProgress(std::int16_t Passata, const QString& Nome, std::int16_t PassateTotali) {
    const int bar = BarWidth(PassateTotali, Passata);  // error 11 for a total of 0
    // The share of the whole method written so far, so that the number climbs from
    // 0 to 100 across the 35 passes as it does within one pass of the other methods.
    const int share = Passata * 100 / PassateTotali;
    DialogForm& dlg = Dialog();
    ShowCaption(dlg.Label8, WipingCaption(Nome, share, Passata));
    ShowBar(dlg.ImgBar, bar);
    dlg.Refresh();
    platform::DoEvents();
}

void WipeFile(const QString& Path, std::int16_t Metodo, platform::TreeAnchor* beneath) {
    FileProgressWindow window(Metodo, ShownName(Path));
    WipeFile(Path, Metodo, window, beneath);
}

PassesEnd WriteMethodPasses(const QString& Path, int Metodo, const QString& Nome) {
    FileProgressWindow window(Metodo, Nome);
    return WriteMethodPasses(Path, Metodo, MainWindow().Lunghezza, window);
}

int WipeGutmann(const QString& Path, const QString& Nome) {
    FileProgressWindow window(kGutmannMethod, Nome);
    return WipeGutmann(Path, window);
}

}  // namespace engine
