// Painting while a handler blocks the window thread.
#pragma once

namespace tessaly {

// Lets the toolkit handle window-system events only: pending painting happens,
// while clicks and keys wait until the running handler returns, so they cannot
// start a second transaction inside the first. GTK paints on its frame clock,
// so this also gives the next frame its turn.
void RepaintNow();

// Sleeps `milliseconds` while still painting, in short slices.
void SleepPainting(int milliseconds);

}  // namespace tessaly
