"""Commands of the real program through real input: starting the game from a row, the row
menu's clipboard copies, Refresh and Update, the About box, Exit, and the tray menu."""

import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import Session, game_server  # noqa: E402

NAME, MAP, PLAYERS, PING, ADDRESS = range(5)

ALPHA = game_server("127.1.0.5:27910", "Alpha", "pond", players=[(3, 45, "Bob"), (-3, 0, "Amy"), (7, 12, "cy")],
                    info={"Admin": "up", "admin": "low"})
BRAVO = game_server("127.1.0.6:27910", "Bravo", "marsh", players=[(1, 20, "Di")])
CHARLIE = game_server("127.1.0.7:27911", "Charlie", "delta", players=[(2, 30, "Ed"), (4, 31, "Flo")], max_clients=8)
SERVERS = [ALPHA, BRAVO, CHARLIE]

# The game's install directory inside the Wine prefix, as the registry names it.
INSTALL_DIR = "c:\\games\\tarnwick"
ROW_MENU_KEYS = {"a": "%(address)s", "u": "tarnwick://%(address)s",
                 "f": "%(address)s %(name)s %(ping)s %(map)s %(players)s"}


def install_standin(session):
    """Puts the stand-in tarnwick.exe where the registry says the game is; returns the folder."""
    folder = os.path.join(session.env["WINEPREFIX"], "drive_c", "games", "tarnwick")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(harness.require_env("SB_STANDIN"), os.path.join(folder, "tarnwick.exe"))
    session.set_install_dir(INSTALL_DIR)
    return folder


def launches(folder):
    """Each start of the stand-in as (command line, parameters, working directory)."""
    try:
        with open(os.path.join(folder, "launches.log"), encoding="latin-1") as log:
            return [tuple(line.rstrip("\n").split("\t")) for line in log if line.strip()]
    except FileNotFoundError:
        return []


def row_point(state, address):
    for row in state["serverList"]["rows"]:
        if row["cells"][ADDRESS] == address:
            rect = row["screen"]
            return rect["x"] + 40, rect["y"] + rect["height"] // 2
    raise harness.HarnessError("no row for %s" % address)


def below_rows_point(state):
    """A point in the server list under its last row."""
    rows = state["serverList"]["rows"]
    last = rows[-1]["screen"]
    view = state["serverList"]["screen"]
    y = last["y"] + last["height"] + 20
    assert y < view["y"] + view["height"] - 5, "the server list has no room below its rows"
    return view["x"] + 40, y


def details(state):
    players = [row["cells"] for row in state["playerList"]["rows"]]
    variables = [row["cells"] for row in state["infoList"]["rows"]]
    return players, variables


def expected_details(server):
    players = [[name, str(score), str(ping)] for score, ping, name in server["players"]]
    # Variables in byte order of their names: upper case before lower case.
    variables = [[key, value] for key, value in sorted(server["info"].items(), key=lambda kv: kv[0].encode())]
    return players, variables


def click_menu_item(app, index, count):
    """Clicks item index of an open popup menu of count items of equal height."""
    menu = harness.wait_until(lambda: app.window_of("#32768"), "a popup menu")
    rect = menu["rect"]
    app.click(rect["x"] + rect["width"] // 2, rect["y"] + rect["height"] * (2 * index + 1) // (2 * count))


def x_clipboard(session):
    completed = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=session.env, capture_output=True,
                               timeout=30)
    return completed.stdout.decode("latin-1") if completed.returncode == 0 else None


def query_counts(session):
    counts = {}
    for entry in session.request("game.log")["log"]:
        counts[entry["server"]] = counts.get(entry["server"], 0) + 1
    return counts


