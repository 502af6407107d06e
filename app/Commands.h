// Command ids of the main window's menus, buttons and tray menu.
#pragma once

namespace Command {
constexpr int LoadBank = 32000;
constexpr int UnloadBank = 32003;
constexpr int UnloadAllBanks = 32006;
constexpr int BankContents = 32030;
constexpr int PresetOpen = 32028;
constexpr int PresetNew = 32027;
constexpr int PresetSave = 32021;
constexpr int PresetSaveAs = 32022;
constexpr int PresetExit = 32023;
constexpr int TrayLoadPreset = 32002;
constexpr int TrayUnloadPreset = 32005;
constexpr int TrayRestoreWindow = 32008;
constexpr int Options = 32024;
constexpr int About = 32020;
constexpr int TrayAbout = 57664;
constexpr int TrayExit = 57665;
constexpr int MidiMapping = 1007;
constexpr int BrowseMidi = 1010;
constexpr int PlayMidi = 1012;
constexpr int StopMidi = 1005;
// The Preset menu's recent presets, one command a place in the list.
constexpr int RecentPreset1 = 32040;
} // namespace Command
