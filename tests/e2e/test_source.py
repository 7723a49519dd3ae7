"""The countdown source in a real OBS: a standby and a break curtainup_source in the
program scene, pictures taken through obs-websocket's GetSourceScreenshot (kept as PNGs in
the artefacts folder), and the texture uploads counted through each source's own procedure
"curtainup_get_stats" while the picture is steady and while the countdown runs. OBS runs
with --verbose, so a log line per frame would show as well."""

import base64
import os
import struct
import time
import unittest
import zlib

import standin
from obs_session import session_from_env
from show_test import ShowTest
from ws_client import ObsWebSocket

PRESET = "e2e picture"
SCENE = "Show"
STANDBY, BREAK = "Countdown Standby", "Countdown Break"
COUNTDOWN_MS = 16000
BREAK_MS = 90000
WINDOW_S = 10.0
KIND_CHANGED = "Countdown Kind"


# --- PNG --------------------------------------------------------------------------------

class Picture:
    """An 8-bit RGB or RGBA PNG decoded into rows of (r, g, b, a) tuples."""

    def __init__(self, data):
        if data[:8] != b"\x89PNG\r\n\x1a\n":
            raise ValueError("not a PNG")
        chunks, offset = {}, 8
        while offset < len(data):
            length, kind = struct.unpack(">I4s", data[offset:offset + 8])
            chunks.setdefault(kind, []).append(data[offset + 8:offset + 8 + length])
            offset += 12 + length
        width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[b"IHDR"][0])
        if depth != 8 or colour not in (2, 6) or interlace:
            raise ValueError("unsupported PNG: depth %d, colour type %d, interlace %d" % (depth, colour, interlace))
        channels = 4 if colour == 6 else 3
        raw = zlib.decompress(b"".join(chunks[b"IDAT"]))
        self.width, self.height = width, height
        self.rows = []
        stride = width * channels
        previous = bytearray(stride)
        for y in range(height):
            start = y * (stride + 1)
            line = self._unfilter(raw[start], bytearray(raw[start + 1:start + 1 + stride]), previous, channels)
            previous = line
            pixels = [tuple(line[x:x + channels]) for x in range(0, stride, channels)]
            self.rows.append([p if channels == 4 else p + (255,) for p in pixels])

    @staticmethod
    def _unfilter(kind, line, above, bpp):
        for i in range(len(line)):
            left = line[i - bpp] if i >= bpp else 0
            up = above[i]
            corner = above[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + predictor) & 0xFF
        return line

    def alpha(self, x, y):
        return self.rows[y][x][3]

    def corners(self):
        w, h = self.width - 1, self.height - 1
        return [self.alpha(0, 0), self.alpha(w, 0), self.alpha(0, h), self.alpha(w, h)]

    def ink_box(self):
        """(left, top, right, bottom) of the pixels with any alpha, or None."""
        columns = [x for x in range(self.width) if any(self.rows[y][x][3] for y in range(self.height))]
        lines = [y for y in range(self.height) if any(p[3] for p in self.rows[y])]
        return (columns[0], lines[0], columns[-1], lines[-1]) if columns else None

    def opaque_count(self):
        return sum(1 for row in self.rows for p in row if p[3] == 255)


# --- the scene --------------------------------------------------------------------------

def countdown_source(name, kind):
    return {"name": name, "id": "curtainup_source", "versioned_id": "curtainup_source", "settings": {"kind": kind}}


def collection():
    """One program scene holding both kinds, the break one below the standby one."""
    items = []
    for index, (name, y) in enumerate(((STANDBY, 0.0), (BREAK, 420.0))):
        items.append({"name": name, "id": index + 1, "visible": True, "locked": False, "rot": 0.0,
                      "pos": {"x": 0.0, "y": y}, "scale": {"x": 1.0, "y": 1.0}, "align": 5,
                      "bounds_type": 0, "bounds": {"x": 0.0, "y": 0.0}, "bounds_align": 0})
    show = {"name": SCENE, "id": "scene", "versioned_id": "scene",
            "settings": {"items": items, "id_counter": len(items), "custom_size": False}}
    return {"name": "source-e2e", "current_scene": SCENE, "current_program_scene": SCENE,
            "scene_order": [{"name": SCENE}],
            "sources": [countdown_source(STANDBY, 0), countdown_source(BREAK, 1), show]}


