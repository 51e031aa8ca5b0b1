"""Where programs show their windows: a virtual X server (Xvfb), an X window manager on one
(openbox, or Xfce's, Cinnamon's, MATE's or KDE's), and Wayland compositors, headless, with their
Xwayland: GNOME's, KDE's, Weston, sway and labwc."""

import contextlib
import os
import re
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

    def crash(self):
        """End the X server at once, as a crash would."""
        os.kill(self.process.pid, signal.SIGKILL)

    def close(self):
        stop(self.process)


class Xvfb(Server):
    """A virtual X server with one screen of the given size and depth, and any other options."""

    def __init__(self, width, height, depth=24, options=()):
        read_end, write_end = os.pipe()
        self.pass_fds = (write_end,)
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "XAUTHORITY")}
        super().__init__([tool("Xvfb"), "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x{depth}",
                          "-nolisten", "tcp", "-noreset", *options], env, "Xvfb")
        os.close(write_end)
        # At 16 bits xwd writes a screen that holds windows of other visuals (the GL window's) as
        # 24-bit colour, with the windows' 565 pixels in it unconverted: read the window itself.
        self.reads_window = depth != 24
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


class WindowManager(Server):
    """An X window manager on a display, ready once it names itself on the root window
    (_NET_SUPPORTING_WM_CHECK) and has answered a request for one desktop: openbox names itself
    before it has loaded its theme, and a window that asked to be mapped in that gap was seen never
    to appear. The desktops' managers want a session bus of their own, and replace any there is."""
    COMMANDS = {"openbox": ["openbox", "--sm-disable"], "xfwm4": ["xfwm4", "--replace"],
                "muffin": ["muffin", "--replace", "--sm-disable"], "marco": ["marco", "--replace"],
                "kwin_x11": ["kwin_x11", "--replace"]}

    def __init__(self, kind, display, log):
        self.log = log
        command = [tool(self.COMMANDS[kind][0]), *self.COMMANDS[kind][1:]]
        # muffin 6 refuses to start where the session's type is not said to be X11.
        super().__init__(command if kind == "openbox" else [tool("dbus-run-session"), "--", *command],
                         {**display.env, "XDG_SESSION_TYPE": "x11"}, kind)

        def one_desktop():  # and so no window can be elsewhere
            self.run("wmctrl", "-n", "1", check=False)
            return named(self) and " = 1" in self.run("xprop", "-root", "_NET_NUMBER_OF_DESKTOPS", check=False)
        self.ready(f"{kind} to name itself and answer a request for one desktop", one_desktop)

    def close_window(self, window):
        """Close it as a task bar or the frame's close button does."""
        # A desktop may show the window before it lists it among those it manages (mutter 48 did).
        listed = lambda: int(window) in {int(line.split()[0], 16) for line in
                                         self.run("wmctrl", "-l", check=False).splitlines()}
        wait_for("the desktop to list the window", listed)
        self.run("wmctrl", "-i", "-c", window)


def named(server):
    """The name the window manager gives itself on the display, if it has one yet."""
    check = re.findall(r"0x[0-9a-f]+", server.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False))
    return check and re.findall(r'"(.+)"', server.run("xprop", "-id", check[0], "_NET_WM_NAME", check=False))


def send_delete_window(display, window):
    """WM_DELETE_WINDOW, as a desktop's close button sends it where the desktop has no other way."""
    from Xlib import X, display as xlib, protocol  # python3-xlib: only the places that need it need it

    with contextlib.closing(xlib.Display(display.name)) as connection:
        target = connection.create_resource_object("window", int(window))
        atoms = [connection.intern_atom(name) for name in ("WM_PROTOCOLS", "WM_DELETE_WINDOW")]
        target.send_event(protocol.event.ClientMessage(window=target, client_type=atoms[0],
                                                       data=(32, [atoms[1], X.CurrentTime, 0, 0, 0])))
        connection.sync()


