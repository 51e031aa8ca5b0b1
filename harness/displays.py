"""Where programs show their windows: a virtual X server (Xvfb), the openbox window manager on one,
and GNOME's and KDE's Wayland compositors, headless, with their Xwayland."""

import contextlib
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

from .processes import TIMEOUT, run, start, stop, tool, wait_for


class Server:
    """A process that serves X clients, or manages their windows, for as long as it lives: it
    runs X tools against its display, and says so when it has ended under them."""
    reads_window = False  # pixels come from the screen; else from the window itself
    wm = None  # what manages windows on this display, if anything
    log = None

    def __init__(self, command, env, what):
        self.what, self.env = what, env
        with open(self.log or os.devnull, "wb") as out:
            self.process = start(command, env=env, stdout=out, stderr=subprocess.STDOUT, pass_fds=self.pass_fds)

    pass_fds = ()

    def run(self, *command, **options):
        return run(*command, env=self.env, **options)

    def running(self):
        if self.process.poll() is not None:
            said = Path(self.log).read_text(errors="replace")[-2000:] if self.log else ""
            raise AssertionError(f"{self.what} ended with status {self.process.returncode}, expected to run; "
                                 f"it said {said!r}")
        return True

    def ready(self, what, condition, timeout=TIMEOUT):
        """Wait until it answers; if it never does, end it and say so."""
        try:
            return wait_for(what, lambda: self.running() and condition(), timeout, interval=0.1)
        except AssertionError:
            self.close()
            raise

    def close(self):
        stop(self.process)


class Xvfb(Server):
    """A virtual X server with one screen of the given size."""

    def __init__(self, width, height):
        read_end, write_end = os.pipe()
        self.pass_fds = (write_end,)
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "XAUTHORITY")}
        super().__init__([tool("Xvfb"), "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
                          "-nolisten", "tcp", "-noreset"], env, "Xvfb")
        os.close(write_end)
        # Xvfb writes the number and the newline separately, and dies if the pipe is gone in between.
        number, deadline = b"", time.monotonic() + TIMEOUT
        try:
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                ready, _, _ = select.select([read_end], [], [], deadline - time.monotonic())
                chunk = os.read(read_end, 32) if ready else b""
                if not chunk:
                    break
                number += chunk
        finally:
            os.close(read_end)
        if not number.strip().isdigit():
            self.close()
            raise AssertionError(f"expected Xvfb to report a display number within {TIMEOUT:g} s, saw {number!r}")
        self.name = f":{number.decode().strip()}"
        self.env["DISPLAY"] = self.name


class Openbox(Server):
    """openbox on a display, ready once it answers a request. It announces itself before it has
    loaded its theme, and a window that asked to be mapped in that gap was seen never to appear."""

    def __init__(self, display, log):
        self.log = log
        super().__init__([tool("openbox"), "--sm-disable"], display.env, "openbox")

        def one_desktop():  # and so no window can be elsewhere
            self.run("wmctrl", "-n", "1", check=False)
            return " = 1" in self.run("xprop", "-root", "_NET_NUMBER_OF_DESKTOPS", check=False)
        self.ready("openbox to answer a request for one desktop", one_desktop)


class Compositor(Server):
    """A Wayland desktop's compositor, headless, with its Xwayland: GNOME's (mutter) or KDE's
    (KWin), each on a D-Bus session bus of its own. The compositor starts a reporter, which writes
    down the X display and authority file that the compositor gives its clients (X tools use them
    too) and its own process id, then lives until it is killed: mutter would end with the program
    it was given. Xwayland shows no screen of its own to read, so pixels come from the window."""
    reads_window = True

    def __init__(self, kind, width, height, log):
        self.log, self.wm, self.reporter = log, self, None
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
            command = [tool("mutter"), "--headless", "--wayland", "--virtual-monitor", f"{width}x{height}"]
            command += ["--", str(reporter)]
        else:
            # kwin_wayland carries file capabilities, which exec refuses where the capability bounding
            # set lacks them (containers, CI sandboxes); a copy carries none and runs anywhere.
            kwin = self.runtime / "kwin_wayland"
            shutil.copy(tool("kwin_wayland"), kwin)
            command = [str(kwin), "--virtual", "--xwayland", "--width", str(width), "--height", str(height),
                       str(reporter)]
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY")}
        env.update(XDG_RUNTIME_DIR=str(self.runtime), XDG_SESSION_TYPE="wayland")
        super().__init__([tool("dbus-run-session"), "--", *command], env, f"{kind}'s compositor")
        self.name, authority, self.reporter = self.ready(
            f"{kind}'s Xwayland to take clients", lambda: report.exists() and report.read_text().split("\n")[:3],
            timeout=TIMEOUT * 3)
        self.env = {**env, "DISPLAY": self.name, **({"XAUTHORITY": authority} if authority else {})}
        self.ready(f"{kind} to manage windows", lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)"
                   in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False))

    def close(self):
        super().close()
        # The compositors start the reporter in a process group of its own.
        with contextlib.suppress(ProcessLookupError, TypeError, ValueError):
            os.kill(int(self.reporter), signal.SIGKILL)
        shutil.rmtree(self.runtime, ignore_errors=True)
