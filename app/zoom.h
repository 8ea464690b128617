// How large the windows are drawn and whether the daily table takes the whole window: the user's
// choices under 表示, kept in the settings (~/.config/kivelo/kivelo.conf, [view]), never in a
// ledger. The zoom is Qt's scale factor for the whole program, so every window, text, line and
// picture is drawn at the device's own resolution; Qt takes it only when the program starts.
#pragma once

#include <array>

namespace zoom {

// The steps of 表示 > 拡大, in percent.
inline constexpr std::array<int, 5> Steps { 100, 125, 150, 175, 200 };

// The zoom kept in the settings, one of the steps; 100 when none or another value is kept.
int Saved();
void Save(int percent);
// The step after or before `percent`, staying at the ends.
int Larger(int percent);
int Smaller(int percent);

// Before the application object exists: the saved zoom becomes Qt's scale factor, multiplied with
// the one the environment already asks for (QT_SCALE_FACTOR). At 100 % nothing is set.
void ScaleThisRun();
// Once the application object exists and has taken the scale: the environment as it was, so that
// the programs this one starts are not scaled twice.
void GiveBackEnvironment();
// The zoom this run draws at: the saved one when the run started.
int Running();

// The daily table spread over the window (表示 > 画面に合わせて広げる).
bool SavedWide();
void SaveWide(bool wide);

} // namespace zoom
