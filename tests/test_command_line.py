"""What the program makes of its command line and of a screen too small for it: the toolkit takes
its own options, everything else is ignored without a word, and the window is always asked for at
1920 x 1080 at (100, 100)."""

import re

import pytest

from harness import POSITION, WINDOW, launch, session


class TestToolkitOptionsAndStrangers:
    @pytest.fixture(scope="class")
    def display(self):
        with session() as display:
            yield display

    @pytest.fixture(scope="class")
    def tolvane(self, display):
        # DISPLAY names no server, so the window can only appear if the toolkit took -display.
        args = ("-display", display.name, "-geometry", "640x480+0+0", "--verbose", "input.txt",
                "-x", "", "ünïcödé", "-", "--")
        with launch(display, *args, env={"DISPLAY": ":999"}) as program:
            yield program

    def test_window_keeps_its_size_and_place(self, tolvane, display):
        assert tolvane.geometry() == (*POSITION, *WINDOW), "expected (x, y, width, height)"
        assert display.run("xdotool", "getwindowname", tolvane.window).rstrip("\n") == "Tolvane"

    def test_it_runs_green(self, tolvane):
        tolvane.assert_green()

    def test_ctrl_bracket_is_escape_and_ends_it_with_status_0(self, tolvane):
        tolvane.keys("ctrl+bracketleft")
        assert tolvane.exit_status() == 0

    def test_it_wrote_nothing(self, tolvane):
        tolvane.exit_status()
        tolvane.assert_silent()


class TestScreenSmallerThanTheWindow:
    @pytest.fixture(scope="class")
    def display(self):
        with session(1024, 768) as display:
            yield display

    @pytest.fixture(scope="class")
    def tolvane(self, display):
        with launch(display) as program:
            yield program

    def test_window_is_not_fitted_to_the_screen(self, tolvane, display):
        assert tolvane.geometry() == (*POSITION, *WINDOW), "expected (x, y, width, height)"
        hints = display.run("xprop", "-id", tolvane.window, "WM_NORMAL_HINTS")
        asked = (re.search(r"specified location: (\d+), (\d+)", hints),
                 re.search(r"specified size: (\d+) by (\d+)", hints))
        assert all(asked), f"expected the window to ask for a position and a size, its hints say {hints!r}"
        assert tuple(int(n) for m in asked for n in m.groups()) == (*POSITION, *WINDOW), \
            f"expected the hints to ask for 1920 x 1080 at (100, 100), they say {hints!r}"

    def test_escape_ends_it_with_status_0_and_it_wrote_nothing(self, tolvane):
        tolvane.keys("Escape")
        assert tolvane.exit_status() == 0
        tolvane.assert_silent()