def preset():
    return {"name": PRESET, "standby_scene": SCENE, "count_mode": 1, "duration_ms": COUNTDOWN_MS,
            "title": "Soon", "messages": "Thanks for waiting", "end_text": "GO", "holdText": "WAIT",
            "switch_after": 3, "break_scene": SCENE, "break_ms": BREAK_MS, "break_text": "Break",
            "style": {"font": "DejaVu Sans", "size": 120, "outline_width": 8}}


class CountdownSourceTest(ShowTest):
    note_tag = "source"

    @classmethod
    def setUpClass(cls):
        # --verbose: debug lines are logged too.
        cls.session = session_from_env("source", scene_collection=collection(), obs_args=("--verbose",))
        cls.addClassCleanup(cls.session.close)
        cls.session.write_plugin_config({"version": 2, "current": 0, "presets": [preset()]})

        cls.session.start()
        try:
            with ObsWebSocket(cls.session.port) as ws:
                cls.ws = ws
                cls.run_show()
        finally:
            cls.session.stop()
        cls.facts["leaks"] = cls.session.leak_count()
        cls.facts["log"] = cls.session.log_text()

    # --- helpers -------------------------------------------------------------------------
    @classmethod
    def screenshot(cls, source, label):
        """A PNG of the source at its own size, saved as <artefacts>/<source>-<label>.png."""
        answer = cls.ws.call("GetSourceScreenshot", {"sourceName": source, "imageFormat": "png"})
        data = base64.b64decode(answer["imageData"].split(",", 1)[1])
        path = os.path.join(cls.session.artifacts_dir, "%s-%s.png" % (source.replace(" ", "-").lower(), label))
        with open(path, "wb") as f:
            f.write(data)
        cls.facts.setdefault("pngs", []).append(os.path.basename(path))
        return Picture(data)

    @classmethod
    def source_size(cls, source):
        item_id = cls.ws.call("GetSceneItemId", {"sceneName": SCENE, "sourceName": source})["sceneItemId"]
        transform = cls.ws.call("GetSceneItemTransform", {"sceneName": SCENE, "sceneItemId": item_id})
        return int(transform["sceneItemTransform"]["sourceWidth"]), int(transform["sceneItemTransform"]["sourceHeight"])

    @classmethod
    def reported_size(cls, source):
        """The size the source reports right now: a screenshot is taken at it."""
        answer = cls.ws.call("GetSourceScreenshot", {"sourceName": source, "imageFormat": "png"})
        header = base64.b64decode(answer["imageData"].split(",", 1)[1])[16:24]
        return struct.unpack(">II", header)

    @classmethod
    def uploads(cls, source):
        """Frames the source has uploaded so far, from its own procedure."""
        answer = cls.ws.vendor(standin.VENDOR, "call_proc", {
            "name": "curtainup_get_stats", "source": source, "out": [{"name": "uploads", "type": "int"}]})
        if "error" in answer or not answer["called"]:
            raise RuntimeError("curtainup_get_stats of '%s' failed: %r" % (source, answer))
        return answer["out"]["uploads"]

    @classmethod
    def uploads_over(cls, seconds):
        """Uploads per source during `seconds`; the module's log lines meanwhile are kept."""
        logged = len(cls.session.log_lines())
        before = {name: cls.uploads(name) for name in (STANDBY, BREAK)}
        time.sleep(seconds)
        after = {name: cls.uploads(name) for name in (STANDBY, BREAK)}
        lines = [line for line in cls.session.log_lines()[logged:] if "[curtainup]" in line]
        cls.facts.setdefault("window_log", []).extend(lines)
        return {name: after[name] - before[name] for name in (STANDBY, BREAK)}

    @classmethod
    def wait_uploads(cls, source, count, timeout):
        """Waits until the source has uploaded `count` frames; returns how many it has."""
        deadline = time.monotonic() + timeout
        while cls.uploads(source) < count and time.monotonic() < deadline:
            time.sleep(0.05)
        return cls.uploads(source)

    @classmethod
    def wait_first_frames(cls):
        for name in (STANDBY, BREAK):
            if cls.wait_uploads(name, 1, 10) < 1:
                raise TimeoutError("%s uploaded no frame within 10 s" % name)

    @classmethod
    def wait_until_zero(cls):
        deadline = time.monotonic() + COUNTDOWN_MS / 1000 + 5
        while standin.call_proc(cls.ws, "curtainup_get_state", out={"mode": str, "counting": bool})[1]["counting"]:
            if time.monotonic() > deadline:
                raise TimeoutError("the countdown did not reach zero")
            time.sleep(0.2)

    @classmethod
    def hold(cls, on):
        return standin.call_proc(cls.ws, "curtainup_hold", {"on": on, "from": "desk", "reason": "e2e"})[0]

    @classmethod
    def change_kind(cls):
        """A standby source switched to the break kind while the show stands still."""
        cls.ws.call("CreateInput", {"sceneName": SCENE, "inputName": KIND_CHANGED, "inputKind": "curtainup_source",
                                    "inputSettings": {"kind": 0}, "sceneItemEnabled": True})
        before = cls.wait_uploads(KIND_CHANGED, 1, 5)
        cls.ws.call("SetInputSettings", {"inputName": KIND_CHANGED, "inputSettings": {"kind": 1}})
        after = cls.wait_uploads(KIND_CHANGED, before + 1, 3)
        changed = cls.screenshot(KIND_CHANGED, "kind-changed")
        reference = cls.screenshot(BREAK, "kind-reference")
        cls.ws.call("RemoveInput", {"inputName": KIND_CHANGED})
        return {"uploads": after - before, "same_picture": changed.rows == reference.rows}

    @classmethod
    def churn_sources(cls):
        """Sources added, switched to the break kind and removed while frames render."""
        sizes = []
        for round_ in range(5):
            name = "Countdown Extra %d" % round_
            cls.ws.call("CreateInput", {"sceneName": SCENE, "inputName": name, "inputKind": "curtainup_source",
                                        "inputSettings": {"kind": 0}, "sceneItemEnabled": True})
            standby_size = cls.reported_size(name)
            cls.ws.call("SetInputSettings", {"inputName": name, "inputSettings": {"kind": 1}})
            # libobs hands new settings of a video source to it at the next frame.
            deadline = time.monotonic() + 1.0
            while cls.reported_size(name) == standby_size and time.monotonic() < deadline:
                time.sleep(0.01)
            sizes.append((standby_size, cls.reported_size(name)))
            if round_ % 2:
                time.sleep(0.2)  # removed after its first frames; the others before them
            cls.ws.call("RemoveInput", {"inputName": name})
        return sizes

    # --- the run -------------------------------------------------------------------------
    @classmethod
    def run_show(cls):
        cls.wait_first_frames()
        time.sleep(1.0)  # let the first frames settle
        cls.facts["idle"] = {STANDBY: cls.screenshot(STANDBY, "idle"), BREAK: cls.screenshot(BREAK, "idle"),
                             "sizes": {name: cls.source_size(name) for name in (STANDBY, BREAK)}}
        cls.facts["idle_uploads"] = cls.uploads_over(WINDOW_S)

        cls.ws.trigger_hotkey("curtainup.standby")
        cls.session.wait_for_log(r"\[curtainup\] standby started", 5)
        time.sleep(0.5)
        first = cls.screenshot(STANDBY, "counting-1")
        time.sleep(1.0)
        second = cls.screenshot(STANDBY, "counting-2")
        cls.facts["counting"] = (first, second)
        cls.facts["counting_uploads"] = cls.uploads_over(WINDOW_S)

        # Held through zero: the hold text stands still, and the director waits.
        cls.facts["hold_called"] = cls.hold(True)
        cls.wait_until_zero()
        time.sleep(1.0)
        cls.facts["held"] = cls.screenshot(STANDBY, "held")
        cls.facts["held_uploads"] = cls.uploads_over(WINDOW_S)

        cls.facts["kind_change"] = cls.change_kind()
        cls.facts["churn"] = cls.churn_sources()

        cls.ws.trigger_hotkey("curtainup.break")
        time.sleep(0.5)
        first = cls.screenshot(BREAK, "break-1")
        time.sleep(1.0)
        second = cls.screenshot(BREAK, "break-2")
        cls.facts["break"] = (first, second)

    # --- checks --------------------------------------------------------------------------
    def test_pictures_are_see_through_at_their_natural_size(self):
        idle = self.facts["idle"]
        for name in (STANDBY, BREAK):
            picture = idle[name]
            self.assertEqual((picture.width, picture.height), idle["sizes"][name], name)
            self.assertEqual(picture.corners(), [0, 0, 0, 0], name)
            self.assertGreater(picture.opaque_count(), 500, name)
            left, top, right, bottom = picture.ink_box()
            # Nothing touches the edges, and the drawing fills most of the width.
            self.assertGreater(left, 0, name)
            self.assertGreater(top, 0, name)
            self.assertLess(right, picture.width - 1, name)
            self.assertLess(bottom, picture.height - 1, name)
            self.assertGreater(right - left, picture.width * 0.7, name)
            self.note("%s natural size %dx%d, ink %s"
                      % (name, picture.width, picture.height, (left, top, right, bottom)))
        # The applied preset was measured: not the sizes used before any preset.
        self.assertNotEqual(idle["sizes"][STANDBY], (800, 300))
        self.assertNotEqual(idle["sizes"][BREAK], (600, 160))

    def test_standby_digits_change_a_second_apart(self):
        first, second = self.facts["counting"]
        self.assertEqual((first.width, first.height), (second.width, second.height))
        self.assertEqual(second.corners(), [0, 0, 0, 0])
        self.assertNotEqual(first.rows, second.rows)

    def test_break_digits_change_a_second_apart(self):
        first, second = self.facts["break"]
        self.assertEqual((first.width, first.height), self.facts["idle"]["sizes"][BREAK])
        self.assertEqual(second.corners(), [0, 0, 0, 0])
        self.assertNotEqual(first.rows, second.rows)

    def test_no_uploads_while_the_picture_is_steady(self):
        self.note("uploads in %.0f s idle: %s; held: %s" % (WINDOW_S, self.facts["idle_uploads"],
                                                            self.facts["held_uploads"]))
        self.assertEqual(self.facts["idle_uploads"], {STANDBY: 0, BREAK: 0})
        self.assertTrue(self.facts["hold_called"])
        self.assertEqual(self.facts["held_uploads"], {STANDBY: 0, BREAK: 0})
        self.assertEqual(self.facts["held"].corners(), [0, 0, 0, 0])

    def test_one_upload_per_second_while_counting(self):
        uploads = self.facts["counting_uploads"]
        self.note("uploads in %.0f s of a running countdown: %s" % (WINDOW_S, uploads))
        # The standby's time layer once per shown second; the break picture does not change
        # while the standby counts, so nothing of it is uploaded again.
        self.assertGreaterEqual(uploads[STANDBY], WINDOW_S - 1)
        self.assertLessEqual(uploads[STANDBY], WINDOW_S + 2)
        self.assertEqual(uploads[BREAK], 0)

    def test_nothing_is_logged_per_frame(self):
        # Neither the graphics thread nor anything else logs while the show runs by itself.
        self.assertEqual(self.facts["window_log"], [])

    def test_kind_change_redraws_the_break_picture(self):
        kind_change = self.facts["kind_change"]
        self.note("uploads after the kind change: %d" % kind_change["uploads"])
        self.assertGreaterEqual(kind_change["uploads"], 1)
        self.assertTrue(kind_change["same_picture"])

    def test_kind_change_reports_the_break_size_with_the_new_settings(self):
        sizes = self.facts["idle"]["sizes"]
        for standby_size, break_size in self.facts["churn"]:
            self.assertEqual(standby_size, sizes[STANDBY])
            self.assertEqual(break_size, sizes[BREAK])

    def test_layers_are_drawn_with_their_own_effect(self):
        # Without it the layers are still drawn, by OBS's default effect, but cannot fade.
        self.assertNotIn("layer effect did not compile", self.facts["log"])

    def test_exits_without_leaks(self):
        self.note("screenshots: %s" % ", ".join(self.facts.get("pngs", [])))
        self.assertEqual(self.facts["leaks"], 0)


if __name__ == "__main__":
    unittest.main()
