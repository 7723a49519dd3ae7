"""The demo show: a scene collection, its media (made with ffmpeg) and a preset.

Scenes: Standby (backdrop, standby countdown, music), OP (a short video), Main, Break
(break countdown) and Ending. The preset counts down 30 seconds, waits 3 seconds at zero,
plays the OP video to its end and goes to Main.
"""

import json
import os
import subprocess

COLLECTION = "CurtainUp Demo"
PRESET = "Demo show"


def make_media(folder):
    """A 6 s OP video with a tone and a minute of music; made once."""
    os.makedirs(folder, exist_ok=True)
    video = os.path.join(folder, "op.mp4")
    music = os.path.join(folder, "music.ogg")
    ffmpeg = ["ffmpeg", "-loglevel", "error", "-y"]
    if not os.path.exists(video):
        subprocess.run(ffmpeg + ["-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=30:duration=6",
                                 "-f", "lavfi", "-i", "sine=frequency=660:duration=6",
                                 "-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", video],
                       check=True)
    if not os.path.exists(music):
        subprocess.run(ffmpeg + ["-f", "lavfi", "-i", "sine=frequency=440:duration=60",
                                 "-af", "volume=0.3", "-c:a", "libvorbis", music], check=True)
    return video, music


def color(rgb):
    """OBS stores colours as 0xAABBGGRR."""
    r, g, b = (rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255
    return 0xFF000000 | (b << 16) | (g << 8) | r


def item(name, item_id, width, height, centred=False):
    entry = {"name": name, "id": item_id, "visible": True, "locked": False, "rot": 0.0,
             "pos": {"x": 0.0, "y": 0.0}, "scale": {"x": 1.0, "y": 1.0}, "align": 5,
             "bounds_type": 0, "bounds": {"x": 0.0, "y": 0.0}, "bounds_align": 0}
    if centred:
        entry.update(pos={"x": width / 2.0, "y": height / 2.0}, align=0)
    return entry


def scene(name, members, width, height):
    items = [item(member, index + 1, width, height, centred=centred)
             for index, (member, centred) in enumerate(members)]
    return {"name": name, "id": "scene", "versioned_id": "scene",
            "settings": {"items": items, "id_counter": len(items), "custom_size": False}}


def source(name, kind, settings):
    return {"name": name, "id": kind, "versioned_id": kind, "settings": settings}


def collection(media_folder, width=1920, height=1080):
    video, music = make_media(media_folder)

    def backdrop(name, rgb):
        return source(name, "color_source_v3", {"color": color(rgb), "width": width, "height": height})

    def label(name, text):
        return source(name, "text_ft2_source_v2", {"text": text, "font": {"face": "DejaVu Sans", "size": 96},
                                                  "color1": 0xFFFFFFFF, "color2": 0xFFFFFFFF})

    sources = [
        backdrop("Demo Backdrop", 0x2B2440), backdrop("Demo Main Backdrop", 0x1E4E79),
        backdrop("Demo Break Backdrop", 0x245C3A), backdrop("Demo Ending Backdrop", 0x4A2245),
        source("Demo Countdown", "curtainup_source", {"kind": 0}),
        source("Demo Break Countdown", "curtainup_source", {"kind": 1}),
        source("Demo OP Video", "ffmpeg_source", {"local_file": video, "is_local_file": True,
                                                  "restart_on_activate": True, "close_when_inactive": False}),
        source("Demo Music", "ffmpeg_source", {"local_file": music, "is_local_file": True, "looping": True}),
        label("Demo Main Text", "Main scene"), label("Demo Ending Text", "Thanks for watching"),
        scene("Standby", [("Demo Backdrop", False), ("Demo Countdown", True), ("Demo Music", False)], width, height),
        scene("OP", [("Demo OP Video", False)], width, height),
        scene("Main", [("Demo Main Backdrop", False), ("Demo Main Text", True)], width, height),
        scene("Break", [("Demo Break Backdrop", False), ("Demo Break Countdown", True)], width, height),
        scene("Ending", [("Demo Ending Backdrop", False), ("Demo Ending Text", True)], width, height),
    ]
    return {"name": COLLECTION, "current_scene": "Main", "current_program_scene": "Main",
            "scene_order": [{"name": n} for n in ("Standby", "OP", "Main", "Break", "Ending")],
            "sources": sources, "groups": [], "transitions": [],
            "current_transition": "Fade", "transition_duration": 300}


def preset():
    def fade(ms):
        return {"name": "Fade", "ms": ms}

    return {"name": PRESET, "standby_scene": "Standby", "count_mode": 1, "duration_ms": 30000,
            "title": "Starting Soon", "switch_after": 3, "bgm": "Demo Music", "last_ten": 1,
            "to_standby": fade(300), "op_scene": "OP", "to_op": fade(800), "main_scene": "Main",
            "to_main": fade(500), "break_scene": "Break", "break_ms": 20000, "to_break": fade(300),
            "from_break": fade(300), "ending_scene": "Ending", "to_ending": fade(1000)}


def config():
    return {"version": 2, "current": 0, "presets": [preset()]}


def write_json(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        json.dump(data, f, ensure_ascii=False, indent=4)
