"""What the test desktop's X server says, asked from the test's own process (Xlib through
ctypes): where the pointer is, over which window, and a window's place on the screen. Each
question is a round trip on one kept connection; a helper program (xdotool, xwininfo) costs a
process and a new X connection, about 10 ms of processor time, and the tests ask thousands of
times a run while they wait for a window to reach the screen. The input itself still goes
through xdotool, whose pace the tests were proven with."""

import ctypes
import os
import threading

_Window = ctypes.c_ulong
_int, _uint = ctypes.c_int, ctypes.c_uint
_out = ctypes.POINTER

_x11 = ctypes.CDLL("libX11.so.6")
for _name, _result, _args in (
        ("XOpenDisplay", ctypes.c_void_p, [ctypes.c_char_p]),
        ("XDefaultRootWindow", _Window, [ctypes.c_void_p]),
        ("XQueryPointer", _int, [ctypes.c_void_p, _Window, _out(_Window), _out(_Window),
                                 _out(_int), _out(_int), _out(_int), _out(_int), _out(_uint)]),
        ("XGetGeometry", _int, [ctypes.c_void_p, _Window, _out(_Window), _out(_int), _out(_int),
                                _out(_uint), _out(_uint), _out(_uint), _out(_uint)]),
        ("XTranslateCoordinates", _int, [ctypes.c_void_p, _Window, _Window, _int, _int,
                                         _out(_int), _out(_int), _out(_Window)]),
        ("XSync", _int, [ctypes.c_void_p, _int])):
    getattr(_x11, _name).restype, getattr(_x11, _name).argtypes = _result, _args


class _XErrorEvent(ctypes.Structure):
    _fields_ = [("type", _int), ("display", ctypes.c_void_p), ("resourceid", ctypes.c_ulong),
                ("serial", ctypes.c_ulong), ("error_code", ctypes.c_ubyte),
                ("request_code", ctypes.c_ubyte), ("minor_code", ctypes.c_ubyte)]


_ERROR_HANDLER = ctypes.CFUNCTYPE(_int, ctypes.c_void_p, _out(_XErrorEvent))
_errors = []


@_ERROR_HANDLER
def _on_error(_display, event):
    # Xlib's own handler ends the process; a window gone meanwhile is the test's to report.
    _errors.append((event.contents.error_code, event.contents.request_code,
                    event.contents.resourceid))
    return 0


_x11.XSetErrorHandler.argtypes = [_ERROR_HANDLER]
_x11.XSetErrorHandler.restype = ctypes.c_void_p
_x11.XSetErrorHandler(_on_error)

# One connection for the process; the lock keeps the tests' threads from interleaving their
# requests on it (Xlib is not initialised for threads).
_lock = threading.Lock()
_display = None
_display_name = None


class XError(RuntimeError):
    """An X request failed (a window gone, most often)."""


def _connection():
    global _display, _display_name
    name = os.environ.get("DISPLAY", "")
    if _display is None or name != _display_name:
        _display = _x11.XOpenDisplay(name.encode())
        if not _display:
            raise XError("cannot open the X display %r" % name)
        _display_name = name
    return _display


def _checked(what):
    # After XSync every error of the requests before it has reached the handler.
    _x11.XSync(_display, 0)
    if _errors:
        failed = _errors[:]
        del _errors[:]
        raise XError("%s failed: X error %d (request %d, resource %#x)" % ((what,) + failed[0]))


def _query_pointer():
    root, child = _Window(), _Window()
    x, y, wx, wy, mask = _int(), _int(), _int(), _int(), _uint()
    root_window = _x11.XDefaultRootWindow(_connection())
    _x11.XQueryPointer(_display, root_window, root, child, x, y, wx, wy, mask)
    _checked("XQueryPointer")
    return x.value, y.value, child.value or root_window


def pointer():
    """Where the pointer is on the screen: (x, y)."""
    with _lock:
        return _query_pointer()[:2]


def window_under_pointer():
    """The top-level X window under the pointer, or the root window where none is. With no
    window manager no window carries WM_STATE, so this is also the window xdotool names."""
    with _lock:
        return _query_pointer()[2]


def rect(window):
    """An X window's rectangle on the screen (left, top, right, bottom), as xwininfo gives it:
    the outer corner of its border, then its inside size."""
    with _lock:
        root, x, y = _Window(), _int(), _int()
        width, height, border, depth = _uint(), _uint(), _uint(), _uint()
        child = _Window()
        _x11.XGetGeometry(_connection(), window, root, x, y, width, height, border, depth)
        _checked("XGetGeometry of %#x" % window)
        _x11.XTranslateCoordinates(_display, window, root, -border.value, -border.value, x, y,
                                   child)
        _checked("XTranslateCoordinates of %#x" % window)
        return x.value, y.value, x.value + width.value, y.value + height.value
