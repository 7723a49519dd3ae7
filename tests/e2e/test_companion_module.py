"""CurtainUp's Companion module (companion-module/) end to end in a real OBS.

Its driver, companion-module/test/e2e/run_show.mjs, runs a whole show through the module's
actions against obs-websocket with a password and checks the module's variables and
feedbacks against each vendor event. When the driver prints "restart-obs", OBS is started
again on the same port and password and the driver is told on its stdin; it then checks the
reconnect and the state after it. Node runs here, in OBS's network namespace, on the
module's npm packages (scripts/test.sh installs them with npm ci)."""

import os
import shutil
import subprocess
import sys
import unittest

from obs_session import session_from_env
from test_websocket_api import collection, preset  # the same show's world

MODULE_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                           "companion-module"))
DRIVER = os.path.join("test", "e2e", "run_show.mjs")
PASSWORD = "curtain-e2e"


class CompanionModuleTest(unittest.TestCase):
    def test_a_show_through_the_module_and_a_restart(self):
        self.assertTrue(shutil.which("node"), "node is not installed (scripts/install-deps.sh)")
        self.assertTrue(os.path.isdir(os.path.join(MODULE_DIR, "node_modules")),
                        "the module's npm packages are not installed (npm ci in companion-module/)")
        session = session_from_env("companion", scene_collection=collection(), plugins=("curtainup",),
                                   password=PASSWORD)
        self.addCleanup(session.close)
        session.write_plugin_config({"version": 2, "current": 0,
                                     "presets": [preset("Companion", duration_ms=60000)]})
        session.start()

        env = dict(os.environ, CURTAINUP_OBS_PORT=str(session.port), CURTAINUP_OBS_PASSWORD=PASSWORD)
        lines = []
        # Leaving the block closes the driver's stdin (a restart that never came) and waits
        # for it; it stops itself after 5 min.
        with subprocess.Popen(["node", DRIVER], cwd=MODULE_DIR, env=env, text=True, stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT) as driver, \
                open(os.path.join(session.artifacts_dir, "driver.txt"), "w", encoding="utf-8") as log:
            for line in driver.stdout:
                log.write(line)
                log.flush()
                lines.append(line.rstrip("\n"))
                if lines[-1] == "restart-obs":
                    session.stop()
                    session.start()
                    driver.stdin.write("restarted\n")
                    driver.stdin.flush()
        session.stop()
        print("\n  [companion] %s" % (lines[-1] if lines else "the driver printed nothing"), file=sys.stderr)
        failures = [line for line in lines if line.startswith("FAIL")]
        self.assertEqual(driver.returncode, 0, "\n".join(failures + lines[-1:]))


if __name__ == "__main__":
    unittest.main()
