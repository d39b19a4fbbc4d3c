#include <cmath>
#include <limits>

#include "engine/Dialog.h"
#include "engine/MainWindowLink.h"
#include "engine/WipeSpace.h"
#include "lang/Testi.h"
#include "platform/Convert.h"
#include "platform/Currency.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Format.h"
#include "platform/Monotonic.h"

namespace engine {

namespace {

using lang::Testi;
using platform::Skip;
using platform::Str;
using platform::Try;

double g_start = 0;

}  // namespace

void StartFreeSpaceClock() {
    g_start = platform::MonotonicSeconds();
}

void Timer1_Timer() {
    MainWindowLink& f = MainWindow();

    // The clock counts real seconds: a tick that comes late (the timer is only
    // heard while the wipe yields) catches up with all the seconds passed.
    const double elapsed = platform::MonotonicSeconds() - g_start;
    const auto whole = static_cast<std::int64_t>(elapsed > 0 ? std::floor(elapsed) : 0);
    if (whole > f.SecondiTotali) {
        const std::int64_t total = static_cast<std::int64_t>(f.Ore) * 3600 + f.Minuti * 60 +
                                   f.Secondi + (whole - f.SecondiTotali);
        f.SecondiTotali = whole;
        f.Secondi = static_cast<std::int16_t>(total % 60);
        f.Minuti = static_cast<std::int16_t>(total / 60 % 60);
        f.Ore = static_cast<std::int16_t>(
            std::min<std::int64_t>(total / 3600, std::numeric_limits<std::int16_t>::max()));
    }

    const std::int64_t freeKb = f.Totale.tenThousandths;  // Totale x 10,000
    const auto ticks = static_cast<double>(f.SecondiTotali);
    platform::Currency minutiRimanenti;
    if (f.KbScritti != 0) {
        Try<Skip::Anything>([&] {
            minutiRimanenti = platform::CurrencyFromDouble(
                static_cast<double>(freeKb) / static_cast<double>(f.KbScritti) * ticks / 60.0 -
                ticks / 60.0);
        });
    }
    // Worked on the currency's ten-thousandths, so a half second stays a half.
    const std::int64_t t = minutiRimanenti.tenThousandths;
    const std::int64_t wholeMinutes = t >= 0 ? t / 10000 : -((9999 - t) / 10000);
    const std::int64_t fraction = t - wholeMinutes * 10000;
    const auto secondiRimanenti = static_cast<std::int64_t>(
        platform::RoundHalfEven(static_cast<double>(fraction * 60) / 10000.0));

    DialogForm& d = Dialog();
    Try<Skip::Anything>([&] {
        d.Label1.SetCaption(Testi[70] + Str(f.Ore) + QStringLiteral(", ") + Testi[58] +
                            Str(f.Minuti) + QStringLiteral(", ") + Testi[30] + Str(f.Secondi));
    });
    Try<Skip::Anything>([&] {
        // Before the first whole second there is no speed yet: an empty number.
        const std::int64_t speed = f.SecondiTotali > 0 ? f.KbScritti / f.SecondiTotali : 0;
        d.Label3.SetCaption(Testi[71] + QStringLiteral(": ") +
                            platform::Format(speed, u"###,###,###") + QStringLiteral(" Kb/sec"));
    });
    Try<Skip::Anything>([&] {
        d.Label4.SetCaption(Testi[72] + QStringLiteral(": ") + Testi[58] + Str(wholeMinutes) +
                            QStringLiteral(", ") + Testi[30] + Str(secondiRimanenti) +
                            QStringLiteral(" "));
    });
    platform::DoEvents();
}

QString SpaceSummary(int ore, int minuti, int secondi) {
    const QString blank = QStringLiteral(" ");
    QString h, m;
    if (ore > 0)
        h = platform::TrimStr(ore) + blank + Testi[57] + QStringLiteral(", ");
    if (minuti > 0)
        m = platform::TrimStr(minuti) + blank + Testi[58] + blank + Testi[78] + blank;
    return Testi[29] + h + m + platform::TrimStr(secondi) + blank + Testi[30] + QStringLiteral("!");
}

}  // namespace engine
