"""What the end-to-end tests drive Tolvane with: a virtual X server, a window manager, the
program itself, and the X tools that look at its window and give it input.

Every process started here is ended by the context manager or fixture that started it, also
when a check fails. Every wait is a bounded poll.
"""

import contextlib
import hashlib
import os
import re
import select
import shlex
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

TIMEOUT = 20.0  # seconds: the longest any one condition is waited for
GREEN = (0, 255, 0)
WINDOW = (1920, 1080)
POSITION = (100, 100)


def tool(name):
    path = shutil.which(name)
    if path is None:
        raise AssertionError(f"the test tool '{name}' is not installed; scripts/test.sh installs it")
    return path


def wait_for(what, condition, timeout=TIMEOUT, interval=0.05):
    """Poll condition() until it returns something true; fail saying what was awaited."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise AssertionError(f"waited {timeout:g} s for {what}, in vain")
        time.sleep(interval)


def start(command, **options):
    """Start a process in a group of its own, so that stop() also ends whatever it starts."""
    return subprocess.Popen(command, start_new_session=True, **options)


def stop(process, grace=5.0):
    """End a process started by start() and everything in its group, politely first."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        with contextlib.suppress(ProcessLookupError):
            os.killpg(process.pid, sig)
        try:
            process.wait(grace)
            return
        except subprocess.TimeoutExpired:
            pass


class Display:
    """A virtual X server with one screen of the given size."""

    def __init__(self, width, height):
        self.wm = None
        read_end, write_end = os.pipe()
        self.process = start(
            [tool("Xvfb"), "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        # Xvfb writes the number and the newline separately, and dies if the pipe is gone in between.
        number = b""
        deadline = time.monotonic() + TIMEOUT
        try:
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                ready, _, _ = select.select([read_end], [], [], deadline - time.monotonic())
                chunk = os.read(read_end, 32) if ready else b""
                if not chunk:
                    break
                number += chunk
        finally:
            os.close(read_end)
        number = number.decode().strip()
        if not number.isdigit():
            stop(self.process)
            raise AssertionError(f"Xvfb did not report a display number within {TIMEOUT:g} s")
        self.name = f":{number}"
        self.env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "XAUTHORITY")}
        self.env["DISPLAY"] = self.name

    def run(self, *command, check=True, timeout=TIMEOUT):
        """Run an X tool against this display and return what it printed."""
        done = subprocess.run([tool(command[0]), *command[1:]], env=self.env, capture_output=True,
                              text=True, timeout=timeout)
        if check and done.returncode != 0:
            raise AssertionError(f"{' '.join(command)} exited {done.returncode}: {done.stderr.strip()}")
        return done.stdout

    def screenshot(self, path):
        self.run("import", "-silent", "-window", "root", str(path))
        return path

    def close(self):
        stop(self.process)


class WindowManager:
    """openbox, ready once it answers a request. It announces itself before it has loaded its
    theme, and a window that asked to be mapped in that gap was seen never to appear."""

    def __init__(self, display, log):
        self.log = log
        with open(log, "wb") as err:
            self.process = start([tool("openbox"), "--sm-disable"], env=display.env,
                                 stdout=subprocess.DEVNULL, stderr=err)

        def answers():
            self.running()
            display.run("wmctrl", "-n", "1", check=False)  # one desktop: no window can be elsewhere
            return " = 1" in display.run("xprop", "-root", "_NET_NUMBER_OF_DESKTOPS", check=False)
        try:
            wait_for("openbox to answer a request for one desktop", answers, interval=0.1)
        except AssertionError:
            self.close()
            raise

    def running(self):
        if self.process.poll() is not None:
            raise AssertionError(f"openbox ended with status {self.process.returncode}; "
                                 f"it said {Path(self.log).read_text(errors='replace')!r}")
        return True

    def close(self):
        stop(self.process)


