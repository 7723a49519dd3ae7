"""Runs the demo show in OBS under Xvfb (for machines without a display) and saves
screenshots of the whole OBS window: idle, counting down, held, the OP and the main scene.

Usage: run_headless.py BUILD_DIR ARTIFACTS_DIR
"""

import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e", "lib"))

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
        with ObsWebSocket(session.port) as ws:
            time.sleep(2)
            shots.append(session.screenshot("1-ready"))
            ws.trigger_hotkey("curtainup.standby")
            time.sleep(4)
            shots.append(session.screenshot("2-counting-down"))
            ws.trigger_hotkey("curtainup.hold")
            time.sleep(2)
            shots.append(session.screenshot("3-held"))
            ws.trigger_hotkey("curtainup.hold")
            ws.trigger_hotkey("curtainup.main")
            time.sleep(3)
            shots.append(session.screenshot("4-main"))
        session.stop()
    finally:
        session.close()
    for shot in shots:
        print("demo: screenshot %s" % shot)
    print("demo: OBS log %s" % session.log_path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
