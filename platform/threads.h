#pragma once
// Work the program does in the background without taking the processor
// from anything else.

namespace platform {

// From now on the calling thread runs only when the processors would
// otherwise be idle. False when the system refuses; the thread then keeps
// its priority.
bool runOnlyWhenIdle();

// Gives `thread` (a std::thread's native handle) its ordinary priority
// again, so that it finishes promptly what it is doing: the program waits
// for it.
void runNormally(unsigned long thread);

} // namespace platform
