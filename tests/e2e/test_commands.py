"""Commands of the real program through real input: starting the game from a row, the row
menu's clipboard copies, Refresh and Update, the About box, Exit, and the tray menu."""

import collections
import os
import pathlib
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import Session, game_server, middle  # noqa: E402

ALPHA = game_server("127.1.0.5:27910", "Alpha", "pond", players=[(3, 45, "Bob"), (-3, 0, "Amy"), (7, 12, "cy")],
                    info={"Admin": "up", "admin": "low"})
BRAVO = game_server("127.1.0.6:27910", "Bravo", "marsh", players=[(1, 20, "Di")])
# A name with bytes above 127: letters of the ANSI code page, whichever it is.
CHARLIE = game_server("127.1.0.7:27911", "Charlie \xc4\xe6", "delta", players=[(2, 30, "Ed"), (4, 31, "Flo")],
                      max_clients=8)
SERVERS = [ALPHA, BRAVO, CHARLIE]
SW_SHOWNORMAL = 1
VIEWS = ("serverList", "playerList", "infoList")


LISTED = b"".join(server["address"].encode() + b"\n" for server in SERVERS)
REQUEST = b"GET http://master.kestrelforge.net/serverlist.php HTTP/1.0\n\n"


def templist(app):
    return pathlib.Path(app.folder, "templist.txt").read_bytes()


def without_date(response):
    """nginx stamps each response with the time; everything else is the same every time."""
    return b"".join(line for line in response.split(b"\r\n") if not line.startswith(b"Date: "))


def server_point(state, server):
    for row in state["serverList"]["rows"]:
        if row["cells"][4] == server["address"]:
            return harness.row_point(row)
    raise harness.HarnessError("no row for %s" % server["address"])


def details(state):
    return [row["cells"] for row in state["playerList"]["rows"]], [row["cells"] for row in state["infoList"]["rows"]]


def expected_details(server):
    players = [[name, str(score), str(ping)] for score, ping, name in server["players"]]
    # Variables in byte order of their names: upper case before lower case.
    return players, [[key, value] for key, value in sorted(server["info"].items(), key=lambda kv: kv[0].encode())]


