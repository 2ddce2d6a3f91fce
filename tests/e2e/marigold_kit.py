"""What the end-to-end tests of marigold.exe share: the program's windows and hot spots, the
exact bytes it posts into the chat room, and a session that starts the chat client, the probe
and the program and gets past the splash."""

import os
import subprocess
import threading
import time

import e2e
import xinput

FORM_CLASS = "MarigoldForm"
SPLASH_CAPTION = "Form3"
MAIN_CAPTION = "Marigold Idle -CorVID"
REASON_CAPTION = ""

# The main window's place and size on an 800x600 screen at 15 twips per pixel.
MAIN_RECT = (333, 274, 333 + 118, 274 + 60)

# The main window's parts (tests/hotspots.txt); the spots as points in its client pixels,
# well inside each label.
PARTS = e2e.hotspots()
SPOTS = {name: spot for name, _, _, _, spot in PARTS if spot}
REASON_LABEL = SPOTS["Enter idle reason"]  # Label1, "Click Me"
START_SPOT = SPOTS["Start Idling"]  # Label2
STOP_SPOT = SPOTS["Stop Idling"]  # Label3
MINIMISE_SPOT = SPOTS["Minimise"]  # Label5
EXIT_SPOT = SPOTS["Exit"]  # Label4
TITLE_STRIP = (20, 10)  # no label: a press here drags the window
# The reason window's text box and "ok" button, in its client pixels.
REASON_TEXT_BOX = (60, 9)
REASON_OK = (188, 9)

# Where the letters of the indicator words "on" (Label6) and "off" (Label7) are drawn, as
# client-pixel rectangles x, y, w, h. The labels overlap by a pixel and the reason legend
# reaches into their top rows, so these are cut to the letters alone.
ON_WORD = (40, 41, 14, 7)
OFF_WORD = (56, 41, 16, 7)

NO_REASON_TITLE = "MARIGOLD IDLE"
NO_REASON_PROMPT = "You Need To Enter a Reason for Idling"
FAREWELL_TITLE = "marigold v1 idle"
FAREWELL_START = "Make sure to check my page, "
FAREWELL_END = ", for updates and shit. Peace."

# The chat lines in the ANSI code page 1252: 0x95 is the bullet, 0xBA the ordinal indicator.
LOAD_BANNER = e2e.banner("load").encode("cp1252")


def loaded_by_banner(name):
    return e2e.banner("loaded_by", name=name).encode("cp1252")


def idle_banner(name, minutes, since):
    return e2e.banner("idle", name=name, minutes=minutes, since=since).encode("cp1252")


def long_time(seconds):
    """The local time of day as the program writes it under LANG=C (en-US long time):
    hour without a leading zero, 12-hour clock, seconds and AM/PM, e.g. "4:37:32 AM"."""
    t = time.localtime(seconds)
    hour = t.tm_hour % 12 or 12
    return "%d:%02d:%02d %s" % (hour, t.tm_min, t.tm_sec, "AM" if t.tm_hour < 12 else "PM")


def long_times_between(first, last):
    """Every time-of-day text the clock can show from `first` to `last` (Unix seconds)."""
    return {long_time(s) for s in range(int(first), int(last) + 1)}


def wait_until(condition, timeout, interval=0.05):
    """Polls `condition` until it gives a true value or `timeout` seconds pass; the last
    value it gave."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def client_point(probe, window, point):
    """Screen coordinates of a point given in the window's client pixels."""
    left, top, _, _ = probe.client(window)
    return left + point[0], top + point[1]


def _xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=30)


# The kit's pointer moves already skip a move to where the pointer is (`--sync` would wait
# for a motion that never comes); these names are what the tests here call.
pointer = e2e.pointer
move_to = e2e.mousemove
press_at = e2e.mousedown
click_at = e2e.click
drag = e2e.drag


