"""Times a program's window on an X server from outside, without polling.

A watcher selects the root window's substructure events and asks the DAMAGE extension about
every new top-level window, so it learns the moment a window named so is mapped (made visible)
and the moment something is first drawn into it, and stamps both with the monotonic clock as
the events arrive. It also presses keys through XTEST, stamping the moment the press is sent.
Only libX11, libXdamage and libXtst through ctypes: no package beyond what Qt and xdotool
bring.
"""
import ctypes
import ctypes.util
import select
import time

_x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
_damage = ctypes.CDLL(ctypes.util.find_library("Xdamage") or "libXdamage.so.1")
_xtest = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")

_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
_x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
_x11.XPending.argtypes = [ctypes.c_void_p]
_x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
_x11.XFlush.argtypes = [ctypes.c_void_p]
_x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x11.XInternAtom.restype = ctypes.c_ulong
_x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x11.XGetWindowProperty.argtypes = [
    ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
    ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_void_p)]
_x11.XFree.argtypes = [ctypes.c_void_p]
_x11.XKeysymToKeycode.restype = ctypes.c_ubyte
_x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_x11.XStringToKeysym.restype = ctypes.c_ulong
_x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
_x11.XSetErrorHandler.argtypes = [ctypes.c_void_p]
_damage.XDamageQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                          ctypes.POINTER(ctypes.c_int)]
_damage.XDamageCreate.restype = ctypes.c_ulong
_damage.XDamageCreate.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int]
_damage.XDamageSubtract.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong]
_xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
CREATE_NOTIFY, MAP_NOTIFY = 16, 19
DAMAGE_REPORT_NON_EMPTY = 3
# XEvent: a union of 24 longs. On a 64-bit system the window of a CreateNotify and of a
# MapNotify is the long at byte 40; a DamageNotify has its drawable at byte 32 and its
# damage object at byte 40.
EVENT_LONGS = 24
WINDOW_AT = 5
DRAWABLE_AT, DAMAGE_AT = 4, 5

# A window that is gone before its name is read makes XGetWindowProperty fail; Xlib's
# default handler would end the process for that.
_IGNORE_ERRORS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)


class WindowWatch:
    """Watches the display for top-level windows; events() stamps what it sees."""

    def __init__(self, display_name):
        self.display = _x11.XOpenDisplay(display_name.encode())
        if not self.display:
            raise RuntimeError(f"cannot open display {display_name}")
        _x11.XSetErrorHandler(ctypes.cast(_IGNORE_ERRORS, ctypes.c_void_p))
        event_base, error_base = ctypes.c_int(), ctypes.c_int()
        if not _damage.XDamageQueryExtension(self.display, ctypes.byref(event_base),
                                             ctypes.byref(error_base)):
            raise RuntimeError("the X server has no DAMAGE extension")
        self.damage_notify = event_base.value
        self.names = [_x11.XInternAtom(self.display, n, 0) for n in (b"_NET_WM_NAME", b"WM_NAME")]
        _x11.XSelectInput(self.display, _x11.XDefaultRootWindow(self.display),
                          SUBSTRUCTURE_NOTIFY_MASK)
        _x11.XSync(self.display, 0)
        self.fd = _x11.XConnectionNumber(self.display)
        self._event = (ctypes.c_long * EVENT_LONGS)()

    def close(self):
        if self.display:
            _x11.XCloseDisplay(self.display)
            self.display = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def title(self, window):
        for atom in self.names:
            kind, size, data = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_void_p()
            count, rest = ctypes.c_ulong(), ctypes.c_ulong()
            status = _x11.XGetWindowProperty(self.display, window, atom, 0, 1024, 0, 0,
                                             ctypes.byref(kind), ctypes.byref(size),
                                             ctypes.byref(count), ctypes.byref(rest),
                                             ctypes.byref(data))
            if status == 0 and data.value:
                text = ctypes.string_at(data.value, count.value) if size.value == 8 else b""
                _x11.XFree(data)
                if text:
                    return text.decode("utf-8", "replace")
        return None

    def wait_shown(self, title, timeout):
        """(mapped, first drawn): monotonic seconds at which a window named title was mapped
        and at which something was first drawn into it after that; None for what did not
        happen within timeout seconds."""
        deadline = time.monotonic() + timeout
        mapped = drawn = None
        watched = None
        while drawn is None and time.monotonic() < deadline:
            if not _x11.XPending(self.display):
                select.select([self.fd], [], [], max(0.0, deadline - time.monotonic()))
                continue
            _x11.XNextEvent(self.display, self._event)
            now = time.monotonic()
            kind = self._event[0] & 0xFFFFFFFF
            window = self._event[WINDOW_AT]
            if kind == CREATE_NOTIFY:
                # Asked at creation, so that no drawing after the map can come first.
                _damage.XDamageCreate(self.display, window, DAMAGE_REPORT_NON_EMPTY)
            elif kind == MAP_NOTIFY and watched is None and self.title(window) == title:
                watched, mapped = window, now
            elif kind == self.damage_notify:
                if self._event[DRAWABLE_AT] == watched:
                    drawn = now
                else:
                    # Reported once until cleared: clear it, so that the drawing after
                    # the map is reported too.
                    _damage.XDamageSubtract(self.display, self._event[DAMAGE_AT], 0, 0)
        return mapped, drawn

    def press(self, key):
        """Presses and releases key (an X keysym name such as "Return"); returns the
        monotonic time just before the press was sent."""
        code = _x11.XKeysymToKeycode(self.display, _x11.XStringToKeysym(key.encode()))
        started = time.monotonic()
        _xtest.XTestFakeKeyEvent(self.display, code, 1, 0)
        _x11.XFlush(self.display)
        _xtest.XTestFakeKeyEvent(self.display, code, 0, 0)
        _x11.XFlush(self.display)
        return started
