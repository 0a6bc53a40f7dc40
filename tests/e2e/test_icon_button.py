"""The Sign Up button's faces in the real window, read from the screen: idle, focused, hot,
pressed, dragged off and disabled; on a 96-dpi screen and again on a 144-dpi one."""
import shutil
import struct
import tempfile
import time
import unittest
from collections import namedtuple
from pathlib import Path

from logonapp import SIGNUP, AppTest, LogonApp, Suite, start_suite, stop_suite
from winetools import APP_TITLE, driver, screen_dpi, windows_path

COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNTEXT, COLOR_BTNHIGHLIGHT = 15, 16, 18, 20
COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_INFOBK = 21, 22, 24

# The button's pixel sizes on a screen of a density: the icon, its margin, the corner marks'
# offsets from the left/top and from the right/bottom, their arms, and the pressed inset.
Geometry = namedtuple("Geometry", "icon margin near far arm inset")
AT_96 = Geometry(icon=16, margin=3, near=3, far=5, arm=4, inset=1)
AT_144 = Geometry(icon=24, margin=5, near=5, far=8, arm=6, inset=2)


def setUpModule():
    start_suite({})


def tearDownModule():
    stop_suite()


def corner_marks(g, width, height, inset):
    """The pixels of the four corner marks: lines through three points each, end points
    not painted."""
    s, r, b, arm = g.near + inset, width - g.far + inset, height - g.far + inset, g.arm
    e = s + arm
    marks = [[(e, s), (s, s), (s, e)], [(r - arm, s), (r, s), (r, e)],
             [(e, b), (s, b), (s, b - arm)], [(r - arm, b), (r, b), (r, b - arm)]]
    pixels = set()
    for points in marks:
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            dx, dy = (x1 > x0) - (x1 < x0), (y1 > y0) - (y1 < y0)
            x, y = x0, y0
            while (x, y) != (x1, y1):
                pixels.add((x, y))
                x, y = x + dx, y + dy
    return pixels


class Face:
    """A screenshot of the button's client area."""

    def __init__(self, bmp):
        data = bmp.read_bytes()
        offset, = struct.unpack_from("<I", data, 10)
        self.width, self.height = struct.unpack_from("<ii", data, 18)
        stride = (self.width * 3 + 3) & ~3
        self.rows = [data[offset + (self.height - 1 - y) * stride:][:self.width * 3]
                     for y in range(self.height)]

    def __call__(self, x, y):
        b, g, r = self.rows[y][x * 3:x * 3 + 3]
        return (r, g, b)

    def all_pixels(self):
        return {(x, y): self(x, y) for y in range(self.height) for x in range(self.width)}


