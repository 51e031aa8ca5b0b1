"""Tolvane under abuse, on a bare X server, under qemu for the Arm builds and, for the Windows
build, under Wine: bursts of input far beyond what a person types, command lines that are broken
or absurd, within what the system allows, and a system that fails under it. It either runs on as
normal or ends with the toolkit's, Xlib's or Mesa's own message and a non-zero status; never a
signal, a core dump or a hang."""

import itertools
import os
import re
import resource
import signal
import subprocess

import pytest

from harness import TIMEOUT, start, stop, wait_for
from places import WINDOWS, debian_release, open_place, places, wine_version
from program import EMULATOR, WINDOW

# How long xdotool may take to send one storm. On Debian 13, with Tolvane redrawing flat out on two
# cores, the key and pointer storms were seen to take over 20 s; slow input is not a hang.
STORM_TIMEOUT = 180
# Keys, pointer moves and resizes in a storm: fewer under Wine, which takes each far more slowly.
STORM = dict(zip(("keys", "pointer", "resizes"), (1500, 4000, 60) if WINDOWS else (2000, 20000, 200)))
# The longest argument: Windows takes a command line of up to 32,767 characters, the program's path
# included; Linux takes far more.
LONGEST = 32_000 if WINDOWS else 100_000
# Keys with and without a character, Escape left out: it would end the program.
STORM_KEYS = ["a", "Z", "5", "space", "Return", "Tab", "BackSpace", "Delete", "Left", "Up", "F2",
              "F11", "Home", "End", "shift+x", "ctrl+a", "alt+b", "Insert", "KP_1", "slash"]


def storm(kind, tolvane):
    """xdotool's arguments for one storm of its kind."""
    x, y, width, height = tolvane.geometry()
    if kind == "keys":
        return ["key", "--delay", "0", *itertools.islice(itertools.cycle(STORM_KEYS), STORM[kind])]
    if kind == "pointer":
        moves = (("mousemove", str(x + (i * 7919) % width), str(y + (i * 104729) % height)) for i in range(STORM[kind]))
        return [*itertools.chain.from_iterable(moves), "click", "1", "mousemove", "5", "5"]
    sizes = ((str(200 + (i * 37) % 1900), str(150 + (i * 53) % 1100)) for i in range(STORM[kind]))
    return [*itertools.chain.from_iterable(("windowsize", tolvane.window, *size) for size in sizes),
            "windowsize", tolvane.window, *map(str, WINDOW)]


@pytest.mark.parametrize("kind", STORM)
def test_storm_leaves_it_running_in_place_and_green_and_escape_still_ends_it(kind, own_tolvane, where):
    if EMULATOR:
        pytest.skip("under emulation a storm would measure the emulator")
    own_tolvane.focus()
    where.display.run("xdotool", *storm(kind, own_tolvane), timeout=STORM_TIMEOUT)
    wait_for("the window to be 1920 x 1080 again", lambda: own_tolvane.geometry()[2:] == WINDOW)
    where.assert_placed(own_tolvane)
    own_tolvane.assert_ends()


def run_to_end(where, *args, env=None, memory=None):
    """Run the program where it is expected to give up at once, with at most `memory` bytes of
    address space if given; (status, stdout, stderr)."""
    program = os.path.abspath(os.environ["TOLVANE"])
    command = where.wine.command(program, *args) if where.wine else [*EMULATOR, program, *args]
    limit = memory and (lambda: resource.setrlimit(resource.RLIMIT_AS, (memory, memory)))
    process = start(command, env=env or (where.wine or where.display).env, stdout=subprocess.PIPE,
                    stderr=subprocess.PIPE, stdin=subprocess.DEVNULL, preexec_fn=limit or None)
    try:
        out, err = process.communicate(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        raise AssertionError(f"expected Tolvane to give up at once, it still runs after {TIMEOUT:g} s") from None
    finally:
        stop(process)
    assert process.returncode >= 0, \
        f"expected an exit status, Tolvane was killed by {signal.Signals(-process.returncode).name}: {err!r}"
    return process.returncode, out.decode(errors="replace"), err.decode(errors="replace").replace("\r\n", "\n")


def absent_display():
    return next(f":{n}" for n in range(4000, 5000) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))


REFUSED = {
    "-geometry alone": (["-geometry"], "-geometry parameter must be followed by window geometry settings"),
    "-display alone": (["-display"], "-display parameter must be followed by display name"),
    "-direct -indirect": (["-direct", "-indirect"], "parameters ambiguity, -direct and -indirect cannot be both specified"),
    # On Windows -display names a display device; an unknown one gets a warning (below).
    **({} if WINDOWS else {"no such display": (["-display", "ABSENT"], "failed to open display 'ABSENT'"),
                           "no DISPLAY": ([], "failed to open display ''")}),
}


