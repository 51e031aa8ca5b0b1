"""The window as a person first meets it: its title, place, pixel format and picture, and how it
takes keyboard and pointer input until Escape ends it. No window manager runs, so the window
stands exactly where the program put it."""

import re

import pytest

from harness import POSITION, WINDOW, launch, session


@pytest.fixture(scope="module")
def display():
    with session() as display:
        yield display


@pytest.fixture(scope="module")
def tolvane(display):
    with launch(display) as program:
        yield program


def test_title_is_tolvane(tolvane, display):
    title = display.run("xdotool", "getwindowname", tolvane.window).rstrip("\n")
    assert title == "Tolvane", f"expected the title 'Tolvane', saw {title!r}"


def test_window_is_1920x1080_at_100_100(tolvane):
    assert tolvane.geometry() == (*POSITION, *WINDOW), "expected (x, y, width, height)"


def test_visual_is_double_buffered_with_depth_and_no_alpha_or_stencil(tolvane, display):
    visual = re.search(r"Visual:\s+0x([0-9a-f]+)", display.run("xwininfo", "-id", tolvane.window)).group(1)
    visuals = display.run("glxinfo", "-v")
    block = re.search(rf"^Visual ID: {visual}\b.*?(?=^\S)", visuals, re.M | re.S)
    assert block, f"glxinfo lists no GLX visual 0x{visual}, the window's"
    # Read the colour buffer's alpha from the rgba line: the accumulation buffer has one too.
    field = lambda pattern: int(re.search(pattern, block.group(0)).group(1))
    seen = {"doubleBuffer": field(r"doubleBuffer=(\d+)"), "depthSize": field(r"\bdepthSize=(\d+)"),
            "alphaSize": field(r"rgba:.*?alphaSize=(\d+)"), "stencilSize": field(r"stencilSize=(\d+)")}
    assert seen["doubleBuffer"] == 1 and seen["depthSize"] > 0 and seen["alphaSize"] == 0 \
        and seen["stencilSize"] == 0, f"expected double buffering, a depth buffer, no alpha, no stencil; saw {seen}"


def test_whole_window_is_green(tolvane):
    tolvane.assert_green()


def test_other_keys_and_the_pointer_leave_it_running_and_green(tolvane):
    tolvane.use_keys_and_pointer()
    tolvane.assert_green()


def test_escape_ends_it_with_status_0(tolvane):
    tolvane.keys("Escape")
    assert tolvane.exit_status() == 0


def test_it_wrote_nothing(tolvane):
    tolvane.exit_status()
    tolvane.assert_silent()
