"""Helpers for the end-to-end tests: Windows programs under Wine on an X display, driven from
Python's standard library alone.

The caller sets up the desktop before running any test:
  DISPLAY     an X server (Xvfb), 800x600 or bigger; without it every test FAILS (never skips)
  WINEPREFIX  an initialised prefix with 'HKCU\\Software\\Wine\\X11 Driver' Managed=N
  and a running `wineserver -p` for that prefix, so each process start stays cheap.
The programs come from the environment (ctest sets them):
  CHATROOM_EXE, WINPROBE_EXE, MARIGOLD_EXE   paths of chatroom.exe, winprobe.exe, marigold.exe
  E2E_ARTIFACTS                              where logs and screenshots go (default: a temp dir)

Starting and stopping programs
  require_desktop()            check DISPLAY/WINEPREFIX and the programs; raises E2EError
  WinProgram(exe, args)        starts `<loader of exe's bitness> exe args...`; .stop() kills it for good (also at exit)
  Chatroom(...)                the stand-in chat client with its options and a fresh log file;
                               .wait_ready(probe) -> frame, .documents(probe) -> its AOL Child
                               windows in child order, .lines()/.wait_lines(n, timeout) ->
                               [Post(data=ANSI bytes, room=number, text)]
  start_marigold()             marigold.exe as a WinProgram
  winpath(path)                a Unix path as Wine sees it (Z:\\...)

Talking to the probe (winprobe.exe, one process per test; every answer is one JSON line)
  probe = Probe(); probe.call("cmd", *args) -> the decoded answer (E2EError on {"error": ..})
  ChatClientTest: a unittest base with self.probe and self.start_chat(**Chatroom options).
  Typed wrappers: find(cls, caption=None), find_child(parent, cls, caption=None, after=0),
  wait(cls, caption=None, timeout_ms), wait_gone(hwnd, timeout_ms), rect(hwnd) -> (l,t,r,b),
  client(hwnd) -> screen rectangle of the client area, visible/iconic/topmost/exists(hwnd)
  -> bool, foreground() -> hwnd, restore(hwnd, how="syscommand"|"show"), caption(hwnd), text(hwnd) (WM_GETTEXT of
  a control; None if it does not answer), children(hwnd) -> [(hwnd, class, caption)] in
  child order, toplevel() -> visible top-level [(hwnd, class, caption, rect)],
  boxes() -> visible dialogs [{"hwnd", "caption", "texts", "buttons", "rect"}],
  press_button(box, text), post(text) -> ms spent in Hook32::PostChatLine, chat_timeout_ms(),
  screen_name(), im_sender(), locate_room() -> what Hook32's routines find from another process,
  pid(hwnd) -> Windows process id, gui(pid) -> (gdi, user, how), mem(pid) -> private bytes,
  kill(pid), hang(frame, ms=0) (the stand-in client hangs from now on, for good by default),
  held(mutex) -> whether a process holds that named mutex,
  screen() -> (w, h), acp(); through Active Accessibility:
  acc_tree(hwnd), acc_at(x, y), acc_do(hwnd, child), and loaded(pid, module). .close() ends it.

Real input through X (xdotool; Wine does not take SendInput from another process); where the
pointer is, from the X server itself (xinput.py)
  pointer(), mousemove(x, y), click(x, y, button=1), mousedown(x, y, button=1), mouseup(button=1),
  drag(x0, y0, x1, y1, button=1, steps=10), key(*names), type_text(text)
  center(rect) -> (x, y) of a rectangle from rect()/client()

Figures
  figure(what, value, unit="s") writes a measured time to the test's output; returns it

Pictures
  screenshot(name) -> path of a PNG of the whole screen (ImageMagick `import -window root`)
"""

import atexit
import itertools
import json
import os
import queue
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from collections import namedtuple

import xinput


class E2EError(AssertionError):
    """A failure of the desktop, a program or the probe; fails the test that meets it."""


_live_programs = []


def _kill_all_at_exit():
    for program in list(_live_programs):
        program.stop()


atexit.register(_kill_all_at_exit)


def artifacts_dir():
    path = os.environ.get("E2E_ARTIFACTS") or os.path.join(tempfile.gettempdir(), "marigold-e2e")
    os.makedirs(path, exist_ok=True)
    return path


