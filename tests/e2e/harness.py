"""What the end-to-end tests share: the real serverbrowser.exe under Wine, on the run's X
display, in a private network namespace (CTest runs each test file under run-isolated),
against the simulated world. Every wait is bounded; a session stops every Wine process of its
prefix and the world at its end, whatever happened. The program's output goes to
SB_BUILD_DIR/e2e-output/<name>/; the environment comes from tests/e2e/CMakeLists.txt.

    with Session("window") as session:
        session.serve([game_server(...)])    # game servers and a master that lists them
        app = session.start()                # serverbrowser.exe in a scratch folder
        state = app.wait_for(lambda s: len(s["serverList"]["rows"]) == 1, "a row")
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

SOURCE_DIR = os.environ.get("SB_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools", "simworld"))

from master import LIST_HEADER  # noqa: E402,F401
from simworld import World  # noqa: E402

GAME_KEY = r"Software\Kestrel Forge\Tarnwick"
# The ANSI code page the run's locale gives Wine (see Session).
ANSI_CODE_PAGE = {"ru_RU.UTF-8": 1251}.get(os.environ.get("SB_LOCALE"), 1252)
TIMEOUT = 30.0
# Longer than the system's double-click time (500 ms unless changed).
DOUBLE_CLICK_SECONDS = 0.8


class HarnessError(AssertionError):
    pass


def env(name):
    return os.environ[name]  # set by tests/e2e/CMakeLists.txt


def wait_until(check, what, timeout=TIMEOUT):
    """Calls check() until it returns something true, and returns that; HarnessError after timeout."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = check()
            if value:
                return value
        except (HarnessError, OSError, ValueError, KeyError, IndexError, TypeError) as error:
            last_error = error
        if time.monotonic() >= deadline:
            raise HarnessError("timed out after %.0f s waiting for %s%s" % (
                timeout, what, " (last error: %s)" % last_error if last_error else ""))
        time.sleep(0.25)


def launch(folder, count, what):
    """The stand-in game's start number count, once it has come, as (command line, working
    directory, show command), lower case; HarnessError if more starts came than count."""
    def starts():
        with open(os.path.join(folder, "launches.log"), encoding="utf-8") as log:
            return [tuple(line.rstrip("\n").lower().split("\t")) for line in log if line.strip()]
    started = wait_until(lambda: len(starts()) >= count and starts(), what)
    if len(started) > count:
        raise HarnessError("%s: %d starts of the game" % (what, len(started)))
    return started[-1]


def program_pid():
    """The process of the running serverbrowser.exe (the last started)."""
    found = subprocess.run(["pgrep", "-f", "serverbrowser.exe$"], capture_output=True, text=True).stdout.split()
    return int(found[-1]) if found else None


def wakeups(seconds):
    """How often each thread of the program was woken in the next seconds, by thread id;
    threads that slept throughout are left out."""
    def switches(pid):
        counts = {}
        for thread in os.listdir("/proc/%d/task" % pid):
            try:
                with open("/proc/%d/task/%s/status" % (pid, thread)) as status:
                    counts[thread] = sum(int(line.split()[1]) for line in status if "ctxt_switches" in line)
            except OSError:
                pass  # ended meanwhile
        return counts
    pid = program_pid()
    before = switches(pid)
    time.sleep(seconds)
    after = switches(pid)
    return {thread: count - before[thread] for thread, count in after.items()
            if thread in before and count != before[thread]}


def game_server(address, name, map_name="pond", players=(), max_clients=16, info=None, **extra):
    """A game server's configuration for the world: players as (score, ping, name)."""
    config = {"address": address, "players": [list(p) for p in players],
              "info": dict({"hostname": name, "mapname": map_name, "maxclients": str(max_clients)}, **(info or {}))}
    config.update(extra)
    return config


