"""A chat line posted by Hook32 from another process reaches the stand-in chat client's room
byte for byte and leaves the input box empty. Which room it goes to, and that an empty line
still types Enter, the Windows tier proves against real windows (tests/win/hook32_*)."""

import unittest

import e2e

FIRST_BANNER = e2e.banner("load")
# In code page 1252: 0x95 is the bullet, 0xBA the ordinal indicator.
FIRST_BANNER_ANSI = FIRST_BANNER.encode("cp1252")


class ChatLineTest(e2e.ChatClientTest):
    def test_banners_arrive_as_ansi_bytes(self):
        chat = self.start_chat(name="Ann Example")
        second = e2e.banner("loaded_by", name="Ann Example")
        self.probe.post(FIRST_BANNER)
        self.probe.post(second)
        posts = chat.wait_lines(2)
        self.assertEqual(len(posts), 2, posts)
        self.assertEqual(posts[0].data, FIRST_BANNER_ANSI)
        self.assertEqual(posts[0].text, FIRST_BANNER)
        self.assertEqual(posts[1].data, second.encode("cp1252"))
        self.assertEqual(posts[1].text, second)
        self.assertEqual([p.room for p in posts], [1, 1])

        # The room shows the lines, and its input box was emptied by the Enter.
        room = chat.documents(self.probe)[0][0]
        controls = self.probe.children(room)
        self.assertEqual([c[1] for c in controls],
                         ["RICHCNTL", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Static"])
        transcript, box = controls[0][0], controls[1][0]
        self.assertEqual(self.probe.text(box), "")
        shown = self.probe.text(transcript)
        self.assertIn(FIRST_BANNER, shown)
        self.assertIn(second, shown)
        e2e.screenshot("chatline-banners")

    def test_log_keeps_backslashes_and_tabs(self):
        chat = self.start_chat()
        line = "C:\\dir\\x41\tend \u00ba"
        self.probe.post(line)
        self.assertEqual(chat.wait_lines(1), [e2e.Post(line.encode("cp1252"), 1, line)])

    def test_nothing_is_posted_without_a_room_or_a_client(self):
        chat = self.start_chat(rooms=0, ims=["Instant Message: Zinnia42"])
        took = e2e.figure("post, no room", self.probe.post("nowhere to go"), "ms")
        # The Instant Message window has two rich boxes but is no chat room: nothing reaches it.
        self.assertEqual(chat.lines(), [])
        self.assertLess(took, 1000)
        chat.stop()
        self.assertTrue(self.probe.wait_gone(chat.frame, 10000))
        self.assertEqual(self.probe.find("AOL Frame25"), 0)
        self.assertLess(e2e.figure("post, no client", self.probe.post("no client at all"), "ms"),
                        1000)


if __name__ == "__main__":
    unittest.main()