class IconButtonFaces(AppTest):
    @classmethod
    def setUpClass(cls):
        cls.colour = {}
        for index in (COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNTEXT, COLOR_BTNHIGHLIGHT,
                      COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_INFOBK):
            code, text = driver("syscolor", str(index))
            cls.colour[index] = tuple(map(int, text.split()))

    def setUp(self):
        super().setUp()
        self.folder = Path(tempfile.mkdtemp(prefix="tarn-faces-"))
        self.addCleanup(shutil.rmtree, self.folder, True)

    def start(self, geometry):
        self.g = geometry
        self.app = LogonApp(self)
        self.app.command("pointat", 0, 0)

    def face(self, name):
        bmp = self.folder / f"{name}.bmp"
        self.app.command("screenshot", APP_TITLE, windows_path(bmp), SIGNUP)
        return Face(bmp)

    def settled_face(self, name, done, timeout=3.0):
        """The face once done(face) holds, or the last one after timeout."""
        end = time.monotonic() + timeout
        face = self.face(name)
        while not done(face) and time.monotonic() < end:
            time.sleep(0.1)
            face = self.face(name)
        return face

    def icon_rect(self, face, shift=0):
        size, margin = self.g.icon, self.g.margin
        top = max(0, face.height // 2 - size // 2)
        return (margin + shift, top + shift, margin + size + shift, top + size + shift)

    def outside(self, face, pixels, shift=0):
        left, top, right, bottom = self.icon_rect(face, shift)
        return {(x, y) for x, y in pixels if not (left <= x < right and top <= y < bottom)}

    def assert_colour(self, face, pixels, index, what):
        wrong = {p: face(*p) for p in pixels if face(*p) != self.colour[index]}
        self.assertEqual(wrong, {}, what)

    def assert_idle_frame(self, face):
        w, h = face.width, face.height
        self.assert_colour(face, [(x, 0) for x in range(w - 1)] + [(0, y) for y in range(h - 1)],
                           COLOR_BTNHIGHLIGHT, "top row and left column")
        self.assert_colour(face, [(w - 1, y) for y in range(h)] + [(x, h - 1) for x in range(w)],
                           COLOR_BTNSHADOW, "right column and bottom row")

    def test_faces(self):
        self.start(AT_96)
        self.check_faces()

    def test_faces_at_144_dpi(self):
        # The driver runs on the same screen as the program, so both see the same pixels.
        with screen_dpi(144):
            self.start(AT_144)
            self.check_faces()

    def check_faces(self):
        idle = self.face("idle")
        w, h, inset = idle.width, idle.height, self.g.inset
        marks0, marks1 = corner_marks(self.g, w, h, 0), corner_marks(self.g, w, h, inset)
        self.assert_idle_frame(idle)
        self.assert_colour(idle, self.outside(idle, marks0 | marks1), COLOR_BTNFACE, "idle: no marks")
        self.assert_colour(idle, [(1, 1), (w - 2, h - 2)], COLOR_BTNFACE, "idle fill")

        self.app.command("point", APP_TITLE, SIGNUP)
        hot = self.face("hot")
        self.assert_idle_frame(hot)
        self.assert_colour(hot, marks0, COLOR_BTNTEXT, "hover marks at inset 0")
        self.assert_colour(hot, self.outside(hot, marks1 - marks0) | {(1, 1), (w - 2, h - 2)},
                           COLOR_BTNHIGHLIGHT, "hot fill")
        self.app.command("pointat", 0, 0)
        # Wine notices on a timer, not at once, that the mouse has left.
        left = self.settled_face("left", lambda face: face(1, 1) == idle(1, 1))
        self.assertEqual(left.all_pixels(), idle.all_pixels(), "back to idle")

        self.app.command("focus", APP_TITLE, SIGNUP)
        focused = self.face("focused")
        changed = {p for p, c in focused.all_pixels().items() if idle(*p) != c}
        self.assertEqual(changed - marks0, set(), "only the corner marks change")
        self.assert_colour(focused, marks0, COLOR_INFOBK, "focus marks at inset 0")

        self.app.command("point", APP_TITLE, SIGNUP)
        self.app.command("button", "down")
        pressed = self.face("pressed")
        self.assert_colour(pressed, marks1, COLOR_BTNTEXT, "focus marks at inset 1")
        self.assert_colour(pressed, self.outside(pressed, marks0 - marks1, shift=inset) | {(2, 2)},
                           COLOR_BTNHIGHLIGHT, "pressed fill, no hover marks")
        self.assert_colour(pressed, [(0, 5), (5, 0)], COLOR_BTNSHADOW, "sunken edge, outer")
        self.assert_colour(pressed, [(1, 5), (5, 1)], COLOR_3DDKSHADOW, "sunken edge, inner")
        self.assert_colour(pressed, [(w - 1, 5), (5, h - 1)], COLOR_BTNHIGHLIGHT, "sunken, outer")
        self.assert_colour(pressed, [(w - 2, 5), (5, h - 2)], COLOR_3DLIGHT, "sunken, inner")

        self.app.command("pointat", 0, 0)
        away = self.face("pressed-away")
        self.assert_idle_frame(away)
        self.assert_colour(away, [(1, 1), (w - 2, h - 2)], COLOR_BTNFACE, "popped up")
        self.app.command("button", "up")
        self.assertIsNone(Suite.shell.take(1.0), "released off the button: no click")

        self.app.command("enable", APP_TITLE, SIGNUP, 0)
        disabled = self.face("disabled")
        self.assert_colour(disabled, self.outside(disabled, marks0 | marks1), COLOR_BTNFACE,
                           "disabled: face fill, no marks")
        self.assert_colour(disabled, [(w - 1, 5), (5, h - 1)], COLOR_3DDKSHADOW, "raised, outer")
        self.assert_colour(disabled, [(w - 2, 5), (5, h - 2)], COLOR_BTNSHADOW, "raised, inner")
        self.assert_colour(disabled, [(0, 5), (5, 0)], COLOR_3DLIGHT, "raised edge, outer")
        self.assert_colour(disabled, [(1, 5), (5, 1)], COLOR_BTNHIGHLIGHT, "raised edge, inner")
        self.app.command("enable", APP_TITLE, SIGNUP, 1)
        self.app.cancel()

    def test_a_density_change_redraws_the_marks_and_the_icon_at_the_new_size(self):
        self.start(AT_96)
        # Wine keeps one density and never sends the change itself, nor lays the window out
        # again: the button keeps its size and draws its sizes for the new density on it.
        self.app.command("dpichanged", APP_TITLE, 144)
        self.app.command("focus", APP_TITLE, SIGNUP)
        self.g = AT_144
        focused = self.face("focused")
        w, h = focused.width, focused.height
        # The caption, now in a font half as large again, runs over the lower marks.
        upper = {(x, y) for x in range(w) for y in range(h // 2)}
        marks = corner_marks(AT_144, w, h, 0) & upper
        self.assert_colour(focused, marks, COLOR_INFOBK, "focus marks of 144 dpi")
        self.assert_colour(focused, self.outside(focused, corner_marks(AT_96, w, h, 0) & upper)
                           - marks, COLOR_BTNFACE, "no marks of 96 dpi")
        left, top, right, bottom = self.icon_rect(focused)
        icon = {(x, y) for x in range(left, right) for y in range(top, bottom)}
        self.assertNotEqual({focused(x, y) for x, y in icon if x >= 19}, {self.colour[COLOR_BTNFACE]},
                            "the icon reaches beyond 16 pixels")
        self.app.cancel()


if __name__ == "__main__":
    unittest.main()
