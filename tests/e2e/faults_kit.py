"""What the fault, text-path and endurance tests share: marigold.exe driven through its real
windows by X clicks, programs started in another locale, and the chat lines the program posts
as the bytes of a given ANSI code page."""

import contextlib
import os
import subprocess
import tempfile
import time

import e2e
import marigold_kit as mk

FIRST_BANNER = e2e.banner("load")

# Characters the host's conversion maps to a look-alike rather than to the default "?"
# (Windows' best-fit tables, which Wine follows). Only those the tests meet are listed.
BEST_FIT = {932: {"\u00ba": "o"}, 1252: {}}


def loaded_by(name):
    return e2e.banner("loaded_by", name=name)


def idle_line(name, minutes, since):
    return e2e.banner("idle", name=name, minutes="%d" % minutes, since=since)


def ansi(text, codepage):
    """The bytes WideCharToMultiByte(codepage) gives for `text`: the code page's own bytes,
    the best-fit look-alike where the host has one, "?" for everything else."""
    codec = "cp%d" % codepage
    out = b""
    for ch in text:
        ch = BEST_FIT[codepage].get(ch, ch)
        try:
            out += ch.encode(codec)
        except UnicodeEncodeError:
            out += b"?"
    return out


def _has_locale(name):
    def key(n):
        return n.lower().replace("-", "")
    listed = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    return key(name) in {key(n) for n in listed}


_locale_dirs = {}


def locale_env(lang):
    """Environment entries that make Wine programs run in `lang`. Wine takes its ANSI code page
    from the C library's locale, so a locale the system lacks is compiled into a private
    directory (LOCPATH) first."""
    env = {"LANG": lang, "LC_ALL": lang}
    if lang.startswith("C") or _has_locale(lang):
        return env
    if lang not in _locale_dirs:
        folder = tempfile.mkdtemp(prefix="locale-", dir=e2e.artifacts_dir())
        base, _, charset = lang.partition(".")
        subprocess.run(["localedef", "-i", base, "-f", charset or "UTF-8",
                        os.path.join(folder, lang)], check=True, capture_output=True, timeout=120)
        _locale_dirs[lang] = folder
    env["LOCPATH"] = _locale_dirs[lang]
    return env


@contextlib.contextmanager
def environment(entries):
    """Programs started inside the block get these environment entries (e2e.WinProgram copies
    the environment when it starts a program)."""
    saved = {k: os.environ.get(k) for k in entries}
    os.environ.update(entries)
    try:
        yield
    finally:
        for k, v in saved.items():
            if v is None:
                os.environ.pop(k, None)
            else:
                os.environ[k] = v


def click(x, y, button=1):
    """A real click at a screen point. `xdotool mousemove --sync` to the point the pointer is
    already on waits about 15 s for a motion that never comes, so the pointer is first
    nudged off the point (a move to where it already is costs nothing without --sync)."""
    args = ("mousemove", x + 1, y + 1, "mousemove", "--sync", x, y, "click", button)
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=30)


def click_client(probe, window, point):
    """A real click on a point of the window's client area, once X shows the window there."""
    mk.click_client(probe, window, point)


def no_chat_client(probe):
    if probe.find("AOL Frame25"):
        raise e2e.E2EError("a chat client is running: stop it first")


def clean_desktop(test, codepage=None):
    """A probe for `test`, closed after it, on a desktop with no chat client yet; with
    `codepage`, the ANSI code page the test's expected bytes are written in is checked too."""
    e2e.require_desktop("CHATROOM_EXE", "WINPROBE_EXE", "MARIGOLD_EXE")
    probe = e2e.Probe()
    test.addCleanup(probe.close)
    if codepage is not None:
        test.assertEqual(probe.acp(), codepage, "the expected bytes are of code page %d" % codepage)
    no_chat_client(probe)
    return probe


class Marigold:
    """marigold.exe on the desktop, clicked through its real windows."""

    def __init__(self, probe):
        self.probe = probe
        self.program = e2e.start_marigold()
        self.main = 0
        self.reason = 0
        self.splash = probe.wait(mk.FORM_CLASS, mk.SPLASH_CAPTION, 20000)
        if not self.splash:
            state = self.program.state()
            self.stop()
            raise e2e.E2EError("the splash window did not appear (the program %s)" % state)

    def stop(self):
        self.program.stop()

    def click_splash(self, timeout_ms=10000):
        """Clicks the splash; the main window's handle once it shows (loading is over then)."""
        # Only once X has mapped it: Wine reports it visible a moment earlier, and a click
        # made then lands on whatever lies below.
        mk.click_window(self.probe, self.splash, *e2e.center(self.probe.rect(self.splash)))
        self.main = self.probe.wait(mk.FORM_CLASS, mk.MAIN_CAPTION, timeout_ms)
        if not self.main:
            raise e2e.E2EError("the main window did not appear after the splash click")
        return self.main

    def click(self, point):
        click_client(self.probe, self.main, point)

    def open_reason(self, timeout_ms=10000):
        """Clicks the reason label; the reason window's handle once it shows."""
        self.click(mk.REASON_LABEL)
        self.reason = self.probe.wait(mk.FORM_CLASS, mk.REASON_CAPTION, timeout_ms)
        if not self.reason:
            raise e2e.E2EError("the reason window did not appear")
        return self.reason

    def press_ok(self, timeout_ms=10000):
        """Clicks "ok" on the reason window and waits for the main window to be back."""
        click_client(self.probe, self.reason, mk.REASON_OK)
        if not self.probe.wait(mk.FORM_CLASS, mk.MAIN_CAPTION, timeout_ms):
            raise e2e.E2EError("the main window did not come back after ok")

    def start_idling(self):
        """Gives a reason (the reason window's own text) and clicks Start; the time of the
        click, for the minute timer."""
        self.open_reason()
        self.press_ok()
        self.click(mk.START_SPOT)
        return time.time()

    def exit(self, timeout=30.0):
        """Clicks the exit spot, closes the farewell box with its button and waits for the
        program to end; its exit code."""
        self.click(mk.EXIT_SPOT)
        box = mk.single_box(self.probe)
        if box["caption"] != mk.FAREWELL_TITLE:
            raise e2e.E2EError("expected the farewell box, got %r" % (box,))
        for hwnd, cls, caption in self.probe.children(box["hwnd"]):
            if cls.lower() == "button" and self.probe.visible(hwnd):
                click(*e2e.center(self.probe.rect(hwnd)))
                break
        return self.program.wait_exit(timeout)


def sleep_until(moment):
    """Sleeps until the wall-clock time `moment` (seconds since the epoch)."""
    time.sleep(max(0.0, moment - time.time()))
