"""Every GL call Tolvane makes, as apitrace records them over a run that includes a resize:
white first, green from then on, each frame one clear of colour and depth and one swap, and
never a viewport of its own."""

import re

import pytest

from harness import TIMEOUT, run, tool, wait_for
from places import open_place

# apitrace's own lines on stderr; anything else there would be the program's.
APITRACE_NOTE = re.compile(r"^apitrace: ")
CALL = re.compile(r"^\d+ (\w+)\((.*)\)")


@pytest.fixture(scope="module")
def calls(tmp_path_factory):
    trace = tmp_path_factory.mktemp("trace") / "tolvane.trace"
    wrapper = (tool("apitrace"), "trace", "--api", "gl", "-o", str(trace))
    with open_place("x") as where, where.launch(wrapper=wrapper) as tolvane:
        tolvane.assert_green()
        where.display.run("xdotool", "windowsize", tolvane.window, "800", "600")
        wait_for("the window to become 800 x 600", lambda: tolvane.geometry()[2:] == (800, 600))
        tolvane.assert_ends(ignore=APITRACE_NOTE)
    dump = run("apitrace", "dump", "--color=never", str(trace), timeout=TIMEOUT * 3)
    # apitrace marks the viewport it fakes on every make-current; those calls are not the program's.
    return [CALL.match(line).groups() for line in dump.splitlines()
            if CALL.match(line) and not line.endswith("// fake")]


def numbers(args):
    return tuple(float(v) for v in re.findall(r"= (-?[\d.]+)", args))


def test_white_is_set_before_the_first_clear_and_green_ever_after(calls):
    names = [name for name, _ in calls]
    colours = [numbers(args) for name, args in calls if name == "glClearColor"]
    assert "glClear" in names and "glClearColor" in names, f"expected clears and clear colours, saw {set(names)}"
    assert names.index("glClearColor") < names.index("glClear"), "expected a clear colour before the first clear"
    assert colours[0] == (1, 1, 1, 1), f"expected the first clear colour opaque white, saw {colours[0]}"
    later = set(colours[1:])
    assert later == {(0, 1, 0, 0)}, f"expected every later clear colour to be (0, 1, 0, 0), saw {later}"


def test_every_clear_is_colour_and_depth_and_is_followed_by_one_swap(calls):
    frames = [(name, args) for name, args in calls if name in ("glClear", "glXSwapBuffers")]
    masks = {frozenset(re.findall(r"GL_\w+", args)) for name, args in frames if name == "glClear"}
    assert masks == {frozenset({"GL_COLOR_BUFFER_BIT", "GL_DEPTH_BUFFER_BIT"})}, \
        f"expected every clear mask to be colour and depth, saw {[sorted(m) for m in masks]}"
    order = [name for name, _ in frames]
    assert len(order) >= 4 and order == ["glClear", "glXSwapBuffers"] * (len(order) // 2), \
        f"expected clears and swaps to alternate, one swap per clear; saw {len(order)} calls " \
        f"beginning {order[:6]} and ending {order[-6:]}"


def test_no_viewport_is_ever_set(calls):
    viewports = [args for name, args in calls if name == "glViewport"]
    assert not viewports, f"expected no glViewport call, saw {viewports[:3]}"
