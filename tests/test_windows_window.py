"""The Windows program under Wine, on the same virtual X server as the Linux one: the same window,
picture and input, with the position read the way Windows defines it, from the outer frame."""

import os
import re

import pytest

from harness import POSITION, WINDOW, Wine, launch, session, wait_for


def wine_session(**options):
    """A display with Wine on it; Wine's services end with the display."""
    with session(**options) as display:
        wine = Wine(display)
        try:
            yield display, wine
        finally:
            wine.close()


@pytest.fixture(scope="module")
def bare():
    yield from wine_session()


@pytest.fixture(scope="module")
def tolvane(bare):
    display, wine = bare
    with launch(display, wine=wine) as program:
        yield program


def test_title_is_tolvane(tolvane, bare):
    title = bare[0].run("xdotool", "getwindowname", tolvane.window).rstrip("\n")
    assert title == "Tolvane", f"expected the title 'Tolvane', saw {title!r}"


def test_frame_is_at_100_100_around_a_1920x1080_client_area(tolvane, bare):
    display, wine = bare
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


def test_whole_client_area_is_green(tolvane):
    tolvane.assert_green()


def test_other_keys_and_the_pointer_leave_it_running_and_green(tolvane):
    tolvane.use_keys_and_pointer()
    tolvane.assert_green()


def test_escape_ends_it_with_status_0_and_it_wrote_nothing(tolvane):
    tolvane.keys("Escape")
    assert tolvane.exit_status() == 0
    tolvane.assert_silent()


@pytest.fixture(scope="module")
def managed():
    yield from wine_session(width=2400, height=1400, wm=True)


@pytest.fixture(scope="module")
def tolvane_managed(managed):
    display, wine = managed
    with launch(display, wine=wine) as program:
        yield program


def test_resized_by_the_window_manager_it_stays_green(tolvane_managed, managed):
    managed[0].run("xdotool", "windowsize", tolvane_managed.window, "1000", "600")
    wait_for("the window to become 1000 x 600", lambda: tolvane_managed.geometry()[2:] == (1000, 600))
    tolvane_managed.assert_green()


def test_closing_the_window_ends_it_with_status_0_and_it_wrote_nothing(tolvane_managed, managed):
    managed[0].run("wmctrl", "-c", "Tolvane")
    assert tolvane_managed.exit_status() == 0
    tolvane_managed.assert_silent()
