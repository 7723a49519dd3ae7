"""Runs the end-to-end unittest modules; the exit code is the number of failed tests.

Arguments select tests by unittest name ("test_smoke", "test_smoke.BaselineTest");
without arguments every tests/e2e/test_*.py runs.
"""

import os
import sys
import unittest

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
    if result.testsRun == 0:
        print("no end-to-end tests ran", file=sys.stderr)
        failed = 1
    return min(failed, 125)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
