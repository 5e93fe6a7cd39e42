#!/usr/bin/python3
"""The program as a screen reader meets it: started with Qt's bridge to the desktop's
accessibility bus (AT-SPI), it takes presses of Tab from xdotool, and every control that gets the
focus is read back from the bus, its role and its name, as Orca reads them.

Usage: screen_reader_walk.py PROGRAM TABS
Run inside a display and a D-Bus session (scripts/try-screen-reader.sh makes both). Exit status:
0 every focused control was named, 1 one was not (or a name the window shows is missing), 77 the
accessibility bus or the bridge could not be reached, nothing checked.
"""
import os
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

focused = []


def on_focus(event):
    if event.detail1 != 1:
        return
    try:
        focused.append((event.source.getRoleName(), event.source.name or ""))
    except Exception:
        focused.append(("?", ""))


pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")

folder = tempfile.mkdtemp(prefix="marovellix-a11y-")
env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=folder)
child = subprocess.Popen([program], env=env, cwd=folder)
window = []
presses = [0]


def find_window():
    found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "Marovellix"],
                           capture_output=True, text=True, timeout=30)
    window.extend(found.stdout.split())
    if window:
        subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], timeout=10)
    GLib.timeout_add(300, press_tab)
    return False


def press_tab():
    if presses[0] >= tabs:
        GLib.timeout_add(800, pyatspi.Registry.stop)
        return False
    presses[0] += 1
    subprocess.run(["xdotool", "key", "Tab"], timeout=10)
    return True


GLib.timeout_add(2500, find_window)
GLib.timeout_add(120000, pyatspi.Registry.stop)  # never more than two minutes
try:
    pyatspi.Registry.start()
finally:
    child.terminate()
    child.wait(timeout=10)

for role, name in focused:
    print(f"{role:>14}  {name}")
if not window:
    print("SKIP: the program's window never showed")
    sys.exit(SKIP)
if not focused:
    print("SKIP: no focus event came through the accessibility bus")
    sys.exit(SKIP)
unnamed = [role for role, name in focused if not name.strip()]
missing = expected - {name for _, name in focused}
if unnamed:
    print(f"FAIL: {len(unnamed)} focused controls without a name: {', '.join(unnamed)}")
if missing:
    print(f"FAIL: never heard: {', '.join(sorted(missing))}")
print(f"{len(focused)} focus events after {presses[0]} presses of Tab")
sys.exit(1 if unnamed or missing else 0)
