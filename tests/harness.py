"""What the end-to-end tests drive Tolvane with: the places where it runs (a virtual X server,
alone or with a window manager, GNOME's and KDE's Wayland compositors with their Xwayland, and
Wine for the Windows build), the program itself, and the X tools that look at its window and
give it input.

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

# Where Tolvane runs, for each build. Every end-to-end check is written once and runs in each place
# where it means something. By design the places differ in these ways, and no others:
# - Where a desktop draws a frame around the window (openbox, GNOME; Windows), it is the frame's
#   outer corner that stands at (100, 100), and the 1920 x 1080 client area lies inside it. KDE's
#   compositor, headless, draws no frame. On Windows the frame is read as Windows defines it.
# - Only a window manager closes the window ("wm"); a bare X server has none.
# - Only under openbox is the window resized ("resize"): the compositors decide sizes themselves.
# - On Wine 10 a display scaled to 150 or 200 % ("dpi") must not enlarge the window; Wine 8 does
#   not scale programs at all, so those places are skipped there.
PLACES = {
    "x": {"build": "linux"},
    "openbox": {"build": "linux", "wm": True, "resize": True},
    "gnome": {"build": "linux", "compositor": "gnome", "wm": True},
    "kde": {"build": "linux", "compositor": "kde", "wm": True},
    "wine": {"build": "windows"},
    "wine-openbox": {"build": "windows", "wm": True, "resize": True},
    "wine-150": {"build": "windows", "dpi": 144},
    "wine-200": {"build": "windows", "dpi": 192},
}
SCREEN = (2400, 1400)


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
    reads_window = False  # the screen itself can be read: pixels are taken from the root window

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

    def run(self, *command, check=True, timeout=TIMEOUT * 3):
        """Run an X tool against this display and return what it printed."""
        try:
            done = subprocess.run([tool(command[0]), *command[1:]], env=self.env, capture_output=True,
                                  text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"expected {' '.join(command)[:200]} to finish within {timeout:g} s, it did not") from None
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


class Compositor:
    """A Wayland desktop's compositor, headless, with its Xwayland: GNOME's (mutter) or KDE's
    (KWin), each on a D-Bus session bus of its own. The compositor starts a reporter, which writes
    down the X display and authority file that the compositor gives its clients (the tests' X
    clients use them too) and its own process id, then lives until it is killed: mutter would end
    with the program it was given.

    Xwayland shows no screen of its own to read, so pixels are taken from the window itself."""
    reads_window = True

    def __init__(self, kind, width, height, log):
        self.log = log
        self.runtime = Path(tempfile.mkdtemp(prefix="xdg-runtime-"))  # mode 0700, as a session's is
        # mutter 48 puts its Xwayland's sockets there, and wants the folder to exist already.
        with contextlib.suppress(OSError):
            os.makedirs("/tmp/.X11-unix", mode=0o1777, exist_ok=True)
            os.chmod("/tmp/.X11-unix", 0o1777)
        report = self.runtime / "x11"
        reporter = self.runtime / "report-x11"
        reporter.write_text(f'#!/bin/sh\nprintf "%s\\n%s\\n%s\\n" "$DISPLAY" "$XAUTHORITY" $$ > {report}.new\n'
                            f"mv {report}.new {report}\nexec sleep infinity\n")
        reporter.chmod(0o755)
        if kind == "gnome":
            command = [tool("mutter"), "--headless", "--wayland", "--virtual-monitor", f"{width}x{height}",
                       "--", str(reporter)]
        else:
            # kwin_wayland carries file capabilities, which exec refuses where the capability bounding
            # set lacks them (containers, CI sandboxes); a copy carries none and runs anywhere.
            kwin = self.runtime / "kwin_wayland"
            shutil.copy(tool("kwin_wayland"), kwin)
            command = [str(kwin), "--virtual", "--xwayland", "--width", str(width), "--height", str(height),
                       str(reporter)]
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY")}
        env.update(XDG_RUNTIME_DIR=str(self.runtime), XDG_SESSION_TYPE="wayland")
        with open(log, "wb") as err:
            self.process = start([tool("dbus-run-session"), "--", *command], env=env,
                                 stdout=err, stderr=subprocess.STDOUT)
        self.wm = self
        try:
            name, authority, self.reporter = wait_for(
                f"{kind}'s Xwayland to take clients", lambda: self.running() and report.exists()
                and report.read_text().split("\n")[:3], timeout=TIMEOUT * 3, interval=0.1)
            self.name = name
            self.env = {**env, "DISPLAY": name, **({"XAUTHORITY": authority} if authority else {})}
            wait_for(f"{kind} to manage windows", lambda: self.running() and "_NET_SUPPORTING_WM_CHECK(WINDOW)"
                     in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False), interval=0.1)
        except AssertionError:
            self.close()
            raise

    run = Display.run

    def running(self):
        if self.process.poll() is not None:
            raise AssertionError(f"the compositor ended with status {self.process.returncode}; "
                                 f"its log is {self.log}")
        return True

    def close(self):
        stop(self.process)
        # The compositors start the reporter in a process group of its own.
        with contextlib.suppress(ProcessLookupError, AttributeError, ValueError):
            os.kill(int(self.reporter), signal.SIGKILL)
        shutil.rmtree(self.runtime, ignore_errors=True)


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
        self.wine = wine
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = start(command, env={**(wine.env if wine else display.env), **(env or {})},
                                 stdout=out, stderr=err, stdin=subprocess.DEVNULL, cwd=self.workdir)
        self.window = None

    def wait_for_window(self):
        seen = []

        def visible():
            seen[:] = self.display.run("xdotool", "search", "--onlyvisible", "--name", "^Tolvane$",
                                       check=False).split()
            # A desktop's frame may carry the title too (mutter 48 has a client of its own draw
            # frames): the program's window is the titled one that holds no other.
            below = {w: (re.split(r"\d+ child(?:ren)?:", self.display.run("xwininfo", "-tree", "-id", w, check=False),
                                  maxsplit=1) + [""])[1] for w in seen}
            innermost = [w for w in seen if not any(f"{int(other):#x} " in below[w] for other in seen if other != w)]
            return innermost[0] if len(innermost) == 1 else None
        try:
            self.window = wait_for("Tolvane's window", lambda: self.running() and visible())
        except AssertionError as error:
            if self.display.wm:
                self.display.wm.running()
            tree = self.display.run("xwininfo", "-root", "-tree", check=False)
            raise AssertionError(f"{error}: expected one visible window named 'Tolvane', saw {seen}; "
                                 f"the screen's windows:\n{tree}") from None
        return self.window

    def pid(self):
        """The program's own process: under Wine, the one that runs tolvane.exe."""
        return wine_process(self.process.pid, "tolvane.exe") if self.wine else self.process.pid

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

    def outer_corner(self):
        """Where the window's outer corner is: its frame's, where the desktop draws one around it."""
        x, y, _, _ = self.geometry()
        extents = re.findall(r"\d+", self.display.run("xprop", "-id", self.window, "_NET_FRAME_EXTENTS", check=False))
        left, _, top, _ = map(int, extents) if len(extents) == 4 else (0, 0, 0, 0)
        return x - left, y - top

    def colours(self, name="window.png"):
        """Count every pixel of the window by colour: as shown on the screen, or where no screen
        can be read, as the X server holds the window."""
        x, y, width, height = self.geometry()
        if self.display.reads_window:
            shot = self.workdir / name
            self.display.run("import", "-silent", "-window", self.window, str(shot))
            crop = ()
        else:
            shot = self.display.screenshot(self.workdir / name)
            crop = ("-crop", f"{width}x{height}+{x}+{y}", "+repage")
        histogram = self.display.run("convert", str(shot), *crop, "-depth", "8", "-format", "%c",
                                     "histogram:info:-")
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
            os.makedirs(os.path.dirname(self.prefix), exist_ok=True)
            done = subprocess.run([tool("wine"), "wineboot", "--init"], env=self.env,
                                  capture_output=True, text=True, timeout=180)
            self.close()
            if done.returncode != 0:
                raise AssertionError(f"wineboot --init exited {done.returncode}: {done.stderr.strip()}")

    def command(self, program, *args):
        """The command that runs a Windows program with the display variable out of its
        environment: Wine needs it, but freeglut on Windows takes it for a display device name."""
        return [tool("wine"), helper(), "run", "Z:" + os.path.abspath(program).replace("/", "\\"), *args]

    def run(self, program, *args):
        done = subprocess.run([tool("wine"), program, *args], env=self.env, capture_output=True,
                              text=True, timeout=TIMEOUT)
        if done.returncode != 0:
            raise AssertionError(f"{os.path.basename(program)} {' '.join(args)} exited "
                                 f"{done.returncode}: {done.stderr.strip()}")
        return done.stdout

    def close(self):
        subprocess.run([tool("wineserver"), "--kill"], env=self.env, capture_output=True, timeout=TIMEOUT)


