"""The downloads. The zip holds the build's program and its README.txt. The setup program,
in a fresh Wine prefix, installs silently: the program, its entry among the installed
programs and a Start-menu shortcut whose working folder is the user's own; started there
(at 144 DPI), the program is scaled, follows a move to a screen of 96 DPI, shows rows and keeps templist.txt in that folder; the
silent uninstaller then removes everything setup added and leaves the list."""

import os
import struct
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import Session, check_layout, game_server, wait_until  # noqa: E402

NAME = "Tarnwick Server Browser"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + NAME
# Makes each other user's working folder at their next sign-in.
ACTIVE_SETUP_KEY = "HKLM\\Software\\Microsoft\\Active Setup\\Installed Components\\" + NAME
PROGRAM_DIR = "C:\\Program Files\\" + NAME
SHORTCUT = os.path.join("drive_c", "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", NAME + ".lnk")
WORKING_DIR = "%LOCALAPPDATA%\\" + NAME
SERVER = game_server("127.1.0.2:27910", "scaled", "pond", players=[(3, 40, "Ann")])


def package(suffix):
    return os.path.join(harness.env("SB_PACKAGE_DIR"), "TarnwickServerBrowser-%s-win64%s" % (
        harness.env("SB_VERSION"), suffix))


def built_program():
    with open(harness.env("SB_EXE"), "rb") as exe:
        return exe.read()


def shortcut_working_dir(path):
    """The working directory a shell link names (its StringData, after the ID list and link info)."""
    with open(path, "rb") as link:
        data = link.read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    at = 0x4C
    if flags & 0x1:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    if flags & 0x2:
        at += struct.unpack_from("<I", data, at)[0]
    for bit in (0x4, 0x8, 0x10):  # name, relative path, working directory
        if flags & bit:
            length = struct.unpack_from("<H", data, at)[0]
            text = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            if bit == 0x10:
                return text.rstrip("\x00")  # Wine counts the terminator too
            at += 2 + 2 * length
    return None


def registry_values(session, key):
    values = {}
    for line in session.wine("reg", "query", key, check=False).decode("latin-1").splitlines():
        parts = line.strip().split("    ")
        if len(parts) == 3:
            values[parts[0]] = parts[2]
    return values


class PackageTest(unittest.TestCase):
    def test_zip(self):
        top = os.path.basename(package(""))
        with zipfile.ZipFile(package(".zip")) as archive:
            self.assertEqual(sorted(archive.namelist()), [top + "/README.txt", top + "/serverbrowser.exe"])
            self.assertEqual(archive.read(top + "/serverbrowser.exe"), built_program())
            readme = archive.read(top + "/README.txt").decode("ascii")
            self.assertIn("Tarnwick Server Browser " + harness.env("SB_VERSION"), readme)
            self.assertIn(WORKING_DIR, readme)

    def test_setup_start_and_uninstall(self):
        with Session("install", fresh_prefix=True) as session:
            prefix = session.env["WINEPREFIX"]
            session.wine(package("-setup.exe"), "/S")
            installed = os.path.join(prefix, "drive_c", "Program Files", NAME)
            self.assertEqual(sorted(os.listdir(installed)), ["README.txt", "serverbrowser.exe", "uninstall.exe"])
            with open(os.path.join(installed, "serverbrowser.exe"), "rb") as exe:
                self.assertEqual(exe.read(), built_program())
            self.assertEqual(registry_values(session, UNINSTALL_KEY), {
                "DisplayName": NAME, "Publisher": "Kestrel Forge", "DisplayVersion": harness.env("SB_VERSION"),
                "DisplayIcon": PROGRAM_DIR + "\\serverbrowser.exe,0", "InstallLocation": PROGRAM_DIR,
                "UninstallString": '"%s\\uninstall.exe"' % PROGRAM_DIR,
                "QuietUninstallString": '"%s\\uninstall.exe" /S' % PROGRAM_DIR,
                "NoModify": "0x1", "NoRepair": "0x1"})
            version = harness.env("SB_VERSION").replace(".", ",") + ",0"
            self.assertEqual(registry_values(session, ACTIVE_SETUP_KEY), {
                "(Default)": NAME, "Version": version, "IsInstalled": "0x1",
                "StubPath": '"%%SystemRoot%%\\System32\\cmd.exe" /d /q /c md "%s"' % WORKING_DIR})
            self.assertEqual(shortcut_working_dir(os.path.join(prefix, SHORTCUT)), WORKING_DIR)
            windows_folder = session.wine("cmd", "/c", "echo", WORKING_DIR).decode("latin-1").strip().strip('"')
            folder = session.wine("winepath", "-u", windows_folder).decode("latin-1").strip()
            self.assertTrue(os.path.isdir(folder), folder)

            # A screen at 150 %: every size the program fixes for 96 DPI grows by half.
            session.wine("reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                         "/d", "144", "/f")
            session.set_install_dir("c:\\games\\tarnwick")
            session.serve([SERVER])
            app = session.start(exe=os.path.join(installed, "serverbrowser.exe"), folder=folder)
            state = app.wait_for(lambda s: len(s["serverList"]["rows"]) == 1, "the server's row")
            frame = app.window_of("SERVERBROWSER", "serverbrowser")["rect"]
            self.assertEqual((frame["x"], frame["y"], frame["width"], frame["height"]), (150, 150, 1050, 600))
            self.assertEqual([c["width"] for c in state["serverList"]["columns"][:4]], [450, 120, 75, 60])
            check_layout(self, state)
            # Text at the larger size: a row is 14 pixels high at 96 DPI.
            self.assertGreaterEqual(state["serverList"]["rows"][0]["screen"]["height"], 20)
            # Moved to a screen at 100 %, as Windows tells it: the suggested place, the
            # columns and the text back at their 96-DPI sizes.
            session.probe("dpi", 96, 200, 120, 700, 400)
            state = app.wait_for(lambda s: s["serverList"]["columns"][0]["width"] == 300, "the columns rescaled")
            frame = app.window_of("SERVERBROWSER")["rect"]
            self.assertEqual((frame["x"], frame["y"], frame["width"], frame["height"]), (200, 120, 700, 400))
            self.assertEqual([c["width"] for c in state["serverList"]["columns"][:4]], [300, 80, 50, 40])
            self.assertLess(state["serverList"]["rows"][0]["screen"]["height"], 20)
            check_layout(self, state)
            wait_until(lambda: os.path.isfile(os.path.join(folder, "templist.txt")), "templist.txt")
            app.kill()

            session.wine(os.path.join(installed, "uninstall.exe"), "/S")
            wait_until(lambda: not os.path.exists(installed), "the program folder to go")
            self.assertFalse(os.path.exists(os.path.join(prefix, SHORTCUT)))
            self.assertEqual(registry_values(session, UNINSTALL_KEY), {})
            self.assertEqual(registry_values(session, ACTIVE_SETUP_KEY), {})
            self.assertTrue(os.path.isfile(os.path.join(folder, "templist.txt")))


if __name__ == "__main__":
    harness.run_isolated()
    unittest.main()
