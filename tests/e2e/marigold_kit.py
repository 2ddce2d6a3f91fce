"""What the end-to-end tests of marigold.exe share: the program's windows and hot spots, the
exact bytes it posts into the chat room, and a session that starts the chat client, the probe
and the program and gets past the splash."""

import subprocess
import time

import e2e

FORM_CLASS = "MarigoldForm"
SPLASH_CAPTION = "Form3"
MAIN_CAPTION = "Marigold Idle -CorVID"
REASON_CAPTION = ""

# The main window's place and size on an 800x600 screen at 15 twips per pixel.
MAIN_RECT = (333, 274, 333 + 118, 274 + 60)

# Hot spots as points in the main window's client pixels, well inside each label.
REASON_LABEL = (80, 36)  # Label1, "Click Me"
START_SPOT = (16, 28)  # Label2
STOP_SPOT = (16, 48)  # Label3
MINIMISE_SPOT = (92, 8)  # Label5
EXIT_SPOT = (110, 8)  # Label4
TITLE_STRIP = (20, 10)  # no label: a press here drags the window

# The "on" and "off" indicator words (Label6, Label7) as client-pixel rectangles x, y, w, h.
ON_WORD = (40, 40, 17, 9)
OFF_WORD = (56, 40, 25, 9)

NO_REASON_TITLE = "MARIGOLD IDLE"
NO_REASON_PROMPT = "You Need To Enter a Reason for Idling"
FAREWELL_TITLE = "marigold v1 idle"
FAREWELL_START = "Make sure to check my page, "
FAREWELL_END = ", for updates and shit. Peace."

# The chat lines in the ANSI code page 1252: 0x95 is the bullet, 0xBA the ordinal indicator.
LOAD_BANNER = b"\x95 \xba\x95 MARIGOLD IDLE v1 \x95 Corvid \x95\xba \x95"


def loaded_by_banner(name):
    return b" \x95 \xba\x95 Now Loaded by " + name.encode("cp1252") + b" \x95\xba \x95"


def idle_banner(name, minutes, since):
    return (b"\x95 \xba\x95 MARIGOLD IDLE v1 [" + name.encode("cp1252") + b"][" +
            str(minutes).encode("ascii") + b"mins][Idle since:" + since.encode("cp1252"))


def long_time(seconds):
    """The local time of day as the program writes it under LANG=C (en-US long time):
    hour without a leading zero, 12-hour clock, seconds and AM/PM, e.g. "4:37:32 AM"."""
    t = time.localtime(seconds)
    hour = t.tm_hour % 12 or 12
    return "%d:%02d:%02d %s" % (hour, t.tm_min, t.tm_sec, "AM" if t.tm_hour < 12 else "PM")


def long_times_between(first, last):
    """Every time-of-day text the clock can show from `first` to `last` (Unix seconds)."""
    return {long_time(s) for s in range(int(first), int(last) + 1)}


def client_point(probe, window, point):
    """Screen coordinates of a point given in the window's client pixels."""
    left, top, _, _ = probe.client(window)
    return left + point[0], top + point[1]


def click_client(probe, window, point):
    e2e.click(*client_point(probe, window, point))


def wait_until(condition, timeout, interval=0.05):
    """Polls `condition` until it gives a true value or `timeout` seconds pass; the last
    value it gave."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def single_box(probe, timeout=10.0):
    """The one visible dialog box once it is up; fails when none or several come."""
    boxes = wait_until(probe.boxes, timeout)
    if len(boxes) != 1:
        raise e2e.E2EError("expected one message box, found %r" % (boxes,))
    return boxes[0]


def darkest(png, window_left, window_top, area):
    """The darkest grey level (0-255) within `area` (client x, y, w, h) of a window whose client
    area starts at (window_left, window_top) on the screenshot `png`."""
    x, y, w, h = area
    crop = "%dx%d+%d+%d" % (w, h, window_left + x, window_top + y)
    out = subprocess.run(["convert", png, "-crop", crop, "+repage", "-colorspace", "gray",
                          "-format", "%[fx:int(255*minima)]", "info:"],
                         check=True, capture_output=True, text=True, timeout=30)
    return int(out.stdout.strip())


class Session:
    """The chat client, the probe and marigold.exe, started in that order."""

    def __init__(self, name="Nick1", welcome=True):
        e2e.require_desktop("CHATROOM_EXE", "WINPROBE_EXE", "MARIGOLD_EXE")
        self.probe = e2e.Probe()
        self.chat = None
        self.program = None
        try:
            if self.probe.acp() != 1252:
                raise e2e.E2EError("the expected bytes are Windows-1252 ones: run with "
                                   "LANG=C.UTF-8")
            self.chat = e2e.Chatroom(name=name, welcome=welcome)
            self.chat.wait_ready(self.probe)
            self.program = e2e.start_marigold()
            self.splash = self.probe.wait(FORM_CLASS, SPLASH_CAPTION, 20000)
            if not self.splash:
                raise e2e.E2EError("the splash window did not appear")
            self.main = 0
        except BaseException:
            self.close()
            raise

    def click_splash(self):
        """Clicks the middle of the splash; the main window's handle once it shows."""
        e2e.click(*e2e.center(self.probe.rect(self.splash)))
        self.main = self.probe.wait(FORM_CLASS, MAIN_CAPTION, 10000)
        if not self.main:
            raise e2e.E2EError("the main window did not appear after the splash click")
        return self.main

    def click(self, point):
        click_client(self.probe, self.main, point)

    def close(self):
        if self.program:
            self.program.stop()
        if self.chat:
            self.chat.stop()
        self.probe.close()
