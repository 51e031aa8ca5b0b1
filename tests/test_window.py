"""The window as a person meets it, in every place where this build runs: its title, place, pixel
format and picture, how it takes keyboard and pointer input and resizing, and how Escape and the
desktop's close end it, silently. tests/places.py says how the places differ by design."""

import re

import pytest

EVERY_PLACE = True


def test_title_is_tolvane(tolvane, where):
    title = where.display.run("xdotool", "getwindowname", tolvane.window).rstrip("\n")
    assert title == "Tolvane", f"expected the title 'Tolvane', saw {title!r}"


def test_window_is_1920x1080_with_its_outer_corner_at_100_100(tolvane, where):
    where.assert_placed(tolvane)


def test_visual_is_double_buffered_with_depth_and_no_alpha_or_stencil(tolvane, where):
    if where.wine:  # Windows' ChoosePixelFormat may give more than was asked: Wine's adds alpha and stencil
        pytest.skip("on Windows the pixel format is the closest match Windows finds, not an exact one")
    visual = re.search(r"Visual:\s+0x([0-9a-f]+)", where.display.run("xwininfo", "-id", tolvane.window)).group(1)
    block = re.search(rf"^Visual ID: {visual}\b.*?(?=^\S)", where.display.run("glxinfo", "-v"), re.M | re.S)
    assert block, f"expected glxinfo to list the window's GLX visual 0x{visual}, it does not"
    # Read the colour buffer's alpha from the rgba line: the accumulation buffer has one too.
    field = lambda pattern: int(re.search(pattern, block.group(0)).group(1))
    seen = {"doubleBuffer": field(r"doubleBuffer=(\d+)"), "depthSize": field(r"\bdepthSize=(\d+)"),
            "alphaSize": field(r"rgba:.*?alphaSize=(\d+)"), "stencilSize": field(r"stencilSize=(\d+)")}
    assert seen["doubleBuffer"] == 1 and seen["depthSize"] > 0 and seen["alphaSize"] == 0 \
        and seen["stencilSize"] == 0, f"expected double buffering, a depth buffer, no alpha, no stencil; saw {seen}"


def test_keys_and_the_pointer_leave_it_running_and_green_edge_to_edge(tolvane, where):
    tolvane.assert_green()
    tolvane.use_keys()
    tolvane.assert_green()
    where.skip_known_fault("pointer")
    tolvane.use_pointer()
    tolvane.assert_green()


def test_resized_smaller_and_larger_it_stays_green_edge_to_edge(tolvane, where):
    if not (where.spec.get("resize") or where.spec.get("tiles")):
        pytest.skip("only the X window managers and sway are asked to resize the window")
    for _ in where.resize(tolvane):
        tolvane.assert_green()


@pytest.mark.parametrize("ending", ["Escape", "close"])
def test_escape_and_the_desktops_close_end_it_with_status_0_and_it_wrote_nothing(ending, own_tolvane, where):
    def close():
        """the desktop's close"""
        where.display.wm.close_window(own_tolvane.window)
    if ending == "close" and not where.display.wm:
        pytest.skip("no desktop here to close the window")
    own_tolvane.assert_ends(close if ending == "close" else ending)
