"""The Debian package of this build, as a user installs it with apt: OBS loads CurtainUp
from the system folders, with its texts, and removing the package leaves nothing behind.

It installs into the system, so it runs only in a host root the suite owns
(CURTAINUP_HOST_INSIDE=1, set by scripts/hosts/root.sh)."""

import glob
import os
import subprocess
import unittest

import standin
from module_facts import LOAD_LINE
from obs_session import session_from_env
from ws_client import ObsWebSocket

PACKAGE = "obs-curtainup"
SYSTEM_MODULE = "/usr/lib/x86_64-linux-gnu/obs-plugins/curtainup.so"


def run(*command):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=600)


def installed():
    return run("dpkg-query", "-W", "-f=${Status}", PACKAGE).stdout.startswith("install ok installed")


@unittest.skipUnless(os.environ.get("CURTAINUP_HOST_INSIDE") == "1", "installs into the system: host roots only")
class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        build_dir = os.environ["BUILD_DIR"]
        cls.out = os.path.join(os.environ["ARTIFACTS_DIR"], "package")
        made = run("cpack", "--config", os.path.join(build_dir, "CPackConfig.cmake"), "-B", cls.out)
        if made.returncode != 0:
            raise AssertionError("cpack failed:\n" + made.stdout[-3000:])
        cls.deb = glob.glob(os.path.join(cls.out, PACKAGE + "_*.deb"))[0]
        cls.addClassCleanup(run, "apt-get", "purge", "-y", PACKAGE)
        cls.install = run("apt-get", "install", "-y", "--no-install-recommends", cls.deb)
        cls.files = run("dpkg-query", "-L", PACKAGE).stdout.split()

        # Only the stand-in is installed per user: CurtainUp comes from the package.
        cls.session = session_from_env("package", plugins=("cuebox-standin",))
        cls.addClassCleanup(cls.session.close)
        cls.session.start()
        with open("/proc/%d/maps" % cls.session.obs.pid, encoding="utf-8") as f:
            cls.mapped = f.read()
        with ObsWebSocket(cls.session.port) as ws:
            cls.button = standin.widget_text(ws, "curtainup_standbyButton")
        cls.session.stop()
        cls.first_lines = cls.session.log_lines()
        cls.first_leaks = cls.session.leak_count()

        cls.remove = run("apt-get", "purge", "-y", PACKAGE)
        cls.session.start()
        cls.session.stop()
        cls.after_removal = cls.session.log_lines()

    def test_installs_with_apt(self):
        self.assertEqual(self.install.returncode, 0, self.install.stdout[-3000:])
        self.assertIn(SYSTEM_MODULE, self.files)
        self.assertIn("/usr/share/obs/obs-plugins/curtainup/locale/en-US.ini", self.files)

    def test_obs_loads_the_system_module_with_its_texts(self):
        self.assertIn(SYSTEM_MODULE, self.mapped)
        self.assertEqual(self.first_lines.count(LOAD_LINE), 1)
        self.assertTrue(self.button.get("found"), "the dock's standby button")
        self.assertNotEqual(self.button.get("text"), "Act.Standby", "locale texts come from the package")
        self.assertEqual(self.first_leaks, 0)

    def test_removal_leaves_nothing(self):
        self.assertEqual(self.remove.returncode, 0, self.remove.stdout[-3000:])
        self.assertFalse(installed())
        self.assertEqual([path for path in self.files if os.path.isfile(path)], [])
        self.assertFalse(os.path.exists("/usr/share/obs/obs-plugins/curtainup"))
        self.assertNotIn(LOAD_LINE, self.after_removal)


if __name__ == "__main__":
    unittest.main()
