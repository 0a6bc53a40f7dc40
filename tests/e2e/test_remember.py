"""A successful logon remembers or forgets the credentials in settings.bin, byte for byte."""
import struct
import unittest

from logonapp import LOGON, AppTest, LogonApp, SavedFile, start_suite, stop_suite

ACCOUNTS = {"alice": "wonder1", "\u00e9mile": "\u00e6 \u4e2d", "carl": "x\u0100y"}


def setUpModule():
    start_suite(ACCOUNTS)


def tearDownModule():
    stop_suite()


class Remember(AppTest):
    def log_on(self, user, remember):
        app = LogonApp(self)
        app.enter(user, ACCOUNTS[user], remember=remember)
        app.click(LOGON)
        self.assertEqual(app.wait_closed(), 0)
        self.assertEqual(self.logons()[-1], (user, ACCOUNTS[user]))

    def forgotten(self, before):
        """Forgetting keeps the filler and the length and zeroes everything after the filler."""
        return None if before is None else before[:400].ljust(len(before), b"\0")

    def test_remember_on_arms_the_file_with_the_coded_credentials(self):
        for user in ("alice", "\u00e9mile"):
            for old in (None, ("someone else", "longer old password")):
                with self.subTest(user=user, old_file=bool(old)):
                    self.saved.path.unlink(missing_ok=True)
                    if old:
                        self.saved.write(*old)
                    self.log_on(user, remember=True)
                    data = self.saved.read()
                    coded = b"\1\0" + SavedFile.coded(user) + SavedFile.coded(ACCOUNTS[user])
                    self.assertEqual(data[400:], coded)
                    filler = struct.unpack("<100I", data[:400])
                    self.assertTrue(all(word < 32768 for word in filler))
                    self.assertGreater(len(set(filler)), 50, "the filler is not constant")

    def test_remember_off_wipes_the_credentials_and_creates_no_file(self):
        for armed in (True, False):
            with self.subTest(armed=armed):
                self.saved.path.unlink(missing_ok=True)
                before = self.saved.write("alice", "wonder1") if armed else None
                self.log_on("alice", remember=False)
                self.assertEqual(self.saved.read(), self.forgotten(before))
                self.assertTrue(self.saved.folder.is_dir(), "the folder is made on every logon")

    def test_a_password_with_u0100_is_not_stored(self):
        for armed in (True, False):
            with self.subTest(armed=armed):
                self.saved.path.unlink(missing_ok=True)
                before = self.saved.write("alice", "wonder1") if armed else None
                self.log_on("carl", remember=True)
                self.assertEqual(self.saved.read(), self.forgotten(before))


if __name__ == "__main__":
    unittest.main()
