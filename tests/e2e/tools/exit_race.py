"""Counts how OBS's graceful exits end right after a switch to the OP scene, with CurtainUp
loaded and with plain OBS, to tell a shutdown race of OBS's own from one of ours.

Each exit is a fresh OBS home with the director test's scenes. A second websocket client
polls GetCurrentProgramScene and CurtainUp's GetState every 200 ms (plain OBS refuses the
latter) until OBS is gone. Modes, taken in turn so that the machine's load falls on each:
  plain   no CurtainUp; Standby, a second later OP with the OP transition (Slow Fade, 800 ms
          unless --op-ms says otherwise), both by SetCurrentProgramScene
  loaded  CurtainUp loaded and idle; the same requests
  flow    CurtainUp's flow switches: StartStandby (1 s), zero, then OP with that transition
SIGINT follows as soon as the program scene is OP (ObsSession.stop(): about 0.9 s later, when
the transition may still run). Per exit it records whether OBS logged "Not all sources were
cleared" (and which), whether it ended by a signal, the leaks, whether OBS reported the end
of the transition to OP before it closed the connection (OBS 32 ends a running one as it
closes, so this is rarely false), and whether the suite's harness would take the
exit for OBS's own shutdown race (tests/e2e/lib/shutdown_race.py; a crash needs gdb for
that). Only the first few core files of each mode are kept.

Usage, inside a host root after building the plug-in into BUILD (targets curtainup and
install-user), in a private network like the suite:
  bash scripts/in-private-network.sh python3 tests/e2e/tools/exit_race.py BUILD ARTIFACTS \
      [--exits 100] [--modes plain,flow] [--op-ms 800]
"""

import argparse
import glob
import json
import os
import shutil
import sys
import tempfile
import threading
import time

E2E_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True
ARGS = sys.argv[1:2]  # the build folder holds module_facts.py, which obs_session reads
sys.path[:0] = [os.path.join(E2E_DIR, "lib"), E2E_DIR] + [os.path.abspath(path) for path in ARGS]

from module_facts import UNLOAD_LINE  # noqa: E402
import obs_session  # noqa: E402
import shutdown_race  # noqa: E402
from obs_session import ObsSession  # noqa: E402
import test_director as director  # noqa: E402  (the failing run's scenes and transitions)
from ws_client import ObsWebSocket  # noqa: E402

POLL_SECONDS = 0.2
KEPT_CRASHES = 3  # core files kept per mode; the rest are deleted after they are counted


def presets(op_ms):
    quick = dict(director.presets()[0], name="exit race", duration_ms=1000, switch_after=0,
                 to_op=director.transition(director.OP_TRANSITION, op_ms))
    return {"version": 2, "current": 0, "presets": [quick]}


