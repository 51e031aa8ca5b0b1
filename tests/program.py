"""The program under test on a display: its window found, read and given input, its ending and
its output checked."""

import collections
import contextlib
import os
import re
import shlex
import struct
import subprocess
import tempfile
from pathlib import Path

from harness import TIMEOUT, TimedOut, start, stop, wait_for, wine_process

GREEN = (0, 255, 0)
WINDOW = (1920, 1080)
POSITION = (100, 100)
# What starts a Linux build for another machine here (qemu-aarch64 -L / for arm64); none for ours.
EMULATOR = shlex.split(os.environ.get("TOLVANE_EMULATOR", ""))


def artifacts():
    """Where screenshots and captured output go: kept in the build tree under ctest."""
    folder = os.environ.get("TOLVANE_ARTIFACTS") or tempfile.gettempdir()
    os.makedirs(folder, exist_ok=True)
    return folder


def read_xwd(dump, x, y, width, height):
    """The pixels of a rectangle of an xwd dump, a row of bytes at a time, and how green is
    written in them: at 24 bits in 3 or 4 bytes, at 16 in 2, as 565."""
    fields = struct.unpack(">25I", dump[:100])  # xwd writes its header most significant byte first
    header, order, size, stride = fields[0], fields[7], fields[11] // 8, fields[12]
    assert (fields[3], size) in ((24, 3), (24, 4), (16, 2)), \
        f"expected xwd to give 24-bit or 16-bit colour, saw the header {fields[:13]}"
    pixels = header + fields[19] * 12  # after the window's name and the colour map
    right = min(x + width, fields[4])  # what lies off the screen shows nowhere
    rows = [dump[pixels + row * stride + x * size:pixels + row * stride + right * size]
            for row in range(y, min(y + height, fields[5]))]
    return rows, fields[15].to_bytes(size, "big" if order else "little")


def titled(display):
    """The visible windows titled Tolvane: the program's, and any frames that carry its title.
    xdotool gives up, listing none, where a window goes while it searches (a desktop's frame of a
    program that has just ended): then it searches again."""
    def search():
        out, err = display.run("xdotool", "search", "--onlyvisible", "--name", "^Tolvane$", check=False, both=True)
        return "X Error" not in err and [set(out.split())]
    return wait_for("xdotool to search the windows while none goes", search)[0]


