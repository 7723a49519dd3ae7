"""What differs between the OBS hosts the module runs in: the dock call the host offers
(by id from OBS 30 on, a QDockWidget of the module's own before), and the module's
hotkeys in the host's hotkey list, each of the six actions acting when the host triggers
it (the minute hotkeys are driven in test_websocket_api)."""

import time
import unittest

import standin
from module_facts import HOTKEYS
from obs_session import obs_version, session_from_env
from test_dock import dock_collection, dock_preset
from ws_client import ObsWebSocket

DOCK_BY_ID = "[curtainup] dock added by id (obs_frontend_add_dock_by_id)"
DOCK_IN_CONTAINER = "[curtainup] dock added in its own QDockWidget (obs_frontend_add_dock)"


class HostTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = session_from_env("host", scene_collection=dock_collection())
        cls.addClassCleanup(cls.session.close)
        cls.session.write_plugin_config({"version": 2, "current": 0, "presets": [dock_preset()]})
        cls.session.start()
        cls.ws = ObsWebSocket(cls.session.port)
        cls.addClassCleanup(cls.ws.close)

    def press(self, hotkey, reading, expected, timeout=5.0):
        """Triggers the hotkey through the host and waits until `reading()` gives `expected`."""
        self.ws.trigger_hotkey(hotkey)
        self.session.wait_for_log(r"\[curtainup\] hotkey %s$" % hotkey.replace(".", r"\."))
        deadline = time.monotonic() + timeout
        while reading() != expected:
            if time.monotonic() > deadline:
                self.fail("%s: expected %r, still %r" % (hotkey, expected, reading()))
            time.sleep(0.05)

    def test_dock_is_added_through_the_call_this_host_has(self):
        lines = self.session.log_lines()
        expected, other = (DOCK_BY_ID, DOCK_IN_CONTAINER) if obs_version() >= (30,) else (
            DOCK_IN_CONTAINER, DOCK_BY_ID)
        self.assertEqual(lines.count(expected), 1, "OBS %d.%d.%d" % obs_version())
        self.assertNotIn(other, lines)

    def test_hotkeys_are_listed_by_the_host(self):
        listed = self.ws.call("GetHotkeyList")["hotkeys"]
        self.assertEqual(sorted(name for name in listed if name.startswith("curtainup.")), sorted(HOTKEYS))

    def test_each_hotkey_acts_when_the_host_triggers_it(self):
        def mode():
            return standin.curtainup_state(self.ws)["mode"]

        def held():
            return standin.curtainup_flow(self.ws)["held"]

        self.press("curtainup.standby", mode, "standby")
        self.press("curtainup.hold", held, True)
        self.press("curtainup.hold", held, False)
        self.press("curtainup.main", mode, "idle")
        self.press("curtainup.break", mode, "break")
        self.press("curtainup.break", mode, "idle")
        self.press("curtainup.ending", mode, "ending")
        self.press("curtainup.cancel", mode, "idle")


if __name__ == "__main__":
    unittest.main()
