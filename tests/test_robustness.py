"""Tolvane under abuse, on a bare X server and, for the Windows build, under Wine: bursts of input
far beyond what a person types, and command lines that are broken or absurd, within what the
system allows. It either runs on as normal or ends with the toolkit's own message and a non-zero
status; never a signal, a core dump or a hang."""

import itertools
import os
import re
import signal
import subprocess

import pytest

from harness import WINDOW, TIMEOUT, build, place, places, start, stop, wait_for

# How long xdotool may take to send one storm. On Debian 13, with Tolvane redrawing flat out on two
# cores, the key and pointer storms were seen to take over 20 s; slow input is not a hang.
STORM_TIMEOUT = 180
WINDOWS = build() == "windows"
# Keys, pointer moves and resizes in a storm: fewer under Wine, which takes each far more slowly.
STORM = (1500, 4000, 60) if WINDOWS else (2000, 20000, 200)
# The longest argument: Windows takes a command line of up to 32,767 characters, the program's path
# included; Linux takes far more.
LONGEST = 32_000 if WINDOWS else 100_000

# Keys with and without a character, Escape left out: it would end the program.
STORM_KEYS = ["a", "Z", "5", "space", "Return", "Tab", "BackSpace", "Delete", "Left", "Up", "F2",
              "F11", "Home", "End", "shift+x", "ctrl+a", "alt+b", "Insert", "KP_1", "slash"]


@pytest.fixture(scope="module")
def where():
    with place(places()[0]) as opened:
        yield opened


class TestStorms:
    @pytest.fixture(scope="class")
    def tolvane(self, where):
        with where.launch() as program:
            yield program

    def test_key_presses(self, tolvane, where):
        tolvane.focus()
        keys = list(itertools.islice(itertools.cycle(STORM_KEYS), STORM[0]))
        where.display.run("xdotool", "key", "--delay", "0", *keys, timeout=STORM_TIMEOUT)
        tolvane.running()

    def test_pointer_moves(self, tolvane, where):
        x, y, width, height = tolvane.geometry()
        moves = []
        for i in range(STORM[1]):
            moves += ["mousemove", str(x + (i * 7919) % width), str(y + (i * 104729) % height)]
        where.display.run("xdotool", *moves, "click", "1", "mousemove", "5", "5", timeout=STORM_TIMEOUT)
        tolvane.running()

    def test_resizes_in_a_burst(self, tolvane, where):
        resizes = []
        for i in range(STORM[2]):
            resizes += ["windowsize", tolvane.window, str(200 + (i * 37) % 1900), str(150 + (i * 53) % 1100)]
        where.display.run("xdotool", *resizes, "windowsize", tolvane.window, *map(str, WINDOW), timeout=STORM_TIMEOUT)
        wait_for("the window to be 1920 x 1080 again", lambda: tolvane.geometry()[2:] == WINDOW)
        where.assert_placed(tolvane)

    def test_still_green_edge_to_edge(self, tolvane):
        tolvane.assert_green()

    def test_escape_still_ends_it_with_status_0_and_it_wrote_nothing(self, tolvane):
        tolvane.keys("Escape")
        assert tolvane.exit_status() == 0
        tolvane.assert_silent()


def run_to_end(where, *args, env=None):
    """Run the program where it is expected to give up at once; (status, stdout, stderr)."""
    program = os.path.abspath(os.environ["TOLVANE"])
    command = where.wine.command(program, *args) if where.wine else [program, *args]
    env = env or (where.wine or where.display).env
    process = start(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
    try:
        out, err = process.communicate(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        raise AssertionError(f"expected Tolvane to give up at once, it still runs after {TIMEOUT:g} s") from None
    finally:
        stop(process)
    assert process.returncode >= 0, \
        f"expected an exit status, Tolvane was killed by {signal.Signals(-process.returncode).name}: {err!r}"
    return process.returncode, out.decode(errors="replace"), err.decode(errors="replace").replace("\r\n", "\n")


def assert_toolkit_refusal(seen, message):
    status, out, err = seen
    assert status != 0 and out == "" and re.fullmatch(rf"freeglut \([^)]*\): {re.escape(message)}\n", err), \
        f"expected freeglut's message {message!r} and a non-zero status, saw status {status}, " \
        f"stdout {out!r}, stderr {err!r}"


@pytest.mark.parametrize("args, message", [
    (["-geometry"], "-geometry parameter must be followed by window geometry settings"),
    (["-display"], "-display parameter must be followed by display name"),
    (["-direct", "-indirect"], "parameters ambiguity, -direct and -indirect cannot be both specified")],
    ids=["-geometry alone", "-display alone", "-direct -indirect"])
def test_broken_options_get_the_toolkits_message(where, args, message):
    assert_toolkit_refusal(run_to_end(where, *args), message)


@pytest.mark.skipif(WINDOWS, reason="on Windows -display names a display device; an unknown one gets a warning (below)")
def test_no_display_to_open_gets_the_toolkits_message(where):
    absent = next(f":{n}" for n in range(4000, 5000) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))
    assert_toolkit_refusal(run_to_end(where, "-display", absent), f"failed to open display '{absent}'")
    env = {k: v for k, v in where.display.env.items() if k != "DISPLAY"}
    assert_toolkit_refusal(run_to_end(where, env=env), "failed to open display ''")


# On Windows -display names a display device; where there is none of that name, freeglut warns and
# runs on. On X it names a display, which must exist (the test before).
ABSURD = {"one very long argument": ["x" * LONGEST], "1000 arguments": [f"arg{i}" for i in range(1000)],
          "absurd geometry": ["-geometry", "9" * (LONGEST - 20) + "x-5+-+", "-sync", "-direct"],
          **({"-display foo": ["-display", "foo"]} if WINDOWS else {})}


@pytest.mark.parametrize("args", ABSURD.values(), ids=ABSURD.keys())
def test_absurd_command_lines_run_as_normal(where, args):
    with where.launch(*args) as tolvane:
        where.assert_placed(tolvane)
        tolvane.assert_green()
        tolvane.keys("Escape")
        assert tolvane.exit_status() == 0
        # Windows' freeglut warns that no display device has that name, and runs on.
        warning = re.compile(r"freeglut \(.*\): fgPlatformInitialize: CreateDC failed|This is quite likely caused by")
        tolvane.assert_silent(ignore=warning if args[0] == "-display" else None)