class Tolvane:
    """The program, its output captured to files so that silence can be checked."""

    def __init__(self, place, *args, env=None, program=None, wrapper=()):
        self.display, self.wine, self.spec = place.display, place.wine, place.spec
        self.workdir = Path(tempfile.mkdtemp(prefix="tolvane-", dir=artifacts()))
        program = os.path.abspath(program or os.environ.get("TOLVANE", ""))
        if not os.path.isfile(program):
            raise AssertionError(f"expected TOLVANE to name the built program, it names {program!r}")
        command = self.wine.command(program, *args) if self.wine else [*wrapper, *EMULATOR, program, *args]
        with open(self.workdir / "stdout.txt", "wb") as out, open(self.workdir / "stderr.txt", "wb") as err:
            self.process = start(command, env={**(self.wine or self.display).env, **(env or {})},
                                 stdout=out, stderr=err, stdin=subprocess.DEVNULL, cwd=self.workdir)
        self.window = None

    def find_window(self, others):
        """The window this program mapped: a titled one that was not there before it started (others)
        and holds no other titled one (mutter 48 has a client of its own draw frames, which carry
        the title too)."""
        seen = []

        def mapped():
            seen[:] = titled(self.display) - others
            # A frame holds the program's window, titled too, even before that shows (mutter 48, loaded).
            below = {w: self.display.run("xwininfo", "-tree", "-id", w, check=False).partition("child")[2] for w in seen}
            innermost = [w for w in seen if '"Tolvane"' not in below[w]]
            return innermost[0] if len(innermost) == 1 else None
        try:
            self.window = wait_for("Tolvane's window", lambda: self.running() and mapped())
        except TimedOut as error:
            if self.display.wm:
                self.display.wm.running()
            tree = self.display.run("xwininfo", "-root", "-tree", check=False)
            raise AssertionError(f"{error}: expected one new visible window named 'Tolvane', saw {seen} beside "
                                 f"{sorted(others)}; the screen's windows:\n{tree}") from None
        return self

    def pid(self):
        """The program's own process: under Wine, the one that runs tolvane.exe."""
        return wine_process(self.process.pid, "tolvane.exe") if self.wine else self.process.pid

    def running(self):
        if self.process.poll() is not None:
            raise AssertionError(f"Tolvane ended with status {self.process.returncode} while expected "
                                 f"to run; stderr: {self.output()[1]!r}")
        return True

    def geometry(self, window=None):
        """(x, y, width, height) of the window's own area (or another's) on the screen, as X reports it."""
        info = self.display.run("xwininfo", "-id", window or self.window, check=False)
        if "Width:" not in info:
            # Most likely the program has ended; say so rather than that the window is gone.
            with contextlib.suppress(subprocess.TimeoutExpired):
                self.process.wait(2)
            self.running()
            raise AssertionError(f"Tolvane runs, but its window {self.window} is gone")
        return tuple(int(re.search(rf"{name}:\s+(-?\d+)", info).group(1))
                     for name in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def frame(self):
        """The window the desktop put the program's window in."""
        tree = self.display.run("xwininfo", "-tree", "-id", self.window)
        return re.search(r"Parent window id: (0x[0-9a-f]+)", tree).group(1)

    def asked(self):
        """((x, y), (width, height)): where and how large the program asked its window to be."""
        hints = self.display.run("xprop", "-id", self.window, "WM_NORMAL_HINTS")
        field = lambda name: tuple(map(int, re.findall(r"\d+", re.search(rf"specified {name}: (.*)", hints).group(1))))
        return field("location"), field("size")

    def outer_corner(self):
        """Where the window's outer corner is: its frame's, where the desktop draws one around it."""
        x, y, _, _ = self.geometry()
        extents = re.findall(r"\d+", self.display.run("xprop", "-id", self.window, "_NET_FRAME_EXTENTS", check=False))
        left, _, top, _ = map(int, extents) if len(extents) == 4 else (0, 0, 0, 0)
        return x - left, y - top

    def rows(self):
        """The window's pixels, a row at a time, as shown on the screen or, where no screen can be
        read, as the X server holds the window; one xwd dump, no conversion."""
        x, y, width, height = self.geometry()
        source = ("-id", self.window) if self.display.reads_window else ("-root",)
        # A window the desktop has not yet shown, or shows no more, cannot be read (BadMatch): none.
        dump, said = self.display.run("xwd", "-silent", *source, binary=True, check=False, both=True)
        if not dump:
            return [], said.decode(errors="replace").strip()
        (self.workdir / "window.xwd").write_bytes(dump)
        return read_xwd(dump, *((0, 0) if self.display.reads_window else (x, y)), width, height)

    def assert_green(self, timeout=TIMEOUT):
        """Wait until every pixel of the window is green; fail describing what was shown instead."""
        seen = {}

        def all_green():
            seen["rows"], green = self.rows()
            return self.running() and seen["rows"] and all(row == green * (len(row) // len(green)) for row in seen["rows"])
        try:
            wait_for("every pixel of the window to be green", all_green, timeout, interval=0.2)
        except TimedOut:
            rows, green = self.rows()
            if not rows:
                raise AssertionError(f"expected the whole window green {GREEN}, xwd could not read it: {green}") from None
            pixels, size = b"".join(seen.get("rows") or []), len(green)
            counts = collections.Counter(pixels[i:i + size].hex() for i in range(0, len(pixels), size))
            raise AssertionError(f"expected the whole window green {GREEN}, saw the pixel values {dict(counts.most_common(8))} "
                                 f"(the xwd dump {self.workdir / 'window.xwd'})") from None

    def focus(self):
        self.display.run("xdotool", "windowactivate" if self.display.wm else "windowfocus", "--sync", self.window)

    def keys(self, *names):
        """Type real key presses (XTEST) into the focused window, or where the desktop gives no X
        focus, into the window itself. A key that ends the program leaves xdotool nowhere to send
        its release: it fails, and the key is released after it, lest autorepeat end the next
        program to get the focus."""
        self.focus()
        to = ("--window", self.window) if self.spec.get("keys_to_window") else ()
        self.display.run("xdotool", "key", *to, "--delay", "10", *names, check="Escape" not in names)
        if "Escape" in names:
            self.display.run("xdotool", "keyup", "Escape")

    def use_keys(self):
        """What a person types short of Escape: character and special keys."""
        self.keys("a", "z", "shift+q", "0", "5", "9", "space", "Return", "Tab", "BackSpace",
                  "Left", "Right", "Up", "Down", "Home", "Page_Down", "F1", "F5", "F12")

    def use_pointer(self):
        """What a person does with the pointer: every button, a drag across the window and moves
        over and off it."""
        x, y, width, height = self.geometry()
        at = lambda fx, fy: ["mousemove", "--sync", str(x + int(fx * width)), str(y + int(fy * height))]
        clicks = [word for button in "12345" for word in ("click", button)]
        self.display.run("xdotool", *at(0.01, 0.01), *clicks, "mousedown", "1", *at(0.5, 0.5), *at(0.99, 0.99),
                         "mouseup", "1", *at(0.33, 0.33), "mousemove", "--sync", "5", "5")

    def exit_status(self, timeout=5.0):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"expected Tolvane to end within {timeout:g} s, it is still running") from None

    def output(self):
        return tuple((self.workdir / name).read_text(errors="replace") for name in ("stdout.txt", "stderr.txt"))

    def assert_silent(self, ignore=None):
        out, err = self.output()
        if ignore:
            err = "".join(line for line in err.splitlines(True) if not ignore.match(line))
        assert (out, err) == ("", ""), f"expected no output at all, saw stdout {out!r} and stderr {err!r}"

    def assert_ends(self, ending="Escape", ignore=None):
        """The common ending: green to the last, then `ending` (a key, or what ends it otherwise)
        ends it with status 0, and it wrote nothing (but lines that `ignore` matches)."""
        self.assert_green()
        ending() if callable(ending) else self.keys(ending)
        status = self.exit_status()
        assert status == 0, f"expected exit status 0 after {getattr(ending, '__doc__', ending)}, saw {status}"
        self.assert_silent(ignore)

    def close(self):
        stop(self.process)


@contextlib.contextmanager
def launch(place, *args, **options):
    """Tolvane (the built one, unless another program is named) in a place, its window mapped;
    it is ended when the block is left."""
    others = titled(place.display)
    program = Tolvane(place, *args, **options)
    try:
        yield program.find_window(others)
    finally:
        program.close()
