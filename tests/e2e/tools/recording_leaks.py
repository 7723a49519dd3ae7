"""Counts the memory leaks OBS reports at exit after the armed show with a recording the
operator started first: the recording runs, an arming with the preset's recording goes live,
the show opens, and the ending stops the stream and leaves the operator's recording.

Each run is a fresh OBS home with the schedule test's scenes and presets and a local RTMP
server. Usage, inside a host root after building the plug-in into BUILD (targets curtainup and
install-user), in a private network like the suite:
  bash scripts/in-private-network.sh python3 tests/e2e/tools/recording_leaks.py BUILD ARTIFACTS [--runs 20]
"""

import argparse
import json
import os
import sys
import time

E2E_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True
sys.path[:0] = [os.path.join(E2E_DIR, "lib"), E2E_DIR] + [os.path.abspath(path) for path in sys.argv[1:2]]

from obs_session import ObsSession, write_json  # noqa: E402
import test_schedule as schedule  # noqa: E402  (the same show's world)
from show_world import RtmpServer, make_clip  # noqa: E402
from ws_client import ObsWebSocket  # noqa: E402


def wait(predicate, timeout):
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() > deadline:
            raise TimeoutError("still waiting after %.0f s" % timeout)
        time.sleep(0.05)


def one_run(build, artifacts, number, clip, rtmp):
    session = ObsSession(build, artifacts, scene_collection=schedule.collection(clip), plugins=("curtainup",),
                         name="leaks-%03d" % number, profile_ini_extra={
                             "Video": {"OutputCX": 320, "OutputCY": 180}, "Output": {"Mode": "Simple"},
                             "SimpleOutput": {"VBitrate": 300, "ABitrate": 64, "UseAdvanced": "true",
                                              "Preset": "ultrafast", "FilePath": artifacts}})
    record = {"number": number}
    try:
        session.write_plugin_config({"version": 2, "current": 0, "presets": schedule.presets()})
        write_json(os.path.join(session.config_dir, "basic", "profiles", "e2e", "service.json"),
                   {"type": "rtmp_custom", "settings": {"server": rtmp.url(), "key": "e2e"}})
        session.start()
        with ObsWebSocket(session.port) as ws:
            def active(kind):
                return ws.call("Get%sStatus" % kind)["outputActive"]
            ws.wait_vendor("curtainup", "GetState", accept=lambda answer: answer.get("ok"))
            ws.call("StartRecord")
            wait(lambda: active("Record"), 10)
            ws.vendor("curtainup", "Arm", {"at_ms": int((time.time() + 4) * 1000), "lead_ms": 2000})
            wait(lambda: active("Stream"), 10)
            wait(lambda: ws.program_scene() == "Main", 15)
            ws.vendor("curtainup", "StartEnding")
            wait(lambda: not active("Stream"), 10)
            record["recording_after_ending"] = active("Record")
            ws.call("StopRecord")
            wait(lambda: not active("Record"), 10)
            session.stop(screenshot=False)
        record["leaks"] = session.leak_count()
    except Exception as error:  # one broken run must not end the count
        record["error"] = repr(error)
    finally:
        session.close()
    return record


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("artifacts")
    parser.add_argument("--runs", type=int, default=20)
    args = parser.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)
    clip = make_clip(os.path.join(args.artifacts, "op.mp4"), 1)
    rtmp = RtmpServer(args.artifacts).start()
    try:
        records = [one_run(args.build, args.artifacts, number, clip, rtmp) for number in range(args.runs)]
    finally:
        rtmp.stop()
    with open(os.path.join(args.artifacts, "recording_leaks.json"), "w", encoding="utf-8") as out:
        json.dump(records, out, indent=1)
    leaky = [r for r in records if r.get("leaks")]
    broken = [r for r in records if "error" in r]
    print("runs: %d, with leaks: %d (%s), errors: %d, operator's recording stopped by the ending: %d" % (
        len(records), len(leaky), ", ".join("%d: %d" % (r["number"], r["leaks"]) for r in leaky) or "none",
        len(broken), sum(1 for r in records if r.get("recording_after_ending") is False)))
    for r in broken:
        print("run %d: %s" % (r["number"], r["error"]))


if __name__ == "__main__":
    main()
