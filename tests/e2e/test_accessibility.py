"""The program as a screen reader or an automation script sees it from another process,
through Active Accessibility: the splash is one button, the main window lists its spots and
read-outs where they lie, "Start Idling" pressed through them is refused with the box as a
click is, and the reason strip's box and button read by name. Nothing of it is loaded before
someone asks."""

import unittest

import e2e
import marigold_kit as mk

def inside(point, rect):
    return rect[0] <= point[0] < rect[2] and rect[1] <= point[1] < rect[3]


class AccessibilityTest(unittest.TestCase):
    def setUp(self):
        self.session = mk.Session(name="Nick1")
        self.addCleanup(self.session.close)
        self.probe = self.session.probe

    def test_a_script_drives_the_windows_through_their_accessible_objects(self):
        probe, splash = self.probe, self.session.splash
        pid = probe.pid(splash)
        self.assertFalse(probe.loaded(pid, "oleacc.dll"), "loaded before anyone asked")
        tree = probe.acc_tree(splash)
        self.assertEqual((tree["name"], tree["role"], tree["children"]),
                         ("Open Marigold Idle", "push button", []))
        self.assertTrue(probe.loaded(pid, "oleacc.dll"))
        self.assertEqual(probe.acc_at(*e2e.center(probe.rect(splash))),
                         ["Open Marigold Idle", "push button", 0])

        self.assertEqual(probe.acc_do(splash, 0), 0)
        main = probe.wait(mk.FORM_CLASS, mk.MAIN_CAPTION, 10000)
        self.assertTrue(main, "the splash's default action did not open the main window")
        self.assertFalse(probe.visible(splash))
        self.session.chat.wait_lines(2)

        tree = probe.acc_tree(main)
        self.assertEqual(tree["name"], mk.MAIN_CAPTION)
        children = tree["children"]
        self.assertEqual([(name, role, value) for _, name, role, value, _, _ in children],
                         [part[:3] for part in mk.PARTS])
        # Each spot lies where the kit clicks it, and the point finds it again.
        for (child, name, _, _, _, rect), part in zip(children, mk.PARTS):
            if not part[4]:
                continue
            point = mk.client_point(probe, main, part[4])
            self.assertTrue(inside(point, rect), (name, point, rect))
            self.assertEqual(probe.acc_at(*point), [name, "push button", child])

        # "Start Idling" with no reason: the call returns at once and the refusal box comes.
        self.assertEqual(probe.acc_do(main, 1), 0)
        box = mk.single_box(probe)
        self.assertEqual(box["caption"], mk.NO_REASON_TITLE)
        self.assertEqual(box["texts"], [mk.NO_REASON_PROMPT])
        self.assertFalse(probe.visible(main))
        self.assertTrue(probe.press_button(box["hwnd"], "OK"))
        self.assertTrue(mk.wait_until(lambda: probe.visible(main), 5.0))
        self.assertEqual(probe.acc_tree(main)["children"][7][3], "off")

        # The reason spot opens the reason strip, whose box and button read by name; "ok" on
        # the text as it stands gives a reason, and Start now starts idling.
        self.assertEqual(probe.acc_do(main, 3), 0)
        reason = probe.wait(mk.FORM_CLASS, mk.REASON_CAPTION, 5000)
        self.assertTrue(reason, "the reason spot's default action did not open the strip")
        (box, _, _), (ok, _, _) = probe.children(reason)
        self.assertEqual([probe.acc_tree(h)["name"] for h in (box, ok)],
                         ["Reason for idling", "ok"])
        self.assertEqual([probe.acc_tree(h)["role"] for h in (box, ok)], ["text", "push button"])
        self.assertEqual(probe.acc_at(*e2e.center(probe.rect(box))),
                         ["Reason for idling", "text", 0])
        self.assertTrue(probe.press_button(reason, "ok"))
        self.assertTrue(mk.wait_until(lambda: probe.visible(main), 5.0))
        self.assertEqual(probe.acc_do(main, 1), 0)
        self.assertTrue(mk.wait_until(
            lambda: probe.acc_tree(main)["children"][7][3] == "on", 5.0))
        self.assertEqual(probe.acc_tree(main)["children"][2][3], "Enter Reason Why You are Idling")
        self.assertEqual(probe.boxes(), [])
        self.assertEqual(len(self.session.chat.lines()), 2)


if __name__ == "__main__":
    unittest.main()
