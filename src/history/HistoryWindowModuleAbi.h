// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace sarvendo {
struct HistoryWindowParts;
}

// The interface between the program and the history window's module. The window and its
// charts live in a module of their own, loaded the first time the window is opened, so
// that a program that mostly sits in the tray does not load and keep the chart
// libraries. Both sides come from one build: the module answers the build it belongs to,
// and the program refuses any other, since the parts are passed as C++ objects.
extern "C" {

// The build a module belongs to (the program's version and this interface's revision).
using SarvendoHistoryBuildFn = const char* (*)();
// Makes the window on the parts, which outlive it; the program owns the window and
// deletes it before it ends.
using SarvendoHistoryCreateFn = QWidget* (*)(const sarvendo::HistoryWindowParts* parts);
// Shows the window, brings it to the front and reads the history again.
using SarvendoHistoryShowFn = void (*)(QWidget* window);
}

// The program's version and this interface's revision, set by the build.
inline constexpr const char* kHistoryModuleBuild = SARVENDO_HISTORY_BUILD;
inline constexpr const char* kHistoryModuleFileName = "sarvendo-history.so";
inline constexpr const char* kHistoryBuildSymbol = "sarvendo_history_build";
inline constexpr const char* kHistoryCreateSymbol = "sarvendo_history_create";
inline constexpr const char* kHistoryShowSymbol = "sarvendo_history_show";
