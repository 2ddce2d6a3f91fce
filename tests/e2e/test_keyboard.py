"""The program without a mouse, with real key presses through X: Enter on the splash, Space on
Start with no reason and Enter on the refusal box, after which the keys are the panel's again,
Tab and Space through the panel's spots and the reason strip, where Enter presses nothing, and
Alt+F4 on the panel for the farewell; the end of the Windows session ends it with no box. A
screen reader follows the focus through Active Accessibility; nothing goes to the room that
clicks would not post. Run as unmanaged X windows and again on Wine's virtual desktop."""

import time
import unittest

import e2e
import marigold_kit as mk

FOCUSED = 0x4  # STATE_SYSTEM_FOCUSED


class KeyboardTest(unittest.TestCase):
    def setUp(self):
        self.session = mk.Session(name="Nick1")
        self.addCleanup(self.session.close)
        self.probe = self.session.probe

    def focus(self, window, taken):
        """The X keyboard focus on the window, as a click-to-focus window manager would give
        it (the pointer stays over the window's middle, clear of every spot), then the wait
        until the program has taken it, which `taken` tells."""
        mk.point_at_window(self.probe, window, *e2e.center(self.probe.rect(window)))
        mk.focus_under_pointer()
        self.assertTrue(mk.wait_until(taken, 10.0),
                        "the focus did not reach %r: %r" % (window, self.probe.acc_tree(window)))

    def has_focus(self, window):
        return self.probe.acc_tree(window)["state"] & FOCUSED

    def box_has_focus(self, box):
        """The box's button has the keyboard's focus, and X gives the keys to the box."""
        return (any(self.has_focus(h) for h, cls, _ in self.probe.children(box)
                    if cls.lower() == "button") and mk.x_keys_go_to(self.probe.rect(box)))

    def keys_reach(self, window):
        """The window has the keyboard's focus, and X gives the keys to it."""
        return self.has_focus(window) and mk.x_keys_go_to(self.probe.rect(window))

    def focused(self, main):
        return [c[1] for c in self.probe.acc_tree(main)["children"] if c[4] & FOCUSED]

    def test_tab_space_enter_and_alt_f4_do_what_clicks_do(self):
        probe, chat = self.probe, self.session.chat
        self.focus(self.session.splash, lambda: self.has_focus(self.session.splash))
        e2e.key("Return")
        main = probe.wait(mk.FORM_CLASS, mk.MAIN_CAPTION, 10000)
        self.assertTrue(main, "Enter on the splash did not open the main window")
        chat.wait_lines(2)

        # The focus starts on Start. Space there with no reason gives the refusal box; after
        # Enter on it the keys come back to the panel by themselves, where Tab moves the focus
        # on in reading order. Space presses the reason spot.
        self.focus(main, lambda: self.focused(main) == ["Start Idling"])
        e2e.key("space")
        box = mk.single_box(probe)
        self.assertEqual(box["caption"], mk.NO_REASON_TITLE)
        self.assertTrue(mk.wait_until(lambda: self.box_has_focus(box["hwnd"]), 5.0))
        e2e.key("Return")
        self.assertTrue(mk.wait_until(lambda: probe.visible(main) and not probe.boxes(), 5.0))
        self.assertTrue(mk.wait_until(lambda: self.keys_reach(main), 5.0),
                        "the keys did not come back to the panel after the box")
        e2e.key("Tab", "Tab")
        self.assertTrue(mk.wait_until(lambda: self.focused(main) == ["Enter idle reason"], 5.0),
                        self.focused(main))
        e2e.key("space")
        strip = probe.wait(mk.FORM_CLASS, mk.REASON_CAPTION, 5000)
        self.assertTrue(strip, "Space on the reason spot did not open the strip")

        # In the strip Enter presses nothing; Tab reaches "ok" and Space presses it.
        box = probe.children(strip)[0][0]
        self.focus(strip, lambda: self.has_focus(box))
        e2e.key("Return")
        time.sleep(0.5)
        self.assertTrue(probe.visible(strip), "Enter in the box pressed a button")
        e2e.key("Tab", "space")
        self.assertTrue(mk.wait_until(lambda: probe.visible(main), 5.0))
        self.assertEqual(probe.acc_tree(main)["children"][2][3], "Enter Reason Why You are Idling")

        # Back to Start with Shift+Tab: idling starts as a click starts it.
        self.focus(main, lambda: self.focused(main) == ["Enter idle reason"])
        e2e.key("shift+Tab", "shift+Tab", "space")
        self.assertTrue(mk.wait_until(
            lambda: probe.acc_tree(main)["children"][7][3] == "on", 5.0))

        # Alt+F4: the exit spot's sequence, farewell box first.
        e2e.key("alt+F4")
        box = mk.single_box(probe)
        self.assertEqual(box["caption"], mk.FAREWELL_TITLE)
        self.assertTrue(probe.press_button(box["hwnd"], "OK"))
        self.assertEqual(self.session.program.wait_exit(15), 0)
        self.assertEqual(len(chat.lines()), 2)

    def test_the_end_of_the_session_ends_the_program_with_no_box(self):
        probe = self.probe
        main = self.session.click_splash()
        self.session.chat.wait_lines(2)
        self.assertTrue(probe.end_session(main))
        self.assertEqual(self.session.program.wait_exit(10), 0)
        self.assertEqual(probe.boxes(), [])
        self.assertEqual(len(self.session.chat.lines()), 2)


if __name__ == "__main__":
    unittest.main()
