"""The Windows program under Wine, on the same virtual X server as the Linux one: the same window,
picture and input, with the position read the way Windows defines it, from the outer frame."""

import os
import re
import subprocess

import pytest

from harness import POSITION, WINDOW, Wine, launch, session, tool, wait_for

DESKTOP = r"HKCU\Control Panel\Desktop"


class WineSession:
    """Tolvane.exe on a display of its own, with Wine's services ended along with the display."""
    screen = {}

    @pytest.fixture(scope="class")
    def display(self):
        with session(**self.screen) as display:
            yield display

    @pytest.fixture(scope="class")
    def wine(self, display):
        wine = Wine(display)
        try:
            yield wine
        finally:
            wine.close()

    @pytest.fixture(scope="class")
    def tolvane(self, display, wine):
        with launch(display, wine=wine) as program:
            yield program


def assert_frame_at_100_100_around_1920x1080(tolvane, wine):
    rect = wine.run(os.environ["TOLVANE_WINDOW_RECT"], "Tolvane")
    numbers = [int(n) for n in re.findall(r"-?\d+", rect)]
    assert len(numbers) == 8, f"expected 'frame x y w h client x y w h' from window_rect, saw {rect!r}"
    frame, client = numbers[:4], numbers[4:]
    assert tuple(frame[:2]) == POSITION and tuple(client[2:]) == WINDOW, \
        f"expected the frame's corner at {POSITION} and a {WINDOW} client area, saw frame {frame}, client {client}"
    # The frame holds the client area, and X shows that area exactly where Windows says it is.
    assert frame[0] < client[0] and frame[1] < client[1] and frame[0] + frame[2] > client[0] + client[2] \
        and frame[1] + frame[3] > client[1] + client[3], f"expected the frame {frame} around the client area {client}"
    assert tolvane.geometry() == tuple(client), "expected the X window to be the client area (x, y, width, height)"


class TestBareScreen(WineSession):
    def test_title_is_tolvane(self, tolvane, display):
        title = display.run("xdotool", "getwindowname", tolvane.window).rstrip("\n")
        assert title == "Tolvane", f"expected the title 'Tolvane', saw {title!r}"

    def test_frame_is_at_100_100_around_a_1920x1080_client_area(self, tolvane, wine):
        assert_frame_at_100_100_around_1920x1080(tolvane, wine)

    def test_whole_client_area_is_green(self, tolvane):
        tolvane.assert_green()

    def test_other_keys_and_the_pointer_leave_it_running_and_green(self, tolvane):
        tolvane.use_keys_and_pointer()
        tolvane.assert_green()

    def test_escape_ends_it_with_status_0_and_it_wrote_nothing(self, tolvane):
        tolvane.keys("Escape")
        assert tolvane.exit_status() == 0
        tolvane.assert_silent()


class TestUnderOpenbox(WineSession):
    screen = {"width": 2400, "height": 1400, "wm": True}

    def test_resized_by_the_window_manager_it_stays_green(self, tolvane, display):
        display.run("xdotool", "windowsize", tolvane.window, "1000", "600")
        wait_for("the window to become 1000 x 600", lambda: tolvane.geometry()[2:] == (1000, 600))
        tolvane.assert_green()

    def test_closing_the_window_ends_it_with_status_0_and_it_wrote_nothing(self, tolvane, display):
        display.run("wmctrl", "-c", "Tolvane")
        assert tolvane.exit_status() == 0
        tolvane.assert_silent()


def wine_scales_unaware_programs():
    """Wine 10 enlarges programs that do not declare DPI awareness, as Windows does; Wine 8 does not."""
    version = subprocess.run([tool("wine"), "--version"], capture_output=True, text=True, timeout=60).stdout
    major = re.match(r"wine-(\d+)", version)
    return (int(major.group(1)) >= 10 if major else False), version.strip()


@pytest.mark.parametrize("dpi", [144, 192], ids=["150 %", "200 %"], scope="class")
class TestScaledDisplay(WineSession):
    screen = {"width": 2400, "height": 1400}

    @pytest.fixture(scope="class")
    def tolvane(self, display, wine, dpi):
        scales, version = wine_scales_unaware_programs()
        if not scales:
            pytest.skip(f"{version} treats every program as DPI-aware, so a scaled display shows nothing here")
        # Wine reads the display's DPI once a session: set it, then start a new session.
        wine.run("reg", "add", DESKTOP, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
        wine.close()
        try:
            with launch(display, wine=wine) as program:
                yield program
        finally:
            wine.run("reg", "delete", DESKTOP, "/v", "LogPixels", "/f")
            wine.close()

    def test_window_is_1920x1080_physical_pixels_with_its_frame_at_100_100(self, tolvane, wine):
        assert_frame_at_100_100_around_1920x1080(tolvane, wine)
        tolvane.assert_green()
