# Checks of the tool's own tricky parts: which mutants a small C++ file gets, and how
# equivalent.txt is read. Run: /usr/bin/python3 -m unittest tools/mutate/test_mutate.py
import os
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mutants  # noqa: E402
import report  # noqa: E402
import workspace  # noqa: E402

SNIPPET = r'''#define TWICE(x) ((x) + (x))
#define CALL_G() g()
int f(int); void g();
bool h(int a, int b, bool c, const char* s) {
  if (a < b) g();
  if (int y = f(a)) return y == 2;
  const char* t = "a < b + 1";  // a comment: c && a - 1
  if (TWICE(a * 3)) { CALL_G(); }
  static_assert(sizeof(int) >= 4);
  while (c || a > 0x1F) { g(); }
  float w = 1.5f * 0.5;
  if (a == 0 || b == 1u || c) return false;
  return s[0] == u8"é"[0] ? t != nullptr
                          : w / 2 == 0;
}
'''

# Each line of the snippet and every line its mutants leave; lines absent have none.
EXPECTED = {
    5: {"if (a <= b) g();", "if (a >= b) g();", "if (!(a < b)) g();"},
    # A declared condition is not negated; its comparison and constant are mutated.
    6: {"if (int y = f(a)) return y != 2;", "if (int y = f(a)) return y == 1;",
        "if (int y = f(a)) return y == 3;"},
    # Line 7: a string and a comment. Line 8: macros' uses. Line 9: static_assert.
    10: {"while (!(c || a > 0x1F)) { g(); }", "while (c && a > 0x1F) { g(); }",
         "while (c || a >= 0x1F) { g(); }", "while (c || a <= 0x1F) { g(); }",
         "while (c || a > 0x20) { g(); }", "while (c || a > 0x1E) { g(); }",
         "while (c || a > 0x1F) {  }"},
    11: {"float w = 1.5f / 0.5;", "float w = 2.5f * 0.5;", "float w = 0.5f * 0.5;",
         "float w = 1.5f * 1.5;", "float w = 1.5f * (-0.5);"},
    # && and || swapped keep the tree as written, with parentheses where it needs them.
    12: {"if (!(a == 0 || b == 1u || c)) return false;",
         "if ((a == 0 && b == 1u) || c) return false;",
         "if ((a == 0 || b == 1u) && c) return false;",
         "if (a != 0 || b == 1u || c) return false;", "if (a == 1 || b == 1u || c) return false;",
         "if (a == 0 || b != 1u || c) return false;", "if (a == 0 || b == 0u || c) return false;",
         "if (a == 0 || b == 1u || c) return true;"},
    # After a two-byte character: the columns count bytes. The ternary's condition is
    # negated; the operands on the next line are mutated on their own line.
    13: {"return s[0] != u8\"é\"[0] ? t != nullptr", "return s[0] == u8\"é\"[1] ? t != nullptr",
         "return s[1] == u8\"é\"[0] ? t != nullptr", "return s[0] == u8\"é\"[0] ? t == nullptr",
         "return !(s[0] == u8\"é\"[0]) ? t != nullptr"},
    14: {": w * 2 == 0;", ": w / 1 == 0;", ": w / 3 == 0;", ": w / 2 != 0;", ": w / 2 == 1;"},
}


