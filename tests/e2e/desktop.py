"""Runs one end-to-end test on a desktop of its own: a private X display, a private Wine prefix
made from the prepared one and its own wineserver, so that tests run side by side never see
each other's windows, registry or clicks.

usage: desktop.py [--template PREFIX] --work DIR [--timeout S] [--windows-version V]
                  [--virtual-desktop] -- COMMAND...
The template defaults to WINEPREFIX, prepared as scripts/setup.sh's make_wine_prefix does. With
--windows-version (winxp, vista, win7, ...) the prefix's programs see that version of Windows.
With --virtual-desktop they run inside one Wine desktop window as big as the screen, where
Wine's own window manager decides activation and focus, as Windows' does, instead of the X
server (unmanaged X windows, the default).
Each run has a folder of its own in DIR, so the same test can run twice at once (the load
check does); the folder goes when the test passes and stays, with the test's logs and
screenshots, when it fails.
"""

import argparse
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from e2e import wine_loader

# The bulk of a prefix is the system's own DLLs and side-by-side assemblies, which no test
# writes: linked, not copied.
LINKED = (os.path.join("drive_c", "windows", "system32"),
          os.path.join("drive_c", "windows", "syswow64"),
          os.path.join("drive_c", "windows", "winsxs"))


def copy_prefix(template, prefix):
    shutil.rmtree(prefix, ignore_errors=True)

    def copy(src, dst):
        rel = os.path.relpath(src, template)
        if any(rel == d or rel.startswith(d + os.sep) for d in LINKED):
            os.link(src, dst)
        else:
            shutil.copy2(src, dst)

    shutil.copytree(template, prefix, symlinks=True, copy_function=copy,
                    ignore=shutil.ignore_patterns("wineserver"))


SCREEN = "800x600"


