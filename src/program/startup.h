// Start-up and shutdown: Main, the splash's minimum time, the main window's
// load (state restored, command line read) and unload (state saved).
#pragma once

#include <QString>
#include <cstdint>

namespace qv {

class ProgramState;

constexpr uint32_t kSplashMinimum = 2500;  // ms from the start of Main
constexpr int32_t kNoEntry = 65535;        // PlayingID before anything is chosen

// Everything of the start after the single-copy test: the player and the
// playlist, the splash, the hidden save dialog, then the main window's load.
void Main(ProgramState& state);

// Keeps the splash up until kSplashMinimum ms after the start of Main (the
// 32-bit clock difference is right across the clock's wrap), then unloads it.
void UnloadSplash(ProgramState& state);

// The main window's load and unload handlers.
void LoadMainForm(ProgramState& state);
void UnloadMainForm(ProgramState& state);

// PlayLists/LastPlayList.lst comes back: played from its first entry
// without a command line (bPlay), only made current when a command line
// added nothing.
void RestoreLastPlayList(ProgramState& state, bool bPlay);

}  // namespace qv