def click_menu_item(app, index, count):
    """Clicks item index of an open popup menu of count items of equal height."""
    rect = harness.wait_until(lambda: app.window_of("#32768"), "a popup menu")["rect"]
    app.click((rect["x"] + rect["width"] // 2, rect["y"] + rect["height"] * (2 * index + 1) // (2 * count)))


def query_counts(session):
    return collections.Counter(entry["server"] for entry in session.request("game.log")["log"])


class CommandsTest(unittest.TestCase):
    def test_launch_copy_refresh_update_about_exit(self):
        with Session("commands") as session:
            # The stand-in game where the registry says the game is, in a folder whose name no
            # ANSI code page spells, 200 characters long: a registry read given half the room
            # would lose it.
            game_folder = session.folder("game-\u0418\u0433\u0440\u0430-\u904a\u6232-")
            game_folder = os.path.join(game_folder, "g" * (197 - len(game_folder)))
            os.mkdir(game_folder)
            shutil.copy(harness.env("SB_STANDIN"), os.path.join(game_folder, "tarnwick.exe"))
            install_dir = "z:" + game_folder.replace("/", "\\")
            session.set_install_dir(install_dir)
            # The game's command line: its path in quotes, then the parameters " +connect ...".
            self.run_commands(session, game_folder, install_dir.lower(), '"%s\\tarnwick.exe"' % install_dir.lower())

    def run_commands(self, session, game_folder, install_dir, game):
        # The master sends its list in pieces 1.5 s apart, which the download waits out.
        session.serve(SERVERS)
        response = harness.LIST_HEADER + LISTED
        session.request("master.set", hex=response.hex(), mode="slow", chunk_size=30, interval_ms=1500)
        app = session.start()
        # While that first Update receives, a Refresh and a second Update wait for it: each
        # reads or stores the whole list, and the two downloads do not mix.
        app.wait_for(lambda s: s["visible"] and s["statusBar"]["text"] == "Updating List...", "the first Update")
        app.key("F5", "shift+F5")
        harness.wait_until(lambda: query_counts(session) == {s["address"]: 3 for s in SERVERS}, "three queries each")
        self.assertEqual([entry["raw"] for entry in session.request("master.log")["log"]], [REQUEST.decode()] * 2)
        self.assertEqual(templist(app), response)
        state = app.wait_for(lambda s: len(s["serverList"]["rows"]) == len(SERVERS), "a row per server")

        # With the keyboard alone, from start-up: Down picks the first row and Enter starts
        # the game connected to it, in the install directory.
        first = state["serverList"]["rows"][0]["cells"][4]
        app.key("Down")
        app.key("Return")
        self.assertEqual(harness.launch(game_folder, 1, "the game started by Down and Enter"),
                         (game + "  +connect " + first, install_dir, str(SW_SHOWNORMAL)))

        # A double-click on a row shows its server and starts the game connected to it.
        app.click(server_point(state, ALPHA), repeat=2)
        self.assertEqual(harness.launch(game_folder, 2, "the game started by a double-click")[0],
                         game + "  +connect 127.1.0.5:27910")
        state = app.wait_for(lambda s: details(s) == expected_details(ALPHA), "Alpha's players and variables")
        self.assertEqual(details(state)[1][:2], [["Admin", "up"], ["admin", "low"]])

        # Clicks in the player list and on its header change neither the pane nor the rows,
        # and a double click there starts nothing. Rows come in the order of the list.
        order = [row["cells"] for row in state["serverList"]["rows"]]
        self.assertEqual([row[0] for row in order], ["Alpha", "Bravo", CHARLIE["info"]["hostname"]])
        player = state["playerList"]["rows"][1]["screen"]
        app.click((player["x"] + 20, player["y"] + player["height"] // 2), repeat=2)
        app.click(middle(state["playerList"]["columns"][1]["screen"]))
        self.assertEqual(details(app.state()), expected_details(ALPHA))

        # Enter starts the game for the selected row, wherever the mouse is; the arrow keys
        # move the pane with the selection.
        app.click(server_point(state, BRAVO))
        state = app.wait_for(lambda s: details(s) == expected_details(BRAVO), "Bravo's details")
        self.assertEqual([row["cells"] for row in state["serverList"]["rows"]], order)
        app.key("Down")
        app.wait_for(lambda s: details(s) == expected_details(CHARLIE), "Charlie's details")
        app.key("Up")
        state = app.wait_for(lambda s: details(s) == expected_details(BRAVO), "Bravo's details again")
        session.xdotool("mousemove", *server_point(state, CHARLIE))
        app.key("Return")
        self.assertEqual(harness.launch(game_folder, 3, "the game started by Enter")[0], game + "  +connect 127.1.0.6:27910")

        # A click and a double-click beside the rows empty the pane and start nothing; the
        # next start (Enter again) is the only new one.
        last = state["serverList"]["rows"][-1]["screen"]
        beside = (last["x"] + 40, last["y"] + last["height"] + 20)
        self.assertLess(beside[1], state["serverList"]["screen"]["y"] + state["serverList"]["screen"]["height"] - 5)
        for repeat in (1, 2):
            app.click(beside, repeat=repeat)
            app.wait_for(lambda s: details(s) == ([], []), "the pane emptied by %d clicks beside the rows" % repeat)
            app.click(server_point(state, BRAVO))
            app.wait_for(lambda s: details(s) == expected_details(BRAVO), "Bravo's details again")
        # Filled after being emptied, the pane shows its rows on screen.
        harness.wait_until(lambda: [session.unpainted_rows(app.state(), view) for view in ("playerList", "infoList")]
                           == [[], []], "the pane's rows painted")
        app.key("Return")
        self.assertEqual(harness.launch(game_folder, 4, "the game started by Enter after the clicks beside the rows")[0],
                         game + "  +connect 127.1.0.6:27910")

        # The row menu copies the right-clicked row, not the selected one (Bravo), through the
        # Win32 clipboard to the X clipboard.
        # A Unicode reader gets the name as the ANSI code page reads its bytes.
        state = app.state()
        self.assertEqual(state["acp"], harness.ANSI_CODE_PAGE)
        ping = [row["cells"][3] for row in state["serverList"]["rows"] if row["cells"][4] == CHARLIE["address"]][0]
        name = CHARLIE["info"]["hostname"].encode("latin-1").decode("cp%d" % harness.ANSI_CODE_PAGE)
        charlie = "127.1.0.7:27911 %s %s delta 2 / 8" % (name, ping)
        for key, expected in (("a", "127.1.0.7:27911"), ("u", "tarnwick://127.1.0.7:27911"), ("f", charlie)):
            app.click(server_point(state, CHARLIE), button=3)
            harness.wait_until(lambda: app.window_of("#32768"), "the row menu")
            self.assertEqual(details(app.state()), expected_details(CHARLIE))
            app.key(key)
            harness.wait_until(lambda: not app.window_of("#32768"), "the row menu closed")
            harness.wait_until(lambda: session.clipboard() == expected, "the clipboard: " + expected)
        # One Escape closes a right-click's menu: the next key reaches the list, not a second menu.
        app.click(server_point(state, CHARLIE), button=3)
        harness.wait_until(lambda: app.window_of("#32768"), "the row menu")
        app.key("Escape", "Up")
        app.wait_for(lambda s: details(s) == expected_details(BRAVO), "Bravo picked by Up after the menu")
        # Beside the rows the menu has no row, whatever was selected before: the pane empties.
        app.click(beside, button=3)
        harness.wait_until(lambda: app.window_of("#32768"), "the menu beside the rows")
        self.assertEqual(details(app.state()), ([], []))
        app.key("Escape")

        # From the keyboard alone, with no row selected Shift+F10 opens nothing: Home reaches
        # the list. Tab and F6 take the focus round the three named lists, Shift the other
        # way, and leave the selection and the pane as they are.
        app.key("shift+F10", "Home")
        state = app.wait_for(lambda s: details(s) == expected_details(ALPHA), "Alpha picked by Home")
        self.assertEqual([state[view]["name"] for view in VIEWS], ["Servers", "Players", "Server variables"])
        for keys, order in (("Tab", (1, 2, 0)), ("shift+Tab", (2, 1, 0)), ("F6", (1, 2, 0)), ("shift+F6", (2, 1, 0))):
            for view in order:
                app.key(keys)
                app.wait_for(lambda s: [v for v in VIEWS if s[v]["focused"]] == [VIEWS[view]] and
                             details(s) == expected_details(ALPHA), "the focus on the %s after %s" % (VIEWS[view], keys))
        # Typed first letters pick the next row whose name starts with them; End and Page Up
        # move the selection, and Shift+Down moves it too, without selecting a second row.
        for keys, server in (("c h", CHARLIE), ("a l", ALPHA), ("End", CHARLIE), ("Prior", ALPHA)):
            time.sleep(1.0)  # letters typed a moment apart start a new name
            app.key(*keys.split())
            app.wait_for(lambda s: details(s) == expected_details(server), "the row picked by " + keys)
        app.key("shift+Down")
        app.wait_for(lambda s: s["serverList"]["selected"] == [1] and details(s) == expected_details(BRAVO),
                     "one row selected by Shift+Down")
        app.key("Up")
        app.wait_for(lambda s: details(s) == expected_details(ALPHA), "Alpha picked by Up")
        # Shift+F10 opens the row menu at the selected row, whose address it copies.
        app.key("Down", "shift+F10")
        menu = harness.wait_until(lambda: app.window_of("#32768"), "the row menu from the keyboard")["rect"]
        row = app.wait_for(lambda s: details(s) == expected_details(BRAVO), "Bravo's details")["serverList"]["rows"][1]
        self.assertLess(abs(menu["y"] - row["screen"]["y"] - row["screen"]["height"]), 4)
        app.key("a")
        harness.wait_until(lambda: session.clipboard() == BRAVO["address"], "Bravo's address copied from the keyboard")

        # F5 reads templist.txt again and queries every server anew; Shift+F5 downloads the
        # list again, here from a real HTTP server, and stores its response byte for byte.
        before = query_counts(session)
        app.key("F5")
        app.wait_for(lambda s: s["statusBar"]["text"] == "Refreshing List...", "Refresh announced")
        harness.wait_until(lambda: all(query_counts(session).get(s["address"], 0) > before.get(s["address"], 0)
                                       for s in SERVERS), "every server queried again")
        self.assertEqual(len(session.request("master.log")["log"]), 2)
        session.request("master.nginx", hex=LISTED.hex())
        served = bytes.fromhex(session.request("master.fetch", hex=REQUEST.hex())["hex"])
        app.key("shift+F5")
        app.wait_for(lambda s: s["statusBar"]["text"] == "Updating List...", "Update announced")
        harness.wait_until(lambda: without_date(templist(app)) == without_date(served), "nginx's response stored")
        self.assertTrue(served.startswith(b"HTTP/1.1 200 OK\r\n") and served.endswith(LISTED))
        # A templist.txt that cannot be written or read is reported, here after the List menu's
        # Update and Refresh.
        os.remove(os.path.join(app.folder, "templist.txt"))
        os.mkdir(os.path.join(app.folder, "templist.txt"))
        for item, failure in (("u", "Failed to open temporary list."), ("r", "Failed to open list file.")):
            app.key("alt+l")
            harness.wait_until(lambda: app.window_of("#32768"), "the List menu")
            app.key(item)
            app.wait_for(lambda s: s["statusBar"]["text"] == failure, failure)

        # Alt+/ and Alt+? open the About box; Esc and Enter close it.
        for keys, close in (("alt+slash", "Escape"), ("alt+question", "Return")):
            app.key(keys)
            harness.wait_until(lambda: app.window_of("#32770", ""), "the About box after " + keys)
            app.key(close)
            harness.wait_until(lambda: not app.window_of("#32770", ""), "the About box closed")
        # The keys reach the server list again: Enter starts the selected row's game.
        app.key("Return")
        harness.launch(game_folder, 5, "the game started by Enter after the About box")

        # File > Exit ends the program.
        app.key("alt+f")
        harness.wait_until(lambda: app.window_of("#32768"), "the File menu")
        app.key("x")
        self.assertEqual(app.wait_exit(), 0)

    def test_tray_menu(self):
        with Session("commands-tray") as session:
            session.set_install_dir("c:\\games\\tarnwick")
            session.serve(SERVERS[:1])
            app = session.start()
            app.wait_for(lambda s: len(s["serverList"]["rows"]) == 1, "the server's row")

            def click_icon(button):
                app.click(middle(harness.wait_until(session.tray_icons, "the tray icon")[0]["rect"]), button=button)

            # Minimised, the window hides behind its tray icon, not in the taskbar. Moving over
            # the icon does nothing; a left click shows the window.
            app.minimize()
            self.assertFalse(app.state()["iconic"])
            icon = session.tray_icons()[0]["rect"]
            session.xdotool("mousemove", icon["x"] + 2, icon["y"] + 2)
            self.assertFalse(app.state()["visible"])
            click_icon(1)
            app.wait_for(lambda s: s["visible"], "the window shown by a left click")
            # Back from the tray, the keys reach the server list at once.
            app.key("Down")
            app.wait_for(lambda s: len(s["playerList"]["rows"]) == len(ALPHA["players"]), "the row picked by Down")

            # The right button opens the tray menu (Exit, Restore) at the cursor. The keyboard
            # stays with the tray window, which belongs to another process, so the items are
            # chosen with the mouse. Restore shows the window.
            app.minimize()
            click_icon(3)
            click_menu_item(app, 1, 2)
            app.wait_for(lambda s: s["visible"], "the window restored from the tray menu")

            # Started again while it hides in the tray, and while it shows: the running copy
            # comes back, and the new start ends at once with no window, icon or download.
            for hidden in (True, False):
                if hidden:
                    app.minimize()
                again = harness.App(session, app.folder, [harness.env("SB_EXE")])
                session.apps.append(again)
                self.assertEqual(again.process.wait(harness.TIMEOUT), 0)
                app.wait_for(lambda s: s["visible"] and not s["iconic"], "the running copy shown")
                self.assertEqual([w["class"] for w in session.probe("windows")["windows"]].count("SERVERBROWSER"), 1)
                self.assertEqual((len(session.tray_icons()), len(session.request("master.log")["log"])), (1, 1))

            # A Refresh while the window hides in the tray measures true pings, and the pane
            # shows its server's new players without a click.
            session.request("game.add", servers=[dict(ALPHA, delay_ms=300, players=[(7, 70, "Zed")])])
            before = query_counts(session)[ALPHA["address"]]
            app.key("F5")
            app.minimize()
            ping = lambda s: int(s["serverList"]["rows"][0]["cells"][3])
            state = app.wait_for(lambda s: not s["visible"] and query_counts(session)[ALPHA["address"]] > before
                                 and ping(s) >= 300 and details(s)[0] == [["Zed", "7", "70"]], "the hidden Refresh")
            self.assertLess(ping(state), 1000)

            # A click elsewhere closes the tray menu without a command.
            click_icon(3)
            harness.wait_until(lambda: app.window_of("#32768"), "the tray menu")
            app.click((600, 700))
            harness.wait_until(lambda: not app.window_of("#32768"), "the tray menu closed by a click elsewhere")
            self.assertFalse(app.state()["visible"])

            # Exit from the tray menu ends the program.
            click_icon(3)
            click_menu_item(app, 0, 2)
            self.assertEqual(app.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
