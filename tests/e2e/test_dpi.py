"""marigold.exe at 96, 120 and 144 dots per inch (the Wine prefix's LogPixels). The windows
keep their size in twips, so they grow in pixels, and each background picture grows with its
window: the splash's picture still fills it but for the narrow band on the right, the main
window's picture covers it whole, and its hot spots still lie over their glyphs. The prefix's
setting is put back afterwards, whatever happens.

Wine reads LogPixels when a process starts: a new process sees a new value at once, with the
same wineserver still running."""

import math
import os
import struct
import subprocess
import tempfile
import time
import unittest

import e2e
import marigold_kit as mk

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"

# Form geometry in twips: left, top, width, height of each window's client area.
SPLASH_SIZE = (4995, 3450)
MAIN_AREA = (4995, 4110, 1770, 900)
REASON_AREA = (4185, 2115, 3015, 270)
TEXT1 = (0, 0, 2655, 285)
COMMAND1 = (2640, 0, 375, 255)
# Label rectangles in twips of the main window's client area (tests/hotspots.txt).
_RECTS = {name: rect for name, _, _, rect, _ in mk.PARTS}
LABEL1 = _RECTS["Enter idle reason"]
LABEL2 = _RECTS["Start Idling"]
LABEL3 = _RECTS["Stop Idling"]
TITLE_STRIP = (0, 75, 1770, 180)  # picture rows 5 to 16 at 96 dpi: no label on it

# The pictures' own sizes, for 96 dpi.
SPLASH_PICTURE = (331, 230)
MAIN_PICTURE = (119, 61)


def _reg(*args):
    """Runs Wine's reg.exe; its exit code and output. The output goes through a file, not a
    pipe: programs Wine starts beside it may keep a pipe open long after reg.exe has ended."""
    with tempfile.TemporaryFile() as out:
        code = subprocess.run([e2e.wine_loader(), "reg"] + list(args), stdout=out,
                              stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                              env=dict(os.environ, WINEDEBUG="-all"), timeout=60).returncode
        out.seek(0)
        return code, out.read().decode("utf-8", "replace")


def read_log_pixels():
    """The prefix's LogPixels, or None when the value is not set (Wine then uses 96)."""
    code, output = _reg("query", DESKTOP_KEY, "/v", "LogPixels")
    if code != 0:
        return None
    for line in output.splitlines():
        words = line.split()
        if len(words) == 3 and words[0] == "LogPixels":
            return int(words[2], 0)
    return None


def write_log_pixels(dpi):
    code, output = _reg("add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi),
                        "/f")
    if code != 0:
        raise e2e.E2EError("could not set LogPixels: %s" % output)


def delete_log_pixels():
    _reg("delete", DESKTOP_KEY, "/v", "LogPixels", "/f")


def _f32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def to_pixels(twips, dpi):
    """Twips as the program rounds them to pixels: 32-bit floats, halves away from zero."""
    twips_per_pixel = _f32(1440.0 / dpi)
    return int(math.floor(_f32(twips / twips_per_pixel) + 0.5))


def picture_pixels(pixels, dpi):
    """A 96-dpi picture's side at `dpi`, to the nearest pixel (halves up)."""
    return (pixels * dpi + 48) // 96


def window_rect(area, dpi):
    """A window's client area (left, top, width, height) in twips as a screen rectangle
    (left, top, right, bottom): its corner and its size are each rounded to pixels."""
    left, top, width, height = area
    x, y = to_pixels(left, dpi), to_pixels(top, dpi)
    return (x, y, x + to_pixels(width, dpi), y + to_pixels(height, dpi))


def pixel_rect(rect, dpi):
    """A control's rectangle (left, top, width, height) in twips as pixels (left, top, right,
    bottom): each edge is rounded to pixels."""
    left, top, width, height = rect
    return (to_pixels(left, dpi), to_pixels(top, dpi), to_pixels(left + width, dpi),
            to_pixels(top + height, dpi))


class Screen:
    """A screenshot's pixels, read once."""

    def __init__(self, png):
        size = subprocess.run(["identify", "-format", "%w %h", png], check=True,
                              capture_output=True, text=True, timeout=30).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        self.raw = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], check=True,
                                  capture_output=True, timeout=30).stdout
        self.png = png

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.raw[i:i + 3])

    def share(self, rect, test):
        """The share of pixels in the screen rectangle (left, top, right, bottom) that pass."""
        left, top, right, bottom = rect
        points = [self.at(x, y) for y in range(top, bottom) for x in range(left, right)]
        return sum(1 for p in points if test(p)) / float(len(points))


def dark(p):
    return max(p) < 100


def light(p):
    return min(p) > 180


def orange(p):
    return p[0] > 200 and 130 < p[1] < 225 and p[2] < 150


def not_black(p):
    return max(p) > 12


def offset(rect, dx, dy):
    left, top, right, bottom = rect
    return (left + dx, top + dy, right + dx, bottom + dy)


def park_pointer():
    e2e.mousemove(795, 5)
    time.sleep(0.4)


class DpiTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        e2e.require_desktop("CHATROOM_EXE", "WINPROBE_EXE", "MARIGOLD_EXE")
        cls.saved = read_log_pixels()

    @classmethod
    def tearDownClass(cls):
        # The other tests run at 96 dpi: an unset value was unset, any other becomes 96.
        if cls.saved is None:
            delete_log_pixels()
        else:
            write_log_pixels(96)
        if read_log_pixels() not in (None, 96):
            raise e2e.E2EError("LogPixels was not put back to 96")

    def test_windows_and_pictures_scale_together(self):
        for dpi in (96, 120, 144):
            with self.subTest(dpi=dpi):
                write_log_pixels(dpi)
                self.assertEqual(read_log_pixels(), dpi)
                session = mk.Session(name="Dpi%d" % dpi)
                try:
                    self.check_splash(session, dpi)
                    self.check_main(session, dpi)
                    self.check_reason(session, dpi)
                finally:
                    session.close()

    def check_splash(self, session, dpi):
        probe = session.probe
        rect = probe.rect(session.splash)
        width, height = to_pixels(SPLASH_SIZE[0], dpi), to_pixels(SPLASH_SIZE[1], dpi)
        self.assertEqual((rect[2] - rect[0], rect[3] - rect[1]), (width, height))
        self.assertEqual(probe.client(session.splash), rect)
        park_pointer()
        screen = Screen(e2e.screenshot("dpi%d-splash" % dpi))
        left, top = rect[0], rect[1]
        picture_width = picture_pixels(SPLASH_PICTURE[0], dpi)
        band = width - picture_width
        self.assertEqual(picture_pixels(SPLASH_PICTURE[1], dpi), height)
        self.assertIn(band, (2, 3), "a band of button face 2 or 3 pixels wide")
        # The picture's dark background reaches its right edge, then the button face shows
        # for the band alone, from top to bottom.
        edge = (left + picture_width - 6, top, left + picture_width, top + height)
        self.assertGreater(screen.share(edge, dark), 0.98, screen.png)
        face = (left + picture_width, top, left + width, top + height)
        self.assertGreater(screen.share(face, light), 0.98, screen.png)
        # And down to its bottom row (the right half: the chat client may lie over the left).
        bottom = (left + width // 2, top + height - 4, left + picture_width, top + height)
        self.assertGreater(screen.share(bottom, dark), 0.98, screen.png)

    def check_main(self, session, dpi):
        probe = session.probe
        main = session.click_splash()
        expected = window_rect(MAIN_AREA, dpi)
        self.assertTrue(mk.wait_until(lambda: probe.visible(main), 5.0))
        self.assertEqual(probe.rect(main), expected)
        self.assertEqual(probe.client(main), expected)
        park_pointer()
        screen = Screen(e2e.screenshot("dpi%d-main" % dpi))
        left, top, right, bottom = expected
        # The picture covers the whole window: no back colour (black) in its last column or row.
        self.assertEqual(screen.share((right - 1, top, right, bottom), not_black), 1.0,
                         screen.png)
        self.assertEqual(screen.share((left, bottom - 1, right, bottom), not_black), 1.0,
                         screen.png)
        # The title strip is dark, and the start and stop hot spots lie on the orange buttons.
        strip = offset(pixel_rect(TITLE_STRIP, dpi), left, top)
        self.assertGreater(screen.share(strip, dark), 0.6, screen.png)
        start = offset(pixel_rect(LABEL2, dpi), left, top)
        self.assertGreater(screen.share(start, orange), 0.5, screen.png)
        stop = offset(pixel_rect(LABEL3, dpi), left, top)
        self.assertGreater(screen.share(stop, orange), 0.28, screen.png)
        # A screen reader is told the same places for them.
        children = probe.acc_tree(main)["children"]
        self.assertEqual([tuple(children[0][5]), tuple(children[1][5])], [start, stop])

    def check_reason(self, session, dpi):
        probe = session.probe
        label = pixel_rect(LABEL1, dpi)
        main_left, main_top = probe.client(session.main)[:2]
        e2e.click(main_left + (label[0] + label[2]) // 2, main_top + (label[1] + label[3]) // 2)
        reason = probe.wait(mk.FORM_CLASS, mk.REASON_CAPTION, 5000)
        self.assertTrue(reason, "the reason window did not appear")
        self.assertTrue(mk.wait_until(lambda: probe.visible(reason), 5.0))
        expected = window_rect(REASON_AREA, dpi)
        self.assertEqual(probe.rect(reason), expected)
        controls = {cls.lower(): hwnd for hwnd, cls, _ in probe.children(reason)}
        for cls, area in (("edit", TEXT1), ("button", COMMAND1)):
            self.assertEqual(probe.rect(controls[cls]),
                             offset(pixel_rect(area, dpi), expected[0], expected[1]), cls)
        park_pointer()
        e2e.screenshot("dpi%d-reason" % dpi)


if __name__ == "__main__":
    unittest.main()
