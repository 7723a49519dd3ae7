"""The vendor requests of the Cuebox stand-in plug-in: act inside OBS as another tool."""

VENDOR = "cuebox-standin"
TYPES = {str: "string", bool: "bool", int: "int"}


class ProcError(RuntimeError):
    pass


def call_proc(ws, name, args=None, out=None):
    """Calls the global procedure `name`; `out` maps output names to str, bool or int.
    Returns (called, {output: value}); called is False when no procedure has that name."""
    request = {"name": name}
    if args:
        request["args"] = args
    if out:
        request["out"] = [{"name": key, "type": TYPES[kind]} for key, kind in out.items()]
    answer = ws.vendor(VENDOR, "call_proc", request)
    if "error" in answer:
        raise ProcError(answer["error"])
    return answer["called"], answer.get("out", {})


def curtainup_state(ws):
    """What "curtainup_get_state" answers: {"mode", "counting", "standby_scene"}."""
    return call_proc(ws, "curtainup_get_state", out={"mode": str, "counting": bool, "standby_scene": str})[1]


def curtainup_flow(ws):
    """What "curtainup_get_flow" answers: {"step", "held", "held_reason"}."""
    return call_proc(ws, "curtainup_get_flow", out={"step": str, "held": bool, "held_reason": str})[1]


def records(ws):
    """Every Cuebox procedure call the stand-in received in this run, oldest first."""
    return ws.vendor(VENDOR, "records").get("records", [])


def click(ws, object_name):
    """Clicks the first button with that objectName; returns {"found", "enabled"}."""
    return ws.vendor(VENDOR, "click", {"objectName": object_name})


def widget_text(ws, object_name):
    """The text of the first label or button with that objectName; {"found", "enabled", "text"}."""
    return ws.vendor(VENDOR, "widget_text", {"objectName": object_name})
