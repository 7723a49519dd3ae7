"""The test tools themselves, against plain OBS and the Cuebox stand-in only: procedure
calls from another tool, the stand-in's records, clicking host widgets by name, events; and
which exits that went wrong count as OBS's own shutdown race, from recorded exits."""

import unittest

import shutdown_race
import standin
from module_facts import UNLOAD_LINE
from obs_session import session_from_env
from ws_client import ObsRequestError, ObsWebSocket

# Recorded on OBS 32: the end of an exit's log and the crashing thread of its core file.
LOADED = "14:36:01.126:     - source: 'Backdrop' (color_source_v3)\n"
COUNTDOWN = "14:36:01.126:     - source: 'Countdown' (curtainup_source)\n"
SHUTDOWN = "14:36:04.455: ==== Shutting down ==================================================\n"
ORPHANS = ("14:36:04.496: Not all sources were cleared when clearing scene data:\n14:36:04.496: \n"
           "14:36:04.496: - Backdrop\n14:36:04.496: - Hidden Clip\n14:36:04.496: \n")
ORPHAN_COUNTDOWN = ORPHANS.replace("- Hidden Clip", "- Countdown")
COUNTDOWN_ALONE = ORPHAN_COUNTDOWN.replace("14:36:04.496: - Backdrop\n", "")
CLEARED = "14:36:04.496: All scene data cleared\n"
UNLOADED = "14:36:04.560: %s\n14:36:04.573: Freeing OBS context data\n" % UNLOAD_LINE
LIBOBS_FRAMES = ("Thread 1 (LWP 27960):\n"
                 "#0  0x00007f7f45f4dd81 in obs_source_release () from /usr/lib/x86_64-linux-gnu/libobs.so.0\n"
                 "#1  0x00007f7f45f34a8c in obs_sceneitem_release () from /usr/lib/x86_64-linux-gnu/libobs.so.0\n")
OUR_FRAME = ("#2  0x00007f7f2a1b0c3e in Director::shutdown() () from "
             "/root/.config/obs-studio/plugins/curtainup/bin/64bit/curtainup.so\n")


class ShutdownRaceTest(unittest.TestCase):
    def test_verdicts_of_recorded_exits(self):
        cases = [  # log, signal, backtrace, CurtainUp loaded, OBS's own race
            (LOADED + SHUTDOWN + ORPHANS + UNLOADED, 11, LIBOBS_FRAMES, True, True),
            (LOADED + SHUTDOWN + ORPHANS + UNLOADED, None, None, True, True),
            (LOADED + SHUTDOWN + ORPHANS, 11, LIBOBS_FRAMES, False, True),
            (LOADED + SHUTDOWN + CLEARED + UNLOADED, None, None, True, False),
            (LOADED + SHUTDOWN + ORPHANS + UNLOADED, 11, LIBOBS_FRAMES + OUR_FRAME, True, False),
            (LOADED + SHUTDOWN + ORPHANS + UNLOADED, 11, None, True, False),
            (LOADED + SHUTDOWN + ORPHANS + UNLOADED, 11, "core: No such file or directory.\n", True, False),
            (LOADED + COUNTDOWN + SHUTDOWN + ORPHAN_COUNTDOWN + UNLOADED, 11, LIBOBS_FRAMES, True, True),
            (LOADED + COUNTDOWN + SHUTDOWN + COUNTDOWN_ALONE + UNLOADED, None, None, True, False),
            (LOADED + SHUTDOWN + ORPHANS, 11, LIBOBS_FRAMES, True, False),
        ]
        for log, signal, backtrace, loaded, race in cases:
            with self.subTest(log=log[-120:], signal=signal, backtrace=backtrace, loaded=loaded):
                got, why = shutdown_race.verdict(log, signal, backtrace, UNLOAD_LINE if loaded else None)
                self.assertEqual(got, race, why)

    def test_only_failed_classes_whose_own_obs_met_the_race_run_again(self):
        race = ["obs run 1: OBS's own shutdown race"]
        cases = [  # failed classes, races by class, classes run again
            (["a.A", "b.B", "a.A"], {"a.A": race}, ["a.A"]),
            (["a.A"], {"b.B": race}, []),
            (["a.A"], {"a.A": []}, []),
        ]
        for failed, races, again in cases:
            with self.subTest(failed=failed, races=races):
                self.assertEqual(shutdown_race.classes_to_retry(failed, races), again)


class StandinToolsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = session_from_env("harness", with_curtainup=False)
        cls.addClassCleanup(cls.session.close)
        cls.session.start()
        cls.ws = ObsWebSocket(cls.session.port)
        cls.addClassCleanup(cls.ws.close)

    @classmethod
    def tearDownClass(cls):
        cls.ws.close()
        cls.session.stop()

    def test_call_proc_passes_inputs_and_reads_outputs(self):
        called, _ = standin.call_proc(self.ws, "cuebox_set_phase", {"tool": "harness", "phase": "break"})
        self.assertTrue(called)
        called, out = standin.call_proc(self.ws, "cuebox_get_state", out={"state": str})
        self.assertTrue(called)
        self.assertEqual(out, {"state": "break"})
        last = [r for r in standin.records(self.ws) if r["proc"] == "cuebox_set_phase"][-1]
        self.assertEqual(last["args"], {"tool": "harness", "phase": "break"})
        self.assertFalse(last["ui_thread"])

    def test_call_proc_of_unknown_procedure_is_not_called(self):
        self.assertEqual(standin.call_proc(self.ws, "no_such_procedure_here"), (False, {}))

    def test_call_proc_refuses_fractional_argument(self):
        with self.assertRaises(standin.ProcError):
            standin.call_proc(self.ws, "cuebox_hold", {"on": True, "from": "harness", "reason": 1.5})

    def test_click_toggles_studio_mode_and_events_arrive(self):
        self.assertEqual(standin.widget_text(self.ws, "modeSwitch")["found"], True)
        self.assertEqual(standin.click(self.ws, "modeSwitch"), {"found": True, "enabled": True})
        self.ws.wait_event("StudioModeStateChanged", lambda data: data["studioModeEnabled"])
        self.assertTrue(self.ws.call("GetStudioModeEnabled")["studioModeEnabled"])
        standin.click(self.ws, "modeSwitch")
        self.ws.wait_event("StudioModeStateChanged", lambda data: not data["studioModeEnabled"])

    def test_widget_text_of_missing_widget(self):
        self.assertEqual(standin.widget_text(self.ws, "noSuchWidget"), {"found": False, "enabled": False, "text": ""})

    def test_failed_request_raises(self):
        with self.assertRaises(ObsRequestError):
            self.ws.call("GetSceneItemId", {"sceneName": "no such scene", "sourceName": "x"})


if __name__ == "__main__":
    unittest.main()
