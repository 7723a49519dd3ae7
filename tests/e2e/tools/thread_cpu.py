"""What one counting CurtainUp source costs a real OBS, thread by thread, next to what a still
picture of the same size costs and what a bare scene costs.

Three OBS processes run under Xvfb (llvmpipe), 1280x720 at 30 fps, each with CurtainUp
loaded: a bare scene, an image source showing a PNG of the countdown picture (the same
size, taken from the running source) and a counting CurtainUp source. Side by side (the
default) they run at once and each round reads them over the same seconds; with --alone
each runs by itself on the machine, one after another. A round reads every thread's CPU
time from /proc/<pid>/task/*/schedstat, grouped into OBS's graphics thread, CurtainUp's
render worker, the llvmpipe workers, OBS's main thread and the whole process, in ms of CPU
per second. The rounds and their medians are printed; no figure is judged, this machine is
too noisy for that.

Usage (from the checkout, after a build with the e2e targets):
    python3 tests/e2e/tools/thread_cpu.py BUILD_DIR [--alone] [--seconds 15] [--rounds 3] [--out DIR]
In a host root: bash scripts/hosts/root.sh run obs32 python3 tests/e2e/tools/thread_cpu.py
build-test/obs32
"""

import argparse
import os
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
CHECKOUT = os.path.abspath(os.path.join(HERE, "..", "..", ".."))

SCENE = "Show"
COUNTDOWN = "Countdown"
STILL = "Still"
CASES = ("bare", "image", "curtainup")
GROUPS = ("graphics", "render", "llvmpipe", "main", "process")
GRAPHICS_NAME = "libobs: graph"  # /proc cuts thread names to 15 characters
RENDER_NAME = "curtainup-frame"
COUNTDOWN_MS = 3600 * 1000


def scene_item(name, item_id):
    return {"name": name, "id": item_id, "visible": True, "locked": False, "rot": 0.0, "pos": {"x": 0.0, "y": 0.0},
            "scale": {"x": 1.0, "y": 1.0}, "align": 5, "bounds_type": 0, "bounds": {"x": 0.0, "y": 0.0},
            "bounds_align": 0}


def collection(source=None):
    """The scene "Show" on the program, holding `source` (an input's settings) or nothing."""
    items = [scene_item(source["name"], 1)] if source else []
    show = {"name": SCENE, "id": "scene", "versioned_id": "scene",
            "settings": {"items": items, "id_counter": len(items), "custom_size": False}}
    return {"name": "thread-cpu", "current_scene": SCENE, "current_program_scene": SCENE,
            "scene_order": [{"name": SCENE}], "sources": ([source] if source else []) + [show]}


def thread_times(pid):
    """{tid: (name, ns on CPU)} of a process's threads; threads that end meanwhile are skipped."""
    times = {}
    folder = "/proc/%d/task" % pid
    for tid in os.listdir(folder):
        try:
            with open(os.path.join(folder, tid, "comm")) as f:
                name = f.read().strip()
            with open(os.path.join(folder, tid, "schedstat")) as f:
                ns = int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            continue
        times[int(tid)] = (name, ns)
    return times


def group_of(pid, tid, name, graphics_tid):
    if tid == pid:
        return "main"
    if tid == graphics_tid:
        return "graphics"
    # CurtainUp's render worker; a build that did not name it left it with the name of the
    # graphics thread, which started it.
    if name.startswith((RENDER_NAME, GRAPHICS_NAME)):
        return "render"
    if name.startswith("llvmpipe"):
        return "llvmpipe"
    return None


def cpu_per_group(pid, before, after, seconds):
    """ms of CPU per second of each group between two readings."""
    spent = dict.fromkeys(GROUPS, 0.0)
    # OBS's graphics thread is the first of that name: it starts before any source renders.
    graphics_tid = min((tid for tid, (name, _) in after.items() if name.startswith(GRAPHICS_NAME)), default=None)
    for tid, (name, ns) in after.items():
        used = ns - before.get(tid, (name, 0))[1]
        group = group_of(pid, tid, name, graphics_tid)
        if group:
            spent[group] += used
        spent["process"] += used
    return {group: spent[group] / 1e6 / seconds for group in GROUPS}


