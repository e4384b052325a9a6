#pragma once
// Waiting at close until the driver has put the last bytes on the line, so
// that they leave at the line's speed and format before the port's saved
// settings are put back. Bounded: a board that holds XOFF, or a line that
// never drains, does not keep the program from closing.

// Waits until the driver's output queue of `fd` is empty (at most the time
// its bytes need at `baudRate`, plus a margin), then tcdrain()s it.
void DrainOutput(int fd, int baudRate, int bitsPerCharacter);
