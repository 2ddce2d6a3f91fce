"""The program beside a chat client that hangs before it loads or while it idles, is killed,
turns up late with two rooms and hangs, or is not there at all: its windows show and answer clicks at once
whatever the client does, it never shows an error, each post is given up within its timeout,
and every post searches the client's windows afresh."""

import math
import time
import unittest

import e2e
import faults_kit as fk
import marigold_kit as mk


# A click held up by a hung client costs at least one message's timeout, 2 s; answered, it
# takes about 0.13 s (tools/bench), a few tenths on a loaded machine.
CLICK_ANSWERED_S = 1.0
# The main window after the splash click: the same, plus the load handler's zero-second wait
# should the click reach the program late in its second.
MAIN_WINDOW_SHOWN_S = 1.5


class FaultsTest(unittest.TestCase):
    def setUp(self):
        self.probe = fk.clean_desktop(self, codepage=1252)
        self.timeout_s = self.probe.chat_timeout_ms() / 1000.0
        self.program = fk.Marigold(self.probe)
        self.addCleanup(self.program.stop)

    def chat(self, **options):
        chat = e2e.Chatroom(**options)
        self.addCleanup(chat.stop)
        chat.wait_ready(self.probe)
        return chat

    def assert_alive_without_boxes(self):
        self.assertTrue(self.program.program.running(), "the program ended")
        self.assertEqual(self.probe.boxes(), [])

    def click_answered(self, spot, answered, what):
        """Seconds from a real click on a spot of the main window to `answered()` being true
        (the pointer is put there first, so only the click itself is timed)."""
        x, y = mk.client_point(self.probe, self.program.main, spot)
        mk.point_at_window(self.probe, self.program.main, x, y)
        clicked = time.monotonic()
        mk.click_at(x, y)
        self.assertTrue(mk.wait_until(answered, 5.0, 0.01), "%s: never answered" % what)
        return e2e.figure(what, time.monotonic() - clicked)

    def minimise_is_answered_at_once(self):
        """A real click on the minimise spot is answered at once; the window is restored
        afterwards, as the task bar would."""
        took = self.click_answered(mk.MINIMISE_SPOT, lambda: self.probe.iconic(self.program.main),
                                   "minimise click")
        self.assertLessEqual(took, CLICK_ANSWERED_S)
        self.assertTrue(self.probe.restore(self.program.main))
        self.assertTrue(mk.wait_until(lambda: not self.probe.iconic(self.program.main), 5.0))
        self.assertTrue(mk.wait_until(
            lambda: self.probe.rect(self.program.main) == mk.MAIN_RECT, 3.0))

    def reason_is_answered_at_once(self):
        def reason_shown():
            self.program.reason = self.probe.find(mk.FORM_CLASS, mk.REASON_CAPTION)
            return self.program.reason and self.probe.visible(self.program.reason)

        took = self.click_answered(mk.REASON_LABEL, reason_shown, "reason click")
        self.assertLessEqual(took, CLICK_ANSWERED_S)
        self.program.press_ok()

    def test_hung_client(self):
        # A client that stops answering just before the program loads, for a while: loading
        # hands the banners to the courier, so the main window shows at once and answers
        # clicks while the banners wait on the client.
        early = self.chat(name="Hung Early", exit_after_s=200)
        self.probe.hang(early.frame, 12000)
        mk.point_at_window(self.probe, self.program.splash,
                           *e2e.center(self.probe.rect(self.program.splash)))
        # The load handler's zero-second wait, begun in the second half of a second, lasts to
        # the next whole second whatever the client does. Clicked just after a whole second,
        # the load begins in the first half, and the figure is the client's share alone.
        fk.sleep_until(math.floor(time.time()) + 1.02)
        clicked = time.monotonic()
        mk.click_at(*e2e.center(self.probe.rect(self.program.splash)))
        main = self.probe.wait(mk.FORM_CLASS, mk.MAIN_CAPTION, 20000)
        shown = time.monotonic()
        self.assertTrue(main, "the main window did not appear")
        self.program.main = main
        self.assertLessEqual(e2e.figure("main window", shown - clicked), MAIN_WINDOW_SHOWN_S)
        self.minimise_is_answered_at_once()
        started = self.program.start_idling()
        self.assert_alive_without_boxes()

        # The client answers again 12 s after its hang began, after both load banners were
        # given up on; the first minute's banner reaches it whole.
        posts = early.wait_lines(1, timeout=started + 66 - time.time())
        self.assertGreaterEqual(time.time() - started, 59.0)
        time.sleep(0.5)
        posts = early.lines()
        since = {fk.ansi(fk.idle_line("Hung Early", 1, t), 1252)
                 for t in mk.long_times_between(started - 2, started + 1)}
        self.assertEqual(len(posts), 1, posts)
        self.assertIn(posts[0].data, since)
        self.program.click(mk.STOP_SPOT)
        self.assert_alive_without_boxes()

    def test_killed_then_late_client(self):
        # Killed while idling: idling goes on with no client at all.
        first = self.chat(name="Killed", exit_after_s=200)
        self.program.click_splash()
        first.wait_lines(2)
        started = self.program.start_idling()
        self.assertTrue(self.probe.kill(self.probe.pid(first.frame)))
        self.assertTrue(self.probe.wait_gone(first.frame, 5000))
        self.assert_alive_without_boxes()

        # A client with two rooms turns up afterwards and hangs (unknown to the system yet)
        # just before the first minute is up, for 18 s.
        late = self.chat(name="Late Bird", rooms=2, exit_after_s=200)
        fk.sleep_until(started + 57.5)
        self.probe.hang(late.frame, 18000)
        self.assertEqual(late.lines(), [])

        # The first tick's post waits on the hung client, on the courier: clicks made meanwhile
        # are answered at once.
        fk.sleep_until(started + 60.6)
        self.minimise_is_answered_at_once()
        self.reason_is_answered_at_once()
        self.assert_alive_without_boxes()

        # The client answers again at about 76 s: the second tick posts by itself, on time,
        # with the count that went on through the hang, into the first room only.
        posts = late.wait_lines(1, timeout=started + 126 - time.time())
        arrived = time.time()
        self.assertGreaterEqual(arrived - started, 119.0)
        self.assertLessEqual(arrived - started, 123.0)
        time.sleep(0.5)
        posts = late.lines()
        self.assertEqual(len(posts), 1, posts)
        self.assertEqual(posts[0].room, 1)
        since = {fk.ansi(fk.idle_line("Late Bird", 2, t), 1252)
                 for t in mk.long_times_between(started - 2, started + 1)}
        self.assertIn(posts[0].data, since)
        self.program.click(mk.STOP_SPOT)
        self.assert_alive_without_boxes()

    def test_exit_abandons_a_line_that_waits_on_a_hung_client(self):
        # The load banners wait on a client that has just stopped answering (each message up to
        # its timeout); the exit spot ends the program meanwhile, without waiting for them.
        hung = self.chat(name="Hung Exit", exit_after_s=60)
        self.probe.hang(hung.frame)
        self.program.click_splash()
        self.assertEqual(hung.lines(), [])
        started = time.monotonic()
        self.assertEqual(self.program.exit(), 0)
        # The farewell box, the slide and the end, well before the lines could have been given
        # up on: at least two messages wait their whole timeout on a client not yet known hung.
        self.assertLess(e2e.figure("exit beside a hung client", time.monotonic() - started),
                        2 * self.timeout_s)
        self.assertEqual(hung.lines(), [])

    def test_whole_journey_without_a_client(self):
        started_at = time.time()
        self.program.click_splash()
        self.assertLess(e2e.figure("splash to main window, no client", time.time() - started_at),
                        3.0)
        self.assert_alive_without_boxes()
        self.assertFalse(self.probe.visible(self.program.splash))
        started = self.program.start_idling()
        self.assert_alive_without_boxes()
        # The first tick finds no client and is over at once: a click right after it is served
        # without delay.
        fk.sleep_until(started + 60.3)
        clicked = time.time()
        self.program.open_reason()
        self.assertLess(e2e.figure("reason after a tick, no client", time.time() - clicked), 1.5)
        self.program.press_ok()
        self.assert_alive_without_boxes()
        self.program.click(mk.STOP_SPOT)
        self.assert_alive_without_boxes()
        self.assertEqual(self.probe.find("AOL Frame25"), 0)
        self.assertEqual(self.program.exit(), 0)


if __name__ == "__main__":
    unittest.main()
