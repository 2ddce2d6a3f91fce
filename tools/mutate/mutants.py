# The one-line mutants of a C++ file, found on libclang's syntax tree so that each lands on a
# real operator, literal, condition or call of the file itself: never in a string, a comment,
# a macro's expansion or an included header.
import functools
import glob
import re
import shlex
import subprocess
from dataclasses import dataclass

try:
    import clang.cindex as ci
except ImportError:  # the Debian package installs for Debian's own Python only
    raise SystemExit("mutate: libclang's Python binding is missing: apt-get install "
                     "python3-clang-14, and run the tool with /usr/bin/python3")

K = ci.CursorKind

# Each operator token and what it becomes: the boundary neighbour and the opposite for the
# ordering comparisons, the opposite for the rest.
SWAPS = {
    "<": ("relational", ["<=", ">="]), "<=": ("relational", ["<", ">"]),
    ">": ("relational", [">=", "<="]), ">=": ("relational", [">", "<"]),
    "==": ("relational", ["!="]), "!=": ("relational", ["=="]),
    "+": ("arithmetic", ["-"]), "-": ("arithmetic", ["+"]),
    "*": ("arithmetic", ["/"]), "/": ("arithmetic", ["*"]),
    "+=": ("arithmetic", ["-="]), "-=": ("arithmetic", ["+="]),
    "*=": ("arithmetic", ["/="]), "/=": ("arithmetic", ["*="]),
    "&&": ("logical", ["||"]), "||": ("logical", ["&&"]),
}


@dataclass(frozen=True)
class Mutant:
    path: str        # relative to the source tree, with forward slashes
    line: int        # 1-based
    column: int      # 1-based byte column where the changed range starts
    end_column: int  # byte column just past it
    operator: str    # relational, arithmetic, logical, negate, constant, boolean, call
    replacement: str
    before: str      # the whole line, trimmed, as it is
    after: str       # the whole line, trimmed, with the change

    def sort_key(self):
        return (self.path, self.line, self.column, self.operator, self.end_column,
                self.replacement)

    def describe(self):
        return "%s:%d: %s → %s" % (self.path, self.line, self.before,
                                   self.after or "(nothing left on the line)")

    def apply(self, text):
        """The file's bytes with this mutant in place."""
        lines = text.split(b"\n")
        line = lines[self.line - 1]
        lines[self.line - 1] = (line[:self.column - 1] + self.replacement.encode()
                                + line[self.end_column - 1:])
        return b"\n".join(lines)


def compile_args(entry):
    """The flags of a compile_commands.json entry that matter to the parse: the compiler, the
    output and the source go, and so do warnings as errors (a gcc warning clang lacks must not
    stop the parse)."""
    words = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    compiler, words = words[0], words[1:]
    args, skip = [], False
    for word in words:
        if skip:
            skip = False
        elif word in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
        elif word == "-c" or word == entry["file"] or word.startswith("-Werror") \
                or word in ("-MD", "-MMD"):
            continue
        else:
            args.append(word)
    resource = sorted(glob.glob("/usr/lib/llvm-14/lib/clang/*/include"))
    # clang takes the target from the compiler's name only when it is the driver's own name,
    # and looks for a cross compiler's headers where Debian does not put them: the compiler
    # itself says where they are.
    match = re.match(r"(.*-w64-mingw32)-", compiler.rsplit("/", 1)[-1])
    if match:
        system = ["-nostdinc", "-isystem", resource[-1]] if resource else []
        for folder in system_folders(compiler):
            if not re.search(r"/lib/gcc/[^/]+/[^/]+/include$", folder):  # gcc's intrinsics
                system += ["-isystem", folder]
        args = ["--target=" + match.group(1)] + system + args
    elif resource:
        args = ["-resource-dir", resource[-1].rsplit("/", 1)[0]] + args
    return args + ["-Wno-unknown-warning-option"]


@functools.lru_cache(maxsize=None)
def system_folders(compiler):
    """The folders a gcc searches for <headers>, in its order."""
    said = subprocess.run([compiler, "-E", "-x", "c++", "-v", "-"], input="",
                          capture_output=True, text=True).stderr
    lines = said.split("#include <...> search starts here:", 1)[-1].splitlines()
    return [line.strip() for line in lines[1:] if line.startswith(" ")]


def parse(path, args):
    """(translation unit, error messages) for the file at path."""
    tu = ci.Index.create().parse(
        path, args=args, options=ci.TranslationUnit.PARSE_DETAILED_PROCESSING_RECORD)
    errors = ["%s:%s: %s" % (d.location.file, d.location.line, d.spelling)
              for d in tu.diagnostics if d.severity >= ci.Diagnostic.Error]
    return tu, errors


