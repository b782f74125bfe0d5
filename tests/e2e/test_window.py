"""The main window of the real program: start-up texts, rows for answering servers, header
clicks sorting each column in its own direction, the tray icon after a taskbar restart and
closing."""

import os
import shutil
import statistics
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import Session, check_layout, game_server, middle, row_point  # noqa: E402

NAME, MAP, PLAYERS, PING, ADDRESS = range(5)
LIST_REFRESH = 32772  # the List menu's Refresh

# Names that differ in case and punctuation, player counts whose text order differs from
# their number order, and addresses whose text order differs from their number order.
SERVERS = [
    game_server("127.1.0.2:27910", "alpha", "pond", players=[(3, 40, "Ann"), (1, 50, "Bo")] * 4, max_clients=16),
    game_server("127.1.0.10:27910", "Bravo", "Marsh", players=[(5, 30, "Cy")] * 12, max_clients=16),
    game_server("127.1.0.3:27911", "charlie", "delta", players=[], max_clients=8, delay_ms=120),
    game_server("127.1.0.4:27910", "_underscore", "Zenith", players=[(0, 0, "Di")] * 2, max_clients=4, delay_ms=60),
    game_server("127.1.0.25:27910", "Echo", "[bracket]", players=[(9, 99, "Ed%d" % i) for i in range(30)], max_clients=32),
]
ECHO = SERVERS[-1]
# Listed by name only: its row has the address its replies come from.
LOCAL = game_server("127.0.0.1:27912", "local", "home")
# No row: one never answers, one answers from another port.
UNSHOWN = [{"address": "127.1.0.9:27910", "silent": True},
           game_server("127.1.0.8:27910", "Wrong port", reply_from="127.1.0.8:0")]
