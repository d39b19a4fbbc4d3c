// The free-space wipe of a drive and its progress clock.
#pragma once

#include <QString>
#include <cstdint>

namespace engine {

// Fills the free space of the drive (a mount point the drive list showed) with
// fill files written with the selected method, removes them, and reports.
void WipeSpace(const QString& drive);

// Starts the clock of the free-space wipe: its ticks count the seconds since.
void StartFreeSpaceClock();
// One tick of the main window's timer: advances the elapsed time and writes the
// elapsed-time, speed and remaining-time lines of the progress window.
void Timer1_Timer();

// The prompt of the summary box for the elapsed hours, minutes and seconds.
QString SpaceSummary(int ore, int minuti, int secondi);

namespace hooks {
// Tests start a run's written amount and its fill-file number where they say
// (the first fill file then takes the number after), to reach the counters'
// limits without writing terabytes. 0 and 0 is a run's own start.
void SetSpaceCountersStart(std::int64_t kbWritten, std::int64_t fillFile);
}  // namespace hooks

}  // namespace engine
