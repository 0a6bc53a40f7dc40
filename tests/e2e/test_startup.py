"""tarnftp.exe starts as a Windows program: its registry setting, its window, no box."""
import unittest

from winetools import APP_TITLE, Install, driver, reg_query, wine

FTP_KEY = r"HKCU\Software\Microsoft\Ftp"


class StartUp(unittest.TestCase):
    def run_until_window(self, ini=None, *args):
        install = Install(ini)
        self.addCleanup(install.cleanup)
        install.start(*args)
        code, output = driver("wait", APP_TITLE, "30000")
        self.assertEqual(code, 0, output)
        return install

    def close(self, install):
        code, output = driver("close", APP_TITLE)
        self.assertEqual(code, 0, output)
        self.assertEqual(install.wait_exit(), 0)

    def test_writes_use_pasv_in_a_fresh_key_and_over_an_old_value(self):
        wine("reg", "delete", FTP_KEY, "/f")
        self.assertIsNone(reg_query(FTP_KEY, "Use PASV"))
        self.close(self.run_until_window())
        self.assertEqual(reg_query(FTP_KEY, "Use PASV"), ("REG_SZ", "yes"))

        wine("reg", "add", FTP_KEY, "/v", "Use PASV", "/t", "REG_SZ", "/d", "no", "/f", check=True)
        self.close(self.run_until_window())
        self.assertEqual(reg_query(FTP_KEY, "Use PASV"), ("REG_SZ", "yes"))

    def test_shows_only_the_logon_window_without_a_profile(self):
        install = self.run_until_window(None, "3")
        code, windows = driver("list")
        titles = [line.split("\t")[2] for line in windows.splitlines() if line.count("\t") == 2]
        self.assertIn(APP_TITLE, titles)
        self.assertNotIn("tarnftp", titles, "no message box at start")
        self.close(install)

    def test_cancel_ends_the_program(self):
        install = self.run_until_window("[RedirectHosts]\nHost1=127.0.0.2\n")
        code, output = driver("click", APP_TITLE, "2")
        self.assertEqual(code, 0, output)
        self.assertEqual(install.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
