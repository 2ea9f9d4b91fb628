#!/usr/bin/python3
"""The program as a screen reader and a small screen meet it, through the accessibility bus.

Run on a desktop of its own (tests/a11y/desktop-session): starts the real program on a demo
card file and checks that
  - a card is found in the card list by its heading, and pressing it shows the card, with
    the line reported selected and focused;
  - every widget of the main window (its further details shown too) and of every window its
    menus open has a name;
  - every one of those windows fits the screen, its frame included.
  atspi_check.py BIN_DIR [--only-main]
"""

import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import Atspi, GLib

PATIENCE_S = 10
# Roles that only group others; a screen reader passes them by without a word.
GROUPS = {"filler", "panel", "separator", "layered pane", "scroll pane", "viewport",
          "unknown", "redundant object", "page tab list", "table column header",
          "table row header"}
# Lines and cells of lists and tables are named by their content, which may be empty.
CONTENT = {"list item", "table cell", "tree item"}

failures = []


def fail(text):
    failures.append(text)
    print("FEHLER:", text, file=sys.stderr)


def wait_for(condition, what, patience=PATIENCE_S):
    deadline = time.monotonic() + patience
    while time.monotonic() < deadline:
        GLib.MainContext.default().iteration(False)
        try:
            value = condition()
        except GLib.GError:
            value = None
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("Zeitüberschreitung: " + what)


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except GLib.GError:
        return False


def children(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child


def descendants(node):
    for child in children(node):
        if showing(child):
            yield child
            # Lines of long lists are checked by the list test, not one by one.
            if child.getRoleName() not in ("list", "table", "tree table", "tree"):
                yield from descendants(child)


def find(node, role, name):
    for child in descendants(node):
        if child.getRoleName() == role and child.name == name:
            return child
    return None


def path_of(node):
    parts = []
    while node is not None and node.getRoleName() != "application":
        parts.append(f"{node.getRoleName()} „{node.name}“")
        node = node.parent
    return " ← ".join(parts)


def expect_names(window):
    for node in descendants(window):
        role = node.getRoleName()
        # Inside a window a frame is a drawn border (a window of its own is a frame too).
        if role in GROUPS or role in CONTENT or (role == "frame" and node.parent != window and
                                                 node.parent.getRoleName() != "application"):
            continue
        if not node.name.strip():
            fail(f"ohne Namen: {path_of(node)}")


def x_window(title):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"],
                           capture_output=True, text=True).stdout.split()
    return found[-1] if found else None


def frame_of(title):
    """The window's frame on the screen (x, y, width, height), in pixels of the screen."""
    wid = wait_for(lambda: x_window(title), f"X-Fenster „{title}“")
    info = subprocess.run(["xwininfo", "-id", wid], capture_output=True,
                          text=True).stdout
    values = {}
    for line in info.splitlines():
        key, _, value = line.strip().partition(":")
        values[key] = value.strip()
    extents = subprocess.run(["xprop", "-id", wid, "_NET_FRAME_EXTENTS"], capture_output=True,
                             text=True).stdout.partition("=")[2]
    left, right, top, bottom = (int(v) for v in extents.split(",")) if extents else (0, 0, 0, 0)
    return (int(values["Absolute upper-left X"]) - left, int(values["Absolute upper-left Y"]) - top,
            int(values["Width"]) + left + right, int(values["Height"]) + top + bottom)


def screen_size():
    info = subprocess.run(["xdpyinfo"], capture_output=True, text=True).stdout
    for line in info.splitlines():
        if "dimensions:" in line:
            width, height = line.split()[1].split("x")
            return int(width), int(height)
    raise AssertionError("keine Bildschirmgröße")


def expect_on_screen(title):
    def placed():
        x, y, width, height = frame_of(title)
        return (x, y, width, height) if width > 1 else None
    x, y, width, height = wait_for(placed, f"Rahmen von „{title}“")
    screen_width, screen_height = screen_size()
    if x < 0 or y < 0 or x + width > screen_width or y + height > screen_height:
        fail(f"„{title}“ ragt über den Bildschirm {screen_width}×{screen_height}: "
             f"{width}×{height} bei {x},{y}")