def start_display(size=SCREEN):
    """Xvfb on the first free display number, which it picks itself (no race between tests
    started together); (process, ":N")."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", size + "x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL, start_new_session=True)
    os.close(write_end)
    with os.fdopen(read_end) as answer:
        number = answer.readline().strip()
    if not number:
        xvfb.kill()
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number


def quietly(command, env, timeout=120):
    # No terminal or pipe for Wine's background processes to inherit: one they held would
    # keep ctest waiting for the test's output to end.
    return subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=timeout).returncode


def wait_for_desktop_end(prefix, timeout=30):
    """Waits until no explorer.exe (the process behind Wine's desktop) runs in the prefix."""
    mine = ("WINEPREFIX=" + prefix).encode()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/comm" % pid, "rb") as comm:
                if comm.read().strip() != b"explorer.exe":
                    continue
            with open("/proc/%s/environ" % pid, "rb") as environ:
                if mine not in environ.read().split(b"\0"):
                    continue
            process = os.pidfd_open(int(pid))
        except OSError:  # gone meanwhile
            continue
        try:
            if not select.select([process], [], [], timeout)[0]:
                raise RuntimeError("Wine's desktop did not end within %d s" % timeout)
        finally:
            os.close(process)


def system_program(env, name):
    """One of Wine's own programs by its file in the prefix: started by a bare name, Wine runs
    it through start.exe, a process more (0.1 s of processor time) that does nothing here."""
    return os.path.join(env["WINEPREFIX"], "drive_c", "windows", "system32", name + ".exe")


def hold_desktop(env):
    """Makes the desktop (its window and Wine's explorer.exe) now and keeps it until the test
    ends; the process that holds it, whose standard input closing lets it go.

    Wine ends a desktop a second after the last program on it has left, and the next program
    starts it again. A program that starts while the old one is ending can be left with no
    desktop to make its windows on (the stand-in chat client then ends with 1 and shows
    nothing), and each of a test's sessions would pay for a new explorer.exe. A command
    interpreter reading from a pipe is a program on the desktop that shows nothing and takes
    no processor time while it waits. Wine's background processes (services) start with it,
    holding none of the test's output pipes."""
    keeper = subprocess.Popen([env["MARIGOLD_WINE64"], system_program(env, "cmd")],
                              stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env,
                              start_new_session=True)
    # Once it answers it is on the desktop, so the desktop outlives the program that makes
    # its window, which waits for explorer.exe to be ready.
    keeper.stdin.write(b"echo desktop held\r\n")
    keeper.stdin.flush()
    if not any(line.rstrip().endswith(b"desktop held") for line in keeper.stdout):
        raise RuntimeError("the command interpreter that holds the desktop ended")
    quietly([env["MARIGOLD_WINE64"], system_program(env, "rundll32"),
             "user32.dll,GetDesktopWindow"], env)
    return keeper


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--template", default=os.environ.get("WINEPREFIX"))
    parser.add_argument("--work", required=True)
    parser.add_argument("--timeout", type=float, default=600)
    parser.add_argument("--windows-version")
    parser.add_argument("--virtual-desktop", action="store_true")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not args.template or not os.path.isfile(os.path.join(args.template, "system.reg")):
        parser.error("--template (or WINEPREFIX) must name a prepared Wine prefix")

    os.makedirs(args.work, exist_ok=True)
    run = tempfile.mkdtemp(prefix="run-", dir=args.work)
    prefix = os.path.join(run, "prefix")
    # No .NET or HTML engine to install, and none of the drivers and helpers that poll for USB
    # and game devices or write desktop menus: a tenth of each desktop's processor time.
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=;winebus.sys,wineusb.sys,winemenubuilder.exe=d",
               MARIGOLD_WINE64=wine_loader(), E2E_ARTIFACTS=os.path.join(run, "artifacts"))
    env.setdefault("LANG", "C.UTF-8")
    began = time.monotonic()
    copy_prefix(args.template, prefix)
    xvfb, env["DISPLAY"] = start_display()
    test = None
    keeper = None
    result = 1

    def stop(signum, _frame):
        raise SystemExit(128 + signum)

    signal.signal(signal.SIGTERM, stop)
    try:
        # Kept alive between the test's processes; gone by itself a minute after the last
        # one should this runner be killed before it can end it.
        quietly(["wineserver", "-p60"], env)
        settings = []
        if args.windows_version:
            settings.append(("HKCU\\Software\\Wine", "Version", args.windows_version))
        if args.virtual_desktop:
            env["MARIGOLD_VIRTUAL_DESKTOP"] = "1"  # the kit's X checks look there instead
            settings += [("HKCU\\Software\\Wine\\Explorer", "Desktop", "Default"),
                         ("HKCU\\Software\\Wine\\Explorer\\Desktops", "Default", SCREEN)]
        for key, name, value in settings:
            if quietly([env["MARIGOLD_WINE64"], system_program(env, "reg"), "add", key,
                        "/v", name, "/d", value, "/f"], env) != 0:
                sys.stderr.write("desktop.py: could not set %s\\%s\n" % (key, name))
                return 1
        # The programs that wrote the settings started a desktop without them, which ends by
        # itself a second after they left; the test's is made once it has gone.
        wait_for_desktop_end(prefix)
        keeper = hold_desktop(env)
        sys.stderr.write("desktop %s, prefix %s, ready in %.1f s\n"
                         % (env["DISPLAY"], prefix, time.monotonic() - began))
        test = subprocess.Popen(command, env=env, start_new_session=True)
        try:
            result = test.wait(timeout=args.timeout)
        except subprocess.TimeoutExpired:
            sys.stderr.write("desktop.py: the test ran past %.0f s and was stopped\n"
                             % args.timeout)
        return result
    finally:
        if test and test.poll() is None:
            os.killpg(test.pid, signal.SIGKILL)
            test.wait()
        if keeper:
            keeper.stdin.close()
            keeper.stdout.close()
        quietly(["wineserver", "-k"], env, timeout=30)
        xvfb.terminate()
        try:
            xvfb.wait(10)
        except subprocess.TimeoutExpired:
            xvfb.kill()
        shutil.rmtree(prefix if result else run, ignore_errors=True)
        if result:
            sys.stderr.write("desktop.py: the test's logs and screenshots are in %s\n" % run)


if __name__ == "__main__":
    sys.exit(main())
