"""A test case for a show run once in setUpClass: each scenario records what it saw in
`facts` (or the error that stopped it), and the test methods check those facts one by one."""

import sys
import unittest


class ShowTest(unittest.TestCase):
    note_tag = "e2e"  # the prefix of this show's notes

    def __init_subclass__(cls, **kwargs):
        super().__init_subclass__(**kwargs)
        cls.facts = {}  # one show's facts must never show up in another's

    @classmethod
    def note(cls, message):
        """A measurement or a problem for the reader of the run, on stderr next to the verdicts."""
        print("\n  [%s] %s" % (cls.note_tag, message), file=sys.stderr)

    @classmethod
    def scenario(cls, name, run):
        try:
            cls.facts[name] = run()
        except Exception as error:  # one broken scenario must not hide the others
            cls.facts[name] = error
            cls.note("%s stopped: %r" % (name, error))

    def fact(self, name):
        value = self.facts.get(name)
        if isinstance(value, Exception):
            self.fail("scenario %s did not finish: %r" % (name, value))
        if value is None:
            self.fail("scenario %s did not run" % name)
        return value
