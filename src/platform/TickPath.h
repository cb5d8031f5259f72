// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Marks a function that every poll tick runs while nothing happens on the line.
//
// The program sleeps 56 ms between ticks, and by the next one the caches and the TLB hold
// other programs' lines: an idle tick's cost is almost all in the memory it touches for the
// first time, not in the instructions it runs (a tick run twice in a row costs a twentieth
// the second time). Marked functions are gathered into one run of pages of the program's
// text (.text.hot), so a tick walks a few pages of code instead of a dozen scattered over
// the libraries it calls through. Mark only what an idle tick runs; the rest stays cold.
#define SARVENDO_TICK_PATH [[gnu::hot]]
