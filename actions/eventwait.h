#pragma once

// Waiting without freezing the windows. Any handler of the program may run
// nested inside these calls, another action included.

namespace tarnelo {

// Returns at the first reading of the 32-bit millisecond tick count that shows
// more than `ms` elapsed (for 500: 501 or more), dispatching events until then.
// It sleeps between events instead of polling the clock. 0 or less: returns at
// once, dispatching nothing.
void waitProcessingEvents(int ms);

// Dispatches the events that are waiting, then returns.
void processPendingEvents();

} // namespace tarnelo
