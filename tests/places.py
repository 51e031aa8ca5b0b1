"""Where Tolvane runs, for each build: a virtual X server alone (also at 16 bits) or under an X
window manager (openbox, xfwm4, muffin, marco, kwin_x11), Wayland compositors with their Xwayland
(GNOME's, KDE's, Weston, sway, labwc), Wine for the Windows build, and qemu for the Arm builds.
Every end-to-end check is written once and runs in each place where it means something. By design
the places differ in these ways, and no others:
- Where a desktop draws a frame around the window, it is the frame's outer corner that stands at
  (100, 100), the 1920 x 1080 client area inside it. X gives the frame as _NET_FRAME_EXTENTS, but
  for Weston: its frame window holds the frame inside an invisible shadow ("shadow" pixels wide),
  which Weston 14's extents count in and Weston 10 gives none at all. labwc draws its title bar
  outside X, and so there the client area stands at (100, 100). On Windows the frame is read as
  Windows defines it.
- sway decides the window's size and place ("tiles"): what holds there is what the program asks
  for (its size hints), and that the tile is green edge to edge, also after floating and tiling.
- Only a desktop closes the window, each as its users do; a bare X server has none.
- Only the X window managers are asked to resize the window ("resize").
- Weston gives no X focus, headless: keys are sent to its window ("keys_to_window").
- A desktop that a release lacks ("since": the first Debian release with it) is skipped there, as
  is a check that a fault outside Tolvane (FAULTS) breaks on the release that has it.
- A 16-bit screen ("depth") writes green as 565.
- On Wine 10 a display scaled to 150 or 200 % ("dpi") must not enlarge the window; Wine 8 does
  not scale programs at all, so those places are skipped there."""

import contextlib
import functools
import os
import re
from pathlib import Path

import pytest

from harness import Compositor, WindowManager, Wine, Xvfb, run, wait_for
from program import POSITION, WINDOW, artifacts, launch

PLACES = {
    "x": {"build": "linux"},
    "x-16-bit": {"build": "linux", "depth": 16},
    "openbox": {"build": "linux", "desktop": "openbox", "resize": True},
    "xfce": {"build": "linux", "desktop": "xfwm4", "resize": True},
    "cinnamon": {"build": "linux", "desktop": "muffin", "resize": True},
    "mate": {"build": "linux", "desktop": "marco", "resize": True},
    "kde-x11": {"build": "linux", "desktop": "kwin_x11", "resize": True},
    "gnome": {"build": "linux", "desktop": "gnome", "wayland": True},
    "kde": {"build": "linux", "desktop": "kde", "wayland": True},
    "weston": {"build": "linux", "desktop": "weston", "wayland": True, "shadow": 32, "keys_to_window": True},
    "sway": {"build": "linux", "desktop": "sway", "wayland": True, "tiles": True},
    "labwc": {"build": "linux", "desktop": "labwc", "wayland": True, "since": 13},
    "wine": {"build": "windows"},
    "wine-openbox": {"build": "windows", "desktop": "openbox", "resize": True},
    "wine-150": {"build": "windows", "dpi": 144},
    "wine-200": {"build": "windows", "dpi": 192},
}
# Each Arm build (its Debian architecture), under qemu, where Raspberry Pi users have it: X alone,
# openbox, and labwc, Raspberry Pi OS's desktop.
for architecture in ("arm64", "armhf"):
    PLACES.update({architecture: {"build": architecture},
                   f"{architecture}-openbox": {**PLACES["openbox"], "build": architecture},
                   f"{architecture}-labwc": {**PLACES["labwc"], "build": architecture}})
# Faults outside Tolvane: (place, what it breaks) -> whether this system has it, and what it is.
FAULTS = {
    ("weston", "pointer"): (lambda: re.search(r"Version (22\.1\.9|24\.1\.6) ", run("Xwayland", "-version", both=True)[1]),
                            "Xwayland 22.1.9 (Debian 12) and 24.1.6 (Debian 13) crash (segfault) when the pointer "
                            "moves under Weston, and every X client loses its display"),
}
SCREEN = (2400, 1400)
WINDOWS = os.environ.get("TOLVANE", "").endswith(".exe")
# A build for another machine is named by its Debian architecture, the native Linux one "linux".
BUILD = "windows" if WINDOWS else os.environ.get("TOLVANE_ARCHITECTURE", "linux")


def places():
    """The places for the build under test; TOLVANE_PLACES=a,b picks some of them."""
    chosen = [name for name, spec in PLACES.items() if spec["build"] == BUILD]
    wanted = os.environ.get("TOLVANE_PLACES")
    return [name for name in chosen if name in wanted.split(",")] if wanted else chosen


@functools.lru_cache(maxsize=None)
def debian_release():
    """The major release of the Debian system the tests run on (13 for trixie); elsewhere, and on
    testing and unstable, taken for the newest."""
    version = Path("/etc/debian_version")
    release = version.read_text().strip() if version.exists() else ""
    return int(release.split(".")[0]) if release[:1].isdigit() else 99


