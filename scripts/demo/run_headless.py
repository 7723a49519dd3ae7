"""Runs the demo show in OBS under Xvfb (for machines without a display) and saves
screenshots of the whole OBS window: ready, counting down, held, the OP and the main scene.

Usage: run_headless.py BUILD_DIR ARTIFACTS_DIR
"""

import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e", "lib"))
sys.path.insert(0, os.path.abspath(sys.argv[1]))  # module_facts.py, written by the build

import demo_show  # noqa: E402
from obs_session import ObsSession  # noqa: E402
from ws_client import ObsWebSocket  # noqa: E402


def main():
    build_dir, artifacts = sys.argv[1], sys.argv[2]
    session = ObsSession(build_dir, artifacts, scene_collection=None, plugins=("curtainup",), name="demo")
    # The media are made inside the throwaway HOME, so the collection needs it first.
    session.scene_collection = demo_show.collection(os.path.join(session.prepare_home(), "media"), 1280, 720)
    session.write_plugin_config(demo_show.config())

    shots = []
    try:
        session.start()
        session.fill_screen()
        with ObsWebSocket(session.port) as ws:
            shots.append(session.screenshot("1-ready"))
            ws.trigger_hotkey("curtainup.standby")
            time.sleep(4)
            shots.append(session.screenshot("2-counting-down"))
            ws.trigger_hotkey("curtainup.hold")
            time.sleep(1)
            shots.append(session.screenshot("3-held"))
            ws.trigger_hotkey("curtainup.hold")  # the operator resumes
            # Zero, three seconds of wait, the OP video, then the main scene.
            for scene, label in (("OP", "4-op"), ("Main", "5-main")):
                ws.wait_event("CurrentProgramSceneChanged", lambda event, scene=scene: event["sceneName"] == scene,
                              timeout=60)
                time.sleep(1.5)
                shots.append(session.screenshot(label))
        session.stop()
    finally:
        session.close()
    for shot in shots:
        print("demo: screenshot %s" % shot)
    print("demo: OBS log %s" % os.path.join(artifacts, "demo-run1.log"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