def literal_moves(spelling):
    """The replacements of a number's spelling: n+1 and n-1, but 0 only to 1 and 1 only to 0,
    in the literal's own base and suffix. None for forms left alone (hex floats, chars)."""
    text = spelling.replace("'", "")
    m = re.fullmatch(r"(0[xX][0-9a-fA-F]+|0[bB][01]+|0[0-7]*|[1-9][0-9]*)([uUlLzZ]*)", text)
    if m:
        digits, suffix = m.groups()
        base = {"0x": 16, "0X": 16, "0b": 2, "0B": 2}.get(digits[:2], 8 if digits[0] == "0"
                                                         and len(digits) > 1 else 10)
        value = int(digits, base)
        moved = [1] if value == 0 else [0] if value == 1 else [value + 1, value - 1]
        return [_int_spelling(v, base, digits) + suffix for v in moved]
    m = re.fullmatch(r"([0-9]*\.?[0-9]*(?:[eE][+-]?[0-9]+)?)([fFlL]?)", text)
    if m and any(c.isdigit() for c in m.group(1)):
        value = float(m.group(1))
        moved = [1.0] if value == 0 else [0.0] if value == 1 else [value + 1, value - 1]
        out = []
        for v in moved:
            s = repr(v)
            s = s if any(c in s for c in ".en") else s + ".0"
            # A negative literal stays one operand wherever it stands.
            out.append("(%s%s)" % (s, m.group(2)) if v < 0 else s + m.group(2))
        return out
    return None


def _int_spelling(value, base, digits):
    if base == 16:
        s = "%x" % value
        return digits[:2] + (s.upper() if digits[2:].isupper() else s)
    if base == 2:
        return digits[:2] + format(value, "b")
    if base == 8:
        return "0%o" % value if value else "0"
    return str(value)