@functools.lru_cache(maxsize=None)
def wine_version():
    """(Wine's major version, what it says of its version)."""
    version = run("wine", "--version").strip()
    major = re.match(r"wine-(\d+)", version)
    return int(major.group(1)) if major else 0, version


class Place:
    """One place, open: its display (with its window manager or compositor) and, for the Windows
    build, Wine."""

    def __init__(self, name, display, wine, spec):
        self.name, self.display, self.wine, self.spec = name, display, wine, spec

    def launch(self, *args, **options):
        return launch(self, *args, **options)

    def skip_known_fault(self, what):
        fault = FAULTS.get((self.name, what))
        if fault and fault[0]():
            pytest.skip(f"{fault[1]}: a fault outside Tolvane, so the {what} is not tried here")

    def resize(self, tolvane):
        """Make the window smaller, larger and as it was, as this desktop lets a person; yield after
        each change. sway floats it, at the size it asks for, and tiles it again."""
        if self.spec.get("tiles"):
            changes = [("floating enable", WINDOW), ("floating disable", tolvane.geometry()[2:])]
        else:
            changes = [(size, size) for size in ((640, 360), (1000, 1000), (2100, 1200), WINDOW)]
        for change, size in changes:
            if self.spec.get("tiles"):
                run("swaymsg", f'[title="^Tolvane$"] {change}', env=self.display.wayland)
            else:
                self.display.run("xdotool", "windowsize", tolvane.window, *map(str, change))
            wait_for(f"the window to become {size[0]} x {size[1]}", lambda: tolvane.geometry()[2:] == size)
            yield

    def assert_placed(self, tolvane):
        """The window's outer corner at (100, 100) and its client area 1920 x 1080; where the
        desktop tiles, that the window asks for them."""
        if self.spec.get("tiles"):
            asked = tolvane.asked()
            assert asked == (POSITION, WINDOW), f"expected the window to ask for {WINDOW} at {POSITION}, " \
                                                f"saw it ask for (place, size) {asked}"
            return
        seen = {}

        def placed():
            if self.wine:  # as Windows defines them, read by Windows itself
                numbers = [int(n) for n in re.findall(r"-?\d+", self.wine.rect("Tolvane"))]
                seen.update(corner=tuple(numbers[:2]), client=tuple(numbers[4:]))
            elif "shadow" in self.spec:
                x, y, _, _ = tolvane.geometry(tolvane.frame())
                seen.update(corner=(x + self.spec["shadow"], y + self.spec["shadow"]), client=tolvane.geometry())
            else:
                seen.update(corner=tolvane.outer_corner(), client=tolvane.geometry())
            return seen["corner"] == POSITION and seen["client"][2:] == WINDOW
        # A desktop may place the window after mapping it (KWin does): wait for it to settle.
        with contextlib.suppress(AssertionError):
            wait_for("the window to be placed", placed)
        assert placed(), f"expected the outer corner at {POSITION} around a {WINDOW} client area, saw the corner " \
                         f"at {seen['corner']} and the client area (x, y, width, height) {seen['client']}"
        if self.wine:
            client = tolvane.geometry()
            assert client == seen["client"], f"expected the X window to be Windows' client area {seen['client']}, saw {client}"


@contextlib.contextmanager
def open_place(name, screen=SCREEN, **changes):
    """A place that lives as long as the with-block; changes to it are as the rows say."""
    spec = {**PLACES[name], **changes}
    with contextlib.ExitStack() as stack:
        log = Path(artifacts()) / f"{name}-{os.getpid()}.log"
        if spec.get("since", 0) > debian_release():
            pytest.skip(f"{spec['desktop']} is not in Debian {debian_release()}: Debian {spec['since']} has it")
        if spec.get("wayland"):
            display = stack.enter_context(contextlib.closing(Compositor(spec["desktop"], *screen, log=log)))
        else:
            display = stack.enter_context(contextlib.closing(Xvfb(*screen, spec.get("depth", 24), spec.get("xvfb", ()))))
            if "desktop" in spec:
                display.wm = stack.enter_context(contextlib.closing(WindowManager(spec["desktop"], display, log=log)))
        wine = None
        if spec["build"] == "windows":
            helper = os.environ.get("TOLVANE_WINE_HELPER", "")
            wine = stack.enter_context(contextlib.closing(Wine(display, helper, os.environ.get("WINEPREFIX")
                                                               or os.path.join(artifacts(), "wineprefix"))))
        if "dpi" in spec:
            # Wine reads the display's DPI once a session: set it, then start a new session.
            desktop = r"HKCU\Control Panel\Desktop"
            wine.run("reg", "add", desktop, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(spec["dpi"]), "/f")
            wine.close()
            stack.callback(wine.run, "reg", "delete", desktop, "/v", "LogPixels", "/f")
        yield Place(name, display, wine, spec)