def start_program(bin_dir):
    home = tempfile.mkdtemp()
    subprocess.run([os.path.join(bin_dir, "veltro-cli"), "demo-store", home], check=True,
                   capture_output=True)
    store = os.path.join(home, "Kartix.mdb")
    # A second spelling of a card for the duplicates window, a backup to restore.
    with sqlite3.connect(store) as db:
        db.execute("CREATE TEMP TABLE t AS SELECT * FROM Kontakte WHERE "
                   "Schlagworte = 'Bauer Anna'")
        db.execute("UPDATE t SET Schlagworte = 'Baur Anna', Nachname = 'Baur'")
        db.execute("INSERT INTO Kontakte SELECT * FROM t")
        # Further details on every card, for the panel that shows them.
        for kind, value, town in (("Telefon", "0951 1", ""), ("Anschrift", "Kai 3", "Bamberg")):
            db.execute("INSERT INTO KartenEintraege (KarteId, Art, Typ, Rang, Wert, "
                       "Postleitzahl, Ort, Land) SELECT rowid, ?, 'privat', 0, ?, '', ?, '' "
                       "FROM Kontakte", (kind, value, town))
    os.makedirs(os.path.join(home, "Sicherungen"))
    shutil.copy(store, os.path.join(home, "Sicherungen", "Kartix-2026-12-01-0930.mdb"))
    config = os.path.join(os.environ["XDG_CONFIG_HOME"], "Veltrix")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "Veltrix.conf"), "w", encoding="utf-8") as settings:
        settings.write("[Setting]\nOPChk6=0\nOPChk3=0\nOPChk5=1\nLetzteKategorie=Privat\n")
    program = subprocess.Popen([os.path.join(bin_dir, "veltro-adressbuch")],
                               env=dict(os.environ, VELTRO_HOME=home))

    def application():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Veltro Adressbuch":
                for window in children(app):
                    if window.name.startswith("Veltro Adressbuch") and showing(window):
                        return app
        return None
    return program, wait_for(application, "Hauptfenster auf dem Bus")


def main_window(app):
    return next(w for w in children(app) if w.name.startswith("Veltro Adressbuch   V"))


def check_card_list(window):
    events = []

    def heard(event):
        events.append((event.type, event.source.name, event.detail1))
    pyatspi.Registry.registerEventListener(heard, "object:state-changed:selected",
                                           "object:state-changed:focused")
    card_list = wait_for(lambda: find(window, "list", "Karten"), "Kartenliste „Karten“")
    rows = card_list.childCount
    count = next(c.name for c in descendants(window) if c.name.startswith("Karten: "))
    if f"Karten: {rows}/" not in count:
        fail(f"die Kartenliste nennt {rows} Zeilen, die Statuszeile „{count}“")
    lines = [card_list.getChildAtIndex(i) for i in range(rows)]
    line = next((x for x in lines if x.name == "Bauer Klaus"), None)
    if line is None or line.getRoleName() != "list item":
        fail("keine Zeile „Bauer Klaus“ in der Kartenliste: " + ", ".join(x.name for x in lines))
        return
    action = line.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("SetFocus"))
    surname = find(window, "text", "Nachname")
    first_name = find(window, "text", "Vorname")
    wait_for(lambda: surname.queryText().getText(0, -1) == "Bauer" and
             first_name.queryText().getText(0, -1) == "Klaus", "Karte „Bauer Klaus“ gezeigt")
    wait_for(lambda: line.getState().contains(pyatspi.STATE_SELECTED), "Zeile ausgewählt")
    wait_for(lambda: ("object:state-changed:focused", "Bauer Klaus", 1) in events,
             "Fokusmeldung der Zeile")
    wait_for(lambda: ("object:state-changed:selected", "Bauer Klaus", 1) in events,
             "Auswahlmeldung der Zeile")
    other = next(x for x in lines if not x.name.startswith("Bauer"))
    other.queryAction().doAction(names.index("Press"))
    wait_for(lambda: find(window, "label", "Notizen zu:  " + other.name), other.name + " gezeigt")
    pyatspi.Registry.deregisterEventListener(heard, "object:state-changed:selected",
                                             "object:state-changed:focused")


