"""marigold.exe and the chat client of different bitness, as on 64-bit Windows, where the chat
clients are 32-bit programs. The x86 build goes the whole way beside the 64-bit stand-in client:
splash, both load banners byte for byte, its parts read by a 64-bit Active Accessibility client,
a reason, Start, the first idle banner, Stop, and the farewell box to the end. The x86_64 build
beside the x86 stand-in client reads the screen name from its Welcome caption and posts both
banners byte for byte. In each, a start of the other build hands over to the running one. Which
build plays which part comes from the environment (ctest sets it); a 32-bit process under
emulation takes a minute or two to start."""

import os
import time
import unittest

import e2e
import marigold_kit as mk
import test_idling

START_MS = 300000


def start_of_the_other_build_hands_over(test):
    """The other build, started while this one runs, ends with code 0 and posts nothing."""
    second = e2e.WinProgram(os.environ["SECOND_MARIGOLD_EXE"])
    test.addCleanup(second.stop)
    test.assertEqual(second.wait_exit(START_MS / 1000), 0)
# A name with letters outside ASCII, so the caption's text crosses in the ANSI code page.
CLIENT_NAME = "Zoë º7"


class ProgramJourneyTest(test_idling.IdlingJourneyTest):
    def setUp(self):
        self.session = mk.Session(name="Nick1", start_ms=START_MS)
        self.addCleanup(self.session.close)
        self.probe = self.session.probe
        self.chat = self.session.chat

    def test_journey(self):
        probe, chat = self.probe, self.chat
        main = self.session.click_splash()
        self.assertEqual([p.data for p in chat.wait_lines(2, timeout=30.0)],
                         [mk.LOAD_BANNER, mk.loaded_by_banner("Nick1")])
        start_of_the_other_build_hands_over(self)
        parts = probe.acc_tree(main)["children"]
        self.assertEqual([(name, role, value) for _, name, role, value, _, _ in parts],
                         [part[:3] for part in mk.PARTS])

        self.enter_reason(main)
        before = time.time()
        self.session.click(mk.START_SPOT)
        self.assertEqual(mk.indicator(probe, main, "x86-started"), "on")
        after = time.time()
        data = chat.wait_lines(3, timeout=120.0)[2].data
        prefix = mk.idle_banner("Nick1", 1, "")
        self.assertTrue(data.startswith(prefix), data)
        since = data[len(prefix):].decode("cp1252")
        self.assertIn(since, mk.long_times_between(before - 1, after + 1))
        self.assertEqual(data, mk.idle_banner("Nick1", 1, since))

        self.session.click(mk.STOP_SPOT)
        self.assertEqual(mk.indicator(probe, main, "x86-stopped"), "off")
        self.session.click(mk.EXIT_SPOT)
        box = mk.single_box(probe, timeout=30.0)
        self.assertEqual(box["caption"], mk.FAREWELL_TITLE)
        self.assertTrue(box["texts"][0].startswith(mk.FAREWELL_START), box)
        mk.click_box_button(probe, box["hwnd"], "OK")
        self.assertEqual(self.session.program.wait_exit(60), 0)
        self.assertEqual(len(chat.lines()), 3)


class ClientAcrossBitnessTest(unittest.TestCase):
    def test_load_banners_carry_the_name_from_the_welcome_caption(self):
        session = mk.Session(name=CLIENT_NAME, start_ms=START_MS)
        self.addCleanup(session.close)
        session.click_splash()
        start_of_the_other_build_hands_over(self)
        self.assertEqual([p.data for p in session.chat.wait_lines(2, timeout=30.0)],
                         [mk.LOAD_BANNER, mk.loaded_by_banner(CLIENT_NAME)])


if __name__ == "__main__":
    unittest.main()