HEADER = b"\xff\xff\xff\xffprint\n"
# A first pass long enough (18 s) to scroll, restore and resize the window while rows come.
PASS = [game_server("127.3.%d.%d:27910" % (i // 200, i % 200 + 1), "pass %d" % i) for i in range(600)]
# Enough servers that rows keep coming for seconds while the window is used.
BURST = [game_server("127.2.%d.%d:27910" % (i // 200, i % 200 + 1), "burst %d" % i, "map%d" % (i % 7),
                     players=[(1, 1, "p")] * (i % 5)) for i in range(350)]


def fold(cell):
    """The program's text order: A-Z folded to a-z, bytes compared unsigned, 63 at most."""
    return cell.encode("latin-1")[:63].lower()


def number(cell):
    return int(cell.split(" ")[0])


def query_gaps(log):
    """The times in ms between one query and the next of a pass, from the world's log."""
    times = sorted(entry["t"] for entry in log)
    return [later - earlier for earlier, later in zip(times, times[1:])]


def rows(state):
    return [row["cells"] for row in state["serverList"]["rows"]]


class MainWindowTest(unittest.TestCase):
    def test_rows_sorting_tray_and_close(self):
        with Session("window") as session:
            session.set_install_dir("c:\\games\\tarnwick")
            session.request("game.add", servers=[LOCAL])
            session.serve(SERVERS + UNSHOWN, unlisted=["localhost:27912", "nosuchhost.invalid"])
            app = session.start()

            # The unresolvable entry leaves its failure in the status bar.
            state = app.wait_for(lambda s: len(s["serverList"]["rows"]) == len(SERVERS) + 1
                                 and s["statusBar"]["text"] == "Failed to resolve hostname.",
                                 "a row per answering server")
            check_layout(self, state)
            self.assertEqual([[column["width"] for column in state[view]["columns"][:-1]]
                              for view in ("serverList", "playerList", "infoList")], [[300, 80, 50, 40], [200, 60], [100]])
            # Every row is on screen too, not only in the list.
            harness.wait_until(lambda: session.unpainted_rows(app.state(), "serverList") == [], "every row painted")
            frame = app.window_of("SERVERBROWSER", "serverbrowser")["rect"]
            self.assertEqual((frame["x"], frame["y"], frame["width"], frame["height"]), (100, 100, 700, 400))
            shown = {row[ADDRESS]: row for row in rows(state)}
            for server in SERVERS + [LOCAL]:
                info, row = server["info"], shown[server["address"]]
                self.assertEqual(row[:PING], [info["hostname"], info["mapname"],
                                              "%d / %s" % (len(server["players"]), info["maxclients"])])
                self.assertGreaterEqual(int(row[PING]), server.get("delay_ms", 0))
            self.check_datagrams(session, app)
            # Resized, as Windows does when the window moves to another screen of its DPI.
            for width, height in ((601, 301), (900, 640)):
                session.probe("dpi", 96, frame["x"], frame["y"], width + frame["width"] - state["client"]["width"],
                              height + frame["height"] - state["client"]["height"])
                check_layout(self, app.wait_for(lambda s: (s["client"]["width"], s["client"]["height"]) == (
                    width, height), "a client area of %d x %d" % (width, height)))

            # Each header keeps its own direction: the first click sorts ascending, but
            # Players starts with the fullest servers; a second click reverses. The selection,
            # the focus and the selection mark stay on the picked server, and so does the pane.
            app.click(row_point([row for row in app.state()["serverList"]["rows"] if row["cells"][NAME] == "Bravo"][0]))
            app.wait_for(lambda s: len(s["playerList"]["rows"]) == 12, "Bravo's players")
            for column, ascending, key in [(MAP, True, fold), (PLAYERS, False, number), (MAP, False, fold),
                                           (NAME, True, fold), (NAME, False, fold), (PLAYERS, True, number),
                                           (PING, True, number), (PING, False, number), (ADDRESS, True, fold),
                                           (ADDRESS, False, fold)]:
                app.click(middle(app.state()["serverList"]["columns"][column]["screen"]))
                state = app.wait_for(lambda s: [key(row[column]) for row in rows(s)] == sorted(
                    (key(row[column]) for row in rows(s)), reverse=not ascending),
                    "rows sorted by column %d %s" % (column, "ascending" if ascending else "descending"))
                picked = [state["serverList"]["rows"][row]["cells"][NAME] for row in (
                    state["serverList"]["selected"] + [state["serverList"]["focusedRow"], state["serverList"]["mark"]])]
                self.assertEqual((picked, len(state["playerList"]["rows"])), (["Bravo"] * 3, 12))
            # A pane with a scroll bar still has its last columns stretched to the edge.
            app.click(row_point([row for row in app.state()["serverList"]["rows"] if row["cells"][NAME] == "Echo"][0]))
            check_layout(self, app.wait_for(lambda s: len(s["playerList"]["rows"]) == 30, "Echo's players"))
            # The keyboard keeps its place when the pane's server answers again: Tab into the
            # players, End to the last one (the list scrolls); Echo's next reply brings a player
            # who joined at the top, and the same player is still selected, in the focused list,
            # scrolled as it was.
            app.key("Tab", "End")
            players = app.wait_for(lambda s: s["playerList"]["focused"] and s["playerList"]["selected"] == [29]
                                   and s["playerList"]["top"] > 0, "the last player picked")["playerList"]
            session.request("game.add", servers=[dict(ECHO, players=[[0, 5, "Al"]] + ECHO["players"])])
            app.key("F5")
            refilled = app.wait_for(lambda s: len(s["playerList"]["rows"]) == 31, "the pane refilled")["playerList"]
            self.assertEqual((refilled["focused"], refilled["selected"], refilled["top"]), (True, [30], players["top"]))
            self.assertEqual(refilled["rows"][30]["cells"][0], "Ed29")

            # When Explorer restarts, every tray icon is gone until its program adds it again.
            # Alt+F4 ends the program.
            self.assertTrue(session.probe("taskbar-restart")["removed"])
            harness.wait_until(lambda: len(session.tray_icons()) == 1, "the tray icon back after the taskbar's restart")
            app.key("alt+F4")
            self.assertEqual(app.wait_exit(), 0)

    def test_ready_before_the_first_update(self):
        with Session("window-start") as session:
            # Without the game's registry keys, start-up stops at its message box before the
            # first Update, so the status bar's first text can be seen. The game is then looked
            # for in its default folder.
            session.set_install_dir(None)
            game_folder = os.path.join(session.env["WINEPREFIX"], "drive_c", "games", "tarnwick")
            shutil.rmtree(game_folder, ignore_errors=True)
            os.makedirs(game_folder)
            shutil.copy(harness.env("SB_STANDIN"), os.path.join(game_folder, "tarnwick.exe"))
            session.serve(SERVERS[:2] + BURST)
            app = session.start()
            harness.wait_until(lambda: app.window_of("#32770", "Tarnwick Server Browser Error"), "the message box")
            self.assertIn("Tarnwick installation directory not found.",
                          [window["title"] for window in session.probe("windows")["windows"]])
            state = app.state()
            self.assertTrue(state["visible"])
            self.assertEqual(state["statusBar"]["text"], "Ready.")
            self.assertEqual(state["serverList"]["rows"], [])
            app.key("Return")
            state = app.wait_for(lambda s: s["statusBar"]["text"] == "Updating List..."
                                 and len(s["serverList"]["rows"]) >= 2, "the first Update's rows")
            app.key("F5")
            self.use_while_rows_come(session, app, state)
            app.key("Return")
            self.assertEqual(harness.launch(game_folder, 1, "the game started")[1], "c:\\games\\tarnwick")

    def test_rows_on_screen_while_they_come(self):
        """While a first pass brings rows, every row in view is on screen 150 ms after each
        step of a drag of the scroll bar's thumb, a restore from the tray and a resize. Once
        the pass is over, no thread of the program wakes, shown or hidden."""
        with Session("window-painted") as session:
            session.set_install_dir("c:\\games\\tarnwick")
            session.serve(PASS)
            app = session.start()
            box = app.wait_for(lambda s: len(s["serverList"]["rows"]) >= 60, "rows below the view")["serverList"]["screen"]

            def painted(what):
                time.sleep(0.15)
                capture = session.capture(box)
                self.assertEqual(session.unpainted_rows(app.state("in-view"), "serverList", capture), [], what)

            thumb = middle(app.state()["serverList"]["thumb"])
            session.xdotool("mousemove", *thumb, "mousedown", 1)
            for step in range(1, 6):
                session.xdotool("mousemove", thumb[0], thumb[1] + 3 * step)
                painted("the rows in view after step %d of the thumb" % step)
            session.xdotool("mouseup", 1)
            self.assertGreater(app.state("in-view")["serverList"]["top"], 0)
            app.minimize()
            app.click(middle(harness.wait_until(session.tray_icons, "the tray icon")[0]["rect"]))
            harness.wait_until(lambda: app.state("in-view")["visible"], "the window back from the tray")
            painted("the rows in view after a restore from the tray")
            frame = app.window_of("SERVERBROWSER", "serverbrowser")["rect"]
            session.probe("dpi", 96, frame["x"], frame["y"], frame["width"] + 40, frame["height"] + 60)
            shorter = box["height"]
            box = harness.wait_until(lambda: [b for b in [app.state("in-view")["serverList"]["screen"]]
                                              if b["height"] > shorter], "a taller window")[0]
            painted("the rows in view after a resize")
            self.assertLess(app.state("in-view")["serverList"]["count"], len(PASS), "the pass was over too soon")

            app.wait_for(lambda s: len(s["serverList"]["rows"]) == len(PASS), "the end of the pass")
            time.sleep(1.0)
            self.assertEqual(harness.wakeups(2.0), {}, "threads woken while shown")
            app.minimize()
            self.assertEqual(harness.wakeups(2.0), {}, "threads woken while hidden")

    def test_channel_port_without_a_list(self):
        # No master and no list file, so no query is ever sent: the query channel still has
        # its port, without which Windows fails every wait of the receiver on it.
        with Session("window-unlisted") as session:
            session.set_install_dir("c:\\games\\tarnwick")
            app = session.start()
            app.wait_for(lambda s: s["statusBar"]["text"] not in ("Ready.", "Updating List..."), "the failed Update")
            with open("/proc/net/udp") as table:
                bound = [line.split()[1] for line in table.readlines()[1:]]
            self.assertTrue([a for a in bound if a.startswith("00000000:") and a != "00000000:0000"], bound)

    def use_while_rows_come(self, session, app, state):
        """A header click, a right-click and a click while new rows keep coming; then, after a
        Refresh of the sorted rows, every row still shows its own server's texts. A Refresh
        (F5 above) runs beside the Update meanwhile."""
        servers = {server["address"]: server for server in SERVERS[:2] + BURST}
        # While new rows keep coming, the rows that have been in the list for a second are on
        # the screen too.
        time.sleep(1.0)
        listed = [row["cells"][ADDRESS] for row in state["serverList"]["rows"]]
        self.assertEqual([r for r in session.unpainted_rows(app.state(), "serverList") if r[ADDRESS] in listed], [])
        app.click(middle(state["serverList"]["columns"][PLAYERS]["screen"]))
        state = app.state()
        self.assertLess(len(state["serverList"]["rows"]), len(servers), "the burst was over too soon")
        first = state["serverList"]["rows"][0]
        first_point = row_point(first)
        app.click(first_point, button=3)
        harness.wait_until(lambda: app.window_of("#32768"), "the row menu during the burst")
        app.key("a")
        harness.wait_until(lambda: session.clipboard() == first["cells"][ADDRESS],
                           "the right-clicked row's address")
        app.click(first_point)
        expected = [[name, str(score), str(ping)] for score, ping, name in servers[first["cells"][ADDRESS]]["players"]]
        app.wait_for(lambda s: [r["cells"] for r in s["playerList"]["rows"]] == expected, "the clicked row's players")
        # Rows made after the sort came at the bottom, in the order of their replies.
        sorted_count = len(state["serverList"]["rows"])
        # More rows than fit: the Address column gives the vertical scroll bar its room.
        state = app.wait_for(lambda s: len(s["serverList"]["rows"]) == len(servers) and not s["serverList"]["hscroll"],
                             "every row, and no horizontal scroll bar")
        order = [server["address"] for server in SERVERS[:2] + BURST]
        later = [row[ADDRESS] for row in rows(state)[sorted_count:]]
        self.assertEqual(later, sorted(later, key=order.index))
        # The Update's queries came at least 30 ms apart, and the Refresh did not wait for them:
        # the first server's second query came before the last server's first.
        log = session.request("game.log")["log"]
        times = [[entry["t"] for entry in log if entry["server"] == address] for address in order]
        self.assertGreaterEqual(times[-1][0] - times[0][0], 29 * (len(order) - 1))
        self.assertLess(times[0][1], times[-1][0])

        # Sorted by map, then refreshed with new names and maps: every row keeps its place and
        # its first name, and shows its own server's new texts.
        app.click(middle(state["serverList"]["columns"][MAP]["screen"]))
        state = app.wait_for(lambda s: [fold(r[MAP]) for r in rows(s)] == sorted(fold(r[MAP]) for r in rows(s)),
                             "sorted by map")
        for server in BURST:
            server["info"] = dict(server["info"], mapname=server["info"]["mapname"] + "x")
        session.request("game.add", servers=[dict(server, info=dict(server["info"], hostname="renamed"))
                                             for server in BURST])
        before = len(session.request("game.log")["log"])
        app.key("F5")
        harness.wait_until(lambda: len(session.request("game.log")["log"]) >= before + len(servers), "the Refresh")
        refreshed = app.wait_for(lambda s: all(r[MAP].endswith("x") for r in rows(s) if r[NAME].startswith("burst")),
                                 "the new maps")
        self.assertEqual([row[ADDRESS] for row in rows(refreshed)], [row[ADDRESS] for row in rows(state)])
        # Pings count from the newest query, seconds after the first ones.
        self.assertLess(max(number(row[PING]) for row in rows(refreshed) if row[NAME].startswith("burst")), 2000)
        for row in rows(refreshed):
            info = servers[row[ADDRESS]]["info"]
            self.assertEqual(row[:PLAYERS + 1], [info["hostname"], info["mapname"], "%d / %s" % (
                len(servers[row[ADDRESS]]["players"]), info["maxclients"])])

        # Hidden in the tray (where Windows may coarsen a process's timers), a Refresh is paced
        # as the one before it was, shown: its queries at least 30 ms apart, and no further.
        shown = query_gaps(session.request("game.log")["log"][before:])
        app.minimize()
        before = len(session.request("game.log")["log"])
        session.probe("command", LIST_REFRESH)
        harness.wait_until(lambda: len(session.request("game.log")["log"]) >= before + len(servers), "the hidden Refresh")
        hidden = query_gaps(session.request("game.log")["log"][before:])
        self.assertFalse(app.state()["visible"])
        self.assertGreaterEqual(sum(hidden), 29 * len(hidden))
        self.assertLessEqual(statistics.median(hidden), statistics.median(shown) + 3)
        app.click(middle(harness.wait_until(session.tray_icons, "the tray icon")[0]["rect"]))
        app.wait_for(lambda s: s["visible"], "the window back from the tray")

    def check_datagrams(self, session, app):
        """Only whole replies from a queried address and port count: a stranger's, a short one
        after it and one larger than the receive buffer change nothing; one that fills the
        buffer exactly is taken whole."""
        alpha = SERVERS[0]["address"]
        channel = session.request("game.log", address=alpha)["log"][0]["from"]
        full = HEADER + b"\\mapname\\full\\pad\\"
        for source, datagram in [("127.1.0.99:27910", HEADER + b"\\maxclients\\77\n"), (alpha, b""),
                                 (alpha, HEADER[:4]), (alpha, HEADER + b"\\maxclients\\99\\pad\\" + b"p" * 1500),
                                 (alpha, full + b"f" * (1024 - len(full)))]:
            session.request("game.send", **{"from": source, "to": channel, "hex": datagram.hex()})
        # The private row message from another process carries nothing the window takes.
        self.assertTrue(session.probe("row-message")["sent"])
        state = app.wait_for(lambda s: any(r[ADDRESS] == alpha and r[MAP] == "full" for r in rows(s)), "the full reply")
        # A reply replaces the players and keeps the variables it does not name.
        self.assertIn(["alpha", "full", "0 / 16"], [r[:PING] for r in rows(state)])
        self.assertEqual(sorted(r[ADDRESS] for r in rows(state)), sorted(s["address"] for s in SERVERS + [LOCAL]))


if __name__ == "__main__":
    unittest.main()
