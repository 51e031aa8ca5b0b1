"""Tolvane under a real window manager: resized smaller and larger it stays green edge to edge,
and closing it the way a person would ends it with status 0."""

import pytest

from harness import launch, session, wait_for


@pytest.fixture(scope="module")
def display():
    with session(2400, 1400, wm=True) as display:
        yield display


@pytest.fixture(scope="module")
def tolvane(display):
    with launch(display) as program:
        yield program


@pytest.mark.parametrize("size", [(640, 360), (1000, 1000), (2100, 1200), (1920, 1080)],
                         ids=lambda size: "%dx%d" % size)
def test_resized_it_stays_green_edge_to_edge(tolvane, display, size):
    display.run("xdotool", "windowsize", tolvane.window, *map(str, size))
    wait_for(f"the window to become {size[0]} x {size[1]}", lambda: tolvane.geometry()[2:] == size)
    tolvane.assert_green()


def test_closing_the_window_ends_it_with_status_0(tolvane, display):
    display.run("wmctrl", "-c", "Tolvane")
    assert tolvane.exit_status() == 0


def test_it_wrote_nothing(tolvane):
    tolvane.exit_status()
    tolvane.assert_silent()