# Menu entries that open a window of their own; the Escape key closes it, or else Alt+F4.
WINDOWS = [
    "Exportieren...", "Importieren...", "Sicherung wiederherstellen…",
    "Serienbrief-Daten exportieren…", "Seitenansicht...", "Etiketten drucken…",
    "Umschlag drucken…", "Liste drucken…", "Drucker einrichten...", "Neue Karte/Adresse...",
    "Löschen...", "Andere Kategorie zuweisen...", "Doppelte Karten suchen…", "Geburtstage…",
    "Synchronisieren…", "Optionen", "Hilfe", "Erste Schritte", "Info", "Suchfenster einblenden",
]


def menu_entry(window, name):
    bar = next(c for c in children(window) if c.getRoleName() == "menu bar")
    stack = [bar]
    while stack:
        node = stack.pop()
        for child in children(node):
            if child.getRoleName() == "menu item" and child.name == name and child.childCount == 0:
                return child
            stack.append(child)
    raise AssertionError("kein Menüeintrag " + name)


def other_window(app, main, before):
    for window in children(app):
        if window.name and window.name != main.name and showing(window) and \
                window.name not in before:
            return window
    return None


def close_window(app, title):
    wid = x_window(title)
    if wid is None:
        return
    subprocess.run(["xdotool", "windowactivate", "--sync", wid, "key", "Escape"],
                   capture_output=True)
    try:
        wait_for(lambda: x_window(title) is None, f"„{title}“ geschlossen", patience=2)
    except AssertionError:
        subprocess.run(["xdotool", "windowactivate", "--sync", wid, "key", "alt+F4"],
                       capture_output=True)
        wait_for(lambda: x_window(title) is None, f"„{title}“ geschlossen")


def check_windows(app, main):
    started = time.monotonic()
    for entry in WINDOWS:
        before = {w.name for w in children(app) if showing(w)}
        # A window that runs its own event loop answers the press only when it closes.
        Atspi.set_timeout(500, -1)
        try:
            menu_entry(main, entry).queryAction().doAction(0)
        except GLib.GError:
            pass
        Atspi.set_timeout(-1, -1)
        try:
            window = wait_for(lambda: other_window(app, main, before), "Fenster zu " + entry)
        except AssertionError as error:
            fail(str(error))
            continue
        title = window.name
        print(f"{time.monotonic() - started:5.1f} s {entry} → „{title}“")
        expect_names(window)
        # Each page of a dialog with tabs.
        for tab in [n for n in descendants(window) if n.getRoleName() == "page tab"]:
            tab.queryAction().doAction(0)
            # The list of tabs is named after the tab shown.
            wait_for(lambda: tab.parent.name == tab.name, "Seite " + tab.name)
            expect_names(window)
        expect_on_screen(title)
        close_window(app, title)


def main():
    bin_dir = sys.argv[1]
    program, app = start_program(bin_dir)
    try:
        window = main_window(app)
        check_card_list(window)
        expect_names(window)
        expect_on_screen(window.name)
        menu_entry(window, "Weitere Angaben").queryAction().doAction(0)
        wait_for(lambda: find(window, "text", "Telefonnummer 1"), "Weitere Angaben gezeigt")
        expect_names(window)
        expect_on_screen(window.name)
        if "--only-main" not in sys.argv:
            check_windows(app, window)
    finally:
        program.terminate()
        program.wait()
    if failures:
        print(f"{len(failures)} Fehler", file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