class Tolvane:
    """The program under test, its output captured to files so that silence can be checked."""

    def __init__(self, display, *args, workdir, wrapper=(), env=None, wine=None, program=None):
        self.display = display
        self.workdir = Path(workdir)
        self.stdout_path = self.workdir / "stdout.txt"
        self.stderr_path = self.workdir / "stderr.txt"
        program = os.path.abspath(program or os.environ.get("TOLVANE", ""))
        if not os.path.isfile(program) or not os.access(program, os.X_OK):
            raise AssertionError(f"expected TOLVANE to name the built program, it names {program!r}")
        command = wine.command(program, *args) if wine else [*wrapper, program, *args]
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = start(command, env={**(wine.env if wine else display.env), **(env or {})},
                                 stdout=out, stderr=err, stdin=subprocess.DEVNULL, cwd=self.workdir)
        self.window = None

    def wait_for_window(self):
        seen = []

        def visible():
            seen[:] = self.display.run("xdotool", "search", "--onlyvisible", "--name", "^Tolvane$",
                                       check=False).split()
            return seen[0] if len(seen) == 1 else None
        try:
            self.window = wait_for("Tolvane's window", lambda: self.running() and visible())
        except AssertionError as error:
            if self.display.wm:
                self.display.wm.running()
            tree = self.display.run("xwininfo", "-root", "-tree", check=False)
            raise AssertionError(f"{error}: expected one visible window named 'Tolvane', saw {seen}; "
                                 f"the screen's windows:\n{tree}") from None
        return self.window

    def running(self):
        if self.process.poll() is not None:
            raise AssertionError(f"Tolvane ended with status {self.process.returncode} while expected "
                                 f"to run; stderr: {self.output()[1]!r}")
        return True

    def geometry(self):
        """(x, y, width, height) of the window's own area on the screen, as X reports it."""
        info = self.display.run("xwininfo", "-id", self.window, check=False)
        if "Width:" not in info:
            # Most likely the program has ended; say so rather than that the window is gone.
            with contextlib.suppress(subprocess.TimeoutExpired):
                self.process.wait(2)
            self.running()
            raise AssertionError(f"Tolvane runs, but its window {self.window} is gone")
        field = lambda name: int(re.search(rf"{name}:\s+(-?\d+)", info).group(1))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                field("Height"))

    def colours(self, name="window.png"):
        """Count every pixel of the window, as shown on the screen, by colour."""
        x, y, width, height = self.geometry()
        shot = self.display.screenshot(self.workdir / name)
        histogram = self.display.run("convert", str(shot), "-crop", f"{width}x{height}+{x}+{y}",
                                     "+repage", "-depth", "8", "-format", "%c", "histogram:info:-")
        counts = {}
        for count, red, green, blue in re.findall(r"(\d+):\s*\(\s*(\d+),\s*(\d+),\s*(\d+)", histogram):
            counts[(int(red), int(green), int(blue))] = int(count)
        return counts, shot

    def assert_green(self, timeout=TIMEOUT):
        """Wait until every pixel of the window is green; fail describing what was shown instead."""
        seen = {}

        def all_green():
            counts, shot = self.colours()
            seen.update(counts=counts, shot=shot)
            return self.running() and set(counts) == {GREEN}
        try:
            wait_for("every pixel of the window to be green", all_green, timeout, interval=0.2)
        except AssertionError:
            raise AssertionError(f"expected the whole window green {GREEN}, saw pixel counts by colour "
                                 f"{seen.get('counts')} (screenshot {seen.get('shot')})") from None

    def focus(self):
        self.display.run("xdotool", "windowactivate" if self.display.wm else "windowfocus",
                         "--sync", self.window)

    def keys(self, *names):
        """Type real key presses (XTEST) into the focused window."""
        self.focus()
        self.display.run("xdotool", "key", "--delay", "10", *names)

    def use_keys_and_pointer(self):
        """What a person does to a window short of Escape: character and special keys, every
        button, a drag across it and moves over and off it."""
        self.keys("a", "z", "shift+q", "0", "5", "9", "space", "Return", "Tab", "BackSpace",
                  "Left", "Right", "Up", "Down", "Home", "Page_Down", "F1", "F5", "F12")
        x, y, width, height = self.geometry()
        self.display.run("xdotool", "mousemove", "--sync", str(x + 10), str(y + 10),
                         "click", "1", "click", "2", "click", "3", "click", "4", "click", "5",
                         "mousedown", "1", "mousemove", "--sync", str(x + width // 2), str(y + height // 2),
                         "mousemove", "--sync", str(x + width - 10), str(y + height - 10), "mouseup", "1",
                         "mousemove", "--sync", str(x + width // 3), str(y + height // 3),
                         "mousemove", "--sync", "5", "5")

    def exit_status(self, timeout=5.0):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"expected Tolvane to end within {timeout:g} s, it is still running") from None

    def output(self):
        return self.stdout_path.read_text(errors="replace"), self.stderr_path.read_text(errors="replace")

    def assert_silent(self, ignore=None):
        out, err = self.output()
        if ignore:
            err = "".join(line for line in err.splitlines(True) if not ignore.match(line))
        assert (out, err) == ("", ""), f"expected no output at all, saw stdout {out!r} and stderr {err!r}"

    def close(self):
        stop(self.process)


class Wine:
    """Runs Windows programs on a display, in a Wine prefix made on first use and kept (making one
    takes seconds). Wine's own services outlive the programs, so close() ends them too."""

    def __init__(self, display):
        self.prefix = os.environ.get("WINEPREFIX") or os.path.join(artifacts(), "wineprefix")
        # No dialogs offering to download Mono or Gecko, and no Wine debug chatter on stderr.
        self.env = {**display.env, "WINEPREFIX": self.prefix, "WINEDEBUG": "-all",
                    "WINEDLLOVERRIDES": "mscoree,mshtml="}
        if not os.path.isfile(os.path.join(self.prefix, "system.reg")):
            done = subprocess.run([tool("wine"), "wineboot", "--init"], env=self.env,
                                  capture_output=True, text=True, timeout=180)
            self.close()
            if done.returncode != 0:
                raise AssertionError(f"wineboot --init exited {done.returncode}: {done.stderr.strip()}")

    def command(self, program, *args):
        """The command that runs a Windows program with the display variable out of its
        environment: Wine needs it, but freeglut on Windows takes it for a display device name."""
        windows_path = "Z:" + os.path.abspath(program).replace("/", "\\")
        return [tool("wine"), "cmd", "/c", " ".join([f"set DISPLAY=&& {windows_path}", *args])]

    def run(self, program, *args):
        done = subprocess.run([tool("wine"), program, *args], env=self.env, capture_output=True,
                              text=True, timeout=TIMEOUT)
        if done.returncode != 0:
            raise AssertionError(f"{os.path.basename(program)} {' '.join(args)} exited "
                                 f"{done.returncode}: {done.stderr.strip()}")
        return done.stdout

    def close(self):
        subprocess.run([tool("wineserver"), "--kill"], env=self.env, capture_output=True, timeout=TIMEOUT)


def artifacts():
    """Where screenshots and captured output go: kept in the build tree under ctest."""
    folder = os.environ.get("TOLVANE_ARTIFACTS") or tempfile.gettempdir()
    os.makedirs(folder, exist_ok=True)
    return folder


@contextlib.contextmanager
def session(width=2200, height=1300, wm=False):
    """A display (with openbox if wm) that lives as long as the with-block."""
    with contextlib.ExitStack() as stack:
        display = Display(width, height)
        stack.callback(display.close)
        if wm:
            display.wm = WindowManager(display, log=Path(artifacts()) / f"openbox-{display.name[1:]}.log")
            stack.callback(display.wm.close)
        yield display


@contextlib.contextmanager
def launch(display, *args, wrapper=(), env=None, wine=None, program=None):
    """Tolvane (the built one, unless another program is named) on the display, its window mapped;
    it is ended when the block is left."""
    workdir = tempfile.mkdtemp(prefix="tolvane-", dir=artifacts())
    program = Tolvane(display, *args, workdir=workdir, wrapper=wrapper, env=env, wine=wine, program=program)
    try:
        program.wait_for_window()
        yield program
    finally:
        program.close()


def package(generator, config=None, env=None):
    """Run cpack with one generator on a build's CPackConfig.cmake (this build's by default); the
    one package it makes."""
    config = config or os.environ.get("TOLVANE_CPACK_CONFIG", "")
    assert os.path.isfile(config), f"expected a CPackConfig.cmake, saw {config!r}"
    out = tempfile.mkdtemp(prefix="package-", dir=artifacts())
    done = subprocess.run(["cpack", "-G", generator, "--config", config, "-B", out], capture_output=True,
                          text=True, timeout=240, env={**os.environ, **(env or {})})
    assert done.returncode == 0, f"cpack -G {generator} exited {done.returncode}: {done.stdout}{done.stderr}"
    made = [path for path in Path(out).iterdir() if path.is_file()]
    assert len(made) == 1, f"expected cpack -G {generator} to make one package, saw {sorted(os.listdir(out))}"
    return made[0]


def assert_same_package_from_elsewhere(generator, first):
    """The same source configured and built afresh in another directory, packed in another time
    zone, gives the same bytes as the package first."""
    again = Path(tempfile.mkdtemp(prefix="rebuild-", dir=artifacts()))
    configure = [*shlex.split(os.environ["TOLVANE_RECONFIGURE"]), "-B", str(again)]
    for step in (configure, ["cmake", "--build", str(again), "--target", "tolvane"]):
        done = subprocess.run(step, capture_output=True, text=True, timeout=240)
        assert done.returncode == 0, f"{' '.join(step)} exited {done.returncode}: {done.stdout[-2000:]}{done.stderr[-2000:]}"
    second = package(generator, str(again / "CPackConfig.cmake"), env={"TZ": "Pacific/Auckland"})
    digests = [hashlib.sha256(path.read_bytes()).hexdigest() for path in (first, second)]
    assert digests[0] == digests[1], f"expected identical packages, saw SHA-256 {digests[0]} ({first}) and {digests[1]} ({second})"