def require_desktop(*programs):
    """Fails clearly when the desktop the tests need is not there. `programs` are environment
    variable names (e.g. "CHATROOM_EXE") whose files must exist."""
    if not os.environ.get("DISPLAY"):
        raise E2EError("DISPLAY is not set: start an X server (Xvfb :N -screen 0 800x600x24) "
                       "and export DISPLAY before running the end-to-end tests")
    if not os.environ.get("WINEPREFIX"):
        raise E2EError("WINEPREFIX is not set: initialise a prefix (wineboot -i, Managed=N) "
                       "and start `wineserver -p` for it")
    for name in programs:
        path = os.environ.get(name)
        if not path or not os.path.isfile(path):
            raise E2EError("%s does not name a built program (%r)" % (name, path))


def banner(key, **parts):
    """A chat line from tests/banners.txt, the one list every tier of tests reads, with its
    {name}, {minutes} and {since} filled in from `parts`."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "banners.txt")
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            if line.split(" ", 1)[0] == key:
                text = line[line.index('"') + 1:line.rindex('"')]
                for part, value in parts.items():
                    text = text.replace("{" + part + "}", str(value))
                return text
    raise KeyError(key)


def hotspots():
    """The main window's parts from tests/hotspots.txt, the one table every tier of tests
    reads, in the order the window lists them: (name, role, value or None, twips rectangle,
    client pixel to click or None), the role as MSAA names it."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "hotspots.txt")
    parts = []
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            if line.startswith("#") or not line.strip():
                continue
            name, role, value, rect, spot = line.rstrip("\n").split("\t")
            parts.append((name, "push button" if role == "button" else "static text",
                          None if value == "-" else value, tuple(map(int, rect.split())),
                          None if spot == "-" else tuple(map(int, spot.split()))))
    return parts


def figure(what, value, unit="s"):
    """Writes a measured figure to the test's output, where ctest's record keeps it, so that
    each time limit can be set against what the working program takes; the value."""
    sys.stderr.write("figure: %s %.3f %s\n" % (what, value, unit))
    return value


def program_path(name):
    require_desktop(name)
    return os.environ[name]


