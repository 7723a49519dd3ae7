"""The control dock in a real OBS, driven by clicking its buttons inside the running OBS
(the Cuebox stand-in's "click" request) as an operator would.

Three OBS starts share one home. The first finds the dock docked in the main window and
runs a show from its buttons: Standby (the countdown shows in the program scene), Hold and
Resume, Main, Break and Back, Ending and Cancel, following the program scene after each,
with screenshots of the whole window during the countdown, the hold and the break. The
second start finds the dock where OBS put it back, then hides it from the Docks menu; the
third start finds it still hidden: the dock is placed only the very first time."""

import base64
import os
import subprocess
import time
import unittest

import standin
from obs_session import session_from_env
from show_test import ShowTest
from ws_client import ObsWebSocket

PRESET = "e2e dock show"
COUNTDOWN_MS = 120000
BREAK_MS = 90000
SCENES = ("Standby", "OP", "Main", "Break", "Ending")
CANVAS = (1280, 720)
COUNTDOWN_PINK = (0xE7, 0x7C, 0xAC)
HOLD_STYLE = (0xD8, 0xC5, 0x96)
# Locale texts (en-US) the dock shows.
HELD, RESUME, HOLD = "On hold", "Resume", "Hold"
COUNTING, READY = "Counting down", "Ready"
RESTART, BACK = "Restart standby", "Back from break"


# --- the show's world -------------------------------------------------------------------

def scene_with(name, members):
    """A scene whose items sit centred on the canvas, in the order given."""
    items = [{"name": member, "id": number, "visible": True, "locked": False, "rot": 0.0,
              "pos": {"x": CANVAS[0] / 2, "y": CANVAS[1] / 2}, "scale": {"x": 1.0, "y": 1.0}, "align": 0,
              "bounds_type": 0, "bounds": {"x": 0.0, "y": 0.0}, "bounds_align": 0}
             for number, member in enumerate(members, start=1)]
    return {"name": name, "id": "scene", "versioned_id": "scene",
            "settings": {"items": items, "id_counter": len(items), "custom_size": False}}


def dock_collection():
    """Five scenes on a dark backdrop; the standby and break countdowns in their scenes."""
    backdrop = {"name": "Backdrop", "id": "color_source_v3", "versioned_id": "color_source_v3",
                "settings": {"color": 0xFF302018, "width": CANVAS[0], "height": CANVAS[1]}}
    countdowns = [{"name": name, "id": "curtainup_source", "versioned_id": "curtainup_source",
                   "settings": {"kind": kind}} for name, kind in (("Standby Countdown", 0), ("Break Countdown", 1))]
    members = {"Standby": ["Backdrop", "Standby Countdown"], "Break": ["Backdrop", "Break Countdown"]}
    scenes = [scene_with(name, members.get(name, ["Backdrop"])) for name in SCENES]
    return {"name": "dock-e2e", "current_scene": "Main", "current_program_scene": "Main",
            "scene_order": [{"name": name} for name in SCENES], "sources": [backdrop] + countdowns + scenes,
            "current_transition": "Fade", "transition_duration": 300}


def dock_preset():
    """An OP scene without media, so the show waits there for Main."""
    none = {"name": "", "ms": 0}
    return {"name": PRESET, "standby_scene": "Standby", "count_mode": 1, "duration_ms": COUNTDOWN_MS,
            "title": "Starting soon", "messages": "Thanks for waiting", "holdText": "One moment",
            "switch_after": 1, "op_scene": "OP", "main_scene": "Main", "break_scene": "Break",
            "break_ms": BREAK_MS, "break_text": "Break", "ending_scene": "Ending",
            "to_standby": none, "to_op": none, "to_main": none, "to_break": none, "from_break": none,
            "to_ending": none}


# --- pictures ---------------------------------------------------------------------------

