"""One OBS Studio process under a private Xvfb display, with a throwaway HOME.

OBS 29 under Xvfb can crash or hang when SIGINT comes right after start; waiting about a
second after the websocket answers and unmapping OBS's windows first avoids that, so
stop() always does both.
"""

import configparser
import glob
import json
import os
import re
import resource
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import time

import websocket  # Debian's python3-websocket (websocket-client)
from module_facts import UNLOAD_LINE
import shutdown_race
from ws_client import NOT_READY, ObsRequestError, ObsWebSocket

OBS_START_TIMEOUT = 60.0
OBS_STOP_TIMEOUT = 20.0
INSTALL_TIMEOUT = 900.0
SETTLE_BEFORE_STOP = 1.0
SCREEN = (1920, 1080)
LEAK_LINE = re.compile(r"Number of memory leaks: (\d+)\s*$")
PROFILE = "e2e"
USER_INI_FILES = ("global.ini", "user.ini")

# Each plug-in's per-user install target in the build tree.
INSTALL_TARGETS = {"curtainup": "install-user", "cuebox-standin": "install-user-cuebox-standin"}


class ObsError(RuntimeError):
    pass


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def obs_version():
    """The installed OBS's version as a tuple of ints, e.g. (32, 2, 2)."""
    global _obs_version
    if _obs_version is None:
        text = subprocess.run(["obs", "--version"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              text=True, timeout=30).stdout
        match = re.search(r"(\d+)\.(\d+)\.(\d+)", text)
        if not match:
            raise ObsError("obs --version printed no version: %r" % text)
        _obs_version = tuple(int(part) for part in match.groups())
    return _obs_version


_obs_version = None


def port_answers(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.5):
            return True
    except OSError:
        return False


def read_ini(path):
    parser = configparser.RawConfigParser(strict=False)
    parser.optionxform = str  # OBS keys are case-sensitive
    if os.path.exists(path):
        parser.read(path, encoding="utf-8-sig")
    return {section: dict(parser[section]) for section in parser.sections()}


def write_ini(path, sections):
    parser = configparser.RawConfigParser()
    parser.optionxform = str
    for section, values in sections.items():
        parser[section] = {key: str(value) for key, value in values.items()}
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        parser.write(f, space_around_delimiters=False)


def write_json(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        json.dump(data, f, ensure_ascii=False, indent=4)


def merge_sections(base, extra):
    merged = {section: dict(values) for section, values in base.items()}
    for section, values in (extra or {}).items():
        merged.setdefault(section, {}).update(values)
    return merged


# Graceful exits in this run where OBS's own shutdown went wrong and nothing of ours was in
# it (see shutdown_race.py), by the test class ("module.Class") whose OBS it was. OBS 32 does
# this now and then, with CurtainUp loaded or not; run_suite.py runs such a class once more
# when it failed. OWNER is the class whose fixtures and tests run now (set by run_suite.py).
SHUTDOWN_RACES = {}
OWNER = None


def allow_core_dump():
    """Runs in OBS's process before it starts: a crash leaves a core file to look at."""
    _, hard = resource.getrlimit(resource.RLIMIT_CORE)
    resource.setrlimit(resource.RLIMIT_CORE, (hard, hard))


class ObsSession:
    """Starts and stops OBS; a second start() reuses the same HOME and its files.
    `obs_args` are added to OBS's command line (e.g. "--verbose" for debug lines). With a
    `password`, obs-websocket asks for it, and OBS keeps its port when it starts again (a
    client is set up once for one address)."""

    def __init__(self, build_dir, artifacts_dir, scene_collection=None, profile_ini_extra=None,
                 plugins=("curtainup", "cuebox-standin"), with_curtainup=True, name="obs", obs_args=(),
                 password=None):
        self.build_dir = os.path.abspath(build_dir)
        self.artifacts_dir = os.path.abspath(artifacts_dir)
        self.scene_collection = scene_collection
        self.profile_ini_extra = profile_ini_extra
        self.plugins = [p for p in plugins if with_curtainup or p != "curtainup"]
        self.name = name
        self.obs_args = list(obs_args)
        self.password = password
        self.home = None
        self.port = None
        self.display = None
        self.obs = None
        self.xvfb = None
        self._display_pipe = None
        self.log_path = None
        self.runs = 0
        self.start_seconds = None
        self.stop_seconds = None
        self.exit_seconds = None  # SIGINT to process exit
        self.exit_code = None
        self._ready_at = None
        self._installed = False
        self.ready_probe = None  # the request that tells OBS answers (see _answers_requests)
        self.first_answer = None

    # --- paths -------------------------------------------------------------------------
    @property
    def config_dir(self):
        return os.path.join(self.home, ".config", "obs-studio")

    @property
    def user_ini_path(self):
        """Where OBS keeps its user settings, the window and dock layout among them."""
        return os.path.join(self.config_dir, "user.ini" if obs_version() >= (31,) else "global.ini")

    def plugin_config_dir(self, plugin="curtainup"):
        return os.path.join(self.config_dir, "plugin_config", plugin)

    def plugin_config_path(self, plugin="curtainup"):
        return os.path.join(self.plugin_config_dir(plugin), "config.json")

    def read_plugin_config(self, plugin="curtainup"):
        with open(self.plugin_config_path(plugin), encoding="utf-8") as f:
            return json.load(f)

    def write_plugin_config(self, data, plugin="curtainup"):
        """Writes the plug-in's config.json, making HOME first if there is none yet."""
        self.prepare_home()
        write_json(self.plugin_config_path(plugin), data)

    @property
    def standin_record_path(self):
        return os.path.join(self.home, "cuebox-standin-records.jsonl")

    def standin_records(self):
        """The calls the Cuebox stand-in recorded, from its file (readable after OBS exits)."""
        if not os.path.exists(self.standin_record_path):
            return []
        with open(self.standin_record_path, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]

    # --- start ------------------------------------------------------------------------
    def prepare_home(self):
        """Makes the throwaway HOME and the artefacts folder, once, so that files can be put
        there before the first start; returns HOME."""
        if self.home is None:
            self.home = tempfile.mkdtemp(prefix="curtainup-e2e-")
            os.makedirs(self.artifacts_dir, exist_ok=True)
        return self.home

    def start(self):
        if self.obs is not None:
            raise ObsError("OBS is already running")
        self.prepare_home()
        if self.port is None or self.password is None:
            self.port = free_port()
        self._write_config()
        if not self._installed:
            self._install_plugins()
            self._installed = True

        self.runs += 1
        began = time.monotonic()
        started_at = time.time()
        self._start_xvfb()
        try:
            self._start_obs()
            self._wait_until_ready()
            self.log_path = self._log_since(started_at)
            if "cuebox-standin" in self.plugins:
                self.wait_for_log(r"\[cuebox-standin\] vendor requests registered", 10)
        except Exception:
            self._kill()
            raise
        self.start_seconds = time.monotonic() - began
        return self

    def _write_config(self):
        collection = self.scene_collection
        collection_name = collection.get("name", "e2e") if collection else "e2e"
        # OBS 29 and 30 read these from global.ini, OBS 31 and later from user.ini. A restart
        # keeps what OBS saved there (window and dock layout) and only sets ours.
        for ini in USER_INI_FILES:
            path = os.path.join(self.config_dir, ini)
            write_ini(path, merge_sections(read_ini(path), {
                "General": {"FirstRun": "true"},
                "OBSWebSocket": {"FirstLoad": "false", "ServerEnabled": "true", "ServerPort": self.port,
                                 "AuthRequired": "true" if self.password else "false",
                                 "ServerPassword": self.password or "", "AlertsEnabled": "false"},
                "Basic": {"Profile": PROFILE, "ProfileDir": PROFILE,
                          "SceneCollection": collection_name, "SceneCollectionFile": collection_name},
            }))
        profile_ini = os.path.join(self.config_dir, "basic", "profiles", PROFILE, "basic.ini")
        if not os.path.exists(profile_ini):
            write_ini(profile_ini, merge_sections({
                "General": {"Name": PROFILE},
                "Video": {"BaseCX": 1280, "BaseCY": 720, "OutputCX": 1280, "OutputCY": 720,
                          "FPSType": 0, "FPSCommon": 30},
            }, self.profile_ini_extra))
        scenes_file = os.path.join(self.config_dir, "basic", "scenes", collection_name + ".json")
        if collection and not os.path.exists(scenes_file):
            write_json(scenes_file, collection)

    def _install_plugins(self):
        targets = []
        for plugin in self.plugins:
            targets += ["--target", INSTALL_TARGETS[plugin]]
        if not targets:
            return
        env = dict(os.environ, HOME=self.home)
        result = subprocess.run(["cmake", "--build", self.build_dir] + targets, env=env,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                timeout=INSTALL_TIMEOUT, text=True)
        if result.returncode != 0:
            raise ObsError("installing %s failed:\n%s" % (", ".join(self.plugins), result.stdout[-4000:]))

    def _start_xvfb(self):
        # Xvfb writes its display number and the newline in two writes and dies if the
        # second one fails, so the pipe is read up to the newline and kept open until it stops.
        self._display_pipe, write_end = os.pipe()
        try:
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN,
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finally:
            os.close(write_end)
        number = self._read_display_number(timeout=10)
        if not number.isdigit():
            self._kill()
            raise ObsError("Xvfb did not report a display")
        self.display = ":" + number

    def _read_display_number(self, timeout):
        text = b""
        deadline = time.monotonic() + timeout
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            ready, _, _ = select.select([self._display_pipe], [], [], max(left, 0))
            if not ready:
                break
            chunk = os.read(self._display_pipe, 64)
            if not chunk:
                break
            text += chunk
        return text.decode().strip()

    def _obs_env(self):
        env = {key: value for key, value in os.environ.items() if not key.startswith(("XDG_", "WAYLAND", "DBUS_"))}
        env.update(HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, ".config"), DISPLAY=self.display,
                   LIBGL_ALWAYS_SOFTWARE="1", QT_QPA_PLATFORM="xcb",
                   CUEBOX_STANDIN_RECORD=self.standin_record_path)
        return env

    def _start_obs(self):
        prefix = os.path.join(self.artifacts_dir, "%s-run%d" % (self.name, self.runs))
        with open(prefix + ".stdout.txt", "wb") as out:
            self.obs = subprocess.Popen(["obs", "--unfiltered_log", "--multi"] + self.obs_args, env=self._obs_env(),
                                        cwd=self.home, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                        preexec_fn=allow_core_dump)

    def _wait_until_ready(self):
        """Waits until obs-websocket answers requests. obs-websocket 5.7 opens its port before
        OBS has finished loading and answers 207 ("not ready") until then."""
        deadline = time.monotonic() + OBS_START_TIMEOUT
        while not self._answers_requests():
            if self.obs.poll() is not None:
                raise ObsError("OBS exited during start with code %s" % self.obs.returncode)
            if time.monotonic() > deadline:
                raise ObsError("OBS websocket did not answer within %.0f s" % OBS_START_TIMEOUT)
            time.sleep(0.05)
        self._ready_at = time.monotonic()

    def _answers_requests(self):
        """True once obs-websocket answers a request other than with 207. That request is
        `ready_probe(ws)` when the session has one (else GetVersion); its answer is kept in
        `first_answer`, and any other refusal ends the start."""
        if not port_answers(self.port):
            return False
        try:
            with ObsWebSocket(self.port, events=0, password=self.password) as ws:
                self.first_answer = self.ready_probe(ws) if self.ready_probe else ws.call("GetVersion")
            return True
        except ObsRequestError as error:
            if error.code == NOT_READY:
                return False
            raise
        except (ConnectionError, OSError, TimeoutError, websocket.WebSocketException):
            return False

    def _log_files(self):
        return glob.glob(os.path.join(self.config_dir, "logs", "*.txt"))

    def _log_since(self, started_at):
        # Log names have one-second resolution: a start within the same second as the
        # previous one rewrites that file, so the newest file written since start is ours.
        recent = [path for path in self._log_files() if os.path.getmtime(path) >= started_at]
        if not recent:
            raise ObsError("OBS wrote no log")
        return max(recent, key=os.path.getmtime)

    # --- log --------------------------------------------------------------------------
    def log_text(self):
        if not self.log_path:
            return ""
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def log_lines(self):
        """Log lines without their "HH:MM:SS.mmm: " stamps."""
        return [re.sub(r"^\d\d:\d\d:\d\d\.\d\d\d: ", "", line) for line in self.log_text().splitlines()]

    def wait_for_log(self, pattern, timeout=10.0):
        """Waits until a log line matches `pattern`; returns the match."""
        regex = re.compile(pattern)
        deadline = time.monotonic() + timeout
        while True:
            for line in self.log_lines():
                match = regex.search(line)
                if match:
                    return match
            if time.monotonic() > deadline:
                raise ObsError("no log line matched %r within %.1f s" % (pattern, timeout))
            if self.obs is not None and self.obs.poll() is not None:
                raise ObsError("OBS exited while waiting for %r" % pattern)
            time.sleep(0.05)

    def leak_count(self):
        """The count from the last line of a graceful exit, or None if the log lacks it."""
        lines = self.log_text().rstrip().splitlines()
        match = LEAK_LINE.search(lines[-1]) if lines else None
        return int(match.group(1)) if match else None

    # --- screenshots ------------------------------------------------------------------
    def screenshot(self, label):
        """Saves the private display as <artifacts>/<name>-run<N>-<label>.png; returns the path or None."""
        if not self.display:
            return None
        path = os.path.join(self.artifacts_dir, "%s-run%d-%s.png" % (self.name, self.runs, label))
        result = subprocess.run(
            ["ffmpeg", "-loglevel", "error", "-y", "-f", "x11grab", "-video_size", "%dx%d" % SCREEN,
             "-i", self.display, "-frames:v", "1", path],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        return path if result.returncode == 0 else None

    # --- stop -------------------------------------------------------------------------
    def stop(self, screenshot=True):
        """Graceful exit (SIGINT). Returns OBS's exit code; raises ObsError if it hung."""
        if self.obs is None:
            return self.exit_code
        began = time.monotonic()
        settle = SETTLE_BEFORE_STOP - (began - self._ready_at)
        if settle > 0:
            time.sleep(settle)
        if screenshot:
            self.screenshot("before-stop")
        self._unmap_windows()
        signalled = time.monotonic()
        self.obs.send_signal(signal.SIGINT)
        try:
            self.exit_code = self.obs.wait(timeout=OBS_STOP_TIMEOUT)
            self.exit_seconds = time.monotonic() - signalled
        except subprocess.TimeoutExpired:
            self.screenshot("hung")
            self._kill()
            raise ObsError("OBS did not exit within %.0f s of SIGINT" % OBS_STOP_TIMEOUT)
        finally:
            self.stop_seconds = time.monotonic() - began
            self._save_log()
        signal_number = -self.exit_code if (self.exit_code or 0) < 0 else None
        backtrace = self._keep_crash_evidence(signal_number) if signal_number else None
        self._judge_exit(signal_number, backtrace)
        self.obs = None
        self._stop_xvfb()
        return self.exit_code

    # --- the private display --------------------------------------------------------------
    def xdotool(self, *args):
        """Runs xdotool on OBS's display; returns its output split into words."""
        env = dict(os.environ, DISPLAY=self.display)
        return subprocess.run(["xdotool"] + list(args), env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              text=True, timeout=10).stdout.split()

    def top_level_windows(self, title_pattern):
        return self.xdotool("search", "--onlyvisible", "--maxdepth", "1", "--name", title_pattern)

    def fill_screen(self):
        """The main window over the whole display, as an operator runs OBS during a show."""
        for window in self.top_level_windows("^OBS "):
            self.xdotool("windowmove", "--sync", window, "0", "0")
            self.xdotool("windowsize", "--sync", window, str(SCREEN[0]), str(SCREEN[1]))
        time.sleep(0.5)

    def _unmap_windows(self):
        for window in self.top_level_windows(""):
            self.xdotool("windowunmap", "--sync", window)

    def _save_log(self):
        if self.log_path and os.path.exists(self.log_path):
            shutil.copy(self.log_path, os.path.join(self.artifacts_dir, "%s-run%d.log" % (self.name, self.runs)))

    def _stop_xvfb(self):
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait(timeout=10)
            self.xvfb = None
        if self._display_pipe is not None:
            os.close(self._display_pipe)
            self._display_pipe = None
        self.display = None

    def kill(self):
        """Kills OBS with SIGKILL, as a crash would end it: no exit event, nothing saved.
        The next start() reuses the same HOME."""
        if self.obs is None:
            return
        self.obs.send_signal(signal.SIGKILL)
        self.exit_code = self.obs.wait(timeout=10)
        self._save_log()
        self._kill()
        # OBS 30.2 and newer ask whether to start in safe mode (without plug-ins) after a
        # crash; the file that makes them ask goes, as if the user said no.
        sentinel = os.path.join(self.config_dir, "safe_mode")
        if os.path.exists(sentinel):
            os.remove(sentinel)

    def _keep_crash_evidence(self, signal_number):
        """A graceful exit that ended by a signal: its core file (OBS's working folder is the
        throwaway HOME) and OBS's crash reports go to the artifacts, named after this run.
        Returns the backtrace of every thread from the core file (also kept as
        <run>-backtrace.txt), or None without a core file or gdb."""
        prefix = os.path.join(self.artifacts_dir, "%s-run%d" % (self.name, self.runs))
        print("\n  [%s] OBS ended by signal %d during its exit; evidence in %s-crash*"
              % (self.name, signal_number, prefix))
        cores = glob.glob(os.path.join(self.home, "core*"))
        found = cores + glob.glob(os.path.join(self.config_dir, "crashes", "*"))
        kept = {}
        for index, path in enumerate(sorted(found)):
            kept[path] = "%s-crash%d-%s" % (prefix, index, os.path.basename(path))
            shutil.move(path, kept[path])
        if not cores or not shutil.which("gdb"):
            return None
        result = subprocess.run(["gdb", "-batch", "-nx", "-ex", "thread apply all bt", shutil.which("obs"),
                                 kept[cores[0]]], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True, errors="replace", timeout=300)
        with open(prefix + "-backtrace.txt", "w", encoding="utf-8") as f:
            f.write(result.stdout)
        return result.stdout

    def _judge_exit(self, signal_number, backtrace):
        """Files an exit that went wrong as OBS's own shutdown race, or says why it is not one."""
        unload_line = UNLOAD_LINE if "curtainup" in self.plugins else None
        log = self.log_text()
        race, why = shutdown_race.verdict(log, signal_number, backtrace, unload_line)
        if race:
            SHUTDOWN_RACES.setdefault(OWNER, []).append("%s run %d: %s" % (self.name, self.runs, why))
        elif signal_number or shutdown_race.orphans(log) is not None:
            print("\n  [%s] run %d: OBS's exit went wrong and is not OBS's own race: %s" % (self.name, self.runs, why))

    def _kill(self):
        if self.obs is not None and self.obs.poll() is None:
            self.obs.kill()
            self.obs.wait(timeout=10)
        self.obs = None
        self._stop_xvfb()

    # --- cleanup ----------------------------------------------------------------------
    def close(self):
        """Stops whatever still runs (keeping a screenshot and the log of an aborted run) and
        removes the throwaway HOME (kept with E2E_KEEP_HOME=1)."""
        if self.obs is not None:
            self.screenshot("aborted")
            self._save_log()
        self._kill()
        if self.home and os.environ.get("E2E_KEEP_HOME") != "1":
            shutil.rmtree(self.home, ignore_errors=True)
            self.home = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        try:
            if self.obs is not None:
                self.stop()
        finally:
            self.close()


def session_from_env(name, **kwargs):
    """An ObsSession for the build and artifacts folders run_e2e.sh passes in BUILD_DIR and
    ARTIFACTS_DIR; its files go to <artifacts>/<name>/."""
    build_dir = os.environ.get("BUILD_DIR")
    artifacts_dir = os.environ.get("ARTIFACTS_DIR")
    if not build_dir or not artifacts_dir:
        raise ObsError("BUILD_DIR and ARTIFACTS_DIR must be set (run the tests through run_e2e.sh)")
    return ObsSession(build_dir, os.path.join(artifacts_dir, name), name=name, **kwargs)
