"""Tolvane as a Debian package: what it installs and depends on, judged by Debian's own tools, the
same bytes from another build, and the program it installs is the window Tolvane always is."""

import re
import subprocess
import tempfile
from pathlib import Path

import pytest

from harness import (POSITION, WINDOW, artifacts, assert_same_package_from_elsewhere, launch, package,
                     session, tool)

FILES = {"usr/bin/tolvane", "usr/share/applications/tolvane.desktop", "usr/share/man/man1/tolvane.1.gz",
         "usr/share/doc/tolvane/copyright", "usr/share/doc/tolvane/changelog.gz", "usr/share/doc/tolvane/README.md",
         *(f"usr/share/doc/tolvane/docs/{name}" for name in ("building.md", "testing.md", "benchmark.md", "screenshot.png")),
         *(f"usr/share/icons/hicolor/{size}x{size}/apps/tolvane.png" for size in (16, 22, 24, 32, 48, 64, 128, 256))}


@pytest.fixture(scope="module")
def deb():
    return package("DEB")


@pytest.fixture(scope="module")
def installed(deb):
    root = Path(tempfile.mkdtemp(prefix="installed-", dir=artifacts()))
    subprocess.run([tool("dpkg-deb"), "-x", str(deb), str(root)], check=True, timeout=60)
    return root


def test_package_installs_a_desktop_program_and_depends_on_this_systems_freeglut(deb):
    version = subprocess.run(["dpkg-deb", "-f", str(deb), "Version"], capture_output=True, text=True).stdout.strip()
    assert deb.name == f"tolvane_{version}_amd64.deb", f"expected tolvane_<version>_amd64.deb, saw {deb.name}"
    listing = subprocess.run(["dpkg-deb", "-c", str(deb)], capture_output=True, text=True, check=True).stdout
    files = {line.split()[-1].lstrip("./") for line in listing.splitlines() if not line.startswith("d")}
    assert files == FILES, f"expected the package to install {sorted(FILES)}, saw {sorted(files)}"
    depends = subprocess.run(["dpkg-deb", "-f", str(deb), "Depends"], capture_output=True, text=True).stdout
    assert re.search(r"\b(libglut3\.12|freeglut3)\b", depends) and "libc6 (>=" in depends, \
        f"expected dpkg-shlibdeps' dependencies on libc6 and this system's freeglut, saw {depends!r}"


@pytest.mark.parametrize("judge", ["lintian", "desktop-file-validate", "man"])
def test_debians_tools_find_no_fault(judge, deb, installed):
    command = {"lintian": ("lintian", "--fail-on", "error,warning", str(deb)),
               "desktop-file-validate": ("desktop-file-validate", str(installed / "usr/share/applications/tolvane.desktop")),
               "man": ("man", "--warnings", "-l", str(installed / "usr/share/man/man1/tolvane.1.gz"))}[judge]
    done = subprocess.run([tool(command[0]), *command[1:]], capture_output=True, text=True, timeout=300)
    # man prints the page itself, and lintian that it runs as root: neither says anything of the package.
    said = done.stderr + ("" if judge == "man" else done.stdout)
    said = "".join(line for line in said.splitlines(True) if "root privileges" not in line)
    assert done.returncode == 0 and not re.search(r"^[EW]:|warning|error", said, re.M | re.I), \
        f"expected {judge} to find nothing wrong, it exited {done.returncode} and said {said!r}"


def test_package_is_the_same_bytes_from_another_build_directory_and_time_zone(deb):
    assert_same_package_from_elsewhere("DEB", deb)


def test_installed_program_is_tolvanes_window(installed):
    with session() as display, launch(display, program=installed / "usr/bin/tolvane") as tolvane:
        assert tolvane.geometry() == (*POSITION, *WINDOW), "expected (x, y, width, height)"
        tolvane.assert_green()
        tolvane.keys("Escape")
        assert tolvane.exit_status() == 0
        tolvane.assert_silent()