def rgb_pixels(png_path):
    """The PNG's pixels as packed RGB bytes, decoded by ffmpeg."""
    result = subprocess.run(["ffmpeg", "-loglevel", "error", "-i", png_path, "-f", "rawvideo", "-pix_fmt", "rgb24",
                             "-"], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, check=True, timeout=30)
    return result.stdout


def count_near(pixels, colour, tolerance):
    """How many pixels lie within `tolerance` of the colour in every channel."""
    r, g, b = colour
    found = 0
    for i in range(0, len(pixels) - 2, 3):
        if abs(pixels[i] - r) <= tolerance and abs(pixels[i + 1] - g) <= tolerance \
                and abs(pixels[i + 2] - b) <= tolerance:
            found += 1
    return found


# --- the test ---------------------------------------------------------------------------

class DockShowTest(ShowTest):
    note_tag = "dock"

    @classmethod
    def setUpClass(cls):
        cls.session = session_from_env("dock", scene_collection=dock_collection())
        cls.addClassCleanup(cls.session.close)
        cls.session.write_plugin_config({"version": 2, "current": 0, "presets": [dock_preset()]})

        cls.run_obs("first", cls.first_start)
        cls.facts["dock_state_saved"] = cls.saved_dock_state_names()
        cls.run_obs("second", cls.second_start)
        cls.run_obs("third", cls.third_start)

    @classmethod
    def run_obs(cls, name, scenario):
        session = cls.session

        def run():
            cls.session.fill_screen()
            with ObsWebSocket(session.port) as ws:
                cls.ws = ws
                return scenario()

        session.start()
        cls.scenario(name, run)
        session.stop()
        cls.facts[name + "_leaks"] = session.leak_count()

    # --- helpers -------------------------------------------------------------------------
    @classmethod
    def click(cls, name):
        answer = standin.click(cls.ws, "curtainup_" + name)
        if not answer["found"] or not answer["enabled"]:
            raise AssertionError("button %s: %r" % (name, answer))

    @classmethod
    def text(cls, name):
        return standin.widget_text(cls.ws, "curtainup_" + name)

    @classmethod
    def wait_text(cls, name, predicate, timeout=3.0):
        """The widget's text once predicate(text) holds (the dock refreshes every 100 ms)."""
        deadline = time.monotonic() + timeout
        while True:
            text = cls.text(name)["text"]
            if predicate(text):
                return text
            if time.monotonic() > deadline:
                raise AssertionError("%s still reads %r" % (name, text))
            time.sleep(0.05)

    @classmethod
    def act(cls, button, scene=None):
        """Clicks a dock button; with a scene, waits until the program shows it and its
        transition is over."""
        cls.ws.clear_events()
        cls.click(button)
        if scene is not None:
            cls.ws.wait_event("CurrentProgramSceneChanged", lambda data: data["sceneName"] == scene, 5)
            cls.ws.wait_event("SceneTransitionEnded", timeout=5)
        return cls.ws.program_scene()

    @classmethod
    def window_shot(cls, label):
        """The whole OBS window (the private display) as a PNG in the artefacts folder."""
        time.sleep(0.6)  # a few refreshes of the dock and frames of the preview
        path = cls.session.screenshot(label)
        if not path:
            raise AssertionError("no screenshot for %s" % label)
        cls.facts.setdefault("screenshots", []).append(path)
        return path

    @classmethod
    def program_picture(cls, label):
        """The program scene as OBS renders it, saved next to the window screenshots."""
        answer = cls.ws.call("GetSourceScreenshot", {"sourceName": cls.ws.program_scene(), "imageFormat": "png",
                                                     "imageWidth": CANVAS[0] // 2, "imageHeight": CANVAS[1] // 2})
        path = os.path.join(cls.session.artifacts_dir, "program-%s.png" % label)
        with open(path, "wb") as f:
            f.write(base64.b64decode(answer["imageData"].split(",", 1)[1]))
        return path

    @classmethod
    def floating_dock_windows(cls):
        """Top-level windows titled like the dock: there is one only while it floats."""
        return cls.session.top_level_windows("^CurtainUp$")

    @classmethod
    def saved_dock_state_names(cls):
        """The dock names in OBS's saved window state (Qt keeps object names as UTF-16)."""
        with open(cls.session.user_ini_path, encoding="utf-8") as f:
            line = next((l for l in f if l.startswith("DockState=")), "")
        state = base64.b64decode(line.split("=", 1)[1].strip()) if line else b""
        return [name for name in ("curtainup_main", "scenesDock") if name.encode("utf-16-be") in state]

    # --- the starts ----------------------------------------------------------------------
    @classmethod
    def first_start(cls):
        seen = {"dock_shown_written": cls.session.read_plugin_config().get("dock_shown"),
                "floating": cls.floating_dock_windows(),
                "idle_state": cls.wait_text("stateLabel", bool), "idle_detail": cls.text("detailLabel")["text"]}
        seen["idle_cancel"] = cls.text("cancelButton")["enabled"]

        seen["standby_program"] = cls.act("standbyButton", "Standby")
        seen["standby_state"] = cls.wait_text("stateLabel", lambda t: t.endswith(" left"))
        seen["standby_detail"] = cls.text("detailLabel")["text"]
        seen["standby_button"] = cls.text("standbyButton")["text"]
        seen["save_as_while_running"] = cls.text("saveAsButton")["enabled"]
        seen["countdown_shot"] = cls.window_shot("countdown")
        seen["countdown_program"] = cls.program_picture("countdown")

        cls.act("holdButton")
        seen["held_state"] = cls.wait_text("stateLabel", lambda t: t == HELD)
        seen["held_detail"] = cls.text("detailLabel")["text"]
        seen["held_button"] = cls.text("holdButton")["text"]
        seen["held_shot"] = cls.window_shot("hold")
        seen["held_program"] = cls.ws.program_scene()

        cls.act("holdButton")
        seen["resumed_state"] = cls.wait_text("stateLabel", lambda t: t.endswith(" left"))
        seen["resumed_button"] = cls.wait_text("holdButton", lambda t: t == HOLD)
        seen["resumed_shot"] = cls.window_shot("resumed")

        seen["main_program"] = cls.act("mainButton", "Main")
        seen["main_detail"] = cls.wait_text("detailLabel", lambda t: t == READY)
        seen["main_state"] = standin.curtainup_state(cls.ws)["mode"]

        seen["break_program"] = cls.act("breakButton", "Break")
        seen["break_button"] = cls.wait_text("breakButton", lambda t: t == BACK)
        seen["break_state"] = cls.text("stateLabel")["text"]
        seen["break_shot"] = cls.window_shot("break")
        seen["back_program"] = cls.act("breakButton", "Main")

        seen["ending_program"] = cls.act("endingButton", "Ending")
        seen["ending_state"] = cls.wait_text("stateLabel", lambda t: t == "Ending")
        seen["ending_mode"] = standin.curtainup_state(cls.ws)["mode"]
        seen["ending_button_enabled"] = cls.text("endingButton")["enabled"]

        seen["cancel_program"] = cls.act("cancelButton")
        seen["cancel_detail"] = cls.wait_text("detailLabel", lambda t: t == READY)
        seen["cancel_mode"] = standin.curtainup_state(cls.ws)["mode"]
        seen["cancel_enabled"] = cls.text("cancelButton")["enabled"]
        return seen

    @classmethod
    def second_start(cls):
        seen = {"floating": cls.floating_dock_windows(), "state": cls.wait_text("stateLabel", bool),
                "shot": cls.window_shot("restored")}
        # Hide the dock the way an operator would: the last entry of the Docks menu.
        window = cls.session.top_level_windows("^OBS ")[0]
        for key in ("alt+d", "Up", "Return"):
            cls.session.xdotool("key", "--window", window, key)
            time.sleep(0.4)
        seen["hidden_shot"] = cls.window_shot("hidden")
        return seen

    @classmethod
    def third_start(cls):
        # A hidden dock never refreshes, so its status line stays as built: empty.
        cls.click("standbyButton")
        time.sleep(0.5)
        seen = {"state": cls.text("stateLabel")["text"], "mode": standin.curtainup_state(cls.ws)["mode"], "shot": cls.window_shot("still-hidden")}
        cls.click("cancelButton")
        return seen

    # --- checks --------------------------------------------------------------------------
    def test_dock_is_docked_in_the_main_window_the_first_time(self):
        first = self.fact("first")
        self.assertIs(first["dock_shown_written"], True, "placed and remembered on finished loading")
        self.assertEqual(first["floating"], [], "docked, not a window of its own")
        self.assertEqual(first["idle_detail"], READY)
        self.assertFalse(first["idle_cancel"])

    def test_standby_shows_the_countdown(self):
        first = self.fact("first")
        self.assertEqual(first["standby_program"], "Standby")
        self.assertRegex(first["standby_state"], r"^0[12]:\d\d left$")
        self.assertEqual(first["standby_detail"], COUNTING)
        self.assertEqual(first["standby_button"], RESTART)
        self.assertFalse(first["save_as_while_running"], "presets are locked during a show")
        pink = count_near(rgb_pixels(first["countdown_program"]), COUNTDOWN_PINK, 40)
        self.note("countdown pixels in the program picture: %d" % pink)
        self.assertGreater(pink, 500, "the countdown is drawn in the program scene")

    def test_hold_shows_its_text_and_style(self):
        first = self.fact("first")
        self.assertEqual(first["held_state"], HELD)
        self.assertEqual(first["held_detail"].split("\n")[0], "During the countdown", "where the hold caught the show")
        self.assertEqual(first["held_button"], RESUME)
        self.assertEqual(first["held_program"], "Standby")
        held = count_near(rgb_pixels(first["held_shot"]), HOLD_STYLE, 4)
        resumed = count_near(rgb_pixels(first["resumed_shot"]), HOLD_STYLE, 4)
        self.note("hold-style pixels: %d while held, %d after resume" % (held, resumed))
        self.assertGreater(held, 3000, "the hold button is painted in the hold colour")
        self.assertLess(resumed, 100)
        self.assertEqual(first["resumed_button"], HOLD)

    def test_main_break_ending_and_cancel_follow_the_buttons(self):
        first = self.fact("first")
        self.assertEqual(first["main_program"], "Main")
        self.assertEqual(first["main_state"], "idle")
        self.assertEqual(first["break_program"], "Break")
        self.assertRegex(first["break_state"], r"^1:\d\d left$")
        self.assertEqual(first["back_program"], "Main")
        self.assertEqual(first["ending_program"], "Ending")
        self.assertEqual(first["ending_mode"], "ending")
        self.assertFalse(first["ending_button_enabled"])
        self.assertEqual(first["cancel_program"], "Ending", "cancel stops the flow where it is")
        self.assertEqual(first["cancel_mode"], "idle")
        self.assertFalse(first["cancel_enabled"])

    def test_obs_saves_and_restores_the_dock_itself(self):
        self.assertIn("curtainup_main", self.facts["dock_state_saved"])
        second = self.fact("second")
        self.assertEqual(second["floating"], [])
        self.assertTrue(second["state"], "visible again: it refreshes")

    def test_a_dock_the_operator_hid_stays_hidden(self):
        third = self.fact("third")
        self.assertEqual(third["mode"], "standby", "its buttons still work")
        self.assertEqual(third["state"], "", "never shown, so never refreshed")

    def test_exits_without_leaks(self):
        for run in ("first", "second", "third"):
            self.assertEqual(self.facts.get(run + "_leaks"), 0, run)


if __name__ == "__main__":
    unittest.main()
