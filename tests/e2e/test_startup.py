"""tarnftp.exe starts as a Windows program: its registry setting, its window, no box."""
import unittest

from winetools import APP_TITLE, Install, driver, reg_query, screen_dpi, windows_path, wine

FTP_KEY = r"HKCU\Software\Microsoft\Ftp"
# The window's captions in the template's order, as German reads them.
GERMAN_CAPTIONS = ["Login", "Abbruch", "Benutzer:", "Kennwort:", "TarnFTP-Anmeldedaten:",
                   "Anmeldung speichern", "Konto", "Hilfe"]


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

    # The user's interface language (Wine's comes from the host locale) picks the texts, and
    # in every language each caption fits its control at 96 and 144 dpi.
    def test_speaks_the_users_language_and_every_caption_fits(self):
        titles = {"C.UTF-8": APP_TITLE, "de_DE.UTF-8": "TarnGroup FTP-Anmeldung",
                  "fr_FR.UTF-8": "Connexion TarnGroup FTP"}
        for locale, title in titles.items():
            for dpi in (96, 144):
                with self.subTest(locale=locale, dpi=dpi), screen_dpi(dpi):
                    install = Install("[RedirectHosts]\nHost1=127.0.0.2\n")
                    self.addCleanup(install.cleanup)
                    install.start(env={"LANG": locale, "LC_ALL": locale})
                    code, output = driver("wait", title, "30000")
                    self.assertEqual(code, 0, output)
                    code, output = driver("fits", title, windows_path(install.exe))
                    self.assertEqual(code, 0, output)
                    captions = [line.split("\t")[0] for line in output.splitlines()]
                    self.assertEqual(len(captions), 8, output)
                    if locale.startswith("de") and dpi == 96:
                        self.assertEqual(captions, GERMAN_CAPTIONS)
                        self.assert_german_box(title)
                    code, output = driver("close", title)
                    self.assertEqual(code, 0, output)
                    self.assertEqual(install.wait_exit(), 0)

    def assert_german_box(self, title):
        self.assertEqual(driver("click", title, "1")[0], 0)
        self.assertEqual(driver("wait", "tarnftp")[0], 0)
        code, text = driver("text", "tarnftp", "65535")
        self.assertTrue(text.startswith("Geben Sie zum Anmelden Ihren Benutzernamen"), text)
        self.assertEqual(driver("answer", "tarnftp", "1")[0], 0)


if __name__ == "__main__":
    unittest.main()