def winpath(path):
    """A Unix path as a Windows program under Wine names it (drive Z: is the Unix root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def is_32bit_exe(exe):
    """True for an x86 (32-bit) Windows executable, by the machine field of its PE header."""
    with open(exe, "rb") as f:
        head = f.read(4096)
    pe = int.from_bytes(head[0x3C:0x40], "little")
    if head[:2] != b"MZ" or head[pe:pe + 4] != b"PE\0\0":
        raise E2EError("%s is not a Windows executable" % exe)
    return int.from_bytes(head[pe + 4:pe + 6], "little") == 0x14C


def wine_loader(exe=None):
    """The Wine loader for the executable's bitness, 64-bit when none is named. Each loader is
    named itself (MARIGOLD_WINE64 names the 64-bit one, when set): Debian's `wine` script starts
    everything through the 32-bit loader once 32-bit Wine is installed, which costs a minute
    per process under emulation."""
    if exe and is_32bit_exe(exe):
        return "/usr/lib/wine/wine" if os.path.exists("/usr/lib/wine/wine") else "wine"
    return os.environ.get("MARIGOLD_WINE64") or (
        "/usr/lib/wine/wine64" if os.path.exists("/usr/lib/wine/wine64") else "wine")


def _wine_env():
    env = dict(os.environ)
    env.setdefault("WINEDEBUG", "-all")
    return env


class WinProgram:
    """A Windows program under Wine. Its process group is killed by stop(), by the test's
    cleanup and, failing both, when Python exits."""

    def __init__(self, exe, args=(), stdin=None, stdout=None):
        self.exe = exe
        self.args = [str(a) for a in args]
        # What Wine itself says of a start that fails (a loader error, a crash) stays with the
        # test's artifacts.
        fd, self.stderr_path = tempfile.mkstemp(
            prefix=os.path.splitext(os.path.basename(exe))[0] + "-", suffix=".stderr",
            dir=artifacts_dir())
        with os.fdopen(fd, "wb") as stderr:
            self.process = subprocess.Popen(
                [wine_loader(exe), exe] + self.args, stdin=stdin, stdout=stdout,
                stderr=stderr, env=_wine_env(), start_new_session=True)
        _live_programs.append(self)

    def running(self):
        return self.process.poll() is None

    def state(self):
        """For a failure's message: "runs", or the exit code and the end of what Wine wrote."""
        code = self.process.poll()
        if code is None:
            return "runs"
        try:
            with open(self.stderr_path, "rb") as stderr:
                stderr.seek(max(0, os.path.getsize(self.stderr_path) - 600))
                said = stderr.read().decode("utf-8", "replace").strip()
        except OSError:
            said = ""
        return "ended with %r%s" % (code, "; it wrote: " + said if said else "")

    def wait_exit(self, timeout):
        """The exit code once the program has ended within `timeout` seconds, else None."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self in _live_programs:
            _live_programs.remove(self)
        if self.process.poll() is None:
            for sig, grace in ((signal.SIGTERM, 2.0), (signal.SIGKILL, 5.0)):
                try:
                    os.killpg(self.process.pid, sig)
                except ProcessLookupError:
                    break
                try:
                    self.process.wait(grace)
                    break
                except subprocess.TimeoutExpired:
                    continue
        for stream in (self.process.stdin, self.process.stdout):
            if stream:
                stream.close()
        try:
            if os.path.getsize(self.stderr_path) == 0:
                os.remove(self.stderr_path)
        except OSError:
            pass


def _quote(word):
    word = str(word)
    if word and not any(c in word for c in ' \t"\\'):
        return word
    return '"' + word.replace("\\", "\\\\").replace('"', '\\"') + '"'


class Probe:
    """winprobe.exe as a command server: one line out, one JSON line back."""

    def __init__(self, timeout=30.0):
        self.program = WinProgram(program_path("WINPROBE_EXE"), stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE)
        self._answers = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        ready = self._next(timeout)
        if ready != "ready":
            raise E2EError("winprobe did not start: %r" % (ready,))

    def _read(self):
        for raw in self.program.process.stdout:
            self._answers.put(raw.decode("utf-8", "replace").strip())
        self._answers.put(None)

    def _next(self, timeout):
        try:
            line = self._answers.get(timeout=timeout)
        except queue.Empty:
            raise E2EError("winprobe gave no answer within %.0f s" % timeout)
        if line is None:
            raise E2EError("winprobe ended")
        return json.loads(line)

    def call(self, command, *args, timeout=30.0):
        line = " ".join(_quote(w) for w in (command,) + args) + "\n"
        try:
            self.program.process.stdin.write(line.encode("utf-8"))
            self.program.process.stdin.flush()
        except (BrokenPipeError, ValueError):
            raise E2EError("winprobe is gone")
        answer = self._next(timeout)
        if isinstance(answer, dict) and "error" in answer:
            raise E2EError("winprobe %s: %s" % (command, answer["error"]))
        return answer

    def alive(self):
        """True when the probe still answers (it is asked something harmless)."""
        try:
            return self.call("screen", timeout=10.0) is not None
        except E2EError:
            return False

    def close(self):
        if self.program.running():
            try:
                self.call("quit", timeout=5.0)
            except E2EError:
                pass
            self.program.wait_exit(5.0)
        self.program.stop()

    # Typed wrappers; a caption of None matches any caption.
    def find(self, cls, caption=None):
        return self.call("find", cls, "*" if caption is None else caption)

    def find_child(self, parent, cls, caption=None, after=0):
        return self.call("findchild", parent, cls, "*" if caption is None else caption, after)

    def wait(self, cls, caption=None, timeout_ms=10000):
        return self.call("wait", cls, "*" if caption is None else caption, timeout_ms,
                         timeout=timeout_ms / 1000.0 + 30)

    def wait_gone(self, hwnd, timeout_ms=10000):
        return bool(self.call("waitgone", hwnd, timeout_ms, timeout=timeout_ms / 1000.0 + 30))

    def rect(self, hwnd):
        r = self.call("rect", hwnd)
        return tuple(r) if r else None

    def client(self, hwnd):
        r = self.call("client", hwnd)
        return tuple(r) if r else None

    def visible(self, hwnd):
        return bool(self.call("visible", hwnd))

    def iconic(self, hwnd):
        return bool(self.call("iconic", hwnd))

    def foreground(self):
        """The window in the foreground (the active one of the program the user works with)."""
        return self.call("foreground")

    def topmost(self, hwnd):
        return bool(self.call("topmost", hwnd))

    def exists(self, hwnd):
        return bool(self.call("exists", hwnd))

    def restore(self, hwnd, how="syscommand"):
        return bool(self.call("restore", hwnd, how))

    def end_session(self, hwnd):
        """Tells the window the Windows session ends, as a log-off does; whether it agreed."""
        return bool(self.call("end-session", hwnd))

    def caption(self, hwnd):
        return self.call("caption", hwnd)

    def text(self, hwnd):
        return self.call("text", hwnd)

    def children(self, hwnd):
        return [tuple(c) for c in self.call("children", hwnd)]

    def toplevel(self):
        return [(h, c, t, tuple(r)) for h, c, t, r in self.call("toplevel")]

    def boxes(self):
        return self.call("boxes")

    def press_button(self, box, text):
        return bool(self.call("press-button", box, text))

    def post(self, text):
        """Posts `text` through Hook32::PostChatLine in the probe; the milliseconds it took."""
        data = text.encode("utf-8").hex() or "-"
        return float(self.call("post", data, timeout=120.0))

    def screen_name(self):
        return self.call("screen-name")

    def im_sender(self):
        return self.call("im-sender")

    def locate_room(self):
        return self.call("locate-room")

    def chat_timeout_ms(self):
        return int(self.call("chat-timeout"))

    def pid(self, hwnd):
        return int(self.call("pid", hwnd))

    def gui(self, pid):
        """(GDI objects, USER objects, where the figures came from) of a process, or None."""
        r = self.call("gui", pid)
        return (int(r[0]), int(r[1]), r[2]) if r else None

    def mem(self, pid):
        return self.call("mem", pid)

    def kill(self, pid):
        return bool(self.call("kill", pid))

    def held(self, mutex):
        """Whether some process holds the named mutex now."""
        return bool(self.call("held", mutex))

    def hang(self, frame, ms=0):
        """Makes the stand-in chat client whose frame this is stop answering messages from now
        on, for `ms` milliseconds (0: for good). Returns once the hang has begun."""
        if not self.call("hang", frame, int(ms), timeout=60.0):
            raise E2EError("the chat client %r did not take the request to hang" % frame)

    def screen(self):
        return tuple(self.call("screen"))

    def acp(self):
        return self.call("acp")

    def acc_tree(self, hwnd):
        """The window's client object through Active Accessibility: {"name", "role", "state",
        "children": [[id, name, role, value, state, [l, t, r, b]]]}, or None."""
        return self.call("acc-tree", hwnd)

    def acc_at(self, x, y):
        """[name, role, child id] of the accessible object at a screen point, or None."""
        return self.call("acc-at", x, y)

    def acc_do(self, hwnd, child):
        """The HRESULT of the default action of a child (0: the window's object itself)."""
        return self.call("acc-do", hwnd, child)

    def loaded(self, pid, module):
        """Whether the process has the module (e.g. "oleacc.dll") loaded."""
        return bool(self.call("loaded", pid, module))


Post = namedtuple("Post", "data room text")


def _unescape_log_text(text):
    out = bytearray()
    raw = text.encode("utf-8")
    i = 0
    while i < len(raw):
        if raw[i:i + 2] == b"\\\\":
            out += b"\\"
            i += 2
        elif raw[i:i + 2] == b"\\x":
            out.append(int(raw[i + 2:i + 4], 16))
            i += 4
        else:
            out.append(raw[i])
            i += 1
    return out.decode("utf-8", "replace")


def read_log(path):
    """The posts in a chat log: Post(data=the ANSI bytes, room=number, text=str)."""
    try:
        with open(path, "rb") as f:
            content = f.read().decode("utf-8", "replace")
    except FileNotFoundError:
        return []
    posts = []
    for line in content.split("\n")[:-1]:  # a line without its newline is still being written
        data, room, text = line.split("\t", 2)
        posts.append(Post(bytes.fromhex(data), int(room), _unescape_log_text(text)))
    return posts


class Chatroom:
    """The stand-in chat client, started with a fresh log file.

    name        screen name ("Welcome, name!"); welcome_raw sets that caption exactly instead
    rooms       number of chat rooms (room 1 comes first in child order); 0 for none
    room_after_ms the rooms open only this many ms after the client starts; until then it has
                its frame, MDI client and other documents but no room (None: from the start)
    welcome     False for no Welcome window;  ims: captions of Instant Message windows
    pos         (x, y, w, h) of the frame; by default the bottom-left corner of an 800x600
                screen, clear of the program's windows
    (a test makes it hang at the moment it chooses: Probe.hang)
    exit_after_s                  end on its own even when hung (a safety net; default 300)
    """

    DEFAULT_POS = (0, 340, 232, 260)
    _serial = itertools.count(1)

    def __init__(self, name="Tester", rooms=1, welcome=True, welcome_raw=None, ims=(),
                 pos=DEFAULT_POS, exit_after_s=300,
                 log_name=None, room_after_ms=None):
        fd, self.log_path = tempfile.mkstemp(prefix=log_name or "chat-", suffix=".log",
                                             dir=artifacts_dir())
        os.close(fd)
        # A caption of its own, so a test finds its client and no other.
        self.title = "Chatroom %d-%d" % (os.getpid(), next(Chatroom._serial))
        args = ["--name", name, "--rooms", rooms, "--log", winpath(self.log_path),
                "--title", self.title]
        args += ["--pos", ",".join(str(v) for v in pos)]
        if not welcome:
            args.append("--no-welcome")
        if welcome_raw is not None:
            args += ["--welcome-raw", welcome_raw]
        for caption in ims:
            args += ["--im", caption]
        if room_after_ms is not None:
            args += ["--room-after", room_after_ms]
        if exit_after_s is not None:
            args += ["--exit-after", exit_after_s]
        self.program = WinProgram(program_path("CHATROOM_EXE"), args)
        self.frame = 0

    def wait_ready(self, probe, timeout_ms=20000):
        """Waits for the frame to show (it shows once all its windows exist); its handle.
        Fails when another chat client's frame comes first: the program would talk to that."""
        self.frame = probe.wait("AOL Frame25", self.title, timeout_ms)
        if not self.frame:
            raise E2EError("the chat client's frame did not appear within %d ms (the client %s; "
                           "windows in view: %r)"
                           % (timeout_ms, self.program.state(), probe.toplevel()))
        first = probe.find("AOL Frame25")
        if first != self.frame:
            raise E2EError("another chat client is running (%r, %r): stop it first"
                           % (first, probe.caption(first)))
        return self.frame

    def mdi_client(self, probe):
        return probe.find_child(self.frame, "MDIClient")

    def documents(self, probe):
        """The client's document windows in child order: [(hwnd, "AOL Child", caption)]."""
        return probe.children(self.mdi_client(probe))

    def lines(self):
        return read_log(self.log_path)

    def wait_lines(self, count, timeout=10.0):
        """The log's posts once there are at least `count` of them; fails after `timeout` s."""
        deadline = time.monotonic() + timeout
        while True:
            posts = self.lines()
            if len(posts) >= count:
                return posts
            if time.monotonic() >= deadline:
                raise E2EError("the chat log has %d of %d lines after %.1f s: %r"
                               % (len(posts), count, timeout, posts))
            time.sleep(0.05)

    def stop(self):
        self.program.stop()


def start_marigold():
    return WinProgram(program_path("MARIGOLD_EXE"))


def _xdotool(*args):
    require_desktop()
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=30)


