#!/usr/bin/python3
"""The program as a screen reader meets it: started with Qt's bridge to the desktop's
accessibility bus (AT-SPI), it is driven by keys from xdotool only, and every control that gets
the focus is read back from the bus, its role and its name, as Orca reads them.

The walk: TABS presses of Tab round the main window; five horses typed into the selection; then
each window opened by Return on its button, walked by Tab and closed by Escape: the ticket list
(its grid must tell the bus the true number of tickets), the print dialog, the comparison (an
arrival typed, Return compares, and the result box must announce its new text), the conditions,
the settings, the about box and "Mes courses".

Usage: screen_reader_walk.py PROGRAM TABS
Run inside a display and a D-Bus session (scripts/try-screen-reader.sh makes both). Exit status:
0 every check held, 1 one did not, 77 the accessibility bus or the bridge could not be reached,
nothing checked.
"""
import os
import re
import subprocess
import sys
import tempfile

SKIP = 77

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import GLib
    import pyatspi
except Exception as error:  # pragma: no cover - depends on the machine
    print(f"SKIP: pyatspi is not available: {error}")
    sys.exit(SKIP)

program, tabs = sys.argv[1], int(sys.argv[2])
# Names the main window must speak on the way: the icon buttons and a numbered box.
expected = {"Informations", "Aide", "Sélection des chevaux, case 1", "Quit"}
# The windows walked, by the button that opens them.
windows = ["Voir les tickets", "Imprimer les tickets", "Comparer avec l'arrivée", "Conditions…", "Parametres",
           "Informations", "Mes courses"]

focused = []  # (window walked, role, name, rows its table reports or None)
renamed = []  # names announced by a change of name
section = ["main window"]


def table_rows(source):
    for obj in (source, getattr(source, "parent", None)):
        try:
            return obj.queryTable().nRows
        except Exception:
            continue
    return None


def on_focus(event):
    if event.detail1 != 1:
        return
    try:
        focused.append((section[0], event.source.getRoleName(), event.source.name or "", table_rows(event.source)))
    except Exception:
        focused.append((section[0], "?", "", None))


def on_name(event):
    try:
        renamed.append(event.source.name or "")
    except Exception:
        pass


pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")

folder = tempfile.mkdtemp(prefix="marovellix-a11y-")
env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=folder,
           LANG="fr_FR.UTF-8")
child = subprocess.Popen([program], env=env, cwd=folder)
window = []
problems = []


def key(*names):
    subprocess.run(["xdotool", "key", *names], timeout=10)


def typed(text):
    subprocess.run(["xdotool", "type", "--delay", "20", text], timeout=10)


def last_name():
    return focused[-1][2].strip() if focused else ""


def tab_to(name, limit=90):
    """Presses Tab until the control named `name` has the focus."""
    for _ in range(limit):
        if last_name() == name:
            return True
        key("Tab")
        yield
    problems.append(f"never reached \"{name}\" by Tab")
    return False


def walk_round(limit=45):
    """Tab round the window that has the focus, until its first stop comes again."""
    start = len(focused)
    for _ in range(limit):
        key("Tab")
        yield
        names = [name for _, _, name, _ in focused[start:]]
        if len(names) > 2 and names[-1] == names[0]:
            return


def steps():
    for _ in range(tabs):
        key("Tab")
        yield
    # Five horses in the selection, for the system the page shows first.
    if (yield from tab_to("Sélection des chevaux, case 1")):
        for horse in range(1, 6):
            typed(str(horse))
            key("Tab")
            yield
    for opener in windows:
        section[0] = "main window"
        if not (yield from tab_to(opener)):
            continue
        section[0] = opener
        key("Return")
        for _ in range(8):  # the window opens and takes the focus
            yield
        if opener == "Comparer avec l'arrivée":
            # The focus starts on the first place of the arrival; Return compares.
            for horse in range(1, 6):
                typed(str(horse))
                key("Tab")
                yield
            key("Return")
            for _ in range(8):
                yield
        yield from walk_round()
        key("Escape")
        for _ in range(5):
            yield
        # Without a window manager nobody gives the keyboard back to the main window.
        subprocess.run(["xdotool", "windowfocus", window[0]], timeout=10)
        yield
    section[0] = "end"


walker = steps()


def tick():
    try:
        next(walker)
        return True
    except StopIteration:
        GLib.timeout_add(800, pyatspi.Registry.stop)
        return False


def find_window():
    found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "Marovellix"],
                           capture_output=True, text=True, timeout=30)
    window.extend(found.stdout.split())
    if window:
        subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], timeout=10)
    GLib.timeout_add(250, tick)
    return False


GLib.timeout_add(2500, find_window)
GLib.timeout_add(280000, pyatspi.Registry.stop)  # never more than a few minutes
try:
    pyatspi.Registry.start()
finally:
    child.terminate()
    child.wait(timeout=10)

for where, role, name, rows in focused:
    print(f"{where:>24}  {role:>14}  {name}" + (f"  [{rows} rows]" if rows is not None else ""))
for name in renamed:
    print(f"{'announced':>24}  {name}")
if not window:
    print("SKIP: the program's window never showed")
    sys.exit(SKIP)
if not focused:
    print("SKIP: no focus event came through the accessibility bus")
    sys.exit(SKIP)

unnamed = [f"{role} in {where}" for where, role, name, _ in focused if not name.strip()]
if unnamed:
    problems.append(f"{len(unnamed)} focused controls without a name: {', '.join(unnamed)}")
missing = expected - {name for _, _, name, _ in focused}
if missing:
    problems.append(f"never heard: {', '.join(sorted(missing))}")
walked = {where for where, _, _, _ in focused}
for opener in windows:
    if opener not in walked:
        problems.append(f"no focus heard in the window of \"{opener}\"")
# The ticket list's grid counts every ticket of the system chosen ("... en 6 tickets ...").
counts = {int(m.group(1)) for _, _, name, _ in focused for m in [re.search(r"en\s+(\d+)\s+tickets", name)] if m}
grid_rows = [rows for where, _, _, rows in focused if where == "Voir les tickets" and rows is not None]
if not grid_rows:
    problems.append("the ticket list's grid told no row count")
elif counts and not set(grid_rows) & counts:
    problems.append(f"the ticket list's grid tells {sorted(set(grid_rows))} rows for {sorted(counts)} tickets")
if not any(name.startswith("Résultats : ") for name in renamed):
    problems.append("the comparison's result was never announced")
for problem in problems:
    print(f"FAIL: {problem}")
print(f"{len(focused)} focus events, {len(renamed)} announcements")
sys.exit(1 if problems else 0)
