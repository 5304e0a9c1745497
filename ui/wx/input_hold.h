// Keeps the operator's clicks, keys and scrolling away from every window of the
// program while a device transaction runs, without greying anything out:
// painting, resizing and the window manager's close request still get through.
#pragma once

namespace tessaly {

class GtkInputHold {
public:
    GtkInputHold();
    ~GtkInputHold();
    GtkInputHold(const GtkInputHold&) = delete;
    GtkInputHold& operator=(const GtkInputHold&) = delete;

    // Takes the hold again after something else that dispatches the desktop's
    // events (a nested yield of the toolkit) put its own dispatcher back.
    void Renew();

    // True while any hold is in place.
    static bool Active();
};

}  // namespace tessaly
