"""The list jobs and the install-directory search, each run by list_driver.exe (see
list_driver.cpp) in a process of its own against the simulated master, with the download's
time limits cut short: a response that ends early or never, failures before it, the whole
download's limit, and the registry's order."""

import os
import pathlib
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import Session  # noqa: E402
from master import LIST_HEADER  # noqa: E402

URL = "http://master.kestrelforge.net/serverlist.php"
NEVER = "180000"  # a download limit no case reaches


class ListJobsTest(unittest.TestCase):
    def test_list_jobs_and_install_dir(self):
        with Session("lists") as session:
            self.session = session
            self.folder = session.folder("lists-")
            self.response_ends_early()
            self.failures_before_the_response()
            self.install_dir()

    def driver(self, *args):
        output = self.session.wine(harness.env("SB_LIST_DRIVER"), *args, cwd=self.folder)
        return output.decode("latin-1").splitlines()

    def templist(self, content=None):
        path = pathlib.Path(self.folder, "templist.txt")
        if content is not None:
            path.write_bytes(content)
        return path.read_bytes()

    def master(self, response, **config):
        self.session.request("master.set", hex=response.hex(), **config)

    def response_ends_early(self):
        """What arrived before the end is stored and its entries queried; nothing else is."""
        cut = LIST_HEADER + b"127.3.0.1:27910\r\n127.3.0.2:279"
        first = LIST_HEADER + b"127.3.1.1:27910\r\n"
        keys = ["127.3.9.9:27910", "127.3.0.1:27910", "127.3.0.2:279", "127.3.0.2:27910", "127.3.0.3:27910",
                "127.3.1.1:27910", "127.3.1.2:27910", "127.3.9.1:27910"]
        for response, config, stored, queried in [
            (LIST_HEADER + b"127.3.9.1\r\n", {"mode": "close"}, b"", []),
            # The cut line is queried with what arrived: port 279.
            (cut + b"10\r\n127.3.0.3\r\n", {"mode": "reset", "cut_after": len(cut)}, cut,
             ["127.3.0.1:27910", "127.3.0.2:279"]),
            # Then nothing for far longer than the stall limit.
            (first + b"127.3.1.2:27910\r\n", {"mode": "slow", "interval_ms": 60000, "chunk_size": len(first)},
             first, ["127.3.1.1:27910"]),
            (LIST_HEADER + b"127.3.9.2\r\n", {"mode": "hang"}, b"", []),
        ]:
            self.templist(b"127.3.9.9\n")
            self.master(response, **config)
            self.assertEqual(self.driver("download", URL, "300", NEVER, *keys), ["queried " + k for k in queried])
            self.assertEqual(self.templist(), stored)
        # A byte now and then, never stalling, is cut off at the download's whole limit.
        self.master(LIST_HEADER + b"127.3.9.3\r\n", mode="slow", interval_ms=100, chunk_size=1)
        self.assertEqual(self.driver("download", URL, "300", "1000", "127.3.9.3:27910"),
                         ["status List download took too long."])

    def failures_before_the_response(self):
        """Each failure is reported, and the previous list is kept and not queried."""
        self.master(LIST_HEADER + b"127.3.2.1\n", mode="no_accept")
        for url, status in [("http://no-such-master.invalid/serverlist.php", "Failed to resolve hostname."),
                            ("http://127.0.0.9/serverlist.php", "Failed to connect."),
                            # SYNs that are never answered: the connect limit ends the wait.
                            (URL, "Failed to connect.")]:
            self.templist(b"127.3.2.9\n")
            self.assertEqual(self.driver("download", url, "300", NEVER, "127.3.2.1:27910", "127.3.2.9:27910"),
                             ["status " + status])
            self.assertEqual(self.templist(), b"127.3.2.9\n")

    def install_dir(self):
        """The current user's key first, then the machine's (32-bit view); a key without the
        value, or a value too long to read or not text, gives no directory."""
        key = "\\" + harness.GAME_KEY

        def reg(*args):
            self.session.wine("reg", *args, check=False)

        self.session.set_install_dir("C:\\Games\\From User")
        reg("add", "HKLM" + key, "/v", "INSTDIR", "/d", "D:\\Games\\From Machine", "/f", "/reg:32")
        self.assertEqual(self.driver("installdir"), ["dir C:\\Games\\From User"])
        reg("delete", "HKCU" + key, "/f")
        self.assertEqual(self.driver("installdir"), ["dir D:\\Games\\From Machine"])
        reg("add", "HKCU" + key, "/f")
        self.assertEqual(self.driver("installdir"), ["dir "])
        self.session.set_install_dir("d" * 256)
        self.assertEqual(self.driver("installdir"), ["dir "])
        # Taken by its type: variables expanded (as the 32-bit installer meant them; to 360
        # characters here, too long), a number counted as no value.
        for kind, data, directory in [("REG_EXPAND_SZ", "%SystemDrive%\\Games\\Expanded", "C:\\Games\\Expanded"),
                                      ("REG_EXPAND_SZ", "%programfiles%\\X", "C:\\Program Files (x86)\\X"),
                                      ("REG_EXPAND_SZ", "%CommonProgramFiles%\\" * 12, ""), ("REG_DWORD", "1", "")]:
            reg("add", "HKCU" + key, "/v", "INSTDIR", "/t", kind, "/d", data, "/f")
            self.assertEqual(self.driver("installdir"), ["dir " + directory])


if __name__ == "__main__":
    unittest.main()
