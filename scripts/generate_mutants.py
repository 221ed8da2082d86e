# SPDX-License-Identifier: MIT
"""Mutants from standard operators over the library's syntax tree, for scripts/mutate.py --generated.

Nobody picks these faults one by one: libclang parses the library's sources
as the build compiles them (compile_commands.json), and every place an
operator applies to gives one mutant. The operators are those of Mull and
PIT: relational and equality operators replaced, && and || swapped,
conditions negated, boolean and integer literals changed, calls and other
statements deleted, the first two arguments of a call swapped (where their
types agree, so that it compiles), and returned values changed. A fixed seed
draws the sample, spread over the files by their size, so that the same
sources give the same sample.
"""
import collections
import json
import pathlib
import random
import re
import sys

try:
    import clang.cindex as cindex
except ImportError:  # Debian's python3-clang, when another Python runs this
    sys.path.append("/usr/lib/python3/dist-packages")
    import clang.cindex as cindex

# The library's own code; the Windows-only files are not built here, and the
# interface header declares, it does nothing.
FOLDERS = ("plugin", "dialogs", "log", "lang")
SKIPPED = re.compile(r"_win\.cpp$|^plugin/vqtintwell\.h$")
# Translation units that reach sources of those folders: their own, and the
# reference host for the loader helper that only hosts compile.
EXTRA_UNITS = ("host/main.cpp",)
# Calls that change nothing anyone sees when deleted: warnings to the
# developer, compile-time checks.
SILENT_CALLS = re.compile(r"^(qDebug|qWarning|qInfo|Q_ASSERT|Q_UNUSED|static_assert)\b")

Mutant = collections.namedtuple("Mutant", "path start end replacement operator what")

RELATIONAL = {"<": ("<=", ">="), "<=": ("<", ">"), ">": (">=", "<="), ">=": (">", "<")}
SWAPPED = {"==": "!=", "!=": "==", "&&": "||", "||": "&&"}


def compile_arguments(entry):
    """The compiler's arguments of a compile_commands entry, without its output and input."""
    words = entry["arguments"][1:] if "arguments" in entry else entry["command"].split()[1:]
    arguments, skip = [], False
    for word in words:
        if skip:
            skip = False
        elif word in ("-o", "-c"):
            skip = True
        elif not word.startswith("-fno-gnu-unique"):  # GCC's alone
            arguments.append(word)
    return arguments