def start_case(case, build_dir, out_dir, picture=None):
    """One case's OBS, started. The counting one also leaves a PNG of its picture, whose path
    comes back with it; the image case shows `picture`."""
    from obs_session import ObsSession
    from ws_client import ObsWebSocket

    sources = {
        "bare": None,
        "image": {"name": STILL, "id": "image_source", "versioned_id": "image_source",
                  "settings": {"file": picture, "unload": False}},
        "curtainup": {"name": COUNTDOWN, "id": "curtainup_source", "versioned_id": "curtainup_source",
                      "settings": {"kind": 0}},
    }
    session = ObsSession(build_dir, out_dir, scene_collection=collection(sources[case]), plugins=("curtainup",),
                         name=case).start()
    if case != "curtainup":
        return session, None
    with ObsWebSocket(session.port, events=0) as ws:
        answer = ws.wait_vendor("curtainup", "StartStandby", {"duration_ms": COUNTDOWN_MS})
        if not answer.get("ok"):
            raise RuntimeError("StartStandby was refused: %r" % answer)
        time.sleep(1.0)
        item = ws.call("GetSceneItemId", {"sceneName": SCENE, "sourceName": COUNTDOWN})["sceneItemId"]
        transform = ws.call("GetSceneItemTransform", {"sceneName": SCENE, "sceneItemId": item})["sceneItemTransform"]
        width, height = int(transform["sourceWidth"]), int(transform["sourceHeight"])
        shot = ws.call("GetSourceScreenshot", {"sourceName": COUNTDOWN, "imageFormat": "png", "imageWidth": width,
                                               "imageHeight": height})["imageData"]
    import base64
    picture = os.path.join(out_dir, "still.png")
    with open(picture, "wb") as f:
        f.write(base64.b64decode(shot.split(",", 1)[1]))
    print("countdown picture: %dx%d (the still image is a PNG of it, %s)" % (width, height, picture))
    return session, picture


def stop(session):
    try:
        session.stop(screenshot=False)
    except Exception as error:  # the figures are printed; a slow exit is not their fault
        print("stopping %s: %s" % (session.name, error))
    session.close()


def print_table(title, rows):
    print("\n%s (ms of CPU per second)" % title)
    print("%-10s" % "case" + "".join("%11s" % group for group in GROUPS))
    for case in (case for case in CASES if case in rows):
        print("%-10s" % case + "".join("%11.1f" % rows[case][group] for group in GROUPS))


def measure(sessions, seconds, rounds):
    """The medians of the rounds, for the cases of `sessions`, all read over the same seconds."""
    results = []
    for number in range(1, rounds + 1):
        pids = {case: session.obs.pid for case, session in sessions.items()}
        before = {case: thread_times(pid) for case, pid in pids.items()}
        began = time.monotonic()
        time.sleep(seconds)
        after = {case: thread_times(pid) for case, pid in pids.items()}
        elapsed = time.monotonic() - began
        rows = {case: cpu_per_group(pids[case], before[case], after[case], elapsed) for case in pids}
        print_table("round %d of %d, %.1f s" % (number, rounds, elapsed), rows)
        sys.stdout.flush()
        results.append(rows)
    medians = {case: {group: statistics.median(r[case][group] for r in results) for group in GROUPS}
               for case in pids}
    print_table("median of %d rounds" % rounds, medians)
    return medians


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build_dir")
    parser.add_argument("--seconds", type=float, default=15.0)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--alone", action="store_true", help="each OBS alone on the machine, one after another")
    parser.add_argument("--settle", type=float, default=5.0, help="seconds between the starts and the first round")
    parser.add_argument("--out", default=None, help="folder for the logs and the still picture")
    args = parser.parse_args()

    if not os.environ.get("CURTAINUP_PRIVATE_NETWORK"):
        # obs-websocket listens on every interface: only loopback is up in here.
        script = os.path.join(CHECKOUT, "scripts", "in-private-network.sh")
        os.execvp("bash", ["bash", script, "/usr/bin/python3"] + sys.argv)

    sys.path[:0] = [os.path.join(HERE, "..", "lib"), os.path.abspath(args.build_dir)]
    os.environ.setdefault("XDG_RUNTIME_DIR", tempfile.mkdtemp())
    out_dir = os.path.abspath(args.out or tempfile.mkdtemp(prefix="thread-cpu-"))
    os.makedirs(out_dir, exist_ok=True)

    import obs_session
    print("OBS %s, %d round(s) of %.0f s, %s" % (".".join(map(str, obs_session.obs_version())), args.rounds,
                                               args.seconds, "each process alone" if args.alone else
                                               "three processes side by side"))
    medians, sessions, picture = {}, {}, None
    try:
        for case in ("curtainup", "image", "bare"):  # the counting one first: it makes the picture
            sessions[case], shot = start_case(case, args.build_dir, out_dir, picture)
            picture = shot or picture
            if args.alone:
                time.sleep(args.settle)
                medians.update(measure({case: sessions[case]}, args.seconds, args.rounds))
                stop(sessions.pop(case))
        if not args.alone:
            time.sleep(args.settle)
            measure(sessions, args.seconds, args.rounds)
    finally:
        for session in sessions.values():
            stop(session)
    if args.alone:
        print_table("medians, each OBS alone", medians)
    print("logs: %s" % out_dir)


if __name__ == "__main__":
    main()
