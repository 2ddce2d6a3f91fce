"""Wine processes as Linux sees them: processor time and private memory of the process that runs
a Windows program (its pid is the one `wine program.exe` was started with: the loader execs in
place) and the processor time of the prefix's wineserver, which does the work of every call a
program makes into the server."""

import os

_TICK = os.sysconf("SC_CLK_TCK")


def cmdline(pid):
    """The command line words of a process, or [] once it is gone."""
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return [w.decode("utf-8", "replace") for w in f.read().split(b"\0") if w]
    except OSError:
        return []


def runs_exe(pid, exe_name):
    """True when the process shows the Windows program as its command (Wine rewrites it)."""
    words = cmdline(pid)
    return bool(words) and words[0].replace("\\", "/").lower().endswith("/" + exe_name.lower())


class Sample:
    """Processor seconds of one process at one moment, two ways: the kernel's whole-process
    user+system ticks (all threads, dead ones too; 1/CLK_TCK resolution) and the sum of the
    live threads' scheduler run time (nanoseconds)."""

    def __init__(self, pid):
        self.pid = pid
        self.ticks = None
        self.ns = None
        try:
            with open("/proc/%d/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            # fields[0] is the state (field 3); utime and stime are fields 14 and 15
            self.ticks = (int(fields[11]) + int(fields[12])) / _TICK
            total = 0
            task_dir = "/proc/%d/task" % pid
            for tid in os.listdir(task_dir):
                with open(os.path.join(task_dir, tid, "schedstat")) as f:
                    total += int(f.read().split()[0])
            self.ns = total / 1e9
        except (OSError, IndexError, ValueError):
            pass

    def __sub__(self, earlier):
        """Seconds spent since `earlier`: the precise figure unless a thread ended between the
        two samples (then the live-thread sum undercounts and the coarse one is taken)."""
        if self.ticks is None or earlier.ticks is None:
            return None
        coarse = self.ticks - earlier.ticks
        if self.ns is None or earlier.ns is None:
            return coarse
        fine = self.ns - earlier.ns
        return coarse if fine < coarse - 2.0 / _TICK else fine


def wineserver_pid(prefix):
    """The Linux pid of the wineserver that serves `prefix`, or None."""
    want = b"WINEPREFIX=" + os.path.abspath(prefix).encode()
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        pid = int(entry)
        words = cmdline(pid)
        if not words or not os.path.basename(words[0]).startswith("wineserver"):
            continue
        try:
            with open("/proc/%d/environ" % pid, "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if any(item.rstrip(b"/") == want for item in env):
            return pid
    return None


def private_memory(pid):
    """{"rss_anon", "swap", "private_clean", "private_dirty"} in bytes, or None once gone.
    RssAnon + VmSwap is the memory that belongs to the process alone and is backed by no file,
    the nearest Linux counterpart of Windows' private bytes; the smaps figures count every
    private page that is resident, copy-on-write pages of mapped files too."""
    out = {}
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                key, _, value = line.partition(":")
                if key in ("RssAnon", "VmSwap"):
                    out["rss_anon" if key == "RssAnon" else "swap"] = int(value.split()[0]) * 1024
        with open("/proc/%d/smaps_rollup" % pid) as f:
            for line in f:
                key, _, value = line.partition(":")
                if key in ("Private_Clean", "Private_Dirty"):
                    out[key.lower()] = int(value.split()[0]) * 1024
    except (OSError, ValueError, IndexError):
        return None
    return out
