"""Whether a graceful exit that went wrong was OBS's own shutdown race, and nothing of ours.

OBS 32 now and then leaves sources uncleared at exit and then crashes in obs_shutdown (its
destroy-queue thread releases a scene's items while the sources are freed); plain OBS does
it too, without CurtainUp loaded. The scenes that stay are held by OBS's own canvas: with
--verbose, OBS logs "canvas 'Main' ... destroyed" after every plug-in has unloaded and only
then destroys those scenes (OP, Main, ...), whose children were the sources left. An exit
counts as that race only when every one of these holds: the log says OBS's scene clearing
left sources behind or OBS ended by a signal; the sources left behind are not CurtainUp
countdowns alone (the race leaves every child of the scenes OBS still holds, a countdown
among them, while a reference of ours would leave only ours); with CurtainUp loaded, it had
unloaded ("[curtainup] plugin unloaded") before the end; and a crash left a backtrace in
which no frame is of this project's modules.
"""

import re

ORPHAN_LINE = "Not all sources were cleared when clearing scene data"
OUR_FRAME = re.compile(r"curtainup|cuebox[-_]standin", re.IGNORECASE)
OUR_SOURCE = re.compile(r"'([^']*)' \(curtainup_source\)")
STAMP = re.compile(r"^\d\d:\d\d:\d\d\.\d\d\d: ")


def orphans(log):
    """The sources OBS named as not cleared at exit, or None when it named none."""
    lines = [STAMP.sub("", line) for line in log.splitlines()]
    for index, line in enumerate(lines):
        if ORPHAN_LINE in line:
            names = []
            for rest in lines[index + 1:]:
                if rest.startswith("- "):
                    names.append(rest[2:].strip())
                elif rest.strip():
                    break
            return names
    return None


def verdict(log, signal, backtrace, unload_line=None):
    """(is OBS's own race, why). `signal` is the one OBS ended by (None for a normal end),
    `backtrace` gdb's text from its core file (None without one), `unload_line` CurtainUp's
    unload line when it was loaded."""
    left = orphans(log)
    if left is None and not signal:
        return False, "the exit went right"
    ours = set(OUR_SOURCE.findall(log)) & set(left or ())
    if ours and ours == set(left):
        return False, "only CurtainUp sources were not cleared: %s" % ", ".join(sorted(ours))
    if unload_line and unload_line not in log:
        return False, "OBS went wrong before CurtainUp unloaded"
    if signal:
        frames = [line.strip() for line in (backtrace or "").splitlines() if line.startswith("#")]
        if not frames:
            return False, "ended by signal %d with no backtrace to look at" % signal
        ours = [frame for frame in frames if OUR_FRAME.search(frame)]
        if ours:
            return False, "a frame of ours in the backtrace: %s" % ours[0]
    return True, "OBS's own shutdown race (sources left: %s%s)" % (
        ", ".join(left or ()) or "none", ", signal %d" % signal if signal else "")


def classes_to_retry(failed_classes, races):
    """The failed test classes whose own OBS runs recorded the race; `races` maps a class
    ("module.Class") to its recorded races."""
    return sorted(name for name in set(failed_classes) if races.get(name))
