"""A hung chat client never freezes the poster: each message of a chat line gives up after
Hook32's timeout, and at once once the system knows the window is hung."""

import time
import unittest

import e2e


class HungClientTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        e2e.require_desktop("CHATROOM_EXE", "WINPROBE_EXE")
        cls.probe = e2e.Probe()

    @classmethod
    def tearDownClass(cls):
        cls.probe.close()

    def test_post_to_hung_client_returns_within_timeout(self):
        timeout_ms = self.probe.chat_timeout_ms()
        chat = e2e.Chatroom(exit_after_s=120)
        self.addCleanup(chat.stop)
        chat.wait_ready(self.probe)
        self.assertLess(e2e.figure("post, answered", self.probe.post("before the hang"), "ms"),
                        1000)
        self.assertEqual([p.text for p in chat.wait_lines(1)], ["before the hang"])

        # Freshly hung: the system does not know it yet, so each of the two messages (the
        # text, then Enter) waits its full timeout, and no longer.
        self.probe.hang(chat.frame)
        hung = time.monotonic()
        took = e2e.figure("post, freshly hung", self.probe.post("while hung"), "ms")
        self.assertLessEqual(took, 2 * timeout_ms + 1000)
        self.assertTrue(self.probe.alive())

        # Hung for a while: known to be hung, given up on at once.
        time.sleep(max(0.0, hung + 8.0 - time.monotonic()))
        took = e2e.figure("post, known hung", self.probe.post("long hung"), "ms")
        self.assertLess(took, timeout_ms)
        self.assertTrue(self.probe.alive())
        self.assertEqual([p.text for p in chat.lines()], ["before the hang"])


if __name__ == "__main__":
    unittest.main()
