"""Tolvane as users install it: the Debian package, and for Windows the ZIP and the installer.
Each holds exactly its files with the licences, is judged by its platform's own tools, is the same
bytes from another build, and the program it installs is the window Tolvane always is."""

import os
import re
import shlex
import tempfile
import zipfile
from pathlib import Path

import pytest

from harness import run
from places import WINDOWS
from program import POSITION, WINDOW, artifacts

DOCS = {f"docs/{name}" for name in ("building.md", "testing.md", "benchmark.md", "screenshot.png")}
ON_WINDOWS = {"tolvane.exe", "README.md", "LICENSE.txt", "licenses/freeglut.txt", "licenses/mingw-w64.txt", *DOCS}
DOC = "usr/share/doc/tolvane/"
FILES = {
    "DEB": {"usr/bin/tolvane", "usr/share/applications/tolvane.desktop", "usr/share/man/man1/tolvane.1.gz",
            *(DOC + name for name in ("copyright", "changelog.gz", "README.md", *DOCS)),
            *(f"usr/share/icons/hicolor/{size}x{size}/apps/tolvane.png" for size in (16, 22, 24, 32, 48, 64, 128, 256))},
    "ZIP": ON_WINDOWS,
}
PROGRAM = {"DEB": "usr/bin/tolvane", "ZIP": "tolvane.exe"}
# Tolvane's licence, and on Windows freeglut's (Pawel W. Olszta's notice) and MinGW-w64's, winpthreads included.
NOTICES = {"DEB": {DOC + "copyright": ("MIT License", "Tolvane")},
           "ZIP": {"LICENSE.txt": ("MIT License", "Tolvane"), "licenses/freeglut.txt": ("Pawel W. Olszta",),
                   "licenses/mingw-w64.txt": ("mingw-w64", "winpthreads")}}
VERSION = os.environ.get("TOLVANE_VERSION", "")
NAME = {"DEB": rf"tolvane_{re.escape(VERSION)}_\w+\.deb", "ZIP": rf"Tolvane-{re.escape(VERSION)}-win64\.zip"}


def package(generator, config, env=None):
    """Run cpack with one generator on a build's CPackConfig.cmake; the one package it makes."""
    out = tempfile.mkdtemp(prefix="package-", dir=artifacts())
    run("cpack", "-G", generator, "--config", str(config), "-B", out, env={**os.environ, **(env or {})}, timeout=240)
    made = [path for path in Path(out).iterdir() if path.is_file()]
    assert len(made) == 1, f"expected cpack -G {generator} to make one package, saw {sorted(os.listdir(out))}"
    return made[0]


@pytest.fixture(scope="module", params=("ZIP",) if WINDOWS else ("DEB",))
def made(request):
    return request.param, package(request.param, os.environ["TOLVANE_CPACK_CONFIG"])


@pytest.fixture
def installed(made, where):
    """Where the package's files are once installed, and what starts the program."""
    generator, path = made
    root = Path(tempfile.mkdtemp(prefix="installed-", dir=artifacts()))
    if generator == "DEB":
        run("dpkg-deb", "-x", str(path), str(root))
    else:
        with zipfile.ZipFile(path) as archive:
            archive.extractall(root)
        root /= path.stem
    return root, root / PROGRAM[generator]


def test_package_holds_exactly_its_files_with_the_licences(made, installed):
    generator, path = made
    root, program = installed
    files = {str(file.relative_to(root)) for file in root.rglob("*") if not file.is_dir()}
    assert re.fullmatch(NAME[generator], path.name), f"expected a package named {NAME[generator]}, saw {path.name}"
    assert files == FILES[generator], f"expected {path.name} to install {sorted(FILES[generator])}, saw {sorted(files)}"
    for name, words in NOTICES[generator].items():
        text = (root / name).read_text(errors="replace")
        assert all(word in text for word in words), f"expected {name} to hold {words}, it begins {text[:200]!r}"
    symbols = run(os.environ["TOLVANE_OBJDUMP"], "-t", str(program))
    assert "no symbols" in symbols, f"expected the installed program stripped of its symbols, saw {symbols[:300]!r}"


@pytest.mark.skipif(WINDOWS, reason="Debian's tools judge the Debian package")
@pytest.mark.parametrize("judge", ["dpkg-deb", "lintian", "desktop-file-validate", "man"])
def test_debians_tools_find_no_fault(judge, made, installed):
    deb, root = made[1], installed[0]
    if judge == "dpkg-deb":  # the dependencies dpkg-shlibdeps found
        depends = run("dpkg-deb", "-f", str(deb), "Depends")
        assert re.search(r"\b(libglut3\.12|freeglut3)\b", depends) and "libc6 (>=" in depends, \
            f"expected dependencies on libc6 and this system's freeglut, saw {depends!r}"
        return
    command = {"lintian": ("lintian", "--fail-on", "error,warning", str(deb)),
               "desktop-file-validate": ("desktop-file-validate", str(root / "usr/share/applications/tolvane.desktop")),
               "man": ("man", "--warnings", "-l", str(root / "usr/share/man/man1/tolvane.1.gz"))}[judge]
    out, err = run(*command, timeout=300, both=True)
    # man prints the page itself, and lintian that it runs as root: neither says anything of the package.
    said = "".join(line for line in (err + ("" if judge == "man" else out)).splitlines(True)
                   if "root privileges" not in line)
    assert not re.search(r"^[EW]:|warning|error", said, re.M | re.I), f"expected {judge} to find nothing wrong, it said {said!r}"


@pytest.fixture(scope="module")
def rebuilt():
    """This build's source configured and built afresh in another directory."""
    again = Path(tempfile.mkdtemp(prefix="rebuild-", dir=artifacts()))
    run(*shlex.split(os.environ["TOLVANE_RECONFIGURE"]), "-B", str(again), timeout=600)
    run("cmake", "--build", str(again), "--target", "tolvane", timeout=600)
    return again


def test_package_is_the_same_bytes_from_another_build_directory_and_time_zone(made, rebuilt):
    generator, first = made
    second = package(generator, rebuilt / "CPackConfig.cmake", env={"TZ": "Pacific/Auckland"})
    assert first.read_bytes() == second.read_bytes(), f"expected identical packages, saw {first} and {second} differ"


def test_installed_program_is_tolvanes_window(where, installed):
    with where.launch(program=installed[1]) as tolvane:
        where.assert_placed(tolvane)
        tolvane.assert_ends()
