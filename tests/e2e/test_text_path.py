"""Screen names that stress the text path: the name read from the chat client's Welcome caption
goes into the second load banner unchanged, in the host's ANSI form, whatever blanks, symbols,
foreign characters or length it has; in a single-byte code page (1252) and in a double-byte one
(932, where Wine reports caption lengths up to twice too long)."""

import contextlib
import time
import unittest

import e2e
import faults_kit as fk

LONG_NAME = ("Idle_Name \u20ac%s][ " * 700)[:10000]

# (case, the Welcome caption, the screen name the banner must carry). The stand-in client's
# rich-edit input box drops a line holding double-byte characters, so the names for code page
# 932 keep to characters that are one byte there (or that it cannot show at all).
CASES = {
    1252: [
        ("symbols", "Welcome,  A  b][%s%n\"q'\\ \u20ac\u00fc\u4e2d\u0416!!x!",
         " A  b][%s%n\"q'\\ \u20ac\u00fc\u4e2d\u0416"),
        ("long", "Welcome, " + LONG_NAME + "!", LONG_NAME),
        ("no bang", "Welcome, No Bang \u20ac", "No Bang \u20ac"),
    ],
    932: [
        ("symbols", "Welcome,  A  b][%s%n\"q'\\ \u20ac\uff71\uff9f!!x!",
         " A  b][%s%n\"q'\\ \u20ac\uff71\uff9f"),
        ("long", "Welcome, " + LONG_NAME + "!", LONG_NAME),
        ("no bang", "Welcome, No Bang \uff71", "No Bang \uff71"),
    ],
}

LANGS = {1252: "C.UTF-8", 932: "ja_JP.UTF-8"}


class TextPathTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        e2e.require_desktop("CHATROOM_EXE", "WINPROBE_EXE", "MARIGOLD_EXE")

    def load_with_caption(self, codepage, caption, stack):
        """Starts probe, chat client and program in the code page's locale (ended when `stack`
        closes), loads the main window; the chat client's posts once loading is over."""
        with fk.environment(fk.locale_env(LANGS[codepage])):
            probe = e2e.Probe()
            stack.callback(probe.close)
            self.assertEqual(probe.acp(), codepage, "the locale does not give this code page")
            fk.no_chat_client(probe)
            chat = e2e.Chatroom(welcome_raw=caption)
            stack.callback(chat.stop)
            chat.wait_ready(probe)
            program = fk.Marigold(probe)
            stack.callback(program.stop)
            # The first start in a new locale sets up Wine's fonts for it: give it time.
            program.click_splash(timeout_ms=60000)
        posts = chat.wait_lines(2)
        time.sleep(0.5)  # anything more would come now
        self.assertTrue(program.program.running())
        self.assertEqual(probe.boxes(), [])
        self.assertTrue(probe.visible(program.main))
        return chat.lines()

    def check_case(self, codepage, caption, name):
        with contextlib.ExitStack() as stack:
            posts = self.load_with_caption(codepage, caption, stack)
        expected = [fk.ansi(fk.FIRST_BANNER, codepage), fk.ansi(fk.loaded_by(name), codepage)]
        self.assertEqual([p.data for p in posts], expected)
        self.assertEqual([p.room for p in posts], [1, 1])

    def check_cases(self, codepage, cases):
        for case, caption, name in cases:
            with self.subTest(codepage=codepage, case=case):
                self.check_case(codepage, caption, name)

    def test_names_in_code_page_1252(self):
        self.check_cases(1252, CASES[1252])

    def test_names_in_code_page_932(self):
        # Wine reports a caption longer than it is here: a name without "!" runs to the
        # caption's end and must arrive without the padding, the banner's close intact.
        self.check_cases(932, CASES[932])


if __name__ == "__main__":
    unittest.main()