class Poller(threading.Thread):
    """The second client: asks for the program scene and CurtainUp's state until OBS goes."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.ws = ObsWebSocket(port, events=0)
        self.answers = 0
        self.stopped = threading.Event()

    def run(self):
        while not self.stopped.is_set():
            try:
                self.ws.program_scene()
                self.answers += 1
                self.ws.vendor("curtainup", "GetState")
            except ConnectionError:
                return
            except Exception:  # plain OBS has no such vendor; OBS may be closing
                pass
            time.sleep(POLL_SECONDS)

    def close(self):
        self.stopped.set()
        self.join(timeout=10)
        self.ws.close()


def switch_to_op(ws, mode, op_ms):
    ws.clear_events()
    if mode == "flow":
        deadline = time.monotonic() + 30
        while not ws.wait_vendor("curtainup", "GetState").get("ok"):  # "OBS is still loading."
            if time.monotonic() > deadline:
                raise RuntimeError("CurtainUp never answered GetState")
            time.sleep(0.1)
        answer = ws.vendor("curtainup", "StartStandby")
        if not answer.get("ok"):
            raise RuntimeError("StartStandby refused: %r" % answer)
        ws.wait_event("CurrentProgramSceneChanged", lambda data: data["sceneName"] == "Standby", 10)
        ws.wait_event("SceneTransitionEnded", timeout=5)
        ws.clear_events()  # what ends from here on is the switch to OP
    else:
        ws.call("SetCurrentProgramScene", {"sceneName": "Standby"})
        ws.wait_event("CurrentProgramSceneChanged", lambda data: data["sceneName"] == "Standby", 10)
        time.sleep(1.0)  # the countdown's length
        ws.clear_events()
        ws.call("SetCurrentSceneTransition", {"transitionName": director.OP_TRANSITION})
        ws.call("SetCurrentSceneTransitionDuration", {"transitionDuration": op_ms})
        ws.call("SetCurrentProgramScene", {"sceneName": "OP"})
    ws.wait_event("CurrentProgramSceneChanged", lambda data: data["sceneName"] == "OP", 15)


def one_exit(build, artifacts, media, mode, number, op_ms):
    plugins = () if mode == "plain" else ("curtainup",)
    session = ObsSession(build, artifacts, scene_collection=director.collection(*media), plugins=plugins,
                         name="%s-%03d" % (mode, number))
    record = {"mode": mode, "number": number}
    try:
        if mode != "plain":
            session.write_plugin_config(presets(op_ms))
        session.start()
        with ObsWebSocket(session.port) as ws:
            poller = Poller(session.port)
            poller.start()
            switch_to_op(ws, mode, op_ms)
            session.stop(screenshot=False)
            ended = bool(ws.take_events("SceneTransitionEnded"))
        poller.close()
        log = session.log_text()
        record.update(orphans=shutdown_race.orphans(log), leaks=session.leak_count(),
                      signal=-session.exit_code if (session.exit_code or 0) < 0 else None,
                      polls=poller.answers, transition_ended=ended, unloaded=UNLOAD_LINE in log,
                      # what the suite's harness made of it: OBS's own race, run again
                      harness_race=bool(obs_session.SHUTDOWN_RACES.pop(obs_session.OWNER, None)))
    except Exception as error:  # one broken start must not end the count
        record["error"] = repr(error)
    finally:
        session.close()
    return record


def keep_few_crashes(artifacts, mode):
    cores = sorted(glob.glob(os.path.join(artifacts, mode + "-*-crash*core*")))
    for path in cores[KEPT_CRASHES:]:
        os.remove(path)


def summary(records, mode):
    mine = [r for r in records if r["mode"] == mode]
    done = [r for r in mine if "error" not in r]
    orphaned = [r for r in done if r["orphans"] is not None]
    signalled = [r for r in done if r["signal"]]
    leaking = [r for r in done if r["leaks"]]
    both = [r for r in done if r["orphans"] is not None and r["signal"]]
    mid = [r for r in done if not r["transition_ended"]]
    judged = [r for r in done if r.get("harness_race")]
    return ("%-6s exits %3d (failed to run %d): 'Not all sources were cleared' %d, ended by a signal %d, both %d, "
            "leaks > 0 %d; no end of the OP transition heard %d; judged OBS's own race %d"
            % (mode, len(done), len(mine) - len(done), len(orphaned), len(signalled), len(both), len(leaking),
               len(mid), len(judged)))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build")
    parser.add_argument("artifacts")
    parser.add_argument("--exits", type=int, default=100, help="exits per mode")
    parser.add_argument("--modes", default="plain,flow")
    parser.add_argument("--op-ms", type=int, default=director.OP_MS,
                        help="the OP transition's length; 5000 closes OBS while it still runs")
    args = parser.parse_args()
    modes = args.modes.split(",")
    artifacts = os.path.abspath(args.artifacts)
    os.makedirs(artifacts, exist_ok=True)
    work = tempfile.mkdtemp(prefix="curtainup-exit-race-")
    records = []
    try:
        media = director.make_media(work)
        with open(os.path.join(artifacts, "exits.jsonl"), "w", encoding="utf-8") as out:
            for number in range(args.exits):
                for mode in modes:
                    record = one_exit(args.build, artifacts, media, mode, number, args.op_ms)
                    records.append(record)
                    out.write(json.dumps(record) + "\n")
                    out.flush()
                    keep_few_crashes(artifacts, mode)
                    if record.get("orphans") is not None or record.get("signal") or record.get("error"):
                        print("%s %3d: %s" % (mode, number, json.dumps(record)), flush=True)
                if (number + 1) % 10 == 0:
                    print("-- after %d rounds" % (number + 1), flush=True)
                    for mode in modes:
                        print("   " + summary(records, mode), flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for mode in modes:
        print(summary(records, mode))


if __name__ == "__main__":
    main()