class _Finder:
    def __init__(self, tu, path, relpath):
        self.tu, self.path, self.relpath = tu, path, relpath
        with open(path, "rb") as f:
            self.text = f.read()
        self.lines = self.text.split(b"\n")
        self.macros = []  # byte ranges of macro uses: what a macro makes is not mutated
        self.found = []

    def mine(self, cursor):
        loc = cursor.location
        return loc.file is not None and loc.file.name == self.path

    def add(self, start, end, expected, replacement, operator):
        """Records one mutant of the byte range [start, end) of the file, if that range is on
        one line, outside every macro use, and reads `expected` (None: anything)."""
        if start.file is None or start.file.name != self.path or start.line != end.line:
            return
        a, b = start.offset, end.offset
        if expected is not None and self.text[a:b] != expected.encode():
            return
        if any(a < m_end and m_start < b for m_start, m_end in self.macros):
            return
        line = self.lines[start.line - 1]
        col, end_col = start.column, end.column
        after = line[:col - 1] + replacement.encode() + line[end_col - 1:]
        self.found.append(Mutant(self.relpath, start.line, col, end_col, operator, replacement,
                                 line.decode(errors="replace").strip(),
                                 after.decode(errors="replace").strip()))

    def tokens(self, cursor):
        return list(self.tu.get_tokens(extent=cursor.extent))

    def walk(self, cursor):
        for child in cursor.get_children():
            if child.kind == K.MACRO_INSTANTIATION and self.mine(child):
                self.macros.append((child.extent.start.offset, child.extent.end.offset))
        self._visit(cursor)
        return sorted(set(self.found), key=Mutant.sort_key)

    def _visit(self, cursor):
        for child in cursor.get_children():
            # static_assert's expression must hold at compile time: its mutants never build.
            if not self.mine(child) or child.kind == K.STATIC_ASSERT:
                continue
            self._mutate(child, cursor)
            self._visit(child)

    def operator_token(self, c):
        """The operator token of a binary operator: the one between its two operands."""
        kids = list(c.get_children())
        if c.kind in (K.BINARY_OPERATOR, K.COMPOUND_ASSIGNMENT_OPERATOR) and len(kids) == 2:
            for t in self.tokens(c):
                if kids[0].extent.end.offset <= t.extent.start.offset \
                        < kids[1].extent.start.offset:
                    return t
        return None

    def _mutate(self, c, parent):
        kind = c.kind
        if kind in (K.BINARY_OPERATOR, K.COMPOUND_ASSIGNMENT_OPERATOR):
            token = self.operator_token(c)
            if token is not None and token.spelling in ("&&", "||"):
                self._swap_logical(c, token, parent)
            elif token is not None:
                self._swap(token.extent, token.spelling)
        elif kind == K.CALL_EXPR and c.spelling.startswith("operator"):
            # A class's own operator: its middle child is the operator's name, where it stands.
            kids = list(c.get_children())
            if len(kids) == 3 and c.spelling[len("operator"):] in SWAPS:
                self._swap(kids[1].extent, c.spelling[len("operator"):])
        elif kind in (K.INTEGER_LITERAL, K.FLOATING_LITERAL):
            tokens = self.tokens(c)
            if len(tokens) == 1 and tokens[0].kind == ci.TokenKind.LITERAL:
                for moved in literal_moves(tokens[0].spelling) or []:
                    self.add(c.extent.start, c.extent.end, tokens[0].spelling, moved,
                             "constant")
        elif kind == K.CXX_BOOL_LITERAL_EXPR:
            tokens = self.tokens(c)
            if len(tokens) == 1 and tokens[0].spelling in ("true", "false"):
                flipped = "false" if tokens[0].spelling == "true" else "true"
                self.add(c.extent.start, c.extent.end, tokens[0].spelling, flipped, "boolean")
        elif kind in (K.IF_STMT, K.WHILE_STMT, K.DO_STMT, K.FOR_STMT):
            cond = self._condition(c)
            if cond is not None:
                self._negate(cond)
        elif kind == K.CONDITIONAL_OPERATOR:
            self._negate(next(c.get_children()))
        elif kind == K.COMPOUND_STMT:
            for statement in c.get_children():
                self._drop_call(statement)

    def _swap(self, extent, spelling):
        if spelling in SWAPS:
            operator, replacements = SWAPS[spelling]
            for r in replacements:
                self.add(extent.start, extent.end, spelling, r, operator)

    def _swap_logical(self, c, token, parent):
        """&& for || and back. An operand or parent of the other kind gets parentheses: the
        tree stays the one written, and gcc's warning about mixing the two (an error here)
        stays quiet."""
        new = SWAPS[token.spelling][1][0]

        def logical(node):
            t = self.operator_token(node)
            return t.spelling if t is not None and t.spelling in ("&&", "||") else None

        def text(a, b):
            return self.text[a:b].decode(errors="replace")

        left, right = list(c.get_children())
        start, end = c.extent.start.offset, c.extent.end.offset
        pieces = []
        for operand, a, b in ((left, start, token.extent.start.offset),
                              (right, token.extent.end.offset, end)):
            spaced = text(a, b)
            inner = spaced.strip()
            if logical(operand) not in (None, new):
                spaced = spaced.replace(inner, "(" + inner + ")", 1)
            pieces.append(spaced)
        mutated = pieces[0] + new + pieces[1]
        if parent is not None and logical(parent) not in (None, new):
            mutated = "(" + mutated + ")"
        self.add(c.extent.start, c.extent.end, None, mutated, "logical")

    def _negate(self, cond):
        a, b = cond.extent.start.offset, cond.extent.end.offset
        self.add(cond.extent.start, cond.extent.end, None,
                 "!(" + self.text[a:b].decode(errors="replace") + ")", "negate")

    def _condition(self, stmt):
        """The condition expression of an if, while, do or for statement; None where there is
        none to negate (a declared condition variable, an empty for condition)."""
        tokens = self.tokens(stmt)
        kids = list(stmt.get_children())
        if stmt.kind == K.DO_STMT:
            return kids[-1] if len(kids) == 2 else None
        # The parentheses after the keyword (and after `constexpr`), and for a for statement
        # the two semicolons inside them at the outer depth.
        opening = next((t for t in tokens if t.spelling == "("), None)
        if opening is None:
            return None
        depth, cuts, closing = 0, [], None
        for t in tokens[tokens.index(opening):]:
            if t.spelling in ("(", "[", "{"):
                depth += 1
            elif t.spelling in (")", "]", "}"):
                depth -= 1
                if depth == 0:
                    closing = t
                    break
            elif t.spelling == ";" and depth == 1:
                cuts.append(t.extent.start.offset)
        if closing is None:
            return None
        low, high = opening.extent.end.offset, closing.extent.start.offset
        if stmt.kind == K.FOR_STMT:
            if len(cuts) != 2:
                return None
            low, high = cuts
        inside = [k for k in kids if low <= k.extent.start.offset and k.extent.end.offset
                  <= high]
        if not inside or any(k.kind == K.VAR_DECL for k in inside):
            return None
        return inside[-1]

    def _drop_call(self, statement):
        call = statement
        # A call whose temporaries die at the semicolon comes wrapped in an unexposed node.
        while call.kind == K.UNEXPOSED_EXPR:
            kids = list(call.get_children())
            if len(kids) != 1 or kids[0].extent != call.extent:
                return
            call = kids[0]
        if call.kind != K.CALL_EXPR or (call.spelling.startswith("operator")
                                        and call.spelling != "operator()"):
            return
        # The statement's semicolon: the first token after the call.
        end = call.extent.end.offset
        span = ci.SourceRange.from_locations(
            call.extent.end, self.tu.get_location(self.path, min(end + 64, len(self.text))))
        semicolon = next((t for t in self.tu.get_tokens(extent=span)
                          if t.extent.start.offset >= end), None)
        if semicolon is None or semicolon.spelling != ";":
            return
        self.add(call.extent.start, semicolon.extent.end, None, "", "call")


def enumerate_mutants(path, relpath, args):
    """(mutants of the file at path in their stable order, parse errors)."""
    tu, errors = parse(path, args)
    return _Finder(tu, path, relpath).walk(tu.cursor), errors
