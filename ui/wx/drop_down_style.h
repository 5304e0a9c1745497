// The desktop theme pads a drop-down's box for touch; the window templates put
// their rows closer than that. Slimmer padding keeps every letter whole while
// the closed boxes stay on their rows.
#pragma once

namespace tessaly {

// For every drop-down of the program; the first call does it, later ones nothing.
void UseSlimDropDowns();

}  // namespace tessaly