class Compositor(WindowManager):
    """A Wayland desktop's compositor, headless, with its Xwayland: GNOME's (mutter), KDE's
    (KWin), Weston (WSLg's), sway or labwc (Raspberry Pi OS's), each on a D-Bus session bus of its
    own. The compositor starts a reporter, which writes down the X display and authority file that
    the compositor gives its clients (X tools use them too), its Wayland display and its own process
    id, then lives until it is killed: mutter would end with the program it was given. Xwayland
    shows no screen of its own to read, so pixels come from the window."""
    reads_window = True

    def __init__(self, kind, width, height, log):
        self.log, self.wm, self.reporter, self.kind = log, self, None, kind
        self.runtime = Path(tempfile.mkdtemp(prefix="xdg-runtime-"))  # mode 0700, as a session's is
        # mutter 48 puts its Xwayland's sockets there, and wants the folder to exist already.
        with contextlib.suppress(OSError):
            os.makedirs("/tmp/.X11-unix", mode=0o1777, exist_ok=True)
            os.chmod("/tmp/.X11-unix", 0o1777)
        report = self.runtime / "x11"
        reporter = self.runtime / "report-x11"
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY")}
        env.update(XDG_RUNTIME_DIR=str(self.runtime), XDG_SESSION_TYPE="wayland")
        # wlroots' compositors: headless, drawn by the CPU, with no input devices of their own.
        wlroots = {"WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1"}
        before, user = "", []
        if kind == "gnome":
            command = [tool("mutter"), "--headless", "--wayland", "--virtual-monitor", f"{width}x{height}"]
            command += ["--", str(reporter)]
        elif kind == "kde":
            # kwin_wayland carries file capabilities, which exec refuses where the capability bounding
            # set lacks them (containers, CI sandboxes); a copy carries none and runs anywhere.
            kwin = self.runtime / "kwin_wayland"
            shutil.copy(tool("kwin_wayland"), kwin)
            command = [str(kwin), "--virtual", "--xwayland", "--width", str(width), "--height", str(height),
                       str(reporter)]
        elif kind == "weston":
            (self.runtime / "weston.ini").write_text(f"[autolaunch]\npath={reporter}\n")
            command = [tool("weston"), "--backend=headless-backend.so", "--xwayland", f"--width={width}",
                       f"--height={height}", f"--config={self.runtime / 'weston.ini'}"]
        elif kind == "sway":
            (self.runtime / "config").write_text(f"output HEADLESS-1 mode --custom {width}x{height}\nxwayland enable\n"
                                                 f"exec {reporter}\n")
            command, env = [tool("sway"), "--config", str(self.runtime / "config")], {**env, **wlroots}
            # sway will not run as root; its Xwayland then takes clients of its own user only.
            if os.getuid() == 0:
                user = [tool("setpriv"), "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
                env["HOME"] = str(self.runtime)
                before = "xhost +si:localuser:root >/dev/null\n"
                shutil.chown(self.runtime, "nobody", "nogroup")
        else:  # labwc
            command, env = [tool("labwc"), "--startup", str(reporter)], {**env, **wlroots}
            before = f"wlr-randr --output HEADLESS-1 --custom-mode {width}x{height}\n"
        reporter.write_text(f'#!/bin/sh\n{before}printf "%s\\n%s\\n%s\\n%s\\n" "$DISPLAY" "$XAUTHORITY" $$ '
                            f'"$WAYLAND_DISPLAY" > {report}.new\nmv {report}.new {report}\nexec sleep infinity\n')
        reporter.chmod(0o755)
        if user:
            shutil.chown(reporter, "nobody", "nogroup")
        Server.__init__(self, [*user, tool("dbus-run-session"), "--", *command], env, f"{kind}'s compositor")
        self.name, authority, self.reporter, wayland = self.ready(
            f"{kind}'s Xwayland to take clients", lambda: report.exists() and report.read_text().split("\n")[:4],
            timeout=TIMEOUT * 3)
        self.env = {**env, "DISPLAY": self.name, **({"XAUTHORITY": authority} if authority else {})}
        sway = next(map(str, self.runtime.glob("sway-ipc.*")), "")
        self.wayland = {**self.env, "WAYLAND_DISPLAY": wayland, "SWAYSOCK": sway}  # for its own tools
        self.ready(f"{kind} to manage windows", lambda: named(self))

    def close_window(self, window):
        if self.kind == "sway":
            run("swaymsg", f"[id={int(window)}] kill", env=self.wayland)  # an X window's id, for Xwayland's
        elif self.kind == "labwc":  # as its task bar does; wlrctl matches no window id, so every Tolvane
            run("wlrctl", "toplevel", "close", "title:Tolvane", env=self.wayland)
        elif self.kind == "weston":  # Weston's X window manager takes no other request to close
            send_delete_window(self, window)
        else:
            super().close_window(window)

    def crash(self):
        """End its Xwayland at once, as a crash would; the compositor lives on."""
        # Weston 14 starts it in a session of its own: its parent, the compositor, is in ours.
        ours = run("pgrep", "-s", str(self.process.pid)).split()
        run("pkill", "-KILL", "-x", "-P", ",".join(ours), "Xwayland")

    def close(self):
        super().close()
        # The compositors start the reporter in a process group of its own.
        with contextlib.suppress(ProcessLookupError, TypeError, ValueError):
            os.kill(int(self.reporter), signal.SIGKILL)
        shutil.rmtree(self.runtime, ignore_errors=True)
