"""marigold.exe loads beside a chat client that has no room yet: both load banners find nowhere to
go and are lost. The rooms open later, while the program idles, and the first idle banner
reaches room 1, byte for byte, because every post searches the client's windows afresh."""

import time
import unittest

import e2e
import faults_kit as fk
import marigold_kit as mk

NAME = "Late Room"
ROOM_AFTER_S = 15.0


class LateRoomTest(unittest.TestCase):
    def setUp(self):
        self.probe = fk.clean_desktop(self, codepage=1252)

    def captions(self, chat):
        return [caption for _, _, caption in chat.documents(self.probe)]

    def test_first_idle_banner_reaches_a_room_opened_after_loading(self):
        launched = time.time()
        chat = e2e.Chatroom(name=NAME, rooms=2, room_after_ms=int(ROOM_AFTER_S * 1000),
                            exit_after_s=150)
        self.addCleanup(chat.stop)
        chat.wait_ready(self.probe)
        welcome = "Welcome, %s!" % NAME
        self.assertEqual(self.captions(chat), [welcome])

        program = fk.Marigold(self.probe)
        self.addCleanup(program.stop)
        program.click_splash()
        # Loading is over once the main window shows; the room must still be missing then,
        # or this test proves nothing about a room that opens later.
        self.assertEqual(self.captions(chat), [welcome],
                         "the rooms opened before loading was over: the machine is too slow")
        self.assertEqual(chat.lines(), [])
        started = program.start_idling()
        self.assertTrue(program.program.running(), "the program ended")
        self.assertEqual(self.probe.boxes(), [])

        # The rooms open in front of the Welcome window, room 1 first; nothing is posted then,
        # the lost load banners are not sent again. While room 1 opens it can be listed last for
        # a moment (seen on a busy machine: Lobby 2, Welcome, Lobby 1): wait for the order.
        opened = mk.wait_until(lambda: self.captions(chat) == ["Lobby 1", "Lobby 2", welcome],
                               launched + ROOM_AFTER_S + 10 - time.time())
        self.assertTrue(opened, self.captions(chat))
        self.assertGreaterEqual(time.time() - launched, ROOM_AFTER_S)
        self.assertLess(time.time() - started, 50.0, "the room opened too late to show anything")
        self.assertEqual(chat.lines(), [])

        # One minute after Start, the first idle banner goes to the room that was not there
        # when the program loaded.
        chat.wait_lines(1, timeout=started + 66 - time.time())
        arrived = time.time()
        self.assertGreaterEqual(arrived - started, 59.0)
        self.assertLessEqual(arrived - started, 63.0)
        time.sleep(0.5)
        posts = chat.lines()
        self.assertEqual(len(posts), 1, posts)
        self.assertEqual(posts[0].room, 1)
        banners = {mk.idle_banner(NAME, 1, t)
                   for t in mk.long_times_between(started - 2, started + 1)}
        self.assertIn(posts[0].data, banners)

        program.click(mk.STOP_SPOT)
        self.assertTrue(program.program.running(), "the program ended")
        self.assertEqual(self.probe.boxes(), [])


if __name__ == "__main__":
    unittest.main()