# On Wine's virtual desktop (desktop.py --virtual-desktop) every window of the programs is an
# X window inside the one desktop window, and Wine, not the test, moves the X keyboard focus.
VIRTUAL_DESKTOP = os.environ.get("MARIGOLD_VIRTUAL_DESKTOP") == "1"


def x_window_under_pointer():
    """The X window under the pointer (a top-level one, or the root) and its screen rectangle
    (left, top, right, bottom)."""
    window = xinput.window_under_pointer()
    return window, xinput.rect(window)


def _x_window_shown(rect):
    """On the virtual desktop: whether an X window with this screen rectangle is mapped in it."""
    shown = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", ""],
                           capture_output=True, text=True, timeout=30).stdout.split()
    return any(xinput.rect(int(window)) == rect for window in shown)


def point_at_window(probe, window, x, y, timeout=5.0):
    """Moves the pointer to screen point (x, y) and waits until the top-level `window` is
    there on the X screen under it. Wine reports a window visible a moment before X maps it,
    and a click that comes too early lands on whatever lay below."""
    move_to(x, y)
    expected = probe.rect(window)
    if VIRTUAL_DESKTOP:
        if not wait_until(lambda: _x_window_shown(expected), timeout):
            raise e2e.E2EError("window %r (%r) is not on the virtual desktop" % (window, expected))
        return
    if not wait_until(lambda: x_window_under_pointer()[1] == expected, timeout):
        raise e2e.E2EError("window %r (%r) is not on the X screen under (%d, %d): %r"
                           % (window, expected, x, y, x_window_under_pointer()))


def click_window(probe, window, x, y):
    """A real click at screen point (x, y) on the top-level `window`."""
    point_at_window(probe, window, x, y)
    click_at(x, y)


def in_background(action, *args):
    """Runs `action` (input through xdotool, never the probe) in a thread, so the caller can
    watch what follows from its very start; the thread, to join."""
    thread = threading.Thread(target=action, args=args, daemon=True)
    thread.start()
    return thread


def click_client(probe, window, point):
    click_window(probe, window, *client_point(probe, window, point))


def single_box(probe, timeout=10.0):
    """The one visible dialog box once it is up; fails when none or several come."""
    boxes = wait_until(probe.boxes, timeout)
    if len(boxes) != 1:
        raise e2e.E2EError("expected one message box, found %r" % (boxes,))
    return boxes[0]


def pixels(png, rect):
    """The (r, g, b) values of a screen rectangle (left, top, right, bottom) of a screenshot,
    row by row."""
    left, top, right, bottom = rect
    crop = "%dx%d+%d+%d" % (right - left, bottom - top, left, top)
    raw = subprocess.run(["convert", png, "-crop", crop, "+repage", "-depth", "8", "rgb:-"],
                         check=True, capture_output=True, timeout=30).stdout
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]


def darkest(png, client_left, client_top, area):
    """The darkest grey level (0-255) within `area` (client x, y, w, h) of a window whose client
    area starts at (client_left, client_top) on the screenshot."""
    x, y, w, h = area
    rect = (client_left + x, client_top + y, client_left + x + w, client_top + y + h)
    return min(min(p) for p in pixels(png, rect))


def indicator(probe, window, name):
    """Which word of the main window's indicator is drawn in black: "on", "off", or what was
    seen when neither or both are. The other word is dark grey (0x40) on the light panel; the
    fonts are drawn without smoothing, so black letters have pure black pixels."""
    park_pointer(probe)
    png = e2e.screenshot(name)
    left, top, _, _ = probe.client(window)
    on = darkest(png, left, top, ON_WORD)
    off = darkest(png, left, top, OFF_WORD)
    if on < 32 <= off < 128:
        return "on"
    if off < 32 <= on < 128:
        return "off"
    return "on=%d off=%d" % (on, off)


