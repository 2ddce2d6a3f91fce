"""One program per Windows session: a second start during the splash, or beside a minimised
panel, shows nothing of its own and posts nothing; it brings the running one's window to the
front (the panel restored) and ends at once with code 0. A start during the farewell waits for
that one to end, then starts as usual. The room gets the load banners once."""

import unittest

import e2e
import marigold_kit as mk

# Held by the program from its start until its farewell begins; the start that waits for a
# farewell to end holds it meanwhile.
RUNNING = "Local\\Marigold Idle.Running"


class SecondStartTest(unittest.TestCase):
    def setUp(self):
        self.session = mk.Session(name="Nick1")
        self.addCleanup(self.session.close)
        self.probe = self.session.probe

    def user_on_the_chat_client(self):
        """The user works in the chat client: a click on its frame's caption makes it the
        foreground window."""
        chat = self.session.chat.frame
        left, top, right, _ = self.probe.rect(chat)
        mk.click_window(self.probe, chat, (left + right) // 2, top + 8)
        self.assertTrue(mk.wait_until(lambda: self.probe.foreground() == chat, 5.0))

    def start_again(self):
        """A second start: it ends by itself with code 0 and leaves no window of its own."""
        forms = self.forms()
        second = e2e.start_marigold()
        self.addCleanup(second.stop)
        self.assertEqual(second.wait_exit(30), 0, "the second start did not end at once")
        self.assertEqual(self.forms(), forms)

    def forms(self):
        return sorted(h for h, cls, _, _ in self.probe.toplevel() if cls == mk.FORM_CLASS)

    def test_second_starts_hand_over_or_wait_for_the_farewell(self):
        probe, chat = self.probe, self.session.chat
        splash = self.session.splash

        # During the splash: the splash comes to the front.
        self.user_on_the_chat_client()
        self.start_again()
        self.assertTrue(mk.wait_until(lambda: probe.foreground() == splash, 5.0))
        self.assertEqual(chat.lines(), [])

        # Beside a minimised panel: the panel comes back, in front.
        main = self.session.click_splash()
        chat.wait_lines(2)
        self.session.click(mk.MINIMISE_SPOT)
        self.assertTrue(mk.wait_until(lambda: probe.iconic(main), 5.0))
        self.user_on_the_chat_client()
        self.start_again()
        self.assertTrue(mk.wait_until(
            lambda: not probe.iconic(main) and probe.foreground() == main, 5.0))
        self.assertEqual(probe.rect(main), mk.MAIN_RECT)

        # During the farewell: the new start waits, showing nothing, until the box is closed
        # and the first one has slid away; then it starts as usual, with its splash.
        self.session.click(mk.EXIT_SPOT)
        box = mk.single_box(probe)
        self.assertEqual(box["caption"], mk.FAREWELL_TITLE)
        self.assertFalse(probe.held(RUNNING), "the farewell let the program's claim go")
        waiting = e2e.start_marigold()
        self.addCleanup(waiting.stop)
        self.assertTrue(mk.wait_until(lambda: probe.held(RUNNING), 30.0),
                        "the start during the farewell did not claim the session")
        self.assertTrue(waiting.running(), "the start during the farewell ended")
        self.assertEqual([b["hwnd"] for b in probe.boxes()], [box["hwnd"]])
        self.assertFalse(probe.visible(splash) or probe.visible(main))
        self.assertTrue(probe.press_button(box["hwnd"], "OK"))
        self.assertEqual(self.session.program.wait_exit(15), 0)
        new_splash = probe.wait(mk.FORM_CLASS, mk.SPLASH_CAPTION, 20000)
        self.assertTrue(new_splash, "the waiting start did not show its splash")
        self.assertNotEqual(new_splash, splash)
        self.assertTrue(waiting.running())
        self.assertEqual(len(chat.lines()), 2)


if __name__ == "__main__":
    unittest.main()
