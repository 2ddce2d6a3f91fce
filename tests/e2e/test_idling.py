"""The idling journey with real clicks and typing: Start is refused without a reason, the
reason window takes one, Start sets the indicator and the first idle banner reaches the chat
a minute later, byte for byte; Stop turns the indicator back and no banner follows."""

import time
import unittest

import e2e
import marigold_kit as mk

REASON = "Gone fishing"
REASON_WINDOW_RECT = (279, 141, 279 + 201, 141 + 18)


class IdlingJourneyTest(unittest.TestCase):
    def setUp(self):
        self.session = mk.Session(name="Nick1")
        self.addCleanup(self.session.close)
        self.probe = self.session.probe
        self.chat = self.session.chat

    def assert_lines(self, count):
        self.assertEqual(len(self.chat.lines()), count, self.chat.lines())

    def refused_without_reason(self, main):
        self.session.click(mk.START_SPOT)
        box = mk.single_box(self.probe)
        self.assertEqual(box["caption"], mk.NO_REASON_TITLE)
        self.assertEqual(box["texts"], [mk.NO_REASON_PROMPT])
        self.assertEqual(box["buttons"], ["OK"])
        self.assertTrue(mk.shows_warning_icon(self.probe, box["hwnd"], "idling-no-reason-box"))
        self.assertFalse(self.probe.visible(main))
        mk.click_box_button(self.probe, box["hwnd"], "OK")
        self.assertTrue(mk.wait_until(lambda: self.probe.visible(main), 5.0))
        self.assertEqual(self.probe.boxes(), [])
        self.assertEqual(self.probe.rect(main), mk.MAIN_RECT)
        self.assertEqual(mk.indicator(self.probe, main, "idling-refused"), "off")

    def enter_reason(self, main):
        self.session.click(mk.REASON_LABEL)
        reason = self.probe.wait(mk.FORM_CLASS, mk.REASON_CAPTION, 5000)
        self.assertTrue(reason, "the reason window did not open")
        self.assertEqual(self.probe.rect(reason), REASON_WINDOW_RECT)
        self.assertFalse(self.probe.visible(main))
        (box, box_class, _), (ok, ok_class, ok_caption) = self.probe.children(reason)
        self.assertEqual((box_class, ok_class, ok_caption), ("Edit", "Button", "ok"))
        self.assertEqual(self.probe.text(box), "Enter Reason Why You are Idling")

        mk.click_client(self.probe, reason, mk.REASON_TEXT_BOX)
        mk.focus_under_pointer()
        # Selects the whole text the way every edit box takes it; Wine's single-line edit box
        # does not answer ctrl+a.
        e2e.key("Home", "shift+End")
        e2e.type_text(REASON)
        self.assertTrue(mk.wait_until(lambda: self.probe.text(box) == REASON, 3.0),
                        self.probe.text(box))

        # Enter presses nothing: both windows stay as they are.
        e2e.key("Return")
        time.sleep(1.0)
        self.assertTrue(self.probe.visible(reason))
        self.assertFalse(self.probe.visible(main))
        self.assertEqual(self.probe.text(box), REASON)
        self.assertEqual(self.probe.boxes(), [])

        mk.click_box_button(self.probe, reason, "ok")
        self.assertTrue(mk.wait_until(lambda: self.probe.visible(main), 5.0))
        self.assertFalse(self.probe.visible(reason))
        self.assertEqual(self.probe.rect(main), mk.MAIN_RECT)

    def test_journey(self):
        main = self.session.click_splash()
        self.chat.wait_lines(2)
        self.assertEqual(mk.indicator(self.probe, main, "idling-loaded"), "off")

        self.refused_without_reason(main)
        self.enter_reason(main)
        self.assert_lines(2)  # showing the main window again posts no banner

        # Start: the indicator turns to "on"; the first banner comes a minute later.
        before = time.time()
        self.session.click(mk.START_SPOT)
        clicked = time.monotonic()
        after = time.time()
        self.assertEqual(self.probe.boxes(), [])
        self.assertEqual(mk.indicator(self.probe, main, "idling-started"), "on")
        posts = self.chat.wait_lines(3, timeout=75.0)
        arrived = time.monotonic() - clicked
        self.assertGreaterEqual(arrived, 58.0)
        self.assertLessEqual(arrived, 70.0)
        self.assertEqual(len(posts), 3, posts)

        data = posts[2].data
        prefix = mk.idle_banner("Nick1", 1, "")
        self.assertTrue(data.startswith(prefix), data)
        since = data[len(prefix):].decode("cp1252")
        self.assertIn(since, mk.long_times_between(before - 1, after + 1))
        self.assertEqual(data, mk.idle_banner("Nick1", 1, since))
        self.assertEqual(posts[2].room, 1)

        # Stop: the indicator turns back and the minute passes without a banner.
        first_banner = time.monotonic()
        self.session.click(mk.STOP_SPOT)
        self.assertEqual(mk.indicator(self.probe, main, "idling-stopped"), "off")
        time.sleep(max(0.0, first_banner + 65.0 - time.monotonic()))
        self.assert_lines(3)


if __name__ == "__main__":
    unittest.main()