def wine_process(session, name):
    """The process that runs the Windows program `name` under Wine, in the given session."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        with contextlib.suppress(OSError):
            argv0 = Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0].decode(errors="replace")
            if argv0.lower().endswith("\\" + name.lower()) and os.getsid(int(pid)) == session:
                return int(pid)
    raise AssertionError(f"found no process running {name} under Wine")


def helper():
    path = os.environ.get("TOLVANE_WINE_HELPER", "")
    assert os.path.isfile(path), f"expected TOLVANE_WINE_HELPER to name the built wine_helper.exe, it names {path!r}"
    return os.path.abspath(path)


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


def build():
    return "windows" if os.environ.get("TOLVANE", "").endswith(".exe") else "linux"


def places():
    """The places for the build under test; TOLVANE_PLACES=a,b picks some of them."""
    chosen = [name for name, spec in PLACES.items() if spec["build"] == build()]
    wanted = os.environ.get("TOLVANE_PLACES")
    return [name for name in chosen if name in wanted.split(",")] if wanted else chosen


class Place:
    """One place, open: its display (with its window manager or compositor) and, for the Windows
    build, Wine."""

    def __init__(self, name, display, wine):
        self.name, self.display, self.wine = name, display, wine
        self.spec = PLACES[name]

    def launch(self, *args, **options):
        return launch(self.display, *args, wine=self.wine, **options)

    def assert_placed(self, tolvane):
        """The window's outer corner at (100, 100) and its client area 1920 x 1080."""
        seen = {}

        def placed():
            if self.wine:  # as Windows defines them, read by Windows itself
                numbers = [int(n) for n in re.findall(r"-?\d+", self.wine.run(helper(), "rect", "Tolvane"))]
                seen.update(corner=tuple(numbers[:2]), client=tuple(numbers[4:]))
            else:
                seen.update(corner=tolvane.outer_corner(), client=tolvane.geometry())
            return seen["corner"] == POSITION and seen["client"][2:] == WINDOW
        # A desktop may place the window after mapping it (KWin does): wait for it to settle.
        with contextlib.suppress(AssertionError):
            wait_for("the window to be placed", placed)
        assert placed(), f"expected the outer corner at {POSITION} around a {WINDOW} client area, saw the corner " \
                         f"at {seen['corner']} and the client area (x, y, width, height) {seen['client']}"
        if self.wine:
            assert tolvane.geometry() == seen["client"], "expected the X window to be Windows' client area"


