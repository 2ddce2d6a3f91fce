"""Hook32 reads the chat client's captions from another process: the screen name from the
Welcome window (set as ASCII, through the code page, or raw in Unicode), the Instant Message
sender, and the first room in child order."""

import unittest

import e2e


class CaptionTest(e2e.ChatClientTest):
    def test_screen_name_from_the_welcome_caption(self):
        cases = [
            ({"name": "Ann Example"}, "Ann Example"),
            ({"name": "\u00baZed\u2022 42"}, "\u00baZed\u2022 42"),
            # Raw Unicode captions: what the code page lacks comes back as "?".
            ({"welcome_raw": "Welcome, A\u4e2db!"}, "A?b"),
            ({"welcome": False}, ""),
        ]
        for options, name in cases:
            with self.subTest(options=options):
                chat = self.start_chat(**options)
                self.assertEqual(self.probe.screen_name(), name)
                chat.stop()
                self.assertTrue(self.probe.wait_gone(chat.frame, 10000))

    def test_instant_message_sender_and_room(self):
        chat = self.start_chat(rooms=2, ims=["Instant Message: Zinnia42", ">Instant Message: Other"])
        documents = chat.documents(self.probe)
        first_im = next(caption for _, _, caption in documents if "Instant Message" in caption)
        self.assertEqual(self.probe.im_sender(), first_im.split(": ", 1)[1])
        first_room = next(h for h, _, caption in documents if caption.startswith("Lobby "))
        self.assertEqual(self.probe.locate_room(), first_room)


if __name__ == "__main__":
    unittest.main()
