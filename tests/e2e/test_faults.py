"""The program beside a chat client that hangs, is killed in the middle of a post, turns up late
with two rooms, or is not there at all: it stays responsive, never shows an error, gives up on
each post within its timeout, and every post searches the client's windows afresh."""

import time
import unittest

import e2e
import faults_kit as fk
import marigold_kit as mk


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

    def test_hung_killed_and_late_clients(self):
        # A client that stops answering just before the program loads, and is killed while the
        # first load banner waits on it.
        early = self.chat(name="Hung Early", hang_after_ms=1000, exit_after_s=60)
        early_pid = self.probe.pid(early.frame)
        fk.sleep_until(time.time() + 1.5)
        clicked = time.time()
        fk.click(*e2e.center(self.probe.rect(self.program.splash)))
        fk.sleep_until(clicked + 1.5 * self.timeout_s)
        self.assertTrue(self.probe.kill(early_pid))
        main = self.probe.wait(mk.FORM_CLASS, mk.MAIN_CAPTION, 20000)
        shown = time.time()
        self.assertTrue(main, "the main window did not appear")
        self.program.main = main
        # Loading went on past the hang: the first message of the first banner waited its
        # timeout, the rest found the client gone; at worst all four messages time out.
        self.assertGreaterEqual(shown - clicked, self.timeout_s - 0.3)
        self.assertLessEqual(shown - clicked, 4 * self.timeout_s + 2.0)
        self.assertTrue(self.probe.wait_gone(early.frame, 5000))
        self.assertEqual(early.lines(), [])
        self.assert_alive_without_boxes()

        # Idling starts with no client at all; a client with two rooms turns up afterwards and
        # hangs (unknown to the system yet) just before the first minute is up, for 18 s.
        started = self.program.start_idling()
        self.assert_alive_without_boxes()
        fk.sleep_until(started + 2)
        hang_at = started + 57.5
        late = self.chat(name="Late Bird", rooms=2,
                         hang_after_ms=int((hang_at - time.time()) * 1000), hang_for_ms=18000,
                         exit_after_s=200)
        self.assertEqual(late.lines(), [])

        # The first tick's post waits on the hung client; a click made meanwhile is served as
        # soon as the post gives up, within the two messages' timeouts.
        fk.sleep_until(started + 60.6)
        clicked = time.time()
        self.program.open_reason()
        served = time.time()
        self.assertLessEqual(served - clicked, 2 * self.timeout_s + 1.5)
        self.program.press_ok()
        self.assert_alive_without_boxes()

        # The client answers again at about 75 s: the second tick posts by itself, on time,
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

    def test_whole_journey_without_a_client(self):
        started_at = time.time()
        self.program.click_splash()
        self.assertLess(time.time() - started_at, 3.0)
        self.assert_alive_without_boxes()
        self.assertFalse(self.probe.visible(self.program.splash))
        started = self.program.start_idling()
        self.assert_alive_without_boxes()
        # The first tick finds no client and is over at once: a click right after it is served
        # without delay.
        fk.sleep_until(started + 60.3)
        clicked = time.time()
        self.program.open_reason()
        self.assertLess(time.time() - clicked, 1.5)
        self.program.press_ok()
        self.assert_alive_without_boxes()
        self.program.click(mk.STOP_SPOT)
        self.assert_alive_without_boxes()
        self.assertEqual(self.probe.find("AOL Frame25"), 0)
        self.assertEqual(self.program.exit(), 0)


if __name__ == "__main__":
    unittest.main()
