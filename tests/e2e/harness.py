"""What the end-to-end tests share: the real serverbrowser.exe under Wine, on a private X
display, in a private network namespace, against the simulated world.

A test script calls run_isolated() first; it re-runs the script inside
tools/netns/run-isolated unless it already is there. Then:

    with Session("window") as session:           # display, world, Wine prefix ready
        session.world.request("game.add", ...)  # or session.serve(servers)
        app = session.start()                  # serverbrowser.exe in a scratch folder
        state = app.wait_for(lambda s: len(s["serverList"]["rows"]) == 3, "three rows")
        app.click(*header_point(state, 2))      # real input through the X server
        app.close_with_keys()
        assert app.wait_exit() == 0

Every wait is bounded; at the end of a session every Wine process of the prefix, the
display and the world are stopped, whatever happened. Screenshots and probe output go to
SB_BUILD_DIR/e2e-output/<name>/.

Environment (set by tests/e2e/CMakeLists.txt): SB_SOURCE_DIR, SB_BUILD_DIR, SB_EXE,
SB_WINE_RUN, SB_PROBE.
"""

import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

SOURCE_DIR = os.environ.get("SB_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools", "simworld"))

from simworld import World  # noqa: E402

ISOLATED_ENV = "SB_E2E_ISOLATED"
MASTER_HOST = "master.kestrelforge.net"
GAME_KEY_USER = r"HKCU\Software\Kestrel Forge\Tarnwick"
GAME_KEY_MACHINE = r"HKLM\Software\Kestrel Forge\Tarnwick"
DEFAULT_TIMEOUT = 30.0
POLL_INTERVAL = 0.25
PROBE_TIMEOUT = 30.0
# Longer than the system's double-click time (500 ms unless changed).
DOUBLE_CLICK_SECONDS = 0.8


class HarnessError(AssertionError):
    pass


def require_env(name):
    value = os.environ.get(name)
    if not value:
        raise HarnessError("%s is not set (run the test through ctest)" % name)
    return value


def run_isolated():
    """Re-runs this script in the private network namespace; returns only inside it."""
    if os.environ.get(ISOLATED_ENV) == "1":
        return
    runner = os.path.join(SOURCE_DIR, "tools", "netns", "run-isolated")
    env = dict(os.environ, **{ISOLATED_ENV: "1"})
    completed = subprocess.run([runner, "--", sys.executable] + sys.argv, env=env)
    sys.exit(completed.returncode)


def wait_until(check, what, timeout=DEFAULT_TIMEOUT, interval=POLL_INTERVAL):
    """Calls check() until it returns something true; its value, or HarnessError after timeout."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = check()
            if value:
                return value
        except (HarnessError, ValueError, KeyError, IndexError, TypeError) as error:
            last_error = error
        if time.monotonic() >= deadline:
            detail = " (last error: %s)" % last_error if last_error else ""
            raise HarnessError("timed out after %.0f s waiting for %s%s" % (timeout, what, detail))
        time.sleep(interval)


def game_server(address, name, map_name="pond", players=(), max_clients=16, **extra):
    """A game server's configuration for the world: players as [score, ping, name]."""
    info = {"hostname": name, "mapname": map_name, "maxclients": str(max_clients)}
    info.update(extra.pop("info", {}))
    config = {"address": address, "info": info, "players": [list(p) for p in players]}
    config.update(extra)
    return config


def install_caption_font(prefix):
    """Wine draws the caption buttons with its Marlett font, which it only finds in the
    prefix's Fonts folder; without it the buttons show letters."""
    source = "/usr/share/wine/fonts/marlett.ttf"
    target = os.path.join(prefix, "drive_c", "windows", "Fonts", "marlett.ttf")
    if os.path.exists(source) and os.path.isdir(os.path.dirname(target)) and not os.path.exists(target):
        shutil.copyfile(source, target)


