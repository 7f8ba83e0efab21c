"""A direct connection to the private X server (scripts/xserver.sh).

Pointer events are made with the XTEST extension, as xdotool makes them, but
from this process: the moment an event reached the server is then known to
the microsecond, without a helper process starting in between.
"""

import ctypes
import select
import time

_MAP_NOTIFY = 19
_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class _MapEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("event", ctypes.c_ulong),
        ("window", ctypes.c_ulong),
        ("override_redirect", ctypes.c_int),
    ]


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", _MapEvent), ("pad", ctypes.c_long * 24)]


class XConnection:
    """A client connection: fake pointer input, watch windows being mapped."""

    def __init__(self, display):
        self._x11 = ctypes.CDLL("libX11.so.6")
        self._xtst = ctypes.CDLL("libXtst.so.6")
        self._x11.XOpenDisplay.restype = ctypes.c_void_p
        self._x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        for name in ("XDefaultRootWindow",):
            getattr(self._x11, name).restype = ctypes.c_ulong
            getattr(self._x11, name).argtypes = [ctypes.c_void_p]
        self._x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        self._x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self._x11.XPending.argtypes = [ctypes.c_void_p]
        self._x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_Event)]
        self._x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
        self._x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._xtst.XTestFakeButtonEvent.argtypes = [
            ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self._xtst.XTestFakeMotionEvent.argtypes = [
            ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
        self._dpy = self._x11.XOpenDisplay(display.encode())
        if not self._dpy:
            raise RuntimeError("cannot open display " + display)
        self._root = self._x11.XDefaultRootWindow(self._dpy)

    def close(self):
        self._x11.XCloseDisplay(self._dpy)

    def move(self, x, y):
        """Moves the pointer; returns once the server has done it."""
        self._xtst.XTestFakeMotionEvent(self._dpy, -1, int(x), int(y), 0)
        self._x11.XSync(self._dpy, 0)

    def button(self, down, button=1):
        """Presses or releases a button; returns once the server has done it."""
        self._xtst.XTestFakeButtonEvent(self._dpy, button, 1 if down else 0, 0)
        self._x11.XSync(self._dpy, 0)

    def watch_maps(self):
        """From now on, notes top-level windows being mapped."""
        self._x11.XSelectInput(self._dpy, self._root, _SUBSTRUCTURE_NOTIFY_MASK)
        self._x11.XSync(self._dpy, 0)

    def wait_map(self, timeout):
        """Waits for the next top-level window to be mapped; returns
        (monotonic time, window id) or None after `timeout` seconds."""
        deadline = time.monotonic() + timeout
        fd = self._x11.XConnectionNumber(self._dpy)
        event = _Event()
        while True:
            while self._x11.XPending(self._dpy):
                self._x11.XNextEvent(self._dpy, ctypes.byref(event))
                if event.type == _MAP_NOTIFY and not event.xmap.override_redirect:
                    return time.monotonic(), event.xmap.window
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([fd], [], [], min(left, 0.05))
