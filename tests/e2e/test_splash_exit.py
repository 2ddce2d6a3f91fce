"""From start to end: the splash waits for its click and posts nothing, the click brings the
main window and its banners, and the exit spot shows the farewell box, slides the main
window off the top of the screen and ends the program with code 0."""

import time
import unittest

import e2e
import marigold_kit as mk

# Each move of the slide takes the window 20 pixels up; it stops once its top lies more than
# its width (118 pixels) above the screen: 20 moves from 274, the last one to -126.
SLIDE_TOPS = [274 - 20 * n for n in range(21)]


class SplashAndExitTest(unittest.TestCase):
    def start(self):
        session = mk.Session(name="Nick1")
        self.addCleanup(session.close)
        return session

    def watch_slide(self, probe, main, seconds=8.0):
        """Polls the main window as fast as the probe answers until it is gone: a list of
        (visible, top) as seen, one entry per change."""
        seen = []
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            rect = probe.rect(main)
            if rect is None:
                break
            state = (probe.visible(main), rect[1])
            if not seen or seen[-1] != state:
                seen.append(state)
        return seen

    def assert_slide(self, seen):
        """The window was hidden at its place while the box was up, was shown again before it
        moved, and went up in steps of 20 pixels to above the screen's top edge."""
        self.assertEqual(seen[0], (False, 274), "hidden while the box was up: %r" % seen)
        tops = [top for _, top in seen]
        self.assertEqual(tops, sorted(tops, reverse=True), seen)
        self.assertTrue(set(tops) <= set(SLIDE_TOPS), seen)
        # Visibility and place are read one after the other, and the window goes with the
        # program at the end, so only the places between the first and the last two moves
        # are sure to be seen visible.
        self.assertEqual([top for shown, top in seen if -106 < top < 274 and not shown], [],
                         "moved while hidden: %r" % seen)
        self.assertGreaterEqual(len({top for top in tops if -106 < top < 274}), 5,
                                "too few places seen on the way: %r" % seen)
        self.assertLessEqual(tops[-1], -86, "stopped short of the top: %r" % seen)

    def test_splash_click_then_exit(self):
        session = self.start()
        probe, chat = session.probe, session.chat

        # The splash alone, centred across, a little above the middle, and silent.
        self.assertIn(probe.rect(session.splash), [(233, 140, 566, 370), (234, 140, 567, 370)])
        self.assertEqual(probe.client(session.splash), probe.rect(session.splash))
        self.assertEqual(probe.find(mk.FORM_CLASS, mk.MAIN_CAPTION), 0)
        time.sleep(2.0)
        self.assertEqual(chat.lines(), [])
        self.assertTrue(probe.visible(session.splash))

        main = session.click_splash()
        self.assertFalse(probe.visible(session.splash))
        self.assertEqual(probe.rect(main), mk.MAIN_RECT)
        self.assertEqual([p.data for p in chat.wait_lines(2)],
                         [mk.LOAD_BANNER, mk.loaded_by_banner("Nick1")])

        # The exit spot: the farewell box while the main window is out of the way.
        session.click(mk.EXIT_SPOT)
        box = mk.single_box(probe)
        self.assertEqual(box["caption"], mk.FAREWELL_TITLE)
        self.assertEqual(len(box["texts"]), 1, box)
        prompt = box["texts"][0]
        self.assertTrue(prompt.startswith(mk.FAREWELL_START), prompt)
        self.assertTrue(prompt.endswith(mk.FAREWELL_END), prompt)
        self.assertEqual(box["buttons"], ["OK"])
        self.assertTrue(mk.shows_warning_icon(probe, box["hwnd"], "farewell-box"))
        self.assertFalse(probe.visible(main))
        self.assertFalse(probe.visible(session.splash))

        # OK: the window shows again where it was, then slides up and the program ends.
        mk.point_at_window(probe, box["hwnd"], *mk.box_button_center(probe, box["hwnd"], "OK"))
        clicked = mk.in_background(mk.click_at, *mk.pointer())
        seen = self.watch_slide(probe, main)
        clicked.join()
        self.assertFalse(probe.exists(main), "the main window outlived the slide: %r" % seen)
        self.assertEqual(session.program.wait_exit(10), 0)

        self.assert_slide(seen)
        self.assertEqual(chat.lines()[2:], [])

    def test_escape_on_the_farewell_box_ends_the_program_too(self):
        session = self.start()
        probe = session.probe
        main = session.click_splash()
        session.chat.wait_lines(2)
        session.click(mk.EXIT_SPOT)
        box = mk.single_box(probe)
        self.assertEqual(box["caption"], mk.FAREWELL_TITLE)
        left, top, right, bottom = box["rect"]
        mk.point_at_window(probe, box["hwnd"], (left + right) // 2, top + 10)
        mk.focus_under_pointer()
        pressed = mk.in_background(e2e.key, "Escape")
        seen = self.watch_slide(probe, main)
        pressed.join()
        self.assertEqual(session.program.wait_exit(10), 0, seen)
        self.assert_slide(seen)
        self.assertEqual(session.chat.lines()[2:], [])


if __name__ == "__main__":
    unittest.main()
