"""The world the end-to-end shows run in: scene collections built from colour and media
sources, a real RTMP server on 127.0.0.1, and the times read from OBS's own log."""

import datetime
import os
import re
import socket
import subprocess
import time

from obs_session import free_port

STAMP = re.compile(r"^(\d\d):(\d\d):(\d\d)\.(\d\d\d): (.*)$")


# --- scene collections ------------------------------------------------------------------

def item(name, item_id, visible=True):
    return {"name": name, "id": item_id, "visible": visible, "locked": False, "rot": 0.0,
            "pos": {"x": 0.0, "y": 0.0}, "scale": {"x": 1.0, "y": 1.0}, "align": 5,
            "bounds_type": 0, "bounds": {"x": 0.0, "y": 0.0}, "bounds_align": 0}


def scene(name, members, kind="scene"):
    items = [item(member, index + 1, visible) for index, (member, visible) in enumerate(members)]
    settings = {"items": items, "id_counter": len(items), "custom_size": kind == "group"}
    if kind == "group":
        settings.update(cx=320, cy=180)
    return {"name": name, "id": kind, "versioned_id": kind, "settings": settings}


def media_source(name, path, looping=False):
    return {"name": name, "id": "ffmpeg_source", "versioned_id": "ffmpeg_source",
            "settings": {"local_file": path, "is_local_file": True, "looping": looping,
                         "restart_on_activate": True, "close_when_inactive": False}}


def colour(name):
    return {"name": name, "id": "color_source_v3", "versioned_id": "color_source_v3",
            "settings": {"color": 0xFF402020, "width": 320, "height": 180}}



def make_clip(path, seconds, rate=30):
    """A test picture with a tone, `seconds` long, as H.264 and AAC."""
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y",
                    "-f", "lavfi", "-i", "testsrc2=size=320x180:rate=%d:duration=%d" % (rate, seconds),
                    "-f", "lavfi", "-i", "sine=frequency=660:duration=%d" % seconds,
                    "-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", path], check=True)
    return path


# --- the RTMP server --------------------------------------------------------------------

class RtmpServer:
    """nginx with the RTMP module on 127.0.0.1, with its own configuration and files."""

    def __init__(self, folder):
        self.folder = folder
        self.port = free_port()
        self.process = None

    def start(self):
        conf = os.path.join(self.folder, "nginx.conf")
        with open(conf, "w", encoding="utf-8") as f:
            f.write("load_module /usr/lib/nginx/modules/ngx_rtmp_module.so;\n"
                    "daemon off;\nmaster_process off;\npid %s/nginx.pid;\nerror_log %s/error.log info;\n"
                    "events { worker_connections 32; }\n"
                    "rtmp { server { listen 127.0.0.1:%d; application live { live on; record off; } } }\n"
                    % (self.folder, self.folder, self.port))
        self.process = subprocess.Popen(["nginx", "-p", self.folder, "-e", os.path.join(self.folder, "error.log"),
                                         "-c", conf], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=0.5).close()
                return self
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("nginx did not listen on port %d" % self.port)

    def url(self):
        return "rtmp://127.0.0.1:%d/live" % self.port

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)


# --- reading the log ------------------------------------------------------------------

def stamped_lines(session):
    """(seconds since the epoch, text) for every stamped line of the current log."""
    today = datetime.date.today()
    lines = []
    for raw in session.log_text().splitlines():
        match = STAMP.match(raw)
        if match:
            hours, minutes, seconds, millis, text = match.groups()
            when = datetime.datetime.combine(today, datetime.time(int(hours), int(minutes), int(seconds),
                                                                  int(millis) * 1000))
            lines.append((when.timestamp(), text))
    return lines


def first_time(lines, text, after=0.0):
    """The time of the first line at or after `after` that contains `text`. The log stamps
    whole milliseconds, so a line of the same millisecond may read up to 1 ms earlier."""
    for when, line in lines:
        if when >= after - 0.001 and text in line:
            return when
    raise AssertionError("no log line with %r after %.3f" % (text, after))
