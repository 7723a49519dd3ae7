"""Runs the end-to-end unittest modules; the exit code is the number of failed tests.

Arguments select tests by unittest name ("test_smoke", "test_smoke.BaselineTest");
without arguments every tests/e2e/test_*.py runs.
"""

import os
import sys
import unittest

import obs_session

E2E_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def main(names):
    sys.path.insert(0, E2E_DIR)
    loader = unittest.TestLoader()
    if names:
        suite = loader.loadTestsFromNames(names)
    else:
        suite = loader.discover(E2E_DIR, pattern="test_*.py", top_level_dir=E2E_DIR)
    result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    failed = len(result.failures) + len(result.errors) + len(result.unexpectedSuccesses)
    if failed and obs_session.SHUTDOWN_RACES:
        failed = retry_after_shutdown_races(loader, result)
    if result.testsRun == 0:
        print("no end-to-end tests ran", file=sys.stderr)
        failed = 1
    return min(failed, 125)


def retry_after_shutdown_races(loader, result):
    """Runs the classes with failures once more when OBS's own shutdown went wrong in this run
    (see obs_session.SHUTDOWN_RACES), and says so. A fault of ours fails again."""
    classes = sorted({failed_class(test) for test, _ in result.failures + result.errors})
    print("\nOBS's shutdown went wrong after CurtainUp had unloaded (%s); running again once: %s"
          % (", ".join(obs_session.SHUTDOWN_RACES), ", ".join(classes)))
    obs_session.SHUTDOWN_RACES.clear()
    # The first attempt's logs, screenshots and core files stay where they are.
    os.environ["ARTIFACTS_DIR"] = os.path.join(os.environ.get("ARTIFACTS_DIR", "."), "again")
    again = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(loader.loadTestsFromNames(classes))
    return len(again.failures) + len(again.errors) + len(again.unexpectedSuccesses) + len(result.unexpectedSuccesses)


def failed_class(test):
    """"module.Class" of a failed test, or of a class whose setUpClass failed."""
    description = getattr(test, "description", "")  # _ErrorHolder: "setUpClass (module.Class)"
    if description:
        return description[description.index("(") + 1:description.rindex(")")]
    return "%s.%s" % (type(test).__module__, type(test).__qualname__)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