class Enumeration(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.path = os.path.join(cls.folder.name, "snippet.cpp")
        with open(cls.path, "w", encoding="utf-8") as f:
            f.write(SNIPPET)
        cls.found, cls.errors = mutants.enumerate_mutants(cls.path, "snippet.cpp",
                                                          ["-std=c++20"])

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_parses_cleanly(self):
        self.assertEqual(self.errors, [])

    def test_each_line_gets_exactly_its_mutants(self):
        got = {}
        for m in self.found:
            got.setdefault(m.line, set()).add(m.after)
        self.assertEqual(got, EXPECTED)

    def test_applying_a_mutant_changes_that_line_into_its_after_text(self):
        with open(self.path, "rb") as f:
            text = f.read()
        for m in self.found:
            lines = m.apply(text).decode().split("\n")
            self.assertEqual(lines[m.line - 1].strip(), m.after, m)
            self.assertEqual(lines[:m.line - 1] + lines[m.line:],
                             SNIPPET.split("\n")[:m.line - 1] + SNIPPET.split("\n")[m.line:])

    def test_the_order_is_file_line_column_operator(self):
        self.assertEqual(self.found, sorted(self.found, key=mutants.Mutant.sort_key))
        keys = [m.sort_key()[:3] for m in self.found]
        self.assertEqual(keys, sorted(keys))


class LiteralMoves(unittest.TestCase):
    def test_table(self):
        for spelling, moved in [("0", ["1"]), ("1", ["0"]), ("7", ["8", "6"]),
                                ("1'000", ["1001", "999"]), ("0x0f", ["0x10", "0xe"]),
                                ("0XFF", ["0X100", "0XFE"]), ("0b10", ["0b11", "0b1"]),
                                ("010", ["011", "07"]), ("2ul", ["3ul", "1ul"]),
                                ("0.0", ["1.0"]), ("1.f", ["0.0f"]), ("2.5", ["3.5", "1.5"]),
                                ("0.25f", ["1.25f", "(-0.75f)"]), ("1e3", ["1001.0", "999.0"]),
                                ("0x1p3", None)]:
            self.assertEqual(mutants.literal_moves(spelling), moved, spelling)


class Equivalents(unittest.TestCase):
    def read(self, text):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
            f.write(text)
        try:
            return report.read_equivalents(f.name)
        finally:
            os.remove(f.name)

    def test_entries_are_named_by_file_and_both_lines(self):
        entries = self.read("# a comment\n\nfile: host/text.cpp\nwas:  if (a < b) {\n"
                            "now:  if (a <= b) {\nwhy:  a is never b\n\n"
                            "file: app/forms.cpp\nwas: g();\nnow:\nwhy: g does nothing\n")
        self.assertEqual(entries, {("host/text.cpp", "if (a < b) {", "if (a <= b) {"):
                                   "a is never b",
                                   ("app/forms.cpp", "g();", ""): "g does nothing"})

    def test_an_entry_needs_its_reason(self):
        with self.assertRaisesRegex(ValueError, "without why"):
            self.read("file: a.cpp\nwas: x\nnow: y\n")

    def test_a_pasted_entry_reads_back(self):
        m = mutants.Mutant("app/a.cpp", 3, 5, 6, "relational", "<=", "if (a < b) {",
                           "if (a <= b) {")
        self.assertEqual(self.read(report.entry_for(m, "no reason")),
                         {("app/a.cpp", "if (a < b) {", "if (a <= b) {"): "no reason"})


class Copies(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = os.path.join(self.folder.name, "tree")
        os.makedirs(os.path.join(self.root, "app"))
        for rel, text in [("app/a.cpp", "int a = 1;\n"), ("app/b.cpp", "int b = 2;\n"),
                          (".gitignore", "build/\n"), ("build/x.o", "built\n")]:
            os.makedirs(os.path.dirname(os.path.join(self.root, rel)), exist_ok=True)
            with open(os.path.join(self.root, rel), "w") as f:
                f.write(text)
        subprocess.run(["git", "init", "-q", self.root], check=True)
        self.worker = workspace.Worker(self.root, workspace.SIM, 0,
                                       os.path.join(self.folder.name, "scratch"),
                                       threading.Event())

    def tearDown(self):
        self.folder.cleanup()

    def copied(self, rel):
        with open(os.path.join(self.worker.src, rel)) as f:
            return f.read()

    def test_sync_writes_only_what_differs_and_repairs_a_mutated_copy(self):
        self.worker.sync()
        self.assertFalse(os.path.exists(os.path.join(self.worker.src, "build")))
        stamp = os.stat(os.path.join(self.worker.src, ".gitignore")).st_mtime_ns
        with open(os.path.join(self.worker.src, "app/a.cpp"), "w") as f:
            f.write("int a = 0;\n")  # as a run killed outright leaves it
        os.remove(os.path.join(self.root, "app/b.cpp"))
        with open(os.path.join(self.root, "app/c.cpp"), "w") as f:
            f.write("int c;\n")
        time.sleep(0.01)
        self.worker.sync()
        self.assertEqual(self.copied("app/a.cpp"), "int a = 1;\n")
        self.assertEqual(self.copied("app/c.cpp"), "int c;\n")
        self.assertFalse(os.path.exists(os.path.join(self.worker.src, "app/b.cpp")))
        # Untouched, so the next build does not recompile it.
        self.assertEqual(os.stat(os.path.join(self.worker.src, ".gitignore")).st_mtime_ns,
                         stamp)

    def test_apply_then_restore(self):
        self.worker.sync()
        m = mutants.Mutant("app/a.cpp", 1, 9, 10, "constant", "0", "int a = 1;", "int a = 0;")
        self.worker.apply(m)
        self.assertEqual(self.copied("app/a.cpp"), "int a = 0;\n")
        self.worker.restore()
        self.assertEqual(self.copied("app/a.cpp"), "int a = 1;\n")

    def test_a_stop_ends_the_running_child_and_all_it_started(self):
        os.makedirs(self.worker.home)
        began = time.monotonic()
        threading.Timer(0.5, lambda: (self.worker.stopping.set(),
                                      self.worker.kill_child())).start()
        with self.assertRaises(workspace.Stopped):
            self.worker._run(["sh", "-c", "sleep 31.7371 & sleep 31.7371; wait"], timeout=60,
                             cwd=self.root)
        self.assertLess(time.monotonic() - began, 10)
        left = subprocess.run(["pgrep", "-f", "^sleep 31.7371$"], capture_output=True, text=True)
        self.assertEqual(left.stdout, "")


class Tiers(unittest.TestCase):
    def test_table(self):
        for rel, tier in [("app/form1.cpp", workspace.SIM), ("host/text.cpp", workspace.SIM),
                          ("hook32/locate.cpp", workspace.SIM),
                          ("glide32/place_splash.cpp", workspace.SIM),
                          ("host/win32/paint.cpp", workspace.WINDOWS),
                          ("host/sim/desktop.cpp", None), ("tests/sim/x_test.cpp", None),
                          ("tools/chatroom/room.cpp", None)]:
            self.assertIs(workspace.tier_of(rel), tier, rel)


if __name__ == "__main__":
    unittest.main()
