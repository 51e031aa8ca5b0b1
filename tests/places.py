"""Where Tolvane runs, for each build: a virtual X server alone or under openbox, GNOME's and KDE's
Wayland compositors with their Xwayland, Wine for the Windows build, and qemu for the arm64 build
on a bare X server and under openbox. Every end-to-end check is written once and runs in each place
where it means something. By design the places differ in these ways, and no others:
- Where a desktop draws a frame around the window (openbox, GNOME; Windows), it is the frame's
  outer corner that stands at (100, 100), and the 1920 x 1080 client area lies inside it. KDE's
  compositor, headless, draws no frame. On Windows the frame is read as Windows defines it.
- Only a window manager closes the window ("wm"); a bare X server has none.
- Only under openbox is the window resized ("resize"): the compositors decide sizes themselves.
- On Wine 10 a display scaled to 150 or 200 % ("dpi") must not enlarge the window; Wine 8 does
  not scale programs at all, so those places are skipped there."""

import contextlib
import os
import re
from pathlib import Path

from harness import Compositor, Openbox, Wine, Xvfb, run, wait_for
from program import EMULATOR, POSITION, WINDOW, artifacts, launch

PLACES = {
    "x": {"build": "linux"},
    "openbox": {"build": "linux", "wm": True, "resize": True},
    "gnome": {"build": "linux", "compositor": "gnome", "wm": True},
    "kde": {"build": "linux", "compositor": "kde", "wm": True},
    "wine": {"build": "windows"},
    "wine-openbox": {"build": "windows", "wm": True, "resize": True},
    "wine-150": {"build": "windows", "dpi": 144},
    "wine-200": {"build": "windows", "dpi": 192},
    "arm64": {"build": "arm64"},
    "arm64-openbox": {"build": "arm64", "wm": True, "resize": True},
}
SCREEN = (2400, 1400)
WINDOWS = os.environ.get("TOLVANE", "").endswith(".exe")
BUILD = "windows" if WINDOWS else "arm64" if EMULATOR else "linux"


def places():
    """The places for the build under test; TOLVANE_PLACES=a,b picks some of them."""
    chosen = [name for name, spec in PLACES.items() if spec["build"] == BUILD]
    wanted = os.environ.get("TOLVANE_PLACES")
    return [name for name in chosen if name in wanted.split(",")] if wanted else chosen


def wine_scales_unaware_programs():
    """Wine 10 enlarges programs that do not declare DPI awareness, as Windows does; Wine 8 does
    not. (Whether it does, and Wine's version.)"""
    version = run("wine", "--version").strip()
    major = re.match(r"wine-(\d+)", version)
    return bool(major and int(major.group(1)) >= 10), version


class Place:
    """One place, open: its display (with its window manager or compositor) and, for the Windows
    build, Wine."""

    def __init__(self, name, display, wine):
        self.name, self.display, self.wine = name, display, wine
        self.spec = PLACES[name]

    def launch(self, *args, **options):
        return launch(self, *args, **options)

    def assert_placed(self, tolvane):
        """The window's outer corner at (100, 100) and its client area 1920 x 1080."""
        seen = {}

        def placed():
            if self.wine:  # as Windows defines them, read by Windows itself
                numbers = [int(n) for n in re.findall(r"-?\d+", self.wine.rect("Tolvane"))]
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
            client = tolvane.geometry()
            assert client == seen["client"], f"expected the X window to be Windows' client area {seen['client']}, saw {client}"


@contextlib.contextmanager
def open_place(name, screen=SCREEN):
    """A place that lives as long as the with-block."""
    spec = PLACES[name]
    with contextlib.ExitStack() as stack:
        log = Path(artifacts()) / f"{name}-{os.getpid()}.log"
        if "compositor" in spec:
            display = stack.enter_context(contextlib.closing(Compositor(spec["compositor"], *screen, log=log)))
        else:
            display = stack.enter_context(contextlib.closing(Xvfb(*screen)))
            if spec.get("wm"):
                display.wm = stack.enter_context(contextlib.closing(Openbox(display, log=log)))
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
        yield Place(name, display, wine)
