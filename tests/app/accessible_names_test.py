#!/usr/bin/python3
# Every labelled control of the three windows, as a screen reader finds it in
# the accessibility tree: labelled by its label, and named by the label's text.
# Run inside its own D-Bus session (dbus-run-session); argv[1] is tessaly-gallery.
import ctypes
import os
import subprocess
import sys
import time

SKIP = 77

EXPECTED = {
    ("main", "Tessaly(V1.0.1)"): {
        "Port", "Baud Rate", "Data Bits", "Parity", "Stop Bits", "Flow Control",
        "Emulation Mode Selection",
    },
    ("editor", "Tessaly V1.0.1(Epson Mode)"): {
        "Character code table", "International character set", "Brightness",
        "Peripheral device", "Cursor display mode", "Progess :",
    },
    ("basic", "Tessaly V1.0.1"): {"Character code table", "International character set"},
}


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def find_frame(pyatspi, title, bound=20.0):
    deadline = time.monotonic() + bound
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            for window in app:
                if window is not None and window.name == title:
                    return window
        time.sleep(0.2)
    return None


def labelled_controls(pyatspi, frame):
    """(control's name, its label's text or None) for each drop-down and bar."""
    found = []
    for node in walk(frame):
        if node.getRole() not in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_PROGRESS_BAR):
            continue
        label = None
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                label = relation.getTarget(0).name
        found.append((node.name, label))
    return found


def hold_display():
    """A connection of our own for the whole run. An X server resets when its
    last client leaves, and a program that connects during the reset is refused;
    the bus launcher and the registry come and go while the windows start."""
    try:
        xlib = ctypes.CDLL("libX11.so.6")
    except OSError:
        return None
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    return xlib.XOpenDisplay(None)


def main():
    if not os.environ.get("DISPLAY"):
        print("no display")
        return SKIP
    held = hold_display()
    if not held:
        print("cannot open the display", os.environ["DISPLAY"])
        return 1
    try:
        import pyatspi
    except ImportError:
        print("python3-pyatspi is not installed")
        return SKIP
    launcher = "/usr/libexec/at-spi-bus-launcher"
    if not os.path.exists(launcher):
        print("at-spi2-core is not installed")
        return SKIP
    bus = subprocess.Popen([launcher, "--launch-immediately"])
    env = dict(os.environ, GTK_MODULES="gail:atk-bridge", NO_AT_BRIDGE="0")
    failures = []
    try:
        time.sleep(0.5)
        for (window, title), expected in EXPECTED.items():
            program = subprocess.Popen([sys.argv[1], window], env=env)
            try:
                frame = find_frame(pyatspi, title)
                if frame is None:
                    failures.append(f"{window}: no window titled {title!r} in the tree")
                    continue
                controls = labelled_controls(pyatspi, frame)
                names = set()
                for name, label in controls:
                    if label is None:
                        failures.append(f"{window}: {name!r} is labelled by nothing")
                    elif name != label:
                        failures.append(f"{window}: control labelled {label!r} is named {name!r}")
                    if label is not None:
                        names.add(label)
                if names != expected:
                    failures.append(f"{window}: labels {sorted(names)}, expected {sorted(expected)}")
            finally:
                program.terminate()
                program.wait(timeout=10)
    finally:
        bus.terminate()
        bus.wait(timeout=10)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
