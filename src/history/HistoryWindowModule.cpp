// SPDX-License-Identifier: GPL-3.0-or-later
// The history window's module: the three entry points the program looks up. Everything
// else in it is hidden, so that its own copies of the history code never stand in for
// the program's.
#include "history/HistoryWindowModuleAbi.h"
#include "history/THistoryWindow.h"

#define SARVENDO_HISTORY_EXPORT extern "C" __attribute__((visibility("default")))

SARVENDO_HISTORY_EXPORT const char* sarvendo_history_build()
{
    return kHistoryModuleBuild;
}

SARVENDO_HISTORY_EXPORT QWidget* sarvendo_history_create(const sarvendo::HistoryWindowParts* parts)
{
    return new sarvendo::THistoryWindow(*parts);
}

SARVENDO_HISTORY_EXPORT void sarvendo_history_show(QWidget* window)
{
    static_cast<sarvendo::THistoryWindow*>(window)->ShowAndRaise();
}
