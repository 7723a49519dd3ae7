"""The test tools themselves, against plain OBS and the Cuebox stand-in only: procedure
calls from another tool, the stand-in's records, clicking host widgets by name, events."""

import unittest

import standin
from obs_session import session_from_env
from ws_client import ObsRequestError, ObsWebSocket


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
