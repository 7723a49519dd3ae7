"""The flow director running whole shows in a real OBS, driven from outside as a user's
tools would: hotkeys by name through obs-websocket, procedures through the Cuebox stand-in.

Three OBS runs share one home. The first runs the show: standby, zero, OP with its clip,
main, a break, a hold at zero (refused from "auto...", resumed by a person) and the
ending, which stops a real stream to an RTMP server on 127.0.0.1, then the ending again
held during its stream-stop timer. The second checks that the music volume saved by the
fade comes back on the next standby after the restart, and runs a preset whose scene,
transition, music and OP media are missing. The third closes OBS during the slow switch
to the OP scene while the OP clip is watched.

Times come from the log's own stamps (the module's lines are written when they happen)
and from the volume read back over the websocket; every measured delay is printed."""

import json
import math
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import standin
from obs_session import session_from_env, write_json
from show_test import ShowTest
from show_world import RtmpServer, colour, first_time, make_clip, media_source, scene, stamped_lines
from ws_client import ObsWebSocket

COLLECTION = "director-e2e"
SHOW, BROKEN, CLOSING = "e2e show", "e2e broken", "e2e closing"
COUNTDOWN_MS = 3000
SWITCH_AFTER_S = 3
BREAK_MS = 3000
STOP_AFTER_S = 3
CLIP_SECONDS = 2
OPERATOR_TRANSITION, OPERATOR_MS = "Fade", 300
OP_TRANSITION, OP_MS = "Slow Fade", 800
CLOSING_OP_MS = 5000
HELD_ENDING_AFTER_S = 1.0


# --- the show's world -------------------------------------------------------------------

def make_media(folder):
    """A short OP clip, a second (hidden) clip and a minute of looping music."""
    clip = make_clip(os.path.join(folder, "op.mp4"), CLIP_SECONDS)
    hidden = make_clip(os.path.join(folder, "hidden.mp4"), CLIP_SECONDS, rate=15)
    music = os.path.join(folder, "music.ogg")
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=60",
                    "-c:a", "libvorbis", music], check=True)
    return clip, hidden, music


def collection(clip, hidden, music):
    """Scenes Standby, OP (a hidden clip, then a group holding the OP clip), Main, Break and
    Ending; the music in Standby; transitions Fade (the operator's) and Slow Fade (a fade
    through black)."""
    sources = [
        colour("Backdrop"), media_source("OP Clip", clip), media_source("Hidden Clip", hidden),
        media_source("Music", music, looping=True),
        scene("Standby", [("Backdrop", True), ("Music", True)]),
        scene("OP", [("Hidden Clip", False), ("OP Group", True)]),
        scene("Main", [("Backdrop", True)]), scene("Break", [("Backdrop", True)]),
        scene("Ending", [("Backdrop", True)]),
    ]
    return {"name": COLLECTION, "current_scene": "Main", "current_program_scene": "Main",
            "scene_order": [{"name": n} for n in ("Standby", "OP", "Main", "Break", "Ending")],
            "sources": sources, "groups": [scene("OP Group", [("OP Clip", True)], kind="group")],
            # A configurable kind: OBS saves only those with the collection, and the second
            # run needs it back.
            "transitions": [{"name": OP_TRANSITION, "id": "fade_to_color_transition",
                             "settings": {"color": 0xFF000000, "switch_point": 50}}],
            "current_transition": OPERATOR_TRANSITION, "transition_duration": OPERATOR_MS}


def transition(name, ms):
    return {"name": name, "ms": ms}


def presets():
    show = {"name": SHOW, "standby_scene": "Standby", "count_mode": 1, "duration_ms": COUNTDOWN_MS,
            "switch_after": SWITCH_AFTER_S, "bgm": "Music", "to_standby": transition("", 0),
            "op_scene": "OP", "op_media": "", "to_op": transition(OP_TRANSITION, OP_MS),
            "main_scene": "Main", "to_main": transition("", 0), "break_scene": "Break", "break_ms": BREAK_MS,
            "to_break": transition("", 0), "from_break": transition("", 0), "ending_scene": "Ending",
            "stop_stream": True, "stop_after": STOP_AFTER_S, "to_ending": transition("", 0)}
    broken = dict(show, name=BROKEN, to_standby=transition("No Such Transition", 500), bgm="No Such Music",
                  op_media="No Such Clip", main_scene="No Such Scene")
    closing = dict(show, name=CLOSING, duration_ms=1000, switch_after=0,
                   to_op=transition(OP_TRANSITION, CLOSING_OP_MS))
    return [show, broken, closing]


