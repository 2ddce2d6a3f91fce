"""Long use through the real windows: 100 open/ok cycles of the reason window, 200 start/stop
cycles and 100 minimise/restore cycles leave the program's USER objects where they were, and its
GDI objects and private bytes within small margins."""

import subprocess
import sys
import time
import unittest

import e2e
import faults_kit as fk
import marigold_kit as mk
import xinput

# The USER count must come back exactly and the GDI count within GDI_MADE_ONCE, so a handle
# lost once a cycle (100 or more) shows at any count; the counts serve the private bytes'
# margin. Start/stop clicks go in one X run and cost next to nothing; the other cycles wait on
# each window and cost a third of a second or more.
CYCLES = {"reason_cycles": 100, "start_stop_cycles": 200, "minimise_cycles": 100}
WARM_UP = 5
# Some GDI objects are made on first need and kept (the warm-up makes those it can). On a
# machine slow enough that a tip shows during the quick start/stop clicks, or a paint overlaps
# another, that first need can fall inside the count: seen once (89 -> 90) with two test runs
# side by side and the mutation check beside them on 2 cores.
GDI_MADE_ONCE = 2
# Wine's heaps and caches round allocations up to whole pages and keep some freed blocks, so
# private bytes may settle a little above where they were even without a leak. A leak of 700
# bytes a cycle (280 KB over the 400 cycles) goes past it.
PRIVATE_BYTES_MARGIN = 256 * 1024


class EnduranceTest(unittest.TestCase):
    def setUp(self):
        self.probe = fk.clean_desktop(self)
        self.program = fk.Marigold(self.probe)
        self.addCleanup(self.program.stop)
        self.main = self.program.click_splash()
        self.pid = self.probe.pid(self.main)

    def private_bytes(self):
        """The process's private bytes; where the host does not report them (Wine gives 0),
        its private dirty pages and swap as Linux counts them for the Wine process."""
        reported = self.probe.mem(self.pid)
        if reported:
            return reported
        with open("/proc/%d/smaps_rollup" % self.program.program.process.pid) as f:
            fields = dict(line.split(":", 1) for line in f.read().splitlines()[1:])
        return sum(int(fields[k].split()[0]) * 1024 for k in ("Private_Dirty", "Swap"))

    def resources(self):
        # A tip that shows has GDI objects of its own, and the last click leaves the pointer on
        # a spot with a tip: the figures are read with the pointer away and no tip up.
        self.assertTrue(mk.park_pointer(self.probe, timeout=10.0), "a tip still shows")
        time.sleep(1.0)  # let a repaint in flight settle
        gdi, user, how = self.probe.gui(self.pid)
        return gdi, user, how, self.private_bytes()

    def reason_cycles(self, count):
        for _ in range(count):
            self.program.open_reason()
            self.program.press_ok()

    def start_stop_cycles(self, count):
        # Real X clicks without pauses, all in one xdotool run: Start, then Stop, each pair a
        # cycle. Start and Stop lie 20 pixels apart, so no two clicks make a double click.
        start = mk.client_point(self.probe, self.main, mk.START_SPOT)
        stop = mk.client_point(self.probe, self.main, mk.STOP_SPOT)
        args = []
        for _ in range(count):
            for x, y in (start, stop):
                args += ["mousemove", x, y, "click", "--delay", 1, 1]
        subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=120)

    def minimise_cycles(self, count):
        # The program's X window, as the pointer over its minimise spot finds it.
        e2e.mousemove(*mk.client_point(self.probe, self.main, mk.MINIMISE_SPOT))
        shown_on_x = xinput.window_under_pointer()
        for _ in range(count):
            self.program.click(mk.MINIMISE_SPOT)
            if not mk.wait_until(lambda: self.probe.iconic(self.main), 5.0, 0.01):
                raise e2e.E2EError("Label5 did not minimise the main window")
            self.probe.restore(self.main)  # as the task bar does it
            # Minimising marks the window iconic before it moves it to its icon's place, so
            # the window may still stand at its place, minimised: restored means not iconic
            # first, then in place.
            if not mk.wait_until(lambda: not self.probe.iconic(self.main) and
                                 self.probe.rect(self.main) == mk.MAIN_RECT and
                                 self.probe.visible(self.main), 5.0, 0.01):
                raise e2e.E2EError("the main window did not come back in place")
            # Wine maps the X window a moment after Windows reports it shown; a click before
            # that would reach the X root window instead of the program.
            if not mk.wait_until(lambda: xinput.window_under_pointer() == shown_on_x, 5.0, 0.01):
                raise e2e.E2EError("the restored window did not reach the X screen")

    def test_cycles_leave_resources_where_they_were(self):
        # Warmed up twice round: what one kind of cycle makes once and keeps (the tip control
        # the start/stop clicks bring, and what the common controls make for it on the next
        # reason cycle) is made before the count starts.
        for _ in range(2):
            for cycles in (self.reason_cycles, self.start_stop_cycles, self.minimise_cycles):
                cycles(WARM_UP)
        gdi, user, how, private = self.resources()
        self.assertGreater(gdi, 0, how)
        self.assertGreater(user, 0, how)

        took = {}
        for cycles in (self.reason_cycles, self.start_stop_cycles, self.minimise_cycles):
            begun = time.monotonic()
            cycles(CYCLES[cycles.__name__])
            took[cycles.__name__] = time.monotonic() - begun
        # The last start/stop batch ended on Stop; one more Start must still be taken.
        self.program.click(mk.START_SPOT)
        self.assertEqual(mk.indicator(self.probe, self.main, "endurance-started"), "on")
        self.program.click(mk.STOP_SPOT)
        self.assertEqual(mk.indicator(self.probe, self.main, "endurance-stopped"), "off")

        gdi_end, user_end, _, private_end = self.resources()
        sys.stderr.write("\n%s; gdi/user (%s) %s -> %s; private bytes %d -> %d\n" % (
            ", ".join("%s %.1f s" % kv for kv in took.items()), how, (gdi, user),
            (gdi_end, user_end), private, private_end))
        self.assertEqual(user_end, user, took)
        self.assertLessEqual(gdi_end, gdi + GDI_MADE_ONCE, took)
        self.assertGreater(private, 0)
        self.assertLessEqual(private_end - private, PRIVATE_BYTES_MARGIN, took)
        self.assertTrue(self.program.program.running())
        self.assertTrue(self.probe.visible(self.main))
        self.assertFalse(self.probe.iconic(self.main))
        self.assertEqual(self.probe.rect(self.main), mk.MAIN_RECT)
        self.assertFalse(self.probe.visible(self.program.reason))
        self.assertEqual(self.probe.boxes(), [])


if __name__ == "__main__":
    unittest.main()