def pointer():
    """Where the pointer is on the screen: (x, y)."""
    require_desktop()
    return xinput.pointer()


def mousemove(x, y):
    # `--sync` to where the pointer already is waits some 15 s for a motion that never comes.
    if pointer() != (x, y):
        _xdotool("mousemove", "--sync", x, y)


def click(x, y, button=1):
    mousemove(x, y)
    _xdotool("click", button)


def mousedown(x, y, button=1):
    mousemove(x, y)
    _xdotool("mousedown", button)


def mouseup(button=1):
    _xdotool("mouseup", button)


def drag(x0, y0, x1, y1, button=1, steps=10, pause=0.02):
    """Press at (x0, y0), move in steps to (x1, y1), release: a real drag."""
    mousedown(x0, y0, button)
    for i in range(1, steps + 1):
        time.sleep(pause)
        mousemove(x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
    time.sleep(pause)
    mouseup(button)


def key(*names):
    _xdotool("key", *names)


def type_text(text, delay_ms=20):
    _xdotool("type", "--delay", delay_ms, text)


def center(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


def screenshot(name):
    """A PNG of the whole screen in the artifacts folder; its path."""
    require_desktop()
    path = os.path.join(artifacts_dir(), name if name.endswith(".png") else name + ".png")
    subprocess.run(["import", "-window", "root", path], check=True, timeout=30)
    return path


class ChatClientTest(unittest.TestCase):
    """A test case with one probe for the class and a stand-in chat client per test, in the
    Windows-1252 code page the expected bytes are written in."""

    @classmethod
    def setUpClass(cls):
        require_desktop("CHATROOM_EXE", "WINPROBE_EXE")
        cls.probe = Probe()
        if cls.probe.acp() != 1252:
            cls.probe.close()
            raise E2EError("the expected bytes are Windows-1252 ones: run with LANG=C.UTF-8")

    @classmethod
    def tearDownClass(cls):
        cls.probe.close()

    def start_chat(self, **options):
        chat = Chatroom(**options)
        self.addCleanup(chat.stop)
        chat.wait_ready(self.probe)
        return chat