def shows_warning_icon(probe, box, name, timeout=5.0):
    """True when the message box shows an icon in the orange of the exclamation sign. The box
    exists, with its controls, a moment before Wine has painted them on a busy machine: the
    screen is read again until the icon is there or `timeout` has passed."""
    icons = [h for h, cls, text in probe.children(box)
             if cls.lower() == "static" and text == "" and probe.visible(h)]
    if len(icons) != 1:
        return False

    def orange_pixels():
        png = e2e.screenshot(name)
        return len([p for p in pixels(png, probe.rect(icons[0]))
                    if p[0] > 200 and 80 < p[1] < 200 and p[2] < 80]) >= 20

    return wait_until(orange_pixels, timeout, 0.2)


def box_button_center(probe, box, text):
    """The screen point in the middle of the box's button with that caption."""
    for hwnd, cls, caption in probe.children(box):
        if cls.lower() == "button" and caption.replace("&", "") == text:
            return e2e.center(probe.rect(hwnd))
    raise e2e.E2EError("the box %r has no button %r" % (box, text))


def click_box_button(probe, box, text):
    """A real click on the box's button with that caption."""
    click_window(probe, box, *box_button_center(probe, box, text))


def park_pointer(probe, timeout=3.0):
    """Moves the pointer to a corner where no window of the program lies and waits until no
    tooltip shows, so screenshots show the windows as they are; whether none shows."""
    move_to(790, 5)
    time.sleep(0.2)
    return wait_until(lambda: not any(cls.lower() == "tooltips_class32"
                                      for _, cls, _, _ in probe.toplevel()), timeout)


def x_keys_go_to(rect):
    """Whether X gives typed keys to the window with this screen rectangle: it has the X
    keyboard focus."""
    focus = subprocess.run(["xdotool", "getwindowfocus"], check=True, capture_output=True,
                           text=True, timeout=30).stdout.strip()
    return xinput.rect(int(focus)) == rect


def focus_under_pointer():
    """Gives the X keyboard focus to the window under the pointer, as a click-to-focus window
    manager would on a click. With no window manager nobody moves it: Wine's own requests
    lose to the chat client, which took the focus when the splash was hidden, and typed keys
    would go there instead of to the program. On the virtual desktop Wine's own window manager
    gives the focus, as Windows' does: nothing is done there."""
    if VIRTUAL_DESKTOP:
        return
    _xdotool("windowfocus", "--sync", xinput.window_under_pointer())


class Session:
    """The chat client, the probe and marigold.exe, started in that order."""

    def __init__(self, name="Nick1", welcome=True, start_ms=20000):
        """start_ms: how long each program may take to show its first window (a 32-bit one
        under emulation takes a minute or two)."""
        e2e.require_desktop("CHATROOM_EXE", "WINPROBE_EXE", "MARIGOLD_EXE")
        self.probe = e2e.Probe()
        self.chat = None
        self.program = None
        try:
            if self.probe.acp() != 1252:
                raise e2e.E2EError("the expected bytes are Windows-1252 ones: run with "
                                   "LANG=C.UTF-8")
            self.chat = e2e.Chatroom(name=name, welcome=welcome,
                                     exit_after_s=300 + start_ms // 1000)
            self.chat.wait_ready(self.probe, start_ms)
            self.program = e2e.start_marigold()
            self.splash = self.probe.wait(FORM_CLASS, SPLASH_CAPTION, start_ms)
            if not self.splash:
                raise e2e.E2EError("the splash window did not appear (the program %s)"
                                   % self.program.state())
            self.main = 0
        except BaseException:
            self.close()
            raise

    def click_splash(self):
        """Clicks the middle of the splash; the main window's handle once it shows."""
        click_window(self.probe, self.splash, *e2e.center(self.probe.rect(self.splash)))
        self.main = self.probe.wait(FORM_CLASS, MAIN_CAPTION, 10000)
        if not self.main:
            raise e2e.E2EError("the main window did not appear after the splash click")
        return self.main

    def click(self, point):
        """A real click on a point of the main window given in client pixels."""
        click_client(self.probe, self.main, point)

    def close(self):
        if self.program:
            self.program.stop()
        if self.chat:
            self.chat.stop()
        self.probe.close()