@pytest.mark.parametrize("args, message", REFUSED.values(), ids=REFUSED.keys())
def test_broken_options_and_no_display_get_the_toolkits_message(where, args, message):
    absent = absent_display()
    env = {k: v for k, v in where.display.env.items() if k != "DISPLAY"} if not args and not WINDOWS else None
    status, out, err = run_to_end(where, *(a.replace("ABSENT", absent) for a in args), env=env)
    message = message.replace("ABSENT", absent)
    assert status != 0 and out == "" and re.fullmatch(rf"freeglut \([^)]*\): {re.escape(message)}\n", err), \
        f"expected freeglut's message {message!r} and a non-zero status, saw status {status}, " \
        f"stdout {out!r}, stderr {err!r}"


# On Windows -display names a display device; where there is none of that name, freeglut warns and
# runs on. On X it names a display, which must exist (the test before).
ABSURD = {"one very long argument": ["x" * LONGEST], "1000 arguments": [f"arg{i}" for i in range(1000)],
          "absurd geometry": ["-geometry", "9" * (LONGEST - 20) + "x-5+-+", "-sync", "-direct"],
          **({"-display foo": ["-display", "foo"]} if WINDOWS else {})}
DEVICE_WARNING = re.compile(r"freeglut \(.*\): fgPlatformInitialize: CreateDC failed|This is quite likely caused by")


@pytest.mark.parametrize("args", ABSURD.values(), ids=ABSURD.keys())
def test_absurd_command_lines_run_as_normal(where, args):
    with where.launch(*args) as tolvane:
        where.assert_placed(tolvane)
        tolvane.assert_ends(ignore=DEVICE_WARNING if args[0] == "-display" else None)


BROKEN = r"X connection to :\d+ broken \(explicit kill or server shutdown\)\.\n"
NO_GLX = r"freeglut \(.*\): OpenGL GLX extension not supported by display ':\d+'\n"
NO_CONTEXT = r"\n(.|\n)*freeglut \(.*\): Unable to create OpenGL 1\.0 context"
# The system failing under Tolvane, each in a place of its own: how it is changed before Tolvane
# starts, what goes while it runs, then what it says and its exit status. With too little memory
# Mesa 22 (Debian 12) cannot load its driver, and Mesa 25 (Debian 13) offers no GL configuration.
# Under Wine a lost X server ends it with X's message and, from Wine 10 on, status 1: Wine 8 gives
# 0, a failure reported as success, and not Tolvane's. A lost Wine server ends it silently.
FAILING = {"X server gone": ({}, "crash", BROKEN, int(wine_version()[0] >= 10)),
           "Wine's server gone": ({}, "wineserver", r"^$", 1)} if WINDOWS else {
    "no GLX": ({"xvfb": ["-extension", "GLX"]}, None, NO_GLX, 1),
    "8-bit screen": ({"depth": 8}, None, NO_GLX, 1),
    "no Mesa driver file": ({"env": {"LIBGL_DRIVERS_PATH": "EMPTY"}, "until": 12}, None,
                            f"failed to load driver: swrast{NO_CONTEXT}", 1),
    "no such Mesa driver": ({"env": {"GALLIUM_DRIVER": "none"}}, None, f"failed to create drisw screen{NO_CONTEXT}", 1),
    "too little memory": ({"memory": 200_000 * 1024}, None,
                          "failed to load driver: swrast|FBConfig with necessary capabilities not found", 1),
    "X server gone": ({}, "crash", BROKEN, 1),
    "Xwayland gone": ({"place": "weston"}, "crash", BROKEN, 1),
}

@pytest.mark.parametrize("fault", FAILING)
def test_a_failing_system_ends_it_at_once_with_the_systems_message(fault, tmp_path):
    changes, going, message, expected = FAILING[fault]
    if "memory" in changes and (EMULATOR or "ASAN_OPTIONS" in os.environ):
        pytest.skip("qemu and AddressSanitizer need more address space than the limit leaves any program")
    if changes.get("until", 99) < debian_release():
        pytest.skip("Mesa 25 (Debian 13) builds its drivers into one library, and looks for none in a folder")
    with open_place(changes.get("place", places()[0]), **changes) as where:
        if going:
            with where.launch() as tolvane:
                tolvane.assert_green()
                where.wine.close() if going == "wineserver" else where.display.crash()
                status, (out, err) = tolvane.exit_status(TIMEOUT), tolvane.output()
        else:
            env = {**where.display.env, **{k: v.replace("EMPTY", str(tmp_path)) for k, v in changes.get("env", {}).items()}}
            status, out, err = run_to_end(where, env=env, memory=changes.get("memory"))
    seen = f"killed by {signal.Signals(-status).name}" if status < 0 else f"status {status}"
    assert status == expected and out == "" and re.search(message, err), \
        f"expected the message {message!r} and status {expected}, saw {seen}, stdout {out!r}, stderr {err!r}"