class CommandsTest(unittest.TestCase):
    def test_launch_copy_refresh_update_about_exit(self):
        with Session("commands") as session:
            game_folder = install_standin(session)
            try:
                self.run_commands(session, game_folder)
            finally:
                shutil.rmtree(game_folder, ignore_errors=True)

    def run_commands(self, session, game_folder):
        session.serve(SERVERS)
        app = session.start()
        state = app.wait_for(lambda s: len(s["serverList"]["rows"]) == len(SERVERS), "a row per server")

        # A double-click on a row shows its server and starts the game connected to it, in
        # the install directory.
        app.click(*row_point(state, ALPHA["address"]), repeat=2)
        started = harness.wait_until(lambda: launches(game_folder), "the game started by a double-click")
        self.assertEqual(len(started), 1)
        command_line, parameters, directory = started[0]
        self.assertEqual(parameters, " +connect 127.1.0.5:27910")
        self.assertEqual(command_line.lower(), '"c:\\games\\tarnwick\\tarnwick.exe"  +connect 127.1.0.5:27910')
        self.assertEqual(directory.lower(), INSTALL_DIR)
        state = app.wait_for(lambda s: details(s) == expected_details(ALPHA), "Alpha's players and variables")
        self.assertEqual(details(state)[1][:2], [["Admin", "up"], ["admin", "low"]])
        session.screenshot("double-click")

        # Enter starts the game for the selected row, wherever the mouse is.
        app.click(*row_point(state, BRAVO["address"]))
        state = app.wait_for(lambda s: details(s) == expected_details(BRAVO), "Bravo's details")
        session.xdotool("mousemove", *row_point(state, CHARLIE["address"]))
        app.key("Return")
        started = harness.wait_until(lambda: len(launches(game_folder)) == 2 and launches(game_folder),
                                     "the game started by Enter")
        self.assertEqual(started[1][1], " +connect 127.1.0.6:27910")

        # A click and a double-click beside the rows empty the pane and start nothing; the
        # next start (Enter again) is the only new one.
        app.click(*below_rows_point(state))
        state = app.wait_for(lambda s: details(s) == ([], []), "the pane emptied by a click beside the rows")
        app.click(*row_point(state, BRAVO["address"]))
        app.wait_for(lambda s: details(s) == expected_details(BRAVO), "Bravo's details again")
        app.click(*below_rows_point(state), repeat=2)
        app.wait_for(lambda s: details(s) == ([], []), "the pane emptied by a double-click beside the rows")
        app.click(*row_point(state, BRAVO["address"]))
        app.key("Return")
        started = harness.wait_until(lambda: len(launches(game_folder)) >= 3 and launches(game_folder),
                                     "the game started by Enter after the clicks beside the rows")
        self.assertEqual([launch[1] for launch in started[2:]], [" +connect 127.1.0.6:27910"])

        # The row menu copies the right-clicked row, not the selected one (Bravo).
        state = app.state()
        charlie = {row["cells"][ADDRESS]: row["cells"] for row in state["serverList"]["rows"]}[CHARLIE["address"]]
        fields = {"address": charlie[ADDRESS], "name": charlie[NAME], "ping": charlie[PING], "map": charlie[MAP],
                  "players": charlie[PLAYERS]}
        self.assertEqual(charlie[PLAYERS], "2 / 8")
        for key, template in ROW_MENU_KEYS.items():
            app.click(*row_point(state, CHARLIE["address"]), button=3)
            harness.wait_until(lambda: app.window_of("#32768"), "the row menu")
            self.assertEqual(details(app.state()), expected_details(CHARLIE))
            if key == "f":
                session.screenshot("row-menu")
            app.key(key)
            harness.wait_until(lambda: not app.window_of("#32768"), "the row menu closed")
            expected = template % fields
            harness.wait_until(lambda: session.probe("clipboard")["text"] == expected, "the clipboard: " + expected)
            self.assertEqual(x_clipboard(session), expected)

        # F5 reads templist.txt again and queries every server anew.
        before = query_counts(session)
        app.key("F5")
        app.wait_for(lambda s: s["statusBar"]["text"] == "Refreshing List...", "Refresh announced")
        harness.wait_until(lambda: all(query_counts(session).get(s["address"], 0) > before.get(s["address"], 0)
                                       for s in SERVERS), "every server queried again")
        self.assertEqual(len(session.request("master.log")["log"]), 1)

        # Shift+F5 downloads the list again.
        app.key("shift+F5")
        app.wait_for(lambda s: s["statusBar"]["text"] == "Updating List...", "Update announced")
        harness.wait_until(lambda: len(session.request("master.log")["log"]) == 2, "a second download")

        # Alt+/ and Alt+? open the About box; OK, Enter and Esc close it.
        for keys, close in (("alt+slash", None), ("alt+question", "Return"), ("alt+slash", "Escape")):
            app.key(keys)
            box = harness.wait_until(lambda: app.window_of("#32770", ""), "the About box after " + keys)
            if close is None:
                session.screenshot("about")
                app.click_child(box, "OK")
            else:
                app.key(close)
            harness.wait_until(lambda: not app.window_of("#32770", ""), "the About box closed")

        # File > Exit ends the program and removes its tray icon.
        self.assertEqual(len(session.tray_icons()), 1)
        app.focus()
        app.key("alt+f")
        harness.wait_until(lambda: app.window_of("#32768"), "the File menu")
        app.key("x")
        self.assertEqual(app.wait_exit(), 0)
        self.assertEqual(session.tray_icons(), [])

    def test_tray_menu(self):
        with Session("commands-tray") as session:
            session.set_install_dir(INSTALL_DIR)
            session.serve(SERVERS[:1])
            app = session.start()
            state = app.wait_for(lambda s: len(s["serverList"]["rows"]) == 1, "the server's row")

            def hide():
                button = app.state()["minimizeButton"]
                app.click(button["x"], button["y"])
                app.wait_for(lambda s: not s["visible"], "the window hidden")

            last_icon_click = [0.0]

            def click_icon(button):
                """One click on the tray icon; a quick second one would make a double click."""
                icons = harness.wait_until(session.tray_icons, "the tray icon")
                rect = icons[0]["rect"]
                time.sleep(max(0.0, last_icon_click[0] + harness.DOUBLE_CLICK_SECONDS - time.monotonic()))
                app.click(rect["x"] + rect["width"] // 2, rect["y"] + rect["height"] // 2, button=button)
                last_icon_click[0] = time.monotonic()

            # Moving over the icon does nothing; a left click shows the window.
            hide()
            icon = session.tray_icons()[0]["rect"]
            session.xdotool("mousemove", icon["x"] + 2, icon["y"] + 2)
            self.assertFalse(app.state()["visible"])
            click_icon(1)
            app.wait_for(lambda s: s["visible"], "the window shown by a left click")

            # The right button opens the tray menu (Exit, Restore) at the cursor. The keyboard
            # stays with the tray window, which belongs to another process, so the items are
            # chosen with the mouse. Restore shows the window.
            hide()
            click_icon(3)
            harness.wait_until(lambda: app.window_of("#32768"), "the tray menu")
            session.screenshot("tray-menu")
            click_menu_item(app, 1, 2)
            app.wait_for(lambda s: s["visible"], "the window restored from the tray menu")

            # A click elsewhere closes the tray menu without a command.
            hide()
            click_icon(3)
            harness.wait_until(lambda: app.window_of("#32768"), "the tray menu")
            app.click(600, 700)
            harness.wait_until(lambda: not app.window_of("#32768"), "the tray menu closed by a click elsewhere")
            self.assertFalse(app.state()["visible"])

            # Exit from the tray menu ends the program and removes the icon.
            click_icon(3)
            click_menu_item(app, 0, 2)
            self.assertEqual(app.wait_exit(), 0)
            self.assertEqual(session.tray_icons(), [])


if __name__ == "__main__":
    harness.run_isolated()
    unittest.main()
