"""The main window of the real program: start-up texts, rows for answering servers, header
clicks sorting each column in its own direction, minimising to the tray and closing."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import Session, game_server  # noqa: E402

NAME, MAP, PLAYERS, PING, ADDRESS = range(5)

# Names that differ in case and punctuation, player counts whose text order differs from
# their number order, and addresses whose text order differs from their number order.
SERVERS = [
    game_server("127.1.0.2:27910", "alpha", "pond", players=[(3, 40, "Ann"), (1, 50, "Bo")] * 4, max_clients=16),
    game_server("127.1.0.10:27910", "Bravo", "Marsh", players=[(5, 30, "Cy")] * 12, max_clients=16),
    game_server("127.1.0.3:27911", "charlie", "delta", players=[], max_clients=8, delay_ms=120),
    game_server("127.1.0.4:27910", "_underscore", "Zenith", players=[(0, 0, "Di")] * 2, max_clients=4, delay_ms=60),
    game_server("127.1.0.25:27910", "Echo", "[bracket]", players=[(9, 99, "Ed")] * 30, max_clients=32),
]
SILENT = {"address": "127.1.0.9:27910", "silent": True}
UNRESOLVABLE = "nosuchhost.invalid"


def fold(cell):
    """The program's text order: A-Z folded to a-z, bytes compared unsigned, 63 at most."""
    return harness.text(cell)[:63].lower()


def number(cell):
    digits = cell.strip().split(" ")[0]
    return int(digits) if digits.lstrip("-").isdigit() else 0


def column_sorted(rows, column, ascending, key):
    values = [key(row[column]) for row in rows]
    return values == sorted(values, reverse=not ascending)


class MainWindowTest(unittest.TestCase):
    def test_rows_sorting_tray_and_close(self):
        with Session("window") as session:
            session.set_install_dir("c:\\games\\tarnwick")
            session.serve(SERVERS + [SILENT], unlisted=[UNRESOLVABLE])
            app = session.start()

            # The unresolvable entry leaves its failure in the status bar.
            state = app.wait_for(lambda s: len(s["serverList"]["rows"]) == len(SERVERS)
                                 and s["statusBar"]["text"] == "Failed to resolve hostname.",
                                 "a row per answering server")
            self.check_layout(state)
            shown = {row[ADDRESS]: row for row in app.rows(state)}
            for server in SERVERS:
                info = server["info"]
                row = shown[server["address"]]
                self.assertEqual(row[NAME], info["hostname"])
                self.assertEqual(row[MAP], info["mapname"])
                self.assertEqual(row[PLAYERS], "%d / %s" % (len(server["players"]), info["maxclients"]))
                self.assertGreaterEqual(int(row[PING]), server.get("delay_ms", 0))
            self.assertNotIn(SILENT["address"], shown)
            session.screenshot("rows")

            # Each header keeps its own direction: the first click sorts ascending, but
            # Players starts with the fullest servers; a second click reverses.
            expectations = [
                (MAP, True, fold), (PLAYERS, False, number), (MAP, False, fold),
                (NAME, True, fold), (NAME, False, fold), (PLAYERS, True, number),
                (PING, True, number), (PING, False, number), (ADDRESS, True, fold), (ADDRESS, False, fold),
            ]
            for column, ascending, key in expectations:
                app.click_header(column)
                what = "rows sorted by column %d %s" % (column, "ascending" if ascending else "descending")
                state = app.wait_for(lambda s: column_sorted(app.rows(s), column, ascending, key), what)
                if column == ADDRESS and ascending:
                    # Text order, not address order: ":" sorts after "5".
                    self.assertEqual([row[ADDRESS] for row in app.rows(state)],
                                     ["127.1.0.10:27910", "127.1.0.25:27910", "127.1.0.2:27910",
                                      "127.1.0.3:27911", "127.1.0.4:27910"])
                    session.screenshot("sorted-by-address")

            # Minimising hides the window behind its tray icon.
            self.assertEqual(len(session.tray_icons()), 1)
            button = state["minimizeButton"]
            app.click(button["x"], button["y"])
            hidden = app.wait_for(lambda s: not s["visible"], "the window hidden")
            self.assertFalse(hidden["iconic"])
            self.assertEqual(len(session.tray_icons()), 1)
            session.screenshot("hidden")

            # Back from the tray (left click on its icon), then Alt+F4.
            icon = session.tray_icons()[0]["rect"]
            app.click(icon["x"] + icon["width"] // 2, icon["y"] + icon["height"] // 2)
            state = app.wait_for(lambda s: s["visible"], "the window shown again")
            app.focus(state)
            app.key("alt+F4")
            self.assertEqual(app.wait_exit(), 0)
            self.assertEqual(session.tray_icons(), [])

    def test_ready_before_the_first_update_and_close_button(self):
        with Session("window-start") as session:
            # Without the game installed, start-up stops at its message box before the
            # first Update, so the status bar's first text can be seen.
            session.clear_install_dir()
            session.serve(SERVERS[:2])
            app = session.start()
            box = harness.wait_until(lambda: app.window_of("#32770", "Tarnwick Server Browser Error"), "the message box")
            state = app.state()
            self.assertTrue(state["visible"])
            self.assertEqual(state["statusBar"]["text"], "Ready.")
            self.assertEqual(state["serverList"]["rows"], [])
            session.screenshot("ready")
            app.click_child(box, "OK")
            app.wait_for(lambda s: s["statusBar"]["text"] == "Updating List..." and len(s["serverList"]["rows"]) == 2,
                         "the first Update's rows")

            # Minimise from the system menu, which the window also turns into hiding.
            app.focus()
            app.key("alt+space")
            menu = harness.wait_until(lambda: app.window_of("#32768"), "the system menu")
            self.assertTrue(menu)
            app.key("n")
            app.wait_for(lambda s: not s["visible"], "the window hidden from the system menu")
            icon = session.tray_icons()[0]["rect"]
            app.click(icon["x"] + icon["width"] // 2, icon["y"] + icon["height"] // 2, repeat=2)
            state = app.wait_for(lambda s: s["visible"], "the window shown again")

            button = state["closeButton"]
            app.click(button["x"], button["y"])
            self.assertEqual(app.wait_exit(), 0)
            self.assertEqual(session.tray_icons(), [])

    def check_layout(self, state):
        """The three views tile the client area above the status bar, last columns stretched."""
        client = state["client"]
        status = state["statusBar"]["rect"]
        w = client["width"]
        h = client["height"] - status["height"]
        self.assertEqual(status["y"] + status["height"], client["height"])
        expected = {
            "serverList": (0, 0, w, (h + 3) // 2),
            "playerList": (0, (h + 1) // 2, (w + 3) // 2, h // 2),
            "infoList": ((w + 1) // 2, (h + 1) // 2, w // 2, h // 2),
        }
        for name, (x, y, width, height) in expected.items():
            rect = state[name]["rect"]
            self.assertEqual((rect["x"], rect["y"], rect["width"], rect["height"]), (x, y, width, height), name)
            columns = state[name]["columns"]
            self.assertEqual(sum(column["width"] for column in columns), state[name]["client"]["width"], name)


if __name__ == "__main__":
    harness.run_isolated()
    unittest.main()