# --- reading the log ------------------------------------------------------------------

def line_index(lines, text):
    """The index of the first line that contains `text`."""
    for index, line in enumerate(lines):
        if text in line:
            return index
    raise AssertionError("no log line with %r" % text)


def phases(session):
    return [r["args"]["phase"] for r in session.standin_records() if r["proc"] == "cuebox_set_phase"]


# --- the test -------------------------------------------------------------------------

class DirectorShowTest(ShowTest):
    note_tag = "director"

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="curtainup-director-")
        cls.addClassCleanup(shutil.rmtree, cls.work, True)
        clip, hidden, music = make_media(cls.work)
        cls.rtmp = RtmpServer(cls.work).start()
        cls.addClassCleanup(cls.rtmp.stop)

        cls.session = session_from_env(
            "director", scene_collection=collection(clip, hidden, music),
            profile_ini_extra={"Video": {"OutputCX": 320, "OutputCY": 180},
                               "Output": {"Mode": "Simple"},
                               "SimpleOutput": {"VBitrate": 300, "ABitrate": 64, "UseAdvanced": "true",
                                                "Preset": "ultrafast", "x264Settings": "keyint=30"}})
        cls.addClassCleanup(cls.session.close)
        cls.session.write_plugin_config({"version": 2, "current": 0, "presets": presets()})
        write_json(os.path.join(cls.session.config_dir, "basic", "profiles", "e2e", "service.json"),
                   {"type": "rtmp_custom", "settings": {"server": cls.rtmp.url(), "key": "e2e"}})

        cls.run_first_obs()
        cls.run_second_obs()
        cls.run_third_obs()

    @classmethod
    def run_first_obs(cls):
        session = cls.session
        session.start()
        with ObsWebSocket(session.port) as ws:
            cls.ws = ws
            cls.scenario("opening", cls.opening)
            cls.scenario("break", cls.break_and_back)
            cls.scenario("hold", cls.hold_at_zero)
            cls.scenario("ending", cls.ending_stops_stream)
            cls.scenario("held_ending", cls.held_ending)
            if ws.call("GetStreamStatus")["outputActive"]:
                ws.call("StopStream")  # OBS would ask before closing with a live stream
                ws.wait_event("StreamStateChanged", lambda data: not data["outputActive"], 20)
        session.stop()
        cls.facts["first_leaks"] = session.leak_count()
        cls.facts["saved_restore"] = session.read_plugin_config().get("bgm_restore")
        cls.facts["first_phases"] = phases(session)

    @classmethod
    def start_with_preset(cls, index):
        """Starts the class's OBS again with the preset at that index current."""
        session = cls.session
        config = session.read_plugin_config()
        config["current"] = index
        session.write_plugin_config(config)
        session.start()
        return session

    @classmethod
    def run_second_obs(cls):
        session = cls.start_with_preset(1)  # the broken preset
        with ObsWebSocket(session.port) as ws:
            cls.ws = ws
            cls.scenario("restore", cls.restore_after_restart)
            cls.scenario("missing", cls.missing_things)
        session.stop()
        cls.facts["second_leaks"] = session.leak_count()

    @classmethod
    def run_third_obs(cls):
        cls.session.obs_args = ["--verbose"]  # OBS then logs each source it destroys
        session = cls.start_with_preset(2)  # the closing preset
        with ObsWebSocket(session.port) as ws:
            cls.ws = ws
            cls.scenario("closing", cls.close_during_the_op_switch)
        session.stop(screenshot=False)
        cls.facts["third_leaks"] = session.leak_count()
        cls.facts["third_log"] = session.log_lines()
        with open(os.path.join(session.config_dir, "basic", "scenes", COLLECTION + ".json"), encoding="utf-8") as f:
            saved = json.load(f)
        cls.facts["saved_transition"] = (saved.get("current_transition"), saved.get("transition_duration"))

    # --- scenarios (first OBS) ---------------------------------------------------------
    @classmethod
    def wait_program(cls, name, timeout):
        cls.ws.wait_event("CurrentProgramSceneChanged", lambda data: data["sceneName"] == name, timeout)

    @classmethod
    def volume(cls):
        return cls.ws.call("GetInputVolume", {"inputName": "Music"})["inputVolumeMul"]

    @classmethod
    def opening(cls):
        ws = cls.ws
        ws.clear_events()
        ws.trigger_hotkey("curtainup.standby")
        cls.wait_program("Standby", 5)
        ws.wait_event("SceneTransitionEnded", timeout=5)
        ws.clear_events()
        # The music's volume read back while the fade runs, until the OP scene is shown.
        samples = []
        deadline = time.monotonic() + (COUNTDOWN_MS / 1000 + SWITCH_AFTER_S + 5)
        while time.monotonic() < deadline:
            samples.append((time.time(), cls.volume()))
            if cls.ws.program_scene() == "OP":
                break
            time.sleep(0.04)
        started = ws.wait_event("SceneTransitionStarted", timeout=5)
        ws.wait_event("SceneTransitionEnded", timeout=5)
        volume_on_op = cls.volume()
        time.sleep(0.3)  # the switch is over three quiet ticks after its transition
        transition_after = ws.call("GetCurrentSceneTransition")
        cls.wait_program("Main", CLIP_SECONDS + 8)
        ws.wait_event("SceneTransitionEnded", timeout=5)
        time.sleep(0.3)  # the switch is over three quiet ticks after its transition
        lines = stamped_lines(cls.session)
        return {"samples": samples, "volume_on_op": volume_on_op, "op_transition": started.get("transitionName"),
                "transition_after": (transition_after["transitionName"], transition_after["transitionDuration"]),
                "lines": lines}

    @classmethod
    def break_and_back(cls):
        ws = cls.ws
        ws.clear_events()
        ws.trigger_hotkey("curtainup.break")
        cls.wait_program("Break", 5)
        cls.wait_program("Main", BREAK_MS / 1000 + 5)
        time.sleep(0.3)
        return {"lines": stamped_lines(cls.session)}

    @classmethod
    def hold(cls, on, sender, reason=""):
        called, _ = standin.call_proc(cls.ws, "curtainup_hold", {"on": on, "from": sender, "reason": reason})
        return called

    @classmethod
    def hold_at_zero(cls):
        ws = cls.ws
        ws.clear_events()
        began = time.time()
        ws.trigger_hotkey("curtainup.standby")
        cls.wait_program("Standby", 5)
        held_call = cls.hold(True, "desk", "guest late")
        # Past zero and past the wait after it: nothing may move while held.
        time.sleep(COUNTDOWN_MS / 1000 + SWITCH_AFTER_S + 1.5)
        while_held = {"program": cls.ws.program_scene(), "flow": standin.curtainup_flow(cls.ws), "state": standin.curtainup_state(cls.ws)}
        refused_call = cls.hold(False, "auto-cue")
        time.sleep(1.0)
        after_refusal = {"program": cls.ws.program_scene(), "flow": standin.curtainup_flow(cls.ws)}
        resumed_at = time.time()
        cls.hold(False, "desk")
        cls.wait_program("OP", SWITCH_AFTER_S + 5)
        op_at = time.time()
        cls.wait_program("Main", CLIP_SECONDS + 8)
        time.sleep(0.3)
        return {"held_call": held_call, "refused_call": refused_call, "while_held": while_held,
                "after_refusal": after_refusal, "resumed_at": resumed_at, "op_at": op_at, "began": began,
                "lines": stamped_lines(cls.session), "after": standin.curtainup_flow(cls.ws)}

    @classmethod
    def stream_then_ending(cls):
        """Starts a real stream, then the ending; returns when the ending was pressed."""
        cls.ws.clear_events()
        cls.ws.call("StartStream")
        cls.ws.wait_event("StreamStateChanged", lambda data: data["outputActive"], 20)
        began = time.time()
        cls.ws.trigger_hotkey("curtainup.ending")
        return began

    @classmethod
    def ending_stops_stream(cls):
        ws = cls.ws
        began = cls.stream_then_ending()
        cls.wait_program("Ending", 5)
        ws.wait_event("StreamStateChanged", lambda data: not data["outputActive"]
                      and data["outputState"] == "OBS_WEBSOCKET_OUTPUT_STOPPED", STOP_AFTER_S + 10)
        stopped_at = time.time()
        time.sleep(0.3)
        return {"began": began, "stopped_at": stopped_at, "lines": stamped_lines(cls.session),
                "state": standin.curtainup_state(cls.ws), "flow": standin.curtainup_flow(cls.ws), "streaming": ws.call("GetStreamStatus")["outputActive"]}

    @classmethod
    def held_ending(cls):
        ws = cls.ws
        began = cls.stream_then_ending()
        time.sleep(HELD_ENDING_AFTER_S)
        cls.hold(True, "desk", "encore")
        time.sleep(STOP_AFTER_S + 1.5)  # past the timer: the stream must still be live
        while_held = {"streaming": ws.call("GetStreamStatus")["outputActive"], "flow": standin.curtainup_flow(cls.ws)}
        cls.hold(False, "desk")
        ws.wait_event("StreamStateChanged", lambda data: not data["outputActive"]
                      and data["outputState"] == "OBS_WEBSOCKET_OUTPUT_STOPPED", STOP_AFTER_S + 10)
        time.sleep(0.3)
        return {"began": began, "while_held": while_held, "lines": stamped_lines(cls.session)}

    # --- scenarios (second OBS) --------------------------------------------------------
    @classmethod
    def restore_after_restart(cls):
        before = cls.volume()
        cls.ws.trigger_hotkey("curtainup.standby")
        cls.session.wait_for_log(r"\[curtainup\] BGM 'Music' volume back to", 5)
        return {"before": before, "after": cls.volume(), "saved": cls.session.read_plugin_config().get("bgm_restore")}

    @classmethod
    def missing_things(cls):
        # Standby started by the restore scenario: zero, the OP scene, then Main by hand.
        cls.session.wait_for_log(r"\[curtainup\] no OP media found", COUNTDOWN_MS / 1000 + SWITCH_AFTER_S + 5)
        flow_on_op = standin.curtainup_flow(cls.ws)
        cls.ws.trigger_hotkey("curtainup.main")
        cls.session.wait_for_log(r"Scene 'No Such Scene' not found", 5)
        time.sleep(0.3)
        return {"flow_on_op": flow_on_op, "flow_after": standin.curtainup_flow(cls.ws), "program": cls.ws.program_scene(),
                "lines": [line for _, line in stamped_lines(cls.session)]}

    # --- scenario (third OBS) ----------------------------------------------------------
    @classmethod
    def close_during_the_op_switch(cls):
        operator = cls.ws.call("GetCurrentSceneTransition")
        cls.ws.trigger_hotkey("curtainup.standby")
        # Standby, zero after a second, then the switch to OP runs for CLOSING_OP_MS.
        cls.session.wait_for_log(r"\[curtainup\] OP: waiting for 'OP Clip' to end", 10)
        return {"operator": (operator["transitionName"], operator["transitionDuration"])}

    # --- checks ------------------------------------------------------------------------
    def test_zero_then_op_after_switch_after_with_the_presets_transition(self):
        facts = self.fact("opening")
        lines = facts["lines"]
        standby = first_time(lines, "[curtainup] standby started (preset '%s')" % SHOW)
        zero = first_time(lines, "[curtainup] countdown reached zero; switching in %d s" % SWITCH_AFTER_S, standby)
        op = first_time(lines, "[curtainup] switching to 'OP' with '%s' (%d ms)" % (OP_TRANSITION, OP_MS), zero)
        self.note("standby -> zero %.0f ms (countdown %d ms); zero -> OP switch %.0f ms (switch_after %d s)"
                  % ((zero - standby) * 1000, COUNTDOWN_MS, (op - zero) * 1000, SWITCH_AFTER_S))
        self.assertAlmostEqual((op - zero) * 1000, SWITCH_AFTER_S * 1000, delta=100)
        self.assertAlmostEqual((zero - standby) * 1000, COUNTDOWN_MS, delta=150)
        self.assertEqual(facts["op_transition"], OP_TRANSITION)

    def test_operators_transition_is_back_after_the_op_switch(self):
        facts = self.fact("opening")
        self.assertEqual(facts["transition_after"], (OPERATOR_TRANSITION, OPERATOR_MS))
        texts = [line for _, line in facts["lines"]]
        self.assertIn("[curtainup] transition back to '%s' (%d ms)" % (OPERATOR_TRANSITION, OPERATOR_MS), texts)

    def test_op_clip_in_the_group_plays_to_its_end_then_main(self):
        lines = self.fact("opening")["lines"]
        watching = first_time(lines, "[curtainup] OP: waiting for 'OP Clip' to end")
        ended = first_time(lines, "[curtainup] OP: 'OP Clip' ended", watching)
        main = first_time(lines, "[curtainup] switching to 'Main'", ended)
        self.note("OP clip watched %.0f ms (clip %d s); end -> main switch %.0f ms"
                  % ((ended - watching) * 1000, CLIP_SECONDS, (main - ended) * 1000))
        self.assertGreater(ended - watching, CLIP_SECONDS - 0.3)
        self.assertLess(ended - watching, CLIP_SECONDS + 3)
        self.assertNotIn("Hidden Clip", " ".join(line for _, line in lines if "OP:" in line))

    def test_sibling_hears_standby_opening_and_opening_done(self):
        heard = self.fact("first_phases")
        self.assertGreaterEqual(len(heard), 4)
        self.assertEqual(heard[:4], ["standby", "opening", "opening", "opening_done"])

    def test_music_fades_evenly_in_decibels(self):
        facts = self.fact("opening")
        fade_start = first_time(facts["lines"], "[curtainup] fading out 'Music' over %d ms" % (SWITCH_AFTER_S * 1000))
        third = fade_start + SWITCH_AFTER_S / 3
        near = min(facts["samples"], key=lambda sample: abs(sample[0] - third))
        measured_db = 20 * math.log10(near[1]) if near[1] > 0 else -200
        self.note("music volume %.1f dB at %+.0f ms from a third of the fade (expected -20 dB)"
                  % (measured_db, (near[0] - third) * 1000))
        self.assertLess(abs(near[0] - third), 0.15)
        self.assertAlmostEqual(measured_db, -20 + (-60 / (SWITCH_AFTER_S * 1000)) * (near[0] - third) * 1000,
                               delta=3)
        during = [(when - fade_start, volume) for when, volume in facts["samples"]
                  if 0.1 < when - fade_start < SWITCH_AFTER_S - 0.1 and volume > 0]
        self.assertGreater(len(during), 10)
        for offset, volume in during:
            self.assertAlmostEqual(20 * math.log10(volume), -60 * offset / SWITCH_AFTER_S, delta=4)
        self.assertEqual(facts["volume_on_op"], 0.0)

    def test_saved_music_volume_comes_back_after_a_restart(self):
        saved = self.fact("saved_restore")
        self.assertEqual(saved, {"source": "Music", "volume": 1.0})
        restore = self.fact("restore")
        self.assertEqual(restore["before"], 0.0)
        self.assertAlmostEqual(restore["after"], 1.0, places=3)
        self.assertIsNone(restore["saved"])

    def test_break_returns_to_the_interrupted_scene(self):
        lines = self.fact("break")["lines"]
        started = first_time(lines, "[curtainup] break started; back to 'Main' afterwards")
        over = first_time(lines, "[curtainup] break over; back to 'Main'", started)
        self.note("break countdown %d ms -> way back after %.0f ms" % (BREAK_MS, (over - started) * 1000))
        self.assertAlmostEqual((over - started) * 1000, BREAK_MS, delta=150)
        first_time(lines, "[curtainup] now on scene 'Main'", over)

    def test_hold_at_zero_freezes_and_only_a_person_resumes(self):
        facts = self.fact("hold")
        self.assertTrue(facts["held_call"])
        held = facts["while_held"]
        self.assertEqual(held["program"], "Standby")
        self.assertEqual(held["flow"], {"step": "none", "held": True, "held_reason": "guest late"})
        self.assertEqual(held["state"]["mode"], "standby")
        self.assertIs(held["state"]["counting"], False)
        self.assertEqual(facts["after_refusal"]["program"], "Standby")
        self.assertTrue(facts["after_refusal"]["flow"]["held"])
        texts = [line for when, line in facts["lines"] if when >= facts["began"]]
        self.assertIn("[curtainup] 再開を拒否: from='auto-cue' は人の操作ではありません", texts)
        kept = [line for line in texts if line.startswith("[curtainup] 保留した一歩: ")]
        self.assertEqual(len(kept), 1)
        self.assertRegex(kept[0], r"保留した一歩: At zero, before the OP \(gen=\d+\)$")
        resumed = first_time(facts["lines"], "[curtainup] 再開: from='desk'", facts["began"])
        op = first_time(facts["lines"], "[curtainup] switching to 'OP'", resumed)
        self.note("resume -> OP switch %.0f ms (the whole wait of %d s)" % ((op - resumed) * 1000, SWITCH_AFTER_S))
        self.assertAlmostEqual((op - resumed) * 1000, SWITCH_AFTER_S * 1000, delta=100)
        self.assertEqual(facts["after"], {"step": "none", "held": False, "held_reason": ""})

    def test_ending_stops_a_real_stream_on_its_timer(self):
        facts = self.fact("ending")
        lines = facts["lines"]
        started = first_time(lines, "[curtainup] ending started; the stream stops on the timer", facts["began"])
        stopping = first_time(lines, "[curtainup] stopping the stream (ending timer)", started)
        self.note("ending -> stream stop %.0f ms (stop_after %d s); stream inactive %.0f ms after the ending began"
                  % ((stopping - started) * 1000, STOP_AFTER_S, (facts["stopped_at"] - facts["began"]) * 1000))
        self.assertAlmostEqual((stopping - started) * 1000, STOP_AFTER_S * 1000, delta=100)
        self.assertFalse(facts["streaming"])
        self.assertEqual(facts["state"]["mode"], "idle")
        self.assertEqual(facts["flow"]["step"], "none")

    def test_a_hold_in_the_ending_keeps_the_stream_live_until_the_time_left_after_the_resume(self):
        facts = self.fact("held_ending")
        lines = facts["lines"]
        started = first_time(lines, "[curtainup] ending started; the stream stops on the timer", facts["began"])
        held = first_time(lines, "[curtainup] 待った: from='desk' reason='encore'", started)
        resumed = first_time(lines, "[curtainup] 再開: from='desk'", held)
        stopping = first_time(lines, "[curtainup] stopping the stream (ending timer)", started)
        left = STOP_AFTER_S - (held - started)
        self.note("held %.0f ms into the %d s timer; resume -> stream stop %.0f ms (%.0f ms were left)"
                  % ((held - started) * 1000, STOP_AFTER_S, (stopping - resumed) * 1000, left * 1000))
        self.assertTrue(facts["while_held"]["streaming"])
        self.assertEqual(facts["while_held"]["flow"], {"step": "ending", "held": True, "held_reason": "encore"})
        self.assertGreater(stopping, resumed)
        self.assertAlmostEqual((stopping - resumed) * 1000, left * 1000, delta=100)

    def test_closing_during_a_switch_saves_the_operators_transition(self):
        self.assertEqual(self.fact("closing")["operator"], (OPERATOR_TRANSITION, OPERATOR_MS))
        log = self.fact("third_log")
        line_index(log, "[curtainup] switching to 'OP' with '%s' (%d ms)" % (OP_TRANSITION, CLOSING_OP_MS))
        self.assertFalse([line for line in log if "now on scene 'OP'" in line])  # closed during the switch
        self.assertEqual(self.fact("saved_transition"), (OPERATOR_TRANSITION, OPERATOR_MS))

    def test_closing_while_the_op_clip_is_watched_leaves_no_source_held(self):
        log = self.fact("third_log")
        line_index(log, "[curtainup] OP: waiting for 'OP Clip' to end")
        closing = log[line_index(log, "==== Shutting down"):]
        # OBS clears its scenes before the plug-ins hear of the exit; nothing may keep one.
        self.assertLess(line_index(closing, "source 'OP Clip' destroyed"), line_index(closing, "All scene data cleared"))
        self.assertFalse([line for line in closing if "Double destroy" in line or "Not all sources" in line])
        self.assertEqual(self.fact("third_leaks"), 0)

    def test_missing_scene_transition_source_and_media_are_reported_and_the_flow_goes_on(self):
        facts = self.fact("missing")
        lines = facts["lines"]
        for problem in ("[curtainup] Transition 'No Such Transition' not found; using the current one.",
                        "[curtainup] Source 'No Such Music' not found or not usable here.",
                        "[curtainup] Source 'No Such Clip' not found or not usable here.",
                        "[curtainup] no OP media found; waiting for the main button",
                        "[curtainup] Scene 'No Such Scene' not found."):
            self.assertIn(problem, lines)
        self.assertEqual(facts["flow_on_op"]["step"], "op_no_media")
        self.assertEqual(facts["flow_after"]["step"], "none")
        self.assertEqual(facts["program"], "OP")
        self.assertNotIn("[curtainup] Transition '%s' not found; using the current one." % OP_TRANSITION, lines)
        problems = [line for line in self.session.log_text().splitlines() if "not found" in line]
        self.assertTrue(all("[curtainup]" in line for line in problems))

    def test_both_runs_exit_without_leaks(self):
        self.assertEqual(self.fact("first_leaks"), 0)
        self.assertEqual(self.fact("second_leaks"), 0)


if __name__ == "__main__":
    unittest.main()
