#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What a screen reader reads of both windows, through AT-SPI as Orca reads it.

Run by scripts/test-screenreader.sh inside an accessibility session, with the
reference host running: opens the ink management window with the host's
button by its press action, checks the names of the window, its buttons and
its table, and that each column is named by the heading shown above it;
opens the refill history by its button's action and checks it the same way;
closes both by their buttons' actions. Debian's python3-pyatspi.

    screenreader.py LANGUAGE      # 0 Simplified Chinese, 1 English
"""
import sys
import time

import pyatspi

# What an operator hears, in the host's two languages.
EXPECTED = {
    "1": {"ink": "Ink Management", "ink close": "Close Ink Management", "refill button": "Ink Refill Log",
          "close": "Close", "ink table": "Ink, Remaining", "refill": "Ink Refill Log",
          "refill close": "Close Ink Refill Log", "ok": "OK", "refill table": "Time, Ink, Added"},
    "0": {"ink": "墨水管理", "ink close": "关闭墨水管理", "refill button": "加墨记录", "close": "关闭",
          "ink table": "墨水, 剩余量", "refill": "加墨记录", "refill close": "关闭加墨记录", "ok": "确定",
          "refill table": "时间, 墨水, 加墨量"},
}


def wait_for(what, find, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = find()
        except Exception:  # an object that went while it was read
            found = None
        if found:
            return found
        time.sleep(0.2)
    sys.exit(f"screenreader: no {what} within {seconds} s")


def descendants(accessible):
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield child
            yield from descendants(child)


def the_host():
    desktop = pyatspi.Registry.getDesktop(0)
    return next((app for app in desktop if app is not None and app.name == "tintwell-host"), None)


def window(app, name):
    """The host's top-level window of that name, as long as it is there."""
    return next((w for w in app if w is not None and w.name == name and w.childCount), None)


def find(root, role, name=None):
    return next((a for a in descendants(root) if a.getRole() == role and (name is None or a.name == name)), None)


def press(root, name):
    button = find(root, pyatspi.ROLE_PUSH_BUTTON, name)
    if button is None:
        sys.exit(f"screenreader: no button named '{name}' in '{root.name}'; buttons: "
                 + ", ".join(repr(b.name) for b in descendants(root) if b.getRole() == pyatspi.ROLE_PUSH_BUTTON))
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


def check(window, close_names, table_name):
    """The buttons by name, the table by its name and its columns by the headings above them."""
    problems = []
    buttons = [b.name for b in descendants(window) if b.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    problems += [f"no button '{name}' (buttons: {buttons})" for name in close_names if name not in buttons]
    table = find(window, pyatspi.ROLE_TABLE)
    if table is None or table.name != table_name:
        problems.append(f"the table is named {table.name if table else None!r}, not {table_name!r}")
    else:
        headings = table_name.split(", ")
        shown = [label.name for label in descendants(window) if label.getRole() == pyatspi.ROLE_LABEL]
        columns = [table.queryTable().getColumnDescription(c) for c in range(table.queryTable().nColumns)]
        if columns != headings or not all(heading in shown for heading in headings):
            problems.append(f"columns read as {columns}, headings shown {shown}")
    if problems:
        sys.exit(f"screenreader: in '{window.name}': " + "; ".join(problems))


def main():
    expected = EXPECTED[sys.argv[1]]
    app = wait_for("tintwell-host on the accessibility bus", the_host)
    host = wait_for("host window", lambda: window(app, "Tintwell reference host"))
    press(host, "Open inside widget")
    ink = wait_for(f"window '{expected['ink']}'", lambda: window(app, expected["ink"]))
    check(ink, [expected["ink close"], expected["refill button"], expected["close"]], expected["ink table"])
    press(ink, expected["refill button"])
    refill = wait_for(f"window '{expected['refill']}'", lambda: window(app, expected["refill"]))
    check(refill, [expected["refill close"], expected["ok"]], expected["refill table"])
    press(refill, expected["ok"])
    wait_for("the refill history to close", lambda: not window(app, expected["refill"]))
    press(ink, expected["close"])
    wait_for("the ink management window to close", lambda: not window(app, expected["ink"]))
    print(f"screenreader: language {sys.argv[1]}: both windows read by their columns and closed by their buttons")


if __name__ == "__main__":
    main()
