#pragma once

#include <QString>

class QWidget;

// When the screen is at rest, so that a step may act or look at it: one rule for every page,
// box and chooser, which the player applies before every step and every look of an expectation.
// The screen is busy while
//  - the module's code runs a wait of its own: an event loop above the player's that no box or
//    chooser waiting for its answer explains (Start's 100 ms);
//  - a one-shot timer is still to fire that the screen started to finish its own work: any
//    started by QTimer::singleShot (a page's first read, the monitor's start-up), and any
//    single-shot QTimer of the screen's widgets, its boxes or its chooser (a tree built in
//    parts). Repeating timers, such as the monitor's poll and its scrolling names, are the page
//    at rest.
// Events posted to the module (a note or the chooser opened from the event loop) are delivered
// before the player's next look: the event loop sends what is posted before it fires a timer.
namespace idlerule {

// What the screen is busy with, said for a person; empty when it is at rest. baseLevel is the
// event loop depth the player runs at.
QString busyWith(const QWidget *screen, int baseLevel);
// The one-shot timers of the rule alone, for whoever cannot tell the event loop's depth.
QString pendingWork(const QWidget *screen);

} // namespace idlerule
