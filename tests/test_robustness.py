"""Tolvane under abuse: bursts of input far beyond what a person types, and command lines that are
broken or absurd. It either runs on as normal or ends with the toolkit's own message and a
non-zero status; never a signal, a core dump or a hang."""

import itertools
import os
import re
import signal
import subprocess

import pytest

from harness import POSITION, TIMEOUT, WINDOW, launch, session, start, stop, wait_for

# How long xdotool may take to send one storm. On Debian 13, with Tolvane redrawing flat out on two
# cores, the key and pointer storms were seen to take over 20 s; slow input is not a hang.
STORM_TIMEOUT = 180

# Keys with and without a character, Escape left out: it would end the program.
STORM_KEYS = ["a", "Z", "5", "space", "Return", "Tab", "BackSpace", "Delete", "Left", "Up", "F2",
              "F11", "Home", "End", "shift+x", "ctrl+a", "alt+b", "Insert", "KP_1", "slash"]


@pytest.fixture(scope="module")
def display():
    with session() as display:
        yield display


class TestStorms:
    @pytest.fixture(scope="class")
    def tolvane(self, display):
        with launch(display) as program:
            yield program

    def test_2000_key_presses(self, tolvane, display):
        tolvane.focus()
        keys = list(itertools.islice(itertools.cycle(STORM_KEYS), 2000))
        display.run("xdotool", "key", "--delay", "0", *keys, timeout=STORM_TIMEOUT)
        tolvane.running()

    def test_20000_pointer_moves(self, tolvane, display):
        x, y, width, height = tolvane.geometry()
        moves = []
        for i in range(20000):
            moves += ["mousemove", str(x + (i * 7919) % width), str(y + (i * 104729) % height)]
        display.run("xdotool", *moves, "click", "1", "mousemove", "5", "5", timeout=STORM_TIMEOUT)
        tolvane.running()

    def test_200_resizes_in_a_burst(self, tolvane, display):
        resizes = []
        for i in range(200):
            resizes += ["windowsize", tolvane.window, str(200 + (i * 37) % 1900), str(150 + (i * 53) % 1100)]
        display.run("xdotool", *resizes, "windowsize", tolvane.window, *map(str, WINDOW), timeout=STORM_TIMEOUT)
        wait_for("the window to be 1920 x 1080 again", lambda: tolvane.geometry() == (*POSITION, *WINDOW))

    def test_still_green_edge_to_edge(self, tolvane):
        tolvane.assert_green()

    def test_escape_still_ends_it_with_status_0_and_it_wrote_nothing(self, tolvane):
        tolvane.keys("Escape")
        assert tolvane.exit_status() == 0
        tolvane.assert_silent()


def run_to_end(*args, env):
    """Run the program where it is expected to give up at once; (status, stdout, stderr)."""
    process = start([os.environ["TOLVANE"], *args], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                    stdin=subprocess.DEVNULL)
    try:
        out, err = process.communicate(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        raise AssertionError(f"expected Tolvane to give up at once, it still runs after {TIMEOUT:g} s") from None
    finally:
        stop(process)
    assert process.returncode >= 0, \
        f"expected an exit status, Tolvane was killed by {signal.Signals(-process.returncode).name}: {err!r}"
    return process.returncode, out.decode(errors="replace"), err.decode(errors="replace")


def assert_toolkit_refusal(seen, message):
    status, out, err = seen
    assert status != 0 and out == "" and re.fullmatch(rf"freeglut \([^)]*\): {re.escape(message)}\n", err), \
        f"expected freeglut's message {message!r} and a non-zero status, saw status {status}, " \
        f"stdout {out!r}, stderr {err!r}"


def test_geometry_without_its_value_gets_the_toolkits_message(display):
    assert_toolkit_refusal(run_to_end("-geometry", env=display.env),
                           "-geometry parameter must be followed by window geometry settings")


def test_display_that_does_not_exist_gets_the_toolkits_message(display):
    absent = next(f":{n}" for n in range(4000, 5000) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))
    assert_toolkit_refusal(run_to_end("-display", absent, env=display.env), f"failed to open display '{absent}'")


def test_no_display_at_all_gets_the_toolkits_message(display):
    env = {k: v for k, v in display.env.items() if k != "DISPLAY"}
    assert_toolkit_refusal(run_to_end(env=env), "failed to open display ''")


@pytest.mark.parametrize("args", [["x" * 100_000], [f"arg{i}" for i in range(1000)],
                                  ["-geometry", "9" * 100_000 + "x-5+-+", "-sync", "-direct"]],
                         ids=["one 100000-character argument", "1000 arguments", "absurd geometry"])
def test_absurd_command_lines_run_as_normal(display, args):
    with launch(display, *args) as tolvane:
        assert tolvane.geometry() == (*POSITION, *WINDOW), "expected (x, y, width, height)"
        tolvane.assert_green()
        tolvane.keys("Escape")
        assert tolvane.exit_status() == 0
        tolvane.assert_silent()