class Session:
    """One test's display, world and Wine prefix; a context manager that cleans up."""

    def __init__(self, name, width=1280, height=1024):
        self.name = name
        self.build_dir = require_env("SB_BUILD_DIR")
        self.exe = require_env("SB_EXE")
        self.wine_run = require_env("SB_WINE_RUN")
        self.probe_exe = require_env("SB_PROBE")
        self.output_dir = os.path.join(self.build_dir, "e2e-output", name)
        self.size = (width, height)
        self.env = None
        self.world = None
        self.apps = []
        self._xvfb = None
        self._scratch_root = None

    # ---- set-up and clean-up ----

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
        shutil.rmtree(self.output_dir, ignore_errors=True)
        os.makedirs(self.output_dir)
        self._scratch_root = tempfile.mkdtemp(prefix="sb-e2e-")
        env = dict(os.environ)
        env["WINEPREFIX"] = os.path.join(self.build_dir, "wineprefix")
        env["WINEDEBUG"] = "-all"
        env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
        # Xvfb picks a free display number itself and reports it once it accepts clients,
        # so sessions started at the same moment never share a display.
        read_end, write_end = os.pipe()
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % self.size, "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, pass_fds=(write_end,))
        os.close(write_end)
        display = self._read_display(read_end)
        env["DISPLAY"] = ":%d" % display
        self.env = env
        # A wineserver left from an earlier run would still talk to its old display.
        self._kill_wine()
        # One wineserver for the whole session, with the desktop process up before the
        # program starts: Wine processes that start at once on a cold server can hang.
        subprocess.run(["wineserver", "-p"], env=env, timeout=30, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        self.probe("windows")
        self._configure_wine()
        self.world = World()
        self.world.start()

    @staticmethod
    def _read_display(read_end):
        deadline = time.monotonic() + 20
        digits = b""
        try:
            while not digits.endswith(b"\n") and time.monotonic() < deadline:
                ready, _, _ = select.select([read_end], [], [], 1.0)
                if ready:
                    chunk = os.read(read_end, 16)
                    if not chunk:
                        break
                    digits += chunk
        finally:
            os.close(read_end)
        if not digits.strip().isdigit():
            raise HarnessError("Xvfb did not report its display")
        return int(digits)

    def close(self):
        for app in self.apps:
            app.kill()
        self._kill_wine()
        if self.world is not None:
            self.world.stop()
            self.world = None
        if self._xvfb is not None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait(10)
            self._xvfb = None
        if self._scratch_root:
            shutil.rmtree(self._scratch_root, ignore_errors=True)
            self._scratch_root = None

    def _kill_wine(self):
        if self.env is None:
            return
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=30)
        subprocess.run(["wineserver", "-w"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=30)

    def _configure_wine(self):
        # Without a window manager Wine must draw the caption itself, so that the caption's
        # buttons exist to be clicked: windows unmanaged.
        user_reg = os.path.join(self.env["WINEPREFIX"], "user.reg")
        try:
            with open(user_reg, encoding="latin-1") as registry:
                text = registry.read()
        except OSError:
            text = ""
        if '"Managed"="N"' not in text:
            self.reg_add(r"HKCU\Software\Wine\X11 Driver", "Managed", "N")
        install_caption_font(self.env["WINEPREFIX"])

    # ---- Wine ----

    def wine(self, *args, timeout=PROBE_TIMEOUT, check=True):
        """Runs a Windows program (or a Wine built-in such as reg) with the session's prefix.

        Output goes through files, not pipes: a Wine process that starts the prefix's
        background processes hands them its output handles, and a pipe would then stay open
        long after the program itself has ended."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            try:
                returncode = subprocess.run([self.wine_run] + list(args), env=self.env, cwd=self._scratch_root,
                                            stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                            timeout=timeout).returncode
            except subprocess.TimeoutExpired:
                raise HarnessError("%s did not end within %.0f s" % (" ".join(args), timeout))
            out.seek(0)
            err.seek(0)
            completed = subprocess.CompletedProcess(args, returncode, out.read(), err.read())
        if check and completed.returncode != 0:
            raise HarnessError("%s failed (%d): %s" % (" ".join(args), completed.returncode,
                                                       completed.stderr.decode(errors="replace")[-500:]))
        return completed

    def reg_add(self, key, name, data, kind="REG_SZ"):
        self.wine("reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f")

    def reg_delete(self, key, *options):
        self.wine("reg", "delete", key, "/f", *options, check=False)

    def set_install_dir(self, path):
        """Points the game's registry value at a Windows path, as an installed game would."""
        self.reg_add(GAME_KEY_USER, "INSTDIR", path)

    def clear_install_dir(self):
        """Removes the game's registry keys, as on a machine without the game."""
        self.reg_delete(GAME_KEY_USER)
        self.reg_delete(GAME_KEY_MACHINE)
        self.reg_delete(GAME_KEY_MACHINE, "/reg:32")

    def probe(self, *args):
        """The probe's JSON answer; texts are bytes as Latin-1 characters."""
        completed = self.wine(self.probe_exe, *[str(a) for a in args], check=False)
        try:
            return json.loads(completed.stdout.decode("ascii"))
        except ValueError:
            raise HarnessError("probe %s gave no JSON: %r" % (" ".join(map(str, args)), completed.stdout[-300:]))

    def tray_icons(self):
        """The notification-area icons that Wine's tray window shows, as window records."""
        icons = []
        for window in self.probe("windows")["windows"]:
            if window["class"] == "__winex11_standalone_tray":
                icons += self.probe("children", window["handle"])["windows"]
        return [icon for icon in icons if icon["class"] == "__winex11_tray_icon"]

    # ---- the world ----

    def request(self, op, **args):
        response = self.world.request(op, **args)
        if not response.get("ok"):
            raise HarnessError("%s: %s" % (op, response.get("error")))
        return response

    def serve(self, servers, unlisted=(), master="127.0.0.1"):
        """Starts the game servers and a master list naming each of them plus the unlisted entries."""
        if servers:
            self.request("game.add", servers=servers)
        entries = [server["address"] for server in servers] + list(unlisted)
        self.request("master.set", address=master, entries=entries)
        return entries

    # ---- X ----

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def screenshot(self, name):
        path = os.path.join(self.output_dir, name + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    # ---- the program ----

    def start(self, scratch=None):
        """Starts serverbrowser.exe in a scratch working folder and waits for its window."""
        folder = scratch or tempfile.mkdtemp(prefix="run-", dir=self._scratch_root)
        app = App(self, folder)
        self.apps.append(app)
        app.wait_for(lambda state: state["found"], "the main window")
        return app


class App:
    """One run of serverbrowser.exe."""

    def __init__(self, session, folder):
        self.session = session
        self.folder = folder
        self._last_click = None
        self._log = open(os.path.join(session.output_dir, "serverbrowser-%d.log" % len(session.apps)), "wb")
        self.process = subprocess.Popen([session.wine_run, session.exe], cwd=folder, env=session.env,
                                        stdout=self._log, stderr=subprocess.STDOUT, start_new_session=True)

    def state(self):
        """What the probe sees of the main window now (see probe.cpp)."""
        return self.session.probe("state")

    def wait_for(self, check, what, timeout=DEFAULT_TIMEOUT):
        """Probes until check(state) is true; returns that state."""
        def attempt():
            if self.process.poll() is not None:
                raise HarnessError("serverbrowser.exe ended (%s) while waiting for %s" % (self.process.returncode, what))
            state = self.state()
            return state if check(state) else None
        return wait_until(attempt, what, timeout)

    def rows(self, state=None):
        state = state or self.state()
        return [row["cells"] for row in state["serverList"]["rows"]]

    def click(self, x, y, button=1, repeat=1):
        self.session.xdotool("mousemove", x, y, "click", "--repeat", repeat, button)

    def focus(self, state=None):
        """Gives the main window the keyboard: a click on its status bar."""
        state = state or self.state()
        origin, status = state["clientOrigin"], state["statusBar"]["rect"]
        self.click(origin["x"] + status["x"] + 10, origin["y"] + status["y"] + status["height"] // 2)

    def key(self, *keys):
        self.session.xdotool("key", *keys)

    def window_of(self, class_name, title=None):
        """A top-level window of this program's Wine session by class (and title), or None."""
        for window in self.session.probe("windows")["windows"]:
            if window["class"] == class_name and window["visible"] and (title is None or window["title"] == title):
                return window
        return None

    def click_child(self, parent, title):
        """Clicks the middle of a child window of parent (a window record) by its title."""
        for child in self.session.probe("children", parent["handle"])["windows"]:
            if child["title"] == title:
                rect = child["rect"]
                self.click(rect["x"] + rect["width"] // 2, rect["y"] + rect["height"] // 2)
                return
        raise HarnessError("no child %r in window %r" % (title, parent["title"]))

    def click_header(self, column, state=None):
        """A single click on a server-list column header. Two clicks on one spot within the
        double-click time would make a double click, so a repeated click waits that out."""
        state = state or self.state()
        rect = state["serverList"]["columns"][column]["screen"]
        point = (rect["x"] + rect["width"] // 2, rect["y"] + rect["height"] // 2)
        if self._last_click and self._last_click[0] == point:
            time.sleep(max(0.0, self._last_click[1] + DOUBLE_CLICK_SECONDS - time.monotonic()))
        self.click(*point)
        self._last_click = (point, time.monotonic())

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        """The program's exit code once it has ended; HarnessError if it does not end in time."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("serverbrowser.exe did not end within %.0f s" % timeout)

    def kill(self):
        if self.process.poll() is None:
            try:
                os.killpg(self.process.pid, 9)
            except ProcessLookupError:
                pass
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                pass
        self._log.close()


def text(cell):
    """A probe text as the bytes the program holds."""
    return cell.encode("latin-1")
