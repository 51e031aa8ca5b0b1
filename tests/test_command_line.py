"""What the program makes of its command line and of a screen too small for it: the toolkit takes
its own options, everything else is ignored without a word, and the window is always asked for at
1920 x 1080 at (100, 100)."""

import re

from places import open_place
from program import POSITION, WINDOW


def test_toolkit_options_are_taken_and_strangers_ignored():
    with open_place("x") as where:
        # DISPLAY names no server, so the window can only appear if the toolkit took -display.
        args = ("-display", where.display.name, "-geometry", "640x480+0+0", "--verbose", "input.txt",
                "-x", "", "ünïcödé", "-", "--")
        with where.launch(*args, env={"DISPLAY": ":999"}) as tolvane:
            seen = (*tolvane.geometry(), where.display.run("xdotool", "getwindowname", tolvane.window).rstrip("\n"))
            assert seen == (*POSITION, *WINDOW, "Tolvane"), f"expected (x, y, width, height, title), saw {seen}"
            tolvane.assert_ends("ctrl+bracketleft")  # the same character as Escape


def test_window_on_a_smaller_screen_is_not_fitted_to_it():
    with open_place("x", screen=(1024, 768)) as where, where.launch() as tolvane:
        assert tolvane.geometry() == (*POSITION, *WINDOW), "expected (x, y, width, height)"
        hints = where.display.run("xprop", "-id", tolvane.window, "WM_NORMAL_HINTS")
        asked = (re.search(r"specified location: (\d+), (\d+)", hints), re.search(r"specified size: (\d+) by (\d+)", hints))
        assert all(asked) and tuple(int(n) for m in asked for n in m.groups()) == (*POSITION, *WINDOW), \
            f"expected the hints to ask for 1920 x 1080 at (100, 100), they say {hints!r}"
        tolvane.assert_ends()
