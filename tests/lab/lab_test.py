#!/usr/bin/env python3
"""The lab's own judgement, without a machine: what it does not know fails a scenario, a run that
did not start or that the lab ended fails unless expected, and an order holds only for a whole span."""

import os
import re
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import lab  # noqa: E402


def scenario(text):
    with tempfile.NamedTemporaryFile('w', suffix='.scenario', delete=False) as file:
        file.write(text)
    try:
        return lab.Scenario(file.name)
    finally:
        os.unlink(file.name)


class LabJudgement(unittest.TestCase):
    def test_what_the_lab_does_not_know_fails_the_scenario(self):
        for lines, problem in [('expect-contain.run1.setup.log = this text is in no log', 'unknown check'),
                               ('outlook.component = {CC29EA4B-7BC2-11D1-A921-00A0C91E2AA2}', 'unknown key'),
                               ('outlook.running = ye', 'takes yes, no, not "ye"'),
                               ('editions = german-x86, french-x86', 'not "french-x86"'),
                               ('expect-order.setup.log = a, b', 'names a run'),
                               ('answers.run2 = OK\nanswers.run2 = Cancel', 'a second time')]:
            with self.assertRaisesRegex(ValueError, re.escape(problem)):
                scenario(lines + '\n')
        known = scenario('answers.run12 = OK\noutlook.running = yes\nexpect.run1.exit#2 = 0\n')
        self.assertEqual(known.prepared(), ['outlook.running'])

    def test_a_run_that_did_not_start_or_was_ended_fails_unless_expected(self):
        facts = {'runs': '2', 'run1.started': 'no, error 740', 'run1.timeout': 'no', 'run2.started': 'yes',
                 'run2.timeout': 'yes'}
        self.assertEqual(len(lab.run_failures(scenario('runs = 2\n'), facts)), 2)
        expected = scenario('runs = 2\nexpect.run1.started = no, error 740\nexpect.run2.timeout = yes\n')
        self.assertEqual(lab.run_failures(expected, facts) + lab.check(expected, facts), [])

    def test_an_event_only_a_look_saw_is_ordered_only_when_its_whole_span_is(self):
        facts = {'run1.events': '2', 'run1.event1': 'registry Initialized absent', 'run1.event1.at': '900',
                 'run1.event2': 'product+ {P}', 'run1.event2.at': '1100', 'run1.event2.since': '800'}
        self.assertIsNotNone(lab.order_failure('run1', facts, ['registry', 'product+']))
        facts['run1.event2.since'] = '950'
        self.assertIsNone(lab.order_failure('run1', facts, ['registry', 'product+']))
        self.assertIsNotNone(lab.order_failure('run1', facts, ['product+', 'registry']))


if __name__ == '__main__':
    unittest.main()