def check_layout(test, state):
    """The three views tile the client area above the status bar, last columns stretched."""
    w = state["client"]["width"]
    status = state["statusBar"]["rect"]
    h = state["client"]["height"] - status["height"]
    test.assertEqual(status["y"] + status["height"], state["client"]["height"])
    for name, rect, titles in [
        ("serverList", (0, 0, w, (h + 3) // 2), ["Server Name", "Map", "Players", "Ping", "Address"]),
        ("playerList", (0, (h + 1) // 2, (w + 3) // 2, h // 2), ["Name", "Score", "Ping"]),
        ("infoList", ((w + 1) // 2, (h + 1) // 2, w // 2, h // 2), ["Variable", "Value"]),
    ]:
        view = state[name]
        test.assertEqual(tuple(view["rect"][k] for k in ("x", "y", "width", "height")), rect, name)
        test.assertEqual([column["title"] for column in view["columns"]], titles)
        test.assertEqual(sum(column["width"] for column in view["columns"]), view["client"]["width"], name)


def middle(rect):
    return rect["x"] + rect["width"] // 2, rect["y"] + rect["height"] // 2


def row_point(row):
    """A point on a list row's first cell, where a user clicks it."""
    return row["screen"]["x"] + 40, row["screen"]["y"] + row["screen"]["height"] // 2


class Session:
    """One test's display, world and Wine prefix; a context manager that cleans up."""

    def __init__(self, name, fresh_prefix=False):
        """fresh_prefix: a Wine prefix of the session's own instead of the build tree's."""
        self.build_dir = env("SB_BUILD_DIR")
        self.fresh_prefix = fresh_prefix
        self.output_dir = os.path.join(self.build_dir, "e2e-output", name)
        self.env = None
        self.world = None
        self.apps = []
        self._scratch = None

    def __enter__(self):
        try:
            self._open()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def _open(self):
        os.makedirs(self.output_dir, exist_ok=True)
        self._scratch = tempfile.mkdtemp(prefix="sb-e2e-")
        prefix = os.path.join(self._scratch if self.fresh_prefix else self.build_dir, "wineprefix")
        # Wine takes the ANSI code page from the locale, and names of files from its character
        # set: UTF-8 in every run, code page 1252 unless SB_LOCALE names another language.
        self.env = {name: value for name, value in os.environ.items() if not name.startswith("LC_")}
        self.env.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=env("DISPLAY"),
                        LANG=os.environ.get("SB_LOCALE", "C.UTF-8"))
        # A wineserver left from an earlier run would still talk to its old display. One
        # wineserver for the whole session, with the desktop process up before the program
        # starts: Wine processes that start at once on a cold server can hang.
        self._kill_wine()
        if self.fresh_prefix:
            # wine-run makes a new prefix and waits for its wineserver to end: before -p.
            subprocess.run([env("SB_WINE_RUN"), "cmd", "/c", "exit"], env=self.env, timeout=120,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-p"], env=self.env, timeout=30, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        self.probe("windows")
        # There is no window manager: Wine gives the keyboard focus to unmanaged windows itself.
        with open(os.path.join(self.env["WINEPREFIX"], "user.reg"), encoding="latin-1") as registry:
            if '"Managed"="N"' not in registry.read():
                self.wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")
        self.world = World()
        self.world.start()

    def close(self):
        for app in self.apps:
            app.kill()
        self._kill_wine()
        if self.world is not None:
            self.world.stop()
            self.world = None
        if self._scratch:
            shutil.rmtree(self._scratch, ignore_errors=True)
            self._scratch = None

    def _kill_wine(self):
        if self.env is not None:
            for option in ("-k", "-w"):
                subprocess.run(["wineserver", option], env=self.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=30)

    def wine(self, *args, check=True, cwd=None):
        """Runs a Windows program (or a Wine built-in such as reg) with the session's prefix.

        Output goes through files, not pipes: a Wine process that starts the prefix's
        background processes hands them its output handles, and a pipe would then stay open
        long after the program itself has ended."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            returncode = subprocess.run([env("SB_WINE_RUN")] + list(args), env=self.env, cwd=cwd or self._scratch,
                                        stdin=subprocess.DEVNULL, stdout=out, stderr=err, timeout=TIMEOUT).returncode
            out.seek(0)
            err.seek(0)
            if check and returncode != 0:
                raise HarnessError("%s failed (%d): %s" % (" ".join(args), returncode, err.read()[-500:]))
            return out.read()

    def set_install_dir(self, path):
        """Points the game's registry value at a Windows path, as an installed game would;
        None removes the game's keys, as on a machine without the game."""
        if path is not None:
            self.wine("reg", "add", "HKCU\\" + GAME_KEY, "/v", "INSTDIR", "/d", path, "/f")
            return
        for key, options in (("HKCU", ()), ("HKLM", ()), ("HKLM", ("/reg:32",))):
            self.wine("reg", "delete", key + "\\" + GAME_KEY, "/f", *options, check=False)

    def probe(self, *args):
        """The probe's JSON answer (see probe.cpp); texts are bytes as Latin-1 characters."""
        return json.loads(self.wine(env("SB_PROBE"), *[str(a) for a in args], check=False).decode("ascii"))

    def tray_icons(self):
        """The notification-area icons that Wine's tray window shows, as window records."""
        return [icon for icon in self.probe("windows")["windows"] if icon["class"] == "__winex11_tray_icon"]

    def request(self, op, **args):
        response = self.world.request(op, **args)
        if not response.get("ok"):
            raise HarnessError("%s: %s" % (op, response.get("error")))
        return response

    def serve(self, servers, unlisted=()):
        """Starts the game servers and a master at 127.0.0.1 that lists them and the unlisted entries."""
        self.request("game.add", servers=servers)
        self.request("master.set", entries=[server["address"] for server in servers] + list(unlisted))

    def clipboard(self):
        """The text on the X clipboard, as another program (reading Unicode) would paste it."""
        return subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env, capture_output=True,
                              timeout=30).stdout.decode("utf-8")

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def capture(self, box):
        """The screen inside a screen rectangle, one grey byte a pixel, row by row."""
        return subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (
            box["width"], box["height"], box["x"], box["y"]), "-depth", "8", "gray:-"], env=self.env,
            capture_output=True, timeout=60).stdout

    def unpainted_rows(self, state, view, capture=None):
        """The cells of a list view's rows that lie wholly on screen but show no text there (no
        dark pixel on the light background), from one capture of the view's place (taken now
        unless given)."""
        box = state[view]["screen"]
        capture = capture or self.capture(box)
        unpainted = []
        for row in state[view]["rows"]:
            top, bottom = row["screen"]["y"] - box["y"], row["screen"]["y"] + row["screen"]["height"] - box["y"]
            if top < 0 or bottom > box["height"] - 4:
                continue
            # Inside the borders, left of where a scroll bar would be.
            left, right = 4, box["width"] - 24
            if min(min(capture[y * box["width"] + left:y * box["width"] + right]) for y in range(top, bottom)) > 100:
                unpainted.append(row["cells"])
        return unpainted

    def folder(self, prefix):
        """A new folder in the session's scratch space."""
        return tempfile.mkdtemp(prefix=prefix, dir=self._scratch)

    def start(self, exe=None, folder=None, command=None):
        """Starts serverbrowser.exe (the build's, unless exe; or the Wine command given) in a
        scratch working folder (unless folder) and waits for its window."""
        app = App(self, folder or self.folder("run-"), command or [exe or env("SB_EXE")])
        self.apps.append(app)
        app.wait_for(lambda state: state["found"], "the main window")
        return app


class App:
    """One run of serverbrowser.exe."""

    def __init__(self, session, folder, command):
        self.session = session
        self.folder = folder
        self._last_click = (None, 0.0)
        # Wine's start ends at once when it opens a shortcut: the window tells whether the program runs.
        self.started_by_shell = command[0] == "start"
        self._log = open(os.path.join(session.output_dir, "serverbrowser-%d.log" % len(session.apps)), "wb")
        self.process = subprocess.Popen([env("SB_WINE_RUN")] + command, cwd=folder, env=session.env,
                                        stdout=self._log, stderr=subprocess.STDOUT, start_new_session=True)

    def state(self, *options):
        return self.session.probe("state", *options)

    def wait_for(self, check, what):
        """Probes until check(state) is true; returns that state."""
        def attempt():
            if not self.started_by_shell and self.process.poll() is not None:
                raise HarnessError("serverbrowser.exe ended (%s) while waiting for %s" % (self.process.returncode, what))
            state = self.state()
            return state if check(state) else None
        return wait_until(attempt, what)

    def window_of(self, class_name, title=None):
        """A visible window of the session (top-level or child) by class (and title), or None."""
        for window in self.session.probe("windows")["windows"]:
            if window["class"] == class_name and window["visible"] and title in (None, window["title"]):
                return window
        return None

    def click(self, point, button=1, repeat=1):
        """Clicks at a screen point. Clicks on one spot within the double-click time would
        make a double click, so a single click there waits that out."""
        if repeat == 1 and self._last_click[0] == point:
            time.sleep(max(0.0, self._last_click[1] + DOUBLE_CLICK_SECONDS - time.monotonic()))
        self.session.xdotool("mousemove", point[0], point[1], "click", "--repeat", repeat, button)
        self._last_click = (point, time.monotonic())

    def minimize(self):
        """Minimises from the system menu (Alt+Space, then n): the same command as the caption's button."""
        self.key("alt+space")
        wait_until(lambda: self.window_of("#32768"), "the system menu")
        self.key("n")
        self.wait_for(lambda s: not s["visible"], "the window hidden")

    def key(self, *keys):
        self.session.xdotool("key", *keys)

    def wait_exit(self):
        """The program's exit code once it has ended (0 once its window is gone, when started
        by the shell); an error if it does not end in time."""
        if self.started_by_shell:
            wait_until(lambda: not self.state()["found"], "serverbrowser.exe to end")
            return 0
        return self.process.wait(TIMEOUT)

    def kill(self):
        if self.process.poll() is None:
            try:
                os.killpg(self.process.pid, 9)
                self.process.wait(10)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                pass
        self._log.close()
