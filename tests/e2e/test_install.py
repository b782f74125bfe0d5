"""The downloads: the zip's files; the setup program, run silently from a downloads folder in
a fresh prefix, installs for the user without an administrator, and neither it nor the program
loads a DLL planted beside it; started by its shortcut at 144 DPI and from its folder, the
program is scaled and keeps templist.txt beside it; an upgrade and the uninstaller close a
running copy, and the uninstaller leaves only templist.txt."""

import os
import pathlib
import shutil
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import Session, check_layout, game_server, wait_until  # noqa: E402

NAME = "Tarnwick Server Browser"
UNINSTALL_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + NAME
SERVER = game_server("127.1.0.2:27910", "scaled", "pond", players=[(3, 40, "Ann")])
# DLLs that Windows would look for in a program's own folder first: the program's imports
# outside Windows' known DLLs and what it loads itself; the setup stub's import and what it
# loads. Not planted: imm32, version and uxtheme, which Wine's own user32 loads from the
# program's folder as every process starts, before the program's first line.
PROGRAM_PLANTS = ["winmm", "comctl32"]
SETUP_PLANTS = ["comctl32", "userenv", "setupapi", "apphelp", "propsys", "dwmapi", "cryptbase", "oleacc",
                "clbcatq", "ntmarta", "shfolder", "riched20", "riched32", "msftedit"]


def package(suffix):
    return os.path.join(harness.env("SB_PACKAGE_DIR"), "TarnwickServerBrowser-%s-win64%s" % (
        harness.env("SB_VERSION"), suffix))


def built_program():
    return pathlib.Path(harness.env("SB_EXE")).read_bytes()


def plant(folder, names):
    for name in names:
        shutil.copy(harness.env("SB_PLANTED"), os.path.join(folder, name + ".dll"))


def planted_loads(folder):
    log = pathlib.Path(folder, "planted.log")
    return log.read_text("latin-1").split() if log.exists() else []


def registry_values(session, key):
    lines = session.wine("reg", "query", key, check=False).decode("latin-1").splitlines()
    return dict(parts[::2] for parts in (line.split("    ")[1:] for line in lines) if len(parts) == 3)


class PackageTest(unittest.TestCase):
    def test_zip(self):
        top = os.path.basename(package(""))
        with zipfile.ZipFile(package(".zip")) as archive:
            self.assertEqual(sorted(archive.namelist()), [top + "/README.txt", top + "/serverbrowser.exe"])
            self.assertEqual(archive.read(top + "/serverbrowser.exe"), built_program())
            readme = archive.read(top + "/README.txt").decode("ascii")
            self.assertIn("Tarnwick Server Browser " + harness.env("SB_VERSION"), readme)

    def test_setup_start_upgrade_and_uninstall(self):
        with Session("install", fresh_prefix=True) as session:
            # Windows' order: a DLL in the program's folder before the system's.
            session.env["WINEDLLOVERRIDES"] += ";%s=n,b" % ",".join(sorted(set(PROGRAM_PLANTS + SETUP_PLANTS)))
            downloads = session.folder("downloads-")
            setup = shutil.copy(package("-setup.exe"), downloads)
            # Windows asks for no administrator: the setup program runs as the player.
            self.assertIn(b'requestedExecutionLevel level="asInvoker"', pathlib.Path(setup).read_bytes())
            plant(downloads, SETUP_PLANTS)
            session.wine(setup, "/S")
            self.assertEqual(planted_loads(downloads), [])

            def expand(windows_path):
                return session.wine("cmd", "/c", "echo", windows_path).decode("latin-1").strip().strip('"')

            def unix_path(windows_path):
                return session.wine("winepath", "-u", expand(windows_path)).decode("latin-1").strip()

            windows_dir = expand("%LOCALAPPDATA%\\Programs\\" + NAME)
            installed = unix_path(windows_dir)
            self.assertEqual(sorted(os.listdir(installed)), ["README.txt", "serverbrowser.exe", "uninstall.exe"])
            self.assertEqual(pathlib.Path(installed, "serverbrowser.exe").read_bytes(), built_program())
            values = registry_values(session, UNINSTALL_KEY)
            self.assertGreater(int(values.pop("EstimatedSize"), 16), 100)
            self.assertEqual(values, {
                "DisplayName": NAME, "Publisher": "Kestrel Forge", "DisplayVersion": harness.env("SB_VERSION"),
                "DisplayIcon": windows_dir + "\\serverbrowser.exe,0", "InstallLocation": windows_dir,
                "UninstallString": '"%s\\uninstall.exe"' % windows_dir,
                "QuietUninstallString": '"%s\\uninstall.exe" /S' % windows_dir,
                "NoModify": "0x1", "NoRepair": "0x1"})
            shortcut = unix_path("%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs\\" + NAME + ".lnk")

            # A screen at 150 %: every size the program fixes for 96 DPI grows by half. Started
            # by its shortcut, from elsewhere: it works in the program folder.
            plant(installed, PROGRAM_PLANTS)
            session.wine("reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                         "/d", "144", "/f")
            session.set_install_dir("c:\\games\\tarnwick")
            session.serve([SERVER])
            app = session.start(command=["start", "/unix", shortcut])
            # Then moved to a screen at 100 %, as Windows tells it: the suggested place, the
            # columns and the text (a row is 14 pixels high at 96 DPI) back at their 96-DPI sizes.
            for dpi, place, widths in [(144, (150, 150, 1050, 600), [450, 120, 75, 60]),
                                       (96, (200, 120, 700, 400), [300, 80, 50, 40])]:
                if dpi == 96:
                    session.probe("dpi", dpi, *place)
                state = app.wait_for(lambda s: len(s["serverList"]["rows"]) == 1 and s["serverList"]["columns"][0][
                    "width"] == widths[0], "the server's row at %d DPI" % dpi)
                frame = app.window_of("SERVERBROWSER", "serverbrowser")["rect"]
                self.assertEqual((frame["x"], frame["y"], frame["width"], frame["height"]), place)
                self.assertEqual([c["width"] for c in state["serverList"]["columns"][:4]], widths)
                self.assertEqual(state["serverList"]["rows"][0]["screen"]["height"] >= 20, dpi == 144)
                check_layout(self, state)
            templist = os.path.join(installed, "templist.txt")
            wait_until(lambda: os.path.isfile(templist), "templist.txt in the program folder")

            # An upgrade over the running copy closes it and keeps the list.
            session.wine(setup, "/S")
            self.assertEqual(app.wait_exit(), 0)
            self.assertTrue(os.path.isfile(templist))

            # Started again from its folder, as a double-click there does: neither start loaded
            # a planted DLL.
            app = session.start(exe=os.path.join(installed, "serverbrowser.exe"), folder=installed)
            app.wait_for(lambda s: len(s["serverList"]["rows"]) == 1, "the server's row")
            self.assertEqual(planted_loads(installed), [])
            for name in PROGRAM_PLANTS:
                os.remove(os.path.join(installed, name + ".dll"))

            # The uninstaller closes the running copy and removes everything but the list.
            session.wine(os.path.join(installed, "uninstall.exe"), "/S")
            self.assertEqual(app.wait_exit(), 0)
            wait_until(lambda: sorted(os.listdir(installed)) == ["templist.txt"], "only templist.txt left")
            self.assertFalse(os.path.exists(shortcut))
            self.assertNotIn(NAME, session.wine("reg", "query", "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion"
                                                "\\Uninstall", "/s", check=False).decode("latin-1"))


if __name__ == "__main__":
    unittest.main()
