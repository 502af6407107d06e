#!/usr/bin/python3
"""Reads the running program as a screen reader does: through the AT-SPI registry on the
session bus. Two banks are loaded into a fresh simulated card; the bank list must be a table
whose cells hold their names, and the Down key must move the focused cell; a bank that
another program loads must be announced in its row as it appears. The Options
dialog, opened and closed with the keyboard, must name every control that takes the focus.

Usage: AccessibilityTreeTest.py KORVANE KORVANE_MKBANK
Run on an X display with a private session bus (with-tray-desktop.sh, dbus-run-session).
Exits 77 (skipped) when pyatspi is missing."""

import os
import subprocess
import sys
import tempfile
import time

try:
    import pyatspi
    from gi.repository import GLib
except ImportError:
    print("SKIPPED: python3-pyatspi is not installed (scripts/setup.sh installs it)")
    sys.exit(77)

BANKS = ["PIANO", "STRINGS"]
NEW_BANK = "ORGAN"
NAME_COLUMN = 1
WAIT_SECONDS = 20


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def wait_for(find, what):
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    fail("no " + what + " after %d s" % WAIT_SECONDS)


def find_descendant(accessible, matches):
    if matches(accessible):
        return accessible
    for child in accessible:
        found = find_descendant(child, matches) if child is not None else None
        if found is not None:
            return found
    return None


def program_application(pid):
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.get_process_id() == pid:
            return application
    return None


def is_focused(accessible):
    return accessible.getState().contains(pyatspi.STATE_FOCUSED)


def load_banks(korvane, mkbank, work, env, names):
    files = []
    for name in names:
        path = os.path.join(work, name.lower() + ".94b")
        subprocess.run([mkbank, "--name", name, "--size", "65536", "--instrument", "0:0", path],
                       check=True, stdout=subprocess.DEVNULL)
        files.append(path)
    loaded = subprocess.run([korvane, "load"] + files, env=env, check=True,
                            capture_output=True, text=True)
    # One new bank ID a line, in the order of the files.
    return [int(line) for line in loaded.stdout.split()]