class Collector:
    """Walks one translation unit and keeps the mutants of the library's files, once each."""

    def __init__(self, root):
        self.root = root
        self.texts = {}
        self.paths = {}
        self.mutants = {}

    def source(self, cursor):
        """The file (relative to the root) a cursor is written in, if it is one of ours."""
        file = cursor.extent.start.file
        if not file:
            return None
        if file.name not in self.paths:
            try:
                path = pathlib.Path(file.name).resolve().relative_to(self.root).as_posix()
            except ValueError:
                path = None
            if path and (not path.startswith(tuple(f + "/" for f in FOLDERS)) or SKIPPED.search(path)):
                path = None
            if path and path not in self.texts:
                self.texts[path] = (self.root / path).read_bytes()
            self.paths[file.name] = path
        return self.paths[file.name]

    def text(self, path, cursor):
        return self.texts[path][cursor.extent.start.offset:cursor.extent.end.offset].decode()

    def add(self, path, start, end, replacement, operator, context, function):
        """One mutant, named by where it is and what it does, for the list of equivalents."""
        old = self.texts[path][start:end].decode()
        if old == replacement:
            return
        brief = lambda text: re.sub(r"\s+", " ", text)[:80]
        scope = self.scope
        shown = brief(self.text(path, context))
        change = f"'{brief(old)}' -> '{brief(replacement)}'"
        what = f"{path} {scope}: {operator} {change}" + (f" in '{shown}'" if shown != brief(old) else "")
        self.mutants.setdefault((path, start, end, replacement), Mutant(path, start, end, replacement, operator, what))

    def walk(self, unit):
        # Code a macro made is not written where its extent says: the macros'
        # own uses are left alone, and so is everything inside them.
        self.macros = collections.defaultdict(list)
        for child in unit.cursor.get_children():
            if child.kind == cindex.CursorKind.MACRO_INSTANTIATION:
                path = self.source(child)
                if path:
                    self.macros[path].append((child.extent.start.offset, child.extent.end.offset))
        for child in unit.cursor.get_children():
            # Whole declarations of other files (Qt's) are skipped unseen.
            if child.kind != cindex.CursorKind.MACRO_INSTANTIATION and self.source(child):
                self.descend(child, unit.cursor, None)

    def descend(self, cursor, parent, function, scope="(file)"):
        if cursor.kind in FUNCTIONS:
            function = cursor
            scope = cursor.spelling or scope + " (lambda)"
        self.scope = scope
        path = self.source(cursor)
        if path and self.written_here(path, cursor):
            self.visit(path, cursor, parent, function)
        for child in cursor.get_children():
            self.descend(child, cursor, function, scope)

    def written_here(self, path, cursor):
        start, end = cursor.extent.start.offset, cursor.extent.end.offset
        return start < end and not any(a < end and start < b for a, b in self.macros.get(path, ()))

    def visit(self, path, cursor, parent, function):
        kind = cindex.CursorKind
        start, end = cursor.extent.start.offset, cursor.extent.end.offset
        if cursor.kind == kind.BINARY_OPERATOR:
            operator, at = self.binary_operator(path, cursor)
            if operator in RELATIONAL:
                for other in RELATIONAL[operator]:
                    self.add(path, at, at + len(operator), other, "relational", cursor, function)
            elif operator in SWAPPED:
                self.add(path, at, at + len(operator), SWAPPED[operator],
                         "logical" if operator in ("&&", "||") else "equality", cursor, function)
            elif operator and operator.endswith("=") and self.is_statement(cursor, parent):
                self.add(path, start, end, "(void)0", "statement deleted", cursor, function)
        elif cursor.kind in (kind.IF_STMT, kind.WHILE_STMT, kind.DO_STMT, kind.CONDITIONAL_OPERATOR):
            condition = self.condition(cursor)
            if condition is not None and self.written_here(path, condition):
                text = self.text(path, condition)
                self.add(path, condition.extent.start.offset, condition.extent.end.offset, f"!({text})",
                         "condition negated", condition, function)
        elif cursor.kind == kind.CXX_BOOL_LITERAL_EXPR:
            text = self.text(path, cursor)
            self.add(path, start, end, "false" if text == "true" else "true", "boolean literal", parent, function)
        elif cursor.kind == kind.INTEGER_LITERAL and parent.spelling != "QColor" \
                and parent.kind != kind.ENUM_CONSTANT_DECL:
            # As PIT inlines constants: 0 becomes 1, 1 becomes 0, any other n
            # n + 1. (A colour one level off is within what anyone can see;
            # an enumerator made equal to the next does not compile.)
            text = self.text(path, cursor)
            if re.fullmatch(r"0x[0-9a-fA-F]+|\d+", text):
                value = int(text, 0)
                self.add(path, start, end, str({0: 1, 1: 0}.get(value, value + 1)), "integer literal", parent,
                         function)
        elif cursor.kind == kind.CALL_EXPR:
            self.call(path, cursor, parent, function)
        elif cursor.kind == kind.RETURN_STMT:
            self.returned(path, cursor, function)

    def binary_operator(self, path, cursor):
        """The operator's spelling and offset: the first token after the left operand."""
        left = next(cursor.get_children(), None)
        if left is None:
            return None, None
        for token in cursor.get_tokens():
            if token.extent.start.offset >= left.extent.end.offset and token.kind == cindex.TokenKind.PUNCTUATION:
                return token.spelling, token.extent.start.offset
        return None, None

    def condition(self, cursor):
        children = list(cursor.get_children())
        if cursor.kind == cindex.CursorKind.DO_STMT:
            return children[1] if len(children) > 1 else None
        # An if with an initialiser or a declaration as its condition is left alone.
        if not children or children[0].kind in (cindex.CursorKind.DECL_STMT, cindex.CursorKind.VAR_DECL):
            return None
        return children[0]

    def is_statement(self, cursor, parent):
        """True for an expression that is a statement of its own, whose value nothing takes."""
        kind = cindex.CursorKind
        if parent.kind == kind.COMPOUND_STMT:
            return True
        children = list(parent.get_children())
        # The branch of an if or the body of a loop without braces.
        return parent.kind in (kind.IF_STMT, kind.WHILE_STMT, kind.FOR_STMT) and children and cursor != children[0]

    def call(self, path, cursor, parent, function):
        text = self.text(path, cursor)
        # Operators written as such (a | b, a = b) are the other operators' business.
        if SILENT_CALLS.match(text) or not cursor.spelling or cursor.spelling.startswith("operator"):
            return
        arguments = list(cursor.get_arguments())
        if len(arguments) >= 2 and all(self.written_here(path, a) for a in arguments[:2]):
            first, second = arguments[:2]
            if first.type.spelling == second.type.spelling and self.text(path, first) != self.text(path, second):
                # Both at once: one splice over the span from the first to the second.
                a, b = first.extent, second.extent
                between = self.texts[path][a.end.offset:b.start.offset].decode()
                self.add(path, a.start.offset, b.end.offset,
                         self.text(path, second) + between + self.text(path, first), "arguments swapped", cursor,
                         function)
        if self.is_statement(cursor, parent) and cursor.type.kind == cindex.TypeKind.VOID:
            self.add(path, cursor.extent.start.offset, cursor.extent.end.offset, "(void)0", "call deleted", cursor,
                     function)

    def returned(self, path, cursor, function):
        value = next(cursor.get_children(), None)
        # A literal returned is the literals' business.
        if value is None or not self.written_here(path, value) or value.kind == cindex.CursorKind.CXX_BOOL_LITERAL_EXPR:
            return
        kind = cindex.TypeKind
        type_ = value.type.get_canonical().kind
        text = self.text(path, value)
        in_lambda = function is not None and function.kind == cindex.CursorKind.LAMBDA_EXPR
        if type_ == kind.BOOL:
            replacement = f"!({text})"
        elif in_lambda:
            return  # a deduced type takes no other literal
        elif type_ == kind.POINTER:
            replacement = "nullptr"
        elif type_ in (kind.INT, kind.LONG, kind.LONGLONG, kind.UINT, kind.ULONG, kind.ULONGLONG, kind.DOUBLE,
                       kind.ENUM):
            replacement = "{}"
        elif type_ == kind.RECORD and not text.startswith("{"):
            replacement = "{}"
        else:
            return
        self.add(path, value.extent.start.offset, value.extent.end.offset, replacement, "return changed", cursor,
                 function)


