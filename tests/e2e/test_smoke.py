"""The module in a real OBS: it loads, finds (or misses) Cuebox, answers its state
procedure, writes config.json on exit, reads it back on the next start, unloads without
leaking, and keeps hotkey bindings that OBS saved before it was killed."""

import copy
import json
import os
import sys
import time
import unittest

import standin
from module_facts import HOTKEYS, LOAD_LINE, UNLOAD_LINE
from obs_session import session_from_env
from ws_client import ObsWebSocket

CUEBOX_FOUND = "[curtainup] Cuebox: あり"
CUEBOX_MISSING = "[curtainup] Cuebox: なし（単体で動作）"
RENAMED_PRESET = "e2e 名前を変えたプリセット"


def report(session, run):
    """Start/stop times and the leak count go into the test output for the record."""
    print("\n  [%s] %s: start %.2f s, stop %.2f s, leaks %s" % (
        session.name, run, session.start_seconds, session.stop_seconds, session.leak_count()), file=sys.stderr)


def read_config(session):
    """config.json as written, or None when there is none."""
    if not os.path.exists(session.plugin_config_path()):
        return None
    return session.read_plugin_config()


def run_once(session):
    """Starts OBS, lets it settle and stops it gracefully; returns the log lines."""
    session.start()
    session.stop()
    report(session, "run %d" % session.runs)
    return session.log_lines()


class BaselineTest(unittest.TestCase):
    """OBS with no extra plug-ins: the leak count the others are measured against."""

    def test_plain_obs_exits_without_leaks(self):
        session = session_from_env("baseline", plugins=())
        self.addCleanup(session.close)
        run_once(session)
        self.assertEqual(session.exit_code, 0)
        self.assertEqual(session.leak_count(), 0)


class WithCueboxTest(unittest.TestCase):
    """Two starts with the same HOME, the Cuebox stand-in loaded next to the module."""

    @classmethod
    def setUpClass(cls):
        cls.session = session_from_env("with-cuebox")
        cls.addClassCleanup(cls.session.close)

        cls.session.start()
        with ObsWebSocket(cls.session.port) as ws:
            cls.state = standin.call_proc(ws, "curtainup_get_state",
                                          out={"mode": str, "counting": bool, "standby_scene": str})
        # Loading wrote the file (the dock's first placement); only the exit can bring it back.
        cls.config_at_load = read_config(cls.session)
        if cls.config_at_load:
            os.remove(cls.session.plugin_config_path())
        cls.session.stop()
        report(cls.session, "first run")
        cls.first_lines = cls.session.log_lines()
        cls.first_leaks = cls.session.leak_count()
        cls.first_config = read_config(cls.session)
        cls.first_records = cls.session.standin_records()

        if cls.first_config:
            renamed = copy.deepcopy(cls.first_config)
            renamed["presets"][0]["name"] = RENAMED_PRESET
            cls.session.write_plugin_config(renamed)

        cls.second_lines = run_once(cls.session)
        cls.second_leaks = cls.session.leak_count()
        cls.second_config = read_config(cls.session)

    def test_load_line_logged_once(self):
        self.assertEqual(self.first_lines.count(LOAD_LINE), 1)
        self.assertEqual(self.second_lines.count(LOAD_LINE), 1)

    def test_cuebox_found_once(self):
        self.assertEqual(self.first_lines.count(CUEBOX_FOUND), 1)
        self.assertNotIn(CUEBOX_MISSING, self.first_lines)

    def test_cuebox_probed_once_on_the_ui_thread(self):
        probes = [r for r in self.first_records if r["proc"] == "cuebox_get_state"]
        self.assertEqual(len(probes), 1)
        self.assertTrue(probes[0]["ui_thread"])

    def test_state_procedure_reports_idle(self):
        called, out = self.state
        self.assertTrue(called, "curtainup_get_state is not registered")
        self.assertEqual(out.get("mode"), "idle")
        self.assertIs(out.get("counting"), False)
        self.assertIn("standby_scene", out)

    def test_config_written_on_exit(self):
        self.assertIsNotNone(self.config_at_load, "loading places the dock and writes the file")
        self.assertIsNotNone(self.first_config, "the file removed during the run was not written on exit")
        self.assertEqual(self.first_config["version"], 2)
        self.assertEqual(self.first_config["presets"], self.config_at_load["presets"])
        self.assertIs(self.first_config["dock_shown"], True)
        self.assertEqual(sorted(self.first_config["hotkeys"]), sorted(HOTKEYS), "exit stores every binding")

    def test_second_start_reads_the_file_back(self):
        names = [preset.get("name") for preset in self.second_config["presets"]]
        self.assertIn(RENAMED_PRESET, names)
        self.assertEqual(self.second_config["version"], 2)

    def test_unloads_without_leaks(self):
        for lines, leaks in ((self.first_lines, self.first_leaks), (self.second_lines, self.second_leaks)):
            self.assertIn(UNLOAD_LINE, lines)
            self.assertEqual(leaks, 0)


class BindingsSavedWithTheHostTest(unittest.TestCase):
    """A key bound during a run reaches config.json when OBS saves its own settings, so it
    is kept when OBS is killed afterwards (no exit event)."""

    def test_a_binding_survives_a_kill_after_the_host_saved(self):
        session = session_from_env("bindings-kill")
        self.addCleanup(session.close)
        session.start()
        with ObsWebSocket(session.port) as ws:
            bound = ws.vendor(standin.VENDOR, "bind_hotkey", {"name": "curtainup.hold", "key": "OBS_KEY_F9"})
            self.assertIs(bound.get("found"), True)
            self.assertNotIn("OBS_KEY_F9", json.dumps(read_config(session)), "not written before the save")
            ws.vendor(standin.VENDOR, "save_settings")
            deadline = time.monotonic() + 10
            while "OBS_KEY_F9" not in json.dumps(read_config(session)) and time.monotonic() < deadline:
                time.sleep(0.1)
        session._kill()  # as a crash would: no exit event, no write of its own
        hotkeys = (read_config(session) or {}).get("hotkeys", {})
        self.assertEqual([combination.get("key") for combination in hotkeys.get("curtainup.hold", [])],
                         ["OBS_KEY_F9"], "the binding was not written when OBS saved")


class WithoutCueboxTest(unittest.TestCase):
    """The module alone: the probe finds no Cuebox and says so once."""

    def test_cuebox_missing_once(self):
        session = session_from_env("without-cuebox", plugins=("curtainup",))
        self.addCleanup(session.close)
        lines = run_once(session)
        self.assertEqual(lines.count(CUEBOX_MISSING), 1)
        self.assertNotIn(CUEBOX_FOUND, lines)
        self.assertEqual(lines.count(LOAD_LINE), 1)
        self.assertIn(UNLOAD_LINE, lines)
        self.assertEqual(session.leak_count(), 0)


if __name__ == "__main__":
    unittest.main()