def wine_scales_unaware_programs():
    """Wine 10 enlarges programs that do not declare DPI awareness, as Windows does; Wine 8 does not."""
    version = subprocess.run([tool("wine"), "--version"], capture_output=True, text=True, timeout=60).stdout
    major = re.match(r"wine-(\d+)", version)
    return (int(major.group(1)) >= 10 if major else False), version.strip()


@contextlib.contextmanager
def place(name):
    spec = PLACES[name]
    with contextlib.ExitStack() as stack:
        if "compositor" in spec:
            display = Compositor(spec["compositor"], *SCREEN, log=Path(artifacts()) / f"{name}-compositor.log")
            stack.callback(display.close)
        else:
            display = stack.enter_context(session(*SCREEN, wm=spec.get("wm", False)))
        wine = None
        if spec["build"] == "windows":
            wine = Wine(display)
            stack.callback(wine.close)
        if "dpi" in spec:
            scales, version = wine_scales_unaware_programs()
            if not scales:
                import pytest  # here only: the benchmark uses this module without pytest
                pytest.skip(f"{version} treats every program as DPI-aware, so a scaled display shows nothing here")
            # Wine reads the display's DPI once a session: set it, then start a new session.
            desktop = r"HKCU\Control Panel\Desktop"
            wine.run("reg", "add", desktop, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(spec["dpi"]), "/f")
            wine.close()
            stack.callback(wine.run, "reg", "delete", desktop, "/v", "LogPixels", "/f")
        yield Place(name, display, wine)
