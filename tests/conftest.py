"""The fixtures every suite shares. A test module that sets EVERY_PLACE = True runs in every place
where the build under test runs; the others run in the first of them (a bare X server, or Wine)."""

import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))  # the harness, shared with the benchmark

from places import PLACES, open_place, places, wine_version  # noqa: E402


def pytest_generate_tests(metafunc):
    if "where" in metafunc.fixturenames:
        chosen = places() if getattr(metafunc.module, "EVERY_PLACE", False) else places()[:1]
        metafunc.parametrize("where", chosen, indirect=True, scope="module")


@pytest.fixture(scope="session")
def scaled_display_shows():
    """Skips a test on a scaled display where Wine would show nothing different there: Wine 10
    enlarges programs that do not declare DPI awareness, as Windows does; Wine 8 does not."""
    major, version = wine_version()
    if major < 10:
        pytest.skip(f"{version} treats every program as DPI-aware, so a scaled display shows nothing here")


@pytest.fixture(scope="module")
def where(request):
    """The place, open for the module's tests."""
    if "dpi" in PLACES[request.param]:
        request.getfixturevalue("scaled_display_shows")
    with open_place(request.param) as opened:
        yield opened


@pytest.fixture(scope="module")
def tolvane(where):
    """Tolvane in the place, shared by the module's tests that leave it running."""
    with where.launch() as program:
        yield program


@pytest.fixture
def own_tolvane(where):
    """A Tolvane of the test's own, for a test that ends it."""
    with where.launch() as program:
        yield program
