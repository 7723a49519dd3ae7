"""What the module says and offers in any host: its log lines and its hotkeys."""

LOAD_LINE = "[curtainup] plugin loaded successfully (version 0.4.0, build 2026-11-08b)"
UNLOAD_LINE = "[curtainup] plugin unloaded"
# The six actions, then a minute more or less on a running countdown.
HOTKEYS = ("curtainup.standby", "curtainup.main", "curtainup.break", "curtainup.ending", "curtainup.cancel",
           "curtainup.hold", "curtainup.add_minute", "curtainup.remove_minute")