FUNCTIONS = (cindex.CursorKind.FUNCTION_DECL, cindex.CursorKind.CXX_METHOD, cindex.CursorKind.CONSTRUCTOR,
             cindex.CursorKind.DESTRUCTOR, cindex.CursorKind.FUNCTION_TEMPLATE, cindex.CursorKind.LAMBDA_EXPR)


def all_mutants(root, build):
    """Every mutant the operators give for the library's sources, in a fixed order."""
    entries = json.loads((pathlib.Path(build) / "compile_commands.json").read_text())
    collector = Collector(pathlib.Path(root).resolve())
    index = cindex.Index.create()
    for entry in entries:
        path = pathlib.Path(entry["file"]).resolve().relative_to(collector.root).as_posix()
        if not (path.startswith(tuple(f + "/" for f in FOLDERS)) or path in EXTRA_UNITS):
            continue
        unit = index.parse(entry["file"], args=compile_arguments(entry),
                           options=cindex.TranslationUnit.PARSE_DETAILED_PROCESSING_RECORD)
        collector.walk(unit)
    return sorted(collector.mutants.values(), key=lambda m: (m.path, m.start, m.end, m.replacement))


def sample(root, mutants, count, seed):
    """'count' mutants drawn with 'seed', each file's share after its number of lines."""
    by_file = collections.defaultdict(list)
    for mutant in mutants:
        by_file[mutant.path].append(mutant)
    lines = {path: len((pathlib.Path(root) / path).read_text().splitlines()) for path in by_file}
    total = sum(lines.values())
    generator = random.Random(seed)
    chosen = []
    for path in sorted(by_file):
        share = min(len(by_file[path]), round(count * lines[path] / total))
        chosen += generator.sample(by_file[path], share)
    return sorted(chosen, key=lambda m: (m.path, m.start, m.end, m.replacement))


def named(mutants):
    """The mutants with names that tell apart the same change at two places of one function."""
    seen = collections.Counter()
    result = []
    for mutant in mutants:
        seen[mutant.what] += 1
        result.append(mutant._replace(what=f"{mutant.what} #{seen[mutant.what]}" if seen[mutant.what] > 1
                                      else mutant.what))
    return result
