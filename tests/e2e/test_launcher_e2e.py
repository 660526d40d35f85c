#!/usr/bin/env python3
"""The real program from the outside: its launcher window on a 1024x768
screen under openbox, Esc ending it with exit code 0, two copies side by
side, an ignored command line, and a clean failure without a display."""

import signal

import tarnelo_harness as th

LAUNCHER = "^Tarnelo$"
CENTRED_ON_1024x768 = th.Rect(330, 125, 363, 517)
START_TIMEOUT = 60
EXIT_TIMEOUT = 5


class LauncherTest(th.TestCase):
    def wait_launcher(self, app):
        window = self.harness.wait_window(LAUNCHER, app, timeout=START_TIMEOUT)
        # openbox may still be placing the frame right after the map.
        th.wait_until(lambda: window.geometry().frame == CENTRED_ON_1024x768, 3)
        return window

    def assert_closes_on_esc(self, app, window):
        window.key("Escape")
        code = app.wait(EXIT_TIMEOUT)
        self.assertIsNotNone(code, "still running %d s after Esc" % EXIT_TIMEOUT)
        self.assertEqual(code, 0, "exit code after Esc; stderr:\n%s" % app.stderr())

    def test_launcher_centred_and_esc_ends_program(self):
        self.assertEqual(self.harness.display.screen_size(), (1024, 768))
        rows = {"no arguments": [], "unknown arguments are ignored": ["--foo", "bar"]}
        for row, args in rows.items():
            with self.subTest(row):
                app = self.harness.start_tarnelo(args)
                window = self.wait_launcher(app)
                self.assertEqual(window.name(), "Tarnelo")
                geometry = window.geometry()
                self.assertEqual(geometry.frame, CENTRED_ON_1024x768,
                                 "outer rectangle (client %s, frame extents %s)"
                                 % (geometry.client, geometry.extents))
                if row == "no arguments":
                    self.harness.save_screenshot("e2e_launcher")
                self.assert_closes_on_esc(app, window)
                th.wait_until(lambda: not window.exists(), 3)
                self.assertFalse(window.exists(), "launcher window left behind")

    def test_second_copy_runs_beside_first(self):
        first = self.harness.start_tarnelo()
        first_window = self.wait_launcher(first)
        second = self.harness.start_tarnelo()
        second_window = self.wait_launcher(second)
        self.assertNotEqual(first_window.id, second_window.id)
        self.assertEqual(len(self.harness.display.find_windows(LAUNCHER)), 2)
        self.assertTrue(first.running(), "the first copy ended when the second started")

        self.assert_closes_on_esc(second, second_window)
        self.assertTrue(first.running(), "closing the second copy ended the first")
        self.assert_closes_on_esc(first, first_window)

    def test_no_display_fails_cleanly(self):
        rows = {
            "xcb chosen": {"DISPLAY": ":987", "QT_QPA_PLATFORM": "xcb"},
            "platform left to Qt": {"DISPLAY": ":987", "QT_QPA_PLATFORM": None},
        }
        for row, env in rows.items():
            with self.subTest(row):
                app = self.harness.start_tarnelo(env=env)
                code = app.wait(30)
                stderr = app.stderr()
                self.assertIsNotNone(code, "still running without a display")
                self.assertGreaterEqual(code, 0, "killed by %s; stderr:\n%s"
                                        % (signal.Signals(-code).name if code < 0 else "", stderr))
                self.assertNotEqual(code, 0, "exit code 0 without a display")
                self.assertRegex(stderr, r"(?i)display", "stderr does not say what is wrong")
                self.assertNotRegex(stderr, r"(?i)core dumped|segmentation fault|aborted")


if __name__ == "__main__":
    th.main()
