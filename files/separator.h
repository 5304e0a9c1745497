// The character that separates folders in this system's own paths, beside '/'.
#pragma once

namespace tessaly {

// True on Windows, where '\' separates folders; elsewhere it is a character a
// file name may hold.
bool BackslashSeparatesFolders();

}  // namespace tessaly
