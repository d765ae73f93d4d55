#pragma once
// Mesa's software rasteriser (llvmpipe) draws on worker threads by default.
// Those threads signal a finished scene's fence under the fence's mutex, but
// the thread that waits for the fence may see it finished without taking
// that mutex, drop its last reference and free it while the worker is still
// unlocking: the unlock then writes into freed memory (a 4-byte zero in the
// middle of a freed 112-byte block), which corrupts the heap and brings the
// program down in malloc much later. Rasterising on the thread that issues
// the GL calls leaves no second thread to race with.

namespace crt {

// Asks Mesa's software rasteriser to use no worker threads
// (LP_NUM_THREADS=0), whatever the environment asked before. Call before
// the first GL display or context of the process is made; the variable is
// read when the driver sets up a screen, and other drivers ignore it.
void KeepSoftwareRasterisingOnCallingThread();

} // namespace crt
