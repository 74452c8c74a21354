#pragma once
// Work the program does in the background without taking the processor
// from anything else.

namespace platform {

// From now on the calling thread runs only when the processors would
// otherwise be idle. False when the system refuses; the thread then keeps
// its priority.
bool runOnlyWhenIdle();

} // namespace platform
