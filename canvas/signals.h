// Ctrl+C and SIGTERM always end a program (canvas/signals.cpp). Internal to
// the canvas: initWorld catches them once SDL has put its own handlers in
// place, the canvas's tear-down lets them go before SDL_Quit, and every
// place that pumps SDL's events says so.

#ifndef VANTREL_CANVAS_SIGNALS_H
#define VANTREL_CANVAS_SIGNALS_H

namespace vantrel {
namespace detail {

// Puts the canvas's handler in front of whatever handles Ctrl+C and SIGTERM
// now (SDL's, after SDL_Init). A signal that is ignored, or left to its
// default (which ends the program anyway), is left as it is.
void catchStopRequests();

// Puts back the handlers catchStopRequests found, unless something else has
// replaced the canvas's own since.
void releaseStopRequests();

// The program is taking SDL's events now, or will within aheadMs
// milliseconds (a frame's sleep that ends in a pump).
void markTakingEvents(unsigned aheadMs = 0);

} // namespace detail
} // namespace vantrel

#endif
