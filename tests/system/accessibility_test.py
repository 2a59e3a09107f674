#!/usr/bin/python3
"""The real program as a screen reader meets it, over the desktop's accessibility bus.

Walks the menus at 2 and 4 cells wide and clicks each title where the bus says it is; plays
a person's move with the arrow keys and Return and reads the cells' names; changes every
control of the settings window by its accessibility action and checks the messages, the
shown states and the stored values. Run by accessibility.sh, on a display of its own.
  accessibility_test.py path/to/pyra3
"""
import os
import re
import sqlite3
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PROGRAM = sys.argv[1]
STORE = os.path.join(os.environ["XDG_CONFIG_HOME"], "Pyra3", "store.sqlite3")
TITLES = ["ｹﾞｰﾑ(Gｷ)", "設定(Sﾄ)...", "ﾍﾙﾌﾟ(Hｵ)"]
ITEMS = ["新規(Nﾐ)", "中断(Pｾ)", "番付(Hｸ)", "終了(Xｻ)", "トピックの検索(Hｸ)", "Pyra3について(Aﾁ)..."]
CELL_NAME = re.compile(r"^(\d+)列目 (\d+)行目 (空き|火|油|水|トラック|立入禁止)$")


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def within(seconds, condition):
    end = time.time() + seconds
    while time.time() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def walk(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from walk(child)


def find(root, role, name=None, shown=True):
    for node in walk(root):
        if node.getRoleName() == role and (name is None or node.name == name):
            if not shown or showing(node):
                return node
    return None


def stored(key):
    with sqlite3.connect(STORE) as db:
        row = db.execute("SELECT value FROM store WHERE key = ?", (key,)).fetchone()
    return row[0] if row else None


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.strip()


def press(node):
    node.queryAction().doAction(0)


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


# A store as a player left it: two people, no demo, no sound, unlimited games.
os.makedirs(os.path.dirname(STORE), exist_ok=True)
with sqlite3.connect(STORE) as db:
    db.execute("CREATE TABLE store(app TEXT NOT NULL, section TEXT NOT NULL, key TEXT NOT NULL,"
               " value TEXT NOT NULL, PRIMARY KEY (app, section, key))")
    for key, value in [("PlayerA", "0"), ("PlayerB", "0"), ("OpeningDemo", "0"),
                       ("FormOfGame", "10"), ("Music", "0"), ("SoundEffect", "0"),
                       ("BitmapStretch", "0"), ("Level", "0")]:
        db.execute("INSERT INTO store VALUES ('Pyra3', 'Pyra3', ?, ?)", (key, value))

game = subprocess.Popen([PROGRAM], stderr=subprocess.DEVNULL)
try:
    def the_app():
        desktop = pyatspi.Registry.getDesktop(0)
        return next((a for a in desktop if a is not None and a.name == "Pyra3"), None)
    app = within(15, the_app) or fail("the program is not on the accessibility bus")
    frame = within(10, lambda: find(app, "frame", "Pyra3")) or fail("no main window on the bus")
    window = within(10, lambda: xdotool("search", "--onlyvisible", "--pid", str(game.pid),
                                        "--name", "^Pyra3$").split("\n")[0]) or fail("no window")

    # --- Menus: every title and item at every width, each title where the bus says ---------
    for cells in (2, 4, 8):
        xdotool("windowsize", "--sync", window, str(cells * 32), "240")
        time.sleep(0.5)
        names = [n.name for n in walk(frame) if n.getRoleName() == "menu item"]
        if sorted(names) != sorted(TITLES + ITEMS):
            fail(f"{cells} cells wide: the menu items on the bus are {names}")
        fx, fy, fw, fh = extents(frame)
        for title in TITLES:
            node = find(frame, "menu item", title)
            if node is None:
                fail(f"{cells} cells wide: {title} is not shown on the bus")
            x, y, w, h = extents(node)
            if w <= 0 or h <= 0 or x < fx or y < fy or x + w > fx + fw or y + h > fy + fh:
                fail(f"{cells} cells wide: {title} at {(x, y, w, h)}, the window {(fx, fy, fw, fh)}")
            if title == TITLES[1]:
                continue  # opens the settings window, below
            # A click where the bus puts the title opens its menu.
            xdotool("mousemove", str(x + w // 2), str(y + h // 2), "click", "1")
            menu = within(3, lambda: next((m for m in node if m is not None and showing(m)), None))
            if menu is None:
                fail(f"{cells} cells wide: a click at {title}'s place on the bus opened nothing")
            # A second click closes it and leaves the keys to the game, as Esc would not.
            xdotool("click", "1")
            within(3, lambda: not showing(menu)) or fail(f"{title}'s menu stays open")
            # A screen reader's action opens it too, and a second one closes it.
            press(node)
            within(3, lambda: showing(menu)) or fail(f"{title}'s action opened nothing")
            press(node)
            within(3, lambda: not showing(menu)) or fail(f"{title}'s action left its menu open")

    # --- Keyboard play: two people; arrows and Return, read through the board's table ------
    xdotool("windowactivate", "--sync", window)
    xdotool("key", "space")
    table = within(5, lambda: find(frame, "table", "盤面")) or fail("no board table on the bus")
    grid = table.queryTable()

    def focused():
        for row in range(grid.nRows):
            for column in range(grid.nColumns):
                cell = grid.getAccessibleAt(row, column)
                if cell.getState().contains(pyatspi.STATE_FOCUSED):
                    return cell
        return None

    def score_boxes():
        # The caption of the side to move starts with ">".
        return [n.name for n in app if n is not None and n.getRoleName() == "filler"
                and n.name not in ("NEXT", "Message")]

    start = within(5, focused) or fail("no focused cell while a person is to move")
    match = CELL_NAME.match(start.name) or fail(f"a cell named {start.name!r}")
    column, row = int(match.group(1)) - 1, int(match.group(2)) - 1
    if (column, row) != (grid.nColumns // 2, grid.nRows // 2):
        fail(f"the focus cell starts at {start.name}, not at the board's centre")
    # The first empty cell, walked to with the arrows.
    target = next(((c, r) for r in range(grid.nRows) for c in range(grid.nColumns)
                   if grid.getAccessibleAt(r, c).name.endswith("空き")), None)
    target or fail("no empty cell on the board")
    keys = ["Left" if target[0] < column else "Right"] * abs(target[0] - column)
    keys += ["Up" if target[1] < row else "Down"] * abs(target[1] - row)
    for key in keys:
        xdotool("key", key)
    at = within(3, lambda: (f := focused()) and CELL_NAME.match(f.name)
                and (int(CELL_NAME.match(f.name).group(1)) - 1,
                     int(CELL_NAME.match(f.name).group(2)) - 1) == target and f)
    at or fail(f"after {keys} the focused cell is {focused() and focused().name}, not {target}")
    if not at.name.endswith("空き"):
        fail(f"the focus cell reads {at.name!r}, not an empty cell")
    walked = at.name

    def board():
        return {(c, r): grid.getAccessibleAt(r, c).name
                for r in range(grid.nRows) for c in range(grid.nColumns)}

    # What a screen reader is told, as it happens.
    told = []
    def hear(event):
        told.append(event.source.name)
    pyatspi.Registry.registerEventListener(hear, "object:property-change:accessible-name")

    def pump():
        while GLib.MainContext.default().iteration(False):
            pass
        return False

    cells_before, before = board(), score_boxes()
    xdotool("key", "Return")
    after = within(3, lambda: pump() or (lambda now: now if now != before else None)(score_boxes()))
    within(1, pump)
    if not (before[0].startswith(">") and after and after[1].startswith(">")):
        fail(f"the turn did not pass to B: score boxes {before}, then {after}")
    # The piece lands on the focus cell and reacts with its neighbours only (it may vanish).
    changed = {cell for cell, name in board().items() if name != cells_before[cell]}
    near = {(target[0] + dc, target[1] + dr) for dc in (-1, 0, 1) for dr in (-1, 0, 1)}
    if not changed or not changed <= near:
        fail(f"Return on {walked} changed {sorted(changed)}")
    now = board()
    unheard = [now[cell] for cell in changed if now[cell] not in told]
    if unheard:
        fail(f"a screen reader was not told of {unheard}; it heard {told}")
    print("played with the keys:", start.name, "->", walked, "; changed", sorted(changed), after)

    # --- Settings: every control changed by its accessibility action ------------------------
    def settings_window():
        return find(app, "dialog", "ゲームの設定")

    press(find(frame, "menu item", TITLES[1]))
    dialog = within(5, settings_window) or fail("the settings window did not open")
    choices = [("panel", "プレーヤーＡ", "radio button", "コンピュータ"),
               ("panel", "ゲーム方式", "radio button", "三番勝負"),
               ("panel", "思考ルーチン", "radio button", "最強")]
    for group_role, group, role, name in choices:
        control = find(find(dialog, group_role, group), role, name)
        press(control)
        if not within(2, lambda: control.getState().contains(pyatspi.STATE_CHECKED)):
            fail(f"{group}/{name} does not show as chosen")
    for name in ("効果音", "音楽", "起動時デモ", "背景の拡大縮小"):
        control = find(dialog, "check box", name) or fail(f"no check box {name}")
        press(control)
        if not within(2, lambda: control.getState().contains(pyatspi.STATE_CHECKED)):
            fail(f"{name} does not show as ticked")
    press(find(dialog, "push button", "OK"))
    # Whatever the program says now, read and answered as a screen reader user would.
    said = []
    while True:
        box = within(3, lambda: next((d for d in walk(app) if d.getRoleName() in ("alert", "dialog")
                                      and d.name != "ゲームの設定" and showing(d)), None))
        if box is None:
            break
        said.append(" ".join(n.name for n in walk(box) if n.getRoleName() == "label").strip())
        press(next(n for n in walk(box) if n.getRoleName() == "push button"))
        within(3, lambda: not showing(box))
    # Without a sound server the sound boxes cannot stay ticked, and the program says so.
    sound = subprocess.run(["pactl", "info"], capture_output=True).returncode == 0
    on = "1" if sound else "0"
    want = {"PlayerA": "1", "FormOfGame": "1", "Level": "1", "SoundEffect": on, "Music": on,
            "OpeningDemo": "1", "BitmapStretch": "1"}
    got = {key: within(3, lambda: stored(key) == value and value) or stored(key)
           for key, value in want.items()}
    if got != want:
        fail(f"stored {got}, not {want}; the program said {said}")
    heard = ["ゲーム方式が三番勝負に変更されました。", "プレーヤー名が変更されました。"]
    if not sound:
        heard += ["現在の環境では効果音を鳴らすことはできません。",
                  "現在の環境では音楽を鳴らすことはできません。"]
    heard.append("三番勝負です。頑張りましょう。")
    if said != heard:
        fail(f"after OK the program said {said}, not {heard}")
    # Opened again, the window shows what the program holds.
    press(find(frame, "menu item", TITLES[1]))
    dialog = within(5, settings_window) or fail("the settings window did not open again")
    for group_role, group, role, name in choices:
        if not find(find(dialog, group_role, group), role, name).getState().contains(
                pyatspi.STATE_CHECKED):
            fail(f"reopened, {group}/{name} is not chosen")
    press(find(dialog, "push button", "OK"))
    print("accessibility: menus, keyboard play and settings all reached over the bus")
finally:
    game.terminate()
    game.wait(30)