# The reader has read every name cell; the command line loads one more bank into the card,
# which the window sees and writes every cell again. Only the cell whose text changed, the
# name in the new bank's row, tells the reader so (a moment is left for any other).
def check_new_bank_announced(accessible, korvane, mkbank, work, env):
    table = accessible.queryTable()
    for row in range(table.nRows):
        table.getAccessibleAt(row, NAME_COLUMN).name
    changed = []

    def on_name(event):
        if event.source.getRole() == pyatspi.ROLE_TABLE_CELL:
            changed.append((event.source.getIndexInParent(), event.source.name))
            GLib.timeout_add(1000, pyatspi.Registry.stop)

    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    (bank_id,) = load_banks(korvane, mkbank, work, env, [NEW_BANK])
    timeout = GLib.timeout_add_seconds(WAIT_SECONDS, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(on_name, "object:property-change:accessible-name")
    expected = (table.getIndexAt(bank_id, NAME_COLUMN), NEW_BANK)
    if changed != [expected]:
        fail("loading %s as bank %d: name changes %s, not %s" % (NEW_BANK, bank_id, changed,
                                                                 [expected]))
    GLib.source_remove(timeout)
    print("the new bank %r was announced in row %d" % (NEW_BANK, bank_id))


def check_cells(accessible, ids):
    table = accessible.queryTable()
    if table.nColumns < NAME_COLUMN + 1 or table.nRows < max(ids) + 1:
        fail("the table has %d rows and %d columns" % (table.nRows, table.nColumns))
    heading = table.getColumnDescription(NAME_COLUMN)
    if not heading:
        fail("the name column has no heading")
    for name, bank_id in zip(BANKS, ids):
        cell = table.getAccessibleAt(bank_id, NAME_COLUMN)
        if cell is None or cell.name != name:
            fail("row %d, column %r reads %r, not %r"
                 % (bank_id, heading, cell.name if cell else None, name))
        print("row %d, column %r: %r" % (bank_id, heading, cell.name))


# What the keys give the focus to, as focus events tell it (a cell by its index in the
# table, anything else by its role), up to the wanted cell and a moment after it, when later
# events would take the focus away again.
def focus_after(keys, wanted):
    focused = []

    def on_focus(event):
        if event.detail1 != 1:
            return
        cell = event.source.getRole() == pyatspi.ROLE_TABLE_CELL
        focused.append(event.source.getIndexInParent() if cell else event.source.getRoleName())
        if focused[-1] == wanted and focused.count(wanted) == 1:
            GLib.timeout_add(1000, pyatspi.Registry.stop)

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    press(keys)
    timeout = GLib.timeout_add_seconds(WAIT_SECONDS, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    if wanted in focused:
        GLib.source_remove(timeout)
    pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")
    return focused


# The Down key moves the focused cell one row down; leaving the list (Ctrl+Tab) and coming
# back (Shift+Tab) gives the focus to the current cell last, not to the table around it.
def check_focus_moves(accessible):
    table = accessible.queryTable()
    start = wait_for(lambda: next((cell for cell in accessible if is_focused(cell)), None),
                     "focused cell in the list")
    start_index = start.getIndexInParent()
    col = table.getColumnAtIndex(start_index)
    row = table.getRowAtIndex(start_index)
    below = table.getIndexAt(row + 1, col)
    focused = focus_after(["Down"], below)
    if below not in focused:
        fail("Down from row %d: focus events for children %s, not %d" % (row, focused, below))
    if not is_focused(accessible.getChildAtIndex(below)) or is_focused(start):
        fail("after Down the focused state stays on row %d" % row)
    print("Down moved the focus from row %d to row %d" % (row, row + 1))
    focused = focus_after(["ctrl+Tab", "shift+Tab"], below)
    if not focused or focused[-1] != below:
        fail("back in the list the focus went last to %s, not to child %d" % (focused, below))
    print("back in the list the focus is on the current cell")


def is_shown(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def press(keys):
    for key in keys:
        subprocess.run(["xdotool", "key", key], check=True)
        time.sleep(0.3)


def shown_window(application, title):
    return next((window for window in application
                 if window is not None and window.name == title and is_shown(window)), None)


# Options is the first item of the menu right of Bank (Alt+B).
def check_options_named(application):
    press(["alt+b", "Right", "Return"])
    dialog = wait_for(lambda: shown_window(application, "Options"), "Options dialog")
    unnamed = []

    def collect(accessible):
        for child in accessible:
            if child is None:
                continue
            if child.getState().contains(pyatspi.STATE_FOCUSABLE) and not child.name.strip():
                unnamed.append(child.getRoleName())
            collect(child)

    collect(dialog)
    if unnamed:
        fail("controls of the Options dialog without a name: %s" % unnamed)
    press(["Escape"])
    wait_for(lambda: None if shown_window(application, "Options") else True,
             "Options dialog closed by Escape")
    print("every control of the Options dialog has a name; Escape closes it")


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    korvane, mkbank = (os.path.abspath(path) for path in sys.argv[1:])
    with tempfile.TemporaryDirectory() as work:
        env = dict(os.environ, KORVANE_CARD_STATE=os.path.join(work, "card.state"),
                   XDG_CONFIG_HOME=os.path.join(work, "config"),
                   XDG_STATE_HOME=os.path.join(work, "state"),
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        ids = load_banks(korvane, mkbank, work, env, BANKS)
        program = subprocess.Popen([korvane], env=env, cwd=work)
        try:
            application = wait_for(lambda: program_application(program.pid),
                                   "application on the accessibility bus")
            table = wait_for(lambda: find_descendant(
                application, lambda a: a.getRole() == pyatspi.ROLE_TABLE), "table")
            check_cells(table, ids)
            check_focus_moves(table)
            check_new_bank_announced(table, korvane, mkbank, work, env)
            check_options_named(application)
        finally:
            program.terminate()
            program.wait()
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
