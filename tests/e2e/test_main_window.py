"""The main window beside the stand-in chat client: its two load banners, its place on
screen and topmost band, dragging it by its picture, and minimising and restoring it."""

import time
import unittest

import e2e
import marigold_kit as mk


def shifted(rect, dx, dy):
    left, top, right, bottom = rect
    return (left + dx, top + dy, right + dx, bottom + dy)


class MainWindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = mk.Session(name="Nick1")
        cls.probe = cls.session.probe
        try:
            cls.main = cls.session.click_splash()
        except BaseException:
            cls.session.close()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def rect_becomes(self, expected, timeout=3.0):
        return mk.wait_until(lambda: self.probe.rect(self.main) == expected, timeout)

    def test_load_banners_arrive_in_order(self):
        # Handed to the courier while loading; they reach the room right after.
        expected = [mk.LOAD_BANNER, mk.loaded_by_banner("Nick1")]
        self.assertEqual(expected[1], b" \x95 \xba\x95 Now Loaded by Nick1 \x95\xba \x95")
        self.session.chat.wait_lines(2)
        time.sleep(0.3)
        posts = self.session.chat.lines()
        self.assertEqual([p.data for p in posts], expected)
        self.assertEqual([p.room for p in posts], [1, 1])

    def test_window_sits_at_its_place_topmost_and_frameless(self):
        self.assertTrue(self.probe.visible(self.main))
        self.assertEqual(self.probe.rect(self.main), mk.MAIN_RECT)
        self.assertEqual(self.probe.client(self.main), mk.MAIN_RECT)
        self.assertTrue(self.probe.topmost(self.main))
        self.assertFalse(self.probe.visible(self.session.splash))

    def test_drag_on_the_picture_moves_the_window_by_the_drag(self):
        # Each press lies outside every label: the title strip and the panel's lower right.
        # xdotool's buttons: 1 left, 2 middle, 3 right. Every drag ends on its own button's
        # release: moving the pointer afterwards leaves the window where it was let go.
        for spot, (dx, dy), button in (((20, 10), (-40, 30), 1), ((60, 10), (25, -60), 1),
                                       ((100, 52), (50, 45), 1), ((20, 10), (-30, 40), 3),
                                       ((100, 52), (45, -35), 2)):
            with self.subTest(spot=spot, by=(dx, dy), button=button):
                x, y = mk.client_point(self.probe, self.main, spot)
                mk.drag(x, y, x + dx, y + dy, button)
                moved = shifted(mk.MAIN_RECT, dx, dy)
                self.assertTrue(self.rect_becomes(moved), self.probe.rect(self.main))
                mk.move_to(x + dx + 90, y + dy + 70)
                time.sleep(0.3)
                self.assertEqual(self.probe.rect(self.main), moved, "the drag went on")
                self.assertTrue(self.probe.topmost(self.main))
                # And back, so the next case starts from the window's own place.
                mk.drag(x + dx, y + dy, x, y, button)
                self.assertTrue(self.rect_becomes(mk.MAIN_RECT), self.probe.rect(self.main))
        self.assertEqual(len(self.session.chat.lines()), 2)

    def test_press_on_a_label_does_not_move_the_window(self):
        # Stop (Label3) and the two counters (Label8, Label9); released away from the label,
        # so no click follows either.
        for label, spot in (("Label3", mk.STOP_SPOT), ("Label8", (45, 28)),
                            ("Label9", (85, 28))):
            with self.subTest(label=label):
                x, y = mk.client_point(self.probe, self.main, spot)
                mk.drag(x, y, x + 60, y + 50)
                time.sleep(0.5)
                self.assertEqual(self.probe.rect(self.main), mk.MAIN_RECT)
                self.assertTrue(self.probe.visible(self.main))
                self.assertEqual(self.probe.boxes(), [])
        # The pointer is not left in a move loop: the next mouse move does not drag it.
        mk.move_to(700, 100)
        time.sleep(0.3)
        self.assertEqual(self.probe.rect(self.main), mk.MAIN_RECT)

    def test_resting_on_start_or_stop_shows_its_tip_below_the_pointer(self):
        def tips():  # the common controls' tip keeps its text out of its caption
            return [(self.probe.text(hwnd), rect) for hwnd, cls, _, rect in self.probe.toplevel()
                    if cls.lower() == "tooltips_class32"]

        for spot, text in ((mk.START_SPOT, "Start Idling"), (mk.STOP_SPOT, "Stop Idling")):
            with self.subTest(tip=text):
                mk.park_pointer(self.probe)
                x, y = mk.client_point(self.probe, self.main, spot)
                mk.move_to(x, y)
                self.assertTrue(mk.wait_until(lambda: tips(), 3.0), "no tip showed")
                [(caption, (left, top, right, bottom))] = tips()
                self.assertEqual(caption, text)
                self.assertLessEqual(abs(left - x), 1, "at the pointer, but for the border")
                self.assertGreater(top, y)
                self.assertTrue(self.probe.topmost(self.main))
                e2e.screenshot("tip-" + text.split()[0].lower())
                left = time.monotonic()
                mk.move_to(x, y - 40)  # off the window: the tip goes at once
                # It goes within 50 ms of the pointer leaving, a few tenths with the probe's
                # polling on a loaded machine; one that waits for its own time out stays 5 s.
                self.assertTrue(mk.wait_until(lambda: not tips(), 1.0), "the tip stayed")
                e2e.figure("tip gone", time.monotonic() - left)
        self.assertEqual(len(self.session.chat.lines()), 2)

    def test_minimise_then_restore_brings_it_back_unchanged(self):
        mk.park_pointer(self.probe)
        before = mk.pixels(e2e.screenshot("main-before-minimise"), mk.MAIN_RECT)
        self.session.click(mk.MINIMISE_SPOT)
        self.assertTrue(mk.wait_until(lambda: self.probe.iconic(self.main), 5.0),
                        "Label5 did not minimise the main window")
        self.assertTrue(self.probe.topmost(self.main))
        e2e.screenshot("main-minimised")

        self.assertTrue(self.probe.restore(self.main))  # as the task bar does it
        self.assertTrue(mk.wait_until(lambda: not self.probe.iconic(self.main), 5.0),
                        "the main window did not come back from minimised")
        self.assertTrue(self.rect_becomes(mk.MAIN_RECT), self.probe.rect(self.main))
        self.assertTrue(self.probe.visible(self.main))
        self.assertTrue(self.probe.topmost(self.main))
        self.assertFalse(self.probe.visible(self.session.splash))
        # Same picture, counters and indicator as before; no banner on showing again.
        mk.park_pointer(self.probe)

        def looks_as_before():
            return mk.pixels(e2e.screenshot("main-restored"), mk.MAIN_RECT) == before

        self.assertTrue(mk.wait_until(looks_as_before, 3.0, 0.3),
                        "the restored window does not look as it did")
        self.assertEqual(len(self.session.chat.lines()), 2)


if __name__ == "__main__":
    unittest.main()
