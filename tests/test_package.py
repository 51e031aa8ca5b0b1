"""Tolvane as users install it: the Debian package, and for Windows the ZIP and the installer, the
latter installed and uninstalled silently under Wine. Each holds exactly its files with the
licences, is judged by its platform's own tools, is the same bytes from another build, and the
program it installs is the window Tolvane always is."""

import hashlib
import os
import re
import resource
import shlex
import signal
import subprocess
import tempfile
import zipfile
from pathlib import Path

import pytest

from harness import run
from places import BUILD, WINDOWS
from program import EMULATOR, artifacts

DOCS = {f"docs/{name}" for name in ("building.md", "testing.md", "benchmark.md", "screenshot.png")}
ON_WINDOWS = {"tolvane.exe", "README.md", "LICENSE.txt", "licenses/freeglut.txt", "licenses/mingw-w64.txt", *DOCS}
DOC = "usr/share/doc/tolvane/"
FILES = {
    "DEB": {"usr/bin/tolvane", "usr/share/applications/tolvane.desktop", "usr/share/man/man1/tolvane.1.gz",
            *(DOC + name for name in ("copyright", "changelog.gz", "README.md", *DOCS)),
            *(f"usr/share/icons/hicolor/{size}x{size}/apps/tolvane.png" for size in (16, 22, 24, 32, 48, 64, 128, 256))},
    "ZIP": ON_WINDOWS,
    "NSIS": ON_WINDOWS | {"Uninstall.exe"},
}
PROGRAM = {"DEB": "usr/bin/tolvane", "ZIP": "tolvane.exe", "NSIS": "tolvane.exe"}
# Tolvane's licence, and on Windows freeglut's (Pawel W. Olszta's notice) and MinGW-w64's, winpthreads included.
NOTICES = {"DEB": {DOC + "copyright": ("MIT License", "Tolvane")},
           "ZIP": {"LICENSE.txt": ("MIT License", "Tolvane"), "licenses/freeglut.txt": ("Pawel W. Olszta",),
                   "licenses/mingw-w64.txt": ("mingw-w64", "winpthreads")}}
NOTICES["NSIS"] = NOTICES["ZIP"]
VERSION = os.environ.get("TOLVANE_VERSION", "")
NAME = {"DEB": rf"tolvane_{re.escape(VERSION)}_\w+\.deb", "ZIP": rf"Tolvane-{re.escape(VERSION)}-win64\.zip",
        "NSIS": rf"Tolvane-{re.escape(VERSION)}-win64-setup\.exe"}
# What the installer makes beside its files, as Windows names them.
INSTALLED = r"C:\Program Files\Tolvane"
SHORTCUT = r"ProgramData\Microsoft\Windows\Start Menu\Programs\Tolvane.lnk"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"
# What a build needs of its CPU beyond its Debian architecture's name, as readelf -A shows it, and a
# CPU that lacks it, as qemu models it. Debian's armhf is ARMv7 with floating point in VFP
# registers; the Raspberry Pi 1 and Zero (arm1176) are ARMv6.
NEEDS = {"armhf": ({"Tag_CPU_arch": "v7", "Tag_ABI_VFP_args": "VFP registers"}, "arm1176")}


def package(generator, config, env=None, umask=-1):
    """Run cpack with one generator on a build's CPackConfig.cmake; the one package it makes."""
    out = tempfile.mkdtemp(prefix="package-", dir=artifacts())
    run("cpack", "-G", generator, "--config", str(config), "-B", out, env={**os.environ, **(env or {})}, timeout=240,
        umask=umask)
    made = [path for path in Path(out).iterdir() if path.is_file()]
    assert len(made) == 1, f"expected cpack -G {generator} to make one package, saw {sorted(os.listdir(out))}"
    return made[0]


@pytest.fixture(scope="module", params=("ZIP", "NSIS") if WINDOWS else ("DEB",))
def made(request):
    return request.param, package(request.param, os.environ["TOLVANE_CPACK_CONFIG"])


@pytest.fixture
def installed(made, where):
    """Where the package's files are once installed, and what a user starts the program with."""
    generator, path = made
    if generator == "NSIS":
        where.wine.run(str(path), "/S", timeout=120)
        where.wine.wait()
        root = where.wine.drive_c(*INSTALLED.split("\\")[1:])
        return root, where.wine.drive_c(*SHORTCUT.split("\\"))
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
    root, program = installed[0], installed[0] / PROGRAM[generator]
    files = {str(file.relative_to(root)) for file in root.rglob("*") if not file.is_dir()}
    assert re.fullmatch(NAME[generator], path.name), f"expected a package named {NAME[generator]}, saw {path.name}"
    assert files == FILES[generator], f"expected {path.name} to install {sorted(FILES[generator])}, saw {sorted(files)}"
    for name, words in NOTICES[generator].items():
        text = (root / name).read_text(errors="replace")
        assert all(word in text for word in words), f"expected {name} to hold {words}, it begins {text[:200]!r}"
    symbols = run(os.environ["TOLVANE_OBJDUMP"], "-t", str(program))
    assert "no symbols" in symbols, f"expected the installed program stripped of its symbols, saw {symbols[:300]!r}"


@pytest.mark.skipif(WINDOWS, reason="Debian's tools judge the Debian package")
@pytest.mark.parametrize("made", ["DEB"], indirect=True)
@pytest.mark.parametrize("judge", ["dpkg-deb", "lintian", "desktop-file-validate", "man"])
def test_debians_tools_find_no_fault(judge, made, installed):
    deb, root = made[1], installed[0]
    if judge == "dpkg-deb":  # the dependencies dpkg-shlibdeps found, and the machine the program is for
        fields = dict(re.findall(r"^(\w+): (.*)$", run("dpkg-deb", "-f", str(deb), "Depends", "Architecture"), re.M))
        depends = fields.get("Depends", "")
        assert re.search(r"\b(libglut3\.12|freeglut3)\b", depends) and "libc6 (>=" in depends, \
            f"expected dependencies on libc6 and this system's freeglut, saw {depends!r}"
        machine = re.search(r"architecture: ([\w:-]+)", run(os.environ["TOLVANE_OBJDUMP"], "-f", str(root / PROGRAM["DEB"])))
        expected = {"aarch64": "arm64", "armv7": "armhf", "i386:x86-64": "amd64"}.get(machine.group(1), machine.group(1))
        assert fields.get("Architecture") == expected, \
            f"expected Architecture {expected} for a program built for {machine.group(1)}, saw {fields.get('Architecture')}"
        return
    command = {"lintian": ("lintian", "--fail-on", "error,warning", str(deb)),
               "desktop-file-validate": ("desktop-file-validate", str(root / "usr/share/applications/tolvane.desktop")),
               "man": ("man", "--warnings", "-l", str(root / "usr/share/man/man1/tolvane.1.gz"))}[judge]
    out, err = run(*command, timeout=300, both=True)
    # man prints the page itself, and lintian that it runs as root: neither says anything of the package.
    said = "".join(line for line in (err + ("" if judge == "man" else out)).splitlines(True)
                   if "root privileges" not in line)
    assert not re.search(r"^[EW]:|warning|error", said, re.M | re.I), f"expected {judge} to find nothing wrong, it said {said!r}"


def uninstall_entry(wine):
    """The values of the installer's "Apps & features" entry; none where there is no entry."""
    listing = wine.run("reg", "query", UNINSTALL_KEY, check=False)
    return dict(re.findall(r"^\s+(\w+)\s+REG_\w+\s+(.*?)\s*$", listing, re.M))


@pytest.mark.skipif(not WINDOWS, reason="the Windows installer")
@pytest.mark.parametrize("made", ["NSIS"], indirect=True)
def test_installer_adds_a_shortcut_and_an_uninstall_entry_and_its_uninstaller_takes_all_away(made, installed, where):
    where.wine.run(str(made[1]), "/S", timeout=120)  # again, over itself: in place
    where.wine.wait()
    link = where.wine.run(where.wine.helper, "link", "C:\\" + SHORTCUT).splitlines()
    program = INSTALLED + r"\tolvane.exe"
    assert link == [program, "", INSTALLED, program + ",0"], \
        f"expected the shortcut to start {program} in its folder with its icon, saw (target, arguments, folder, icon) {link}"
    entry = uninstall_entry(where.wine)
    expected = {"DisplayName": "Tolvane", "DisplayVersion": VERSION, "Publisher": "Tolvane", "DisplayIcon": program + ",0",
                "InstallLocation": INSTALLED, "UninstallString": f'"{INSTALLED}\\Uninstall.exe"'}
    assert expected.items() <= entry.items() and int(entry.get("EstimatedSize", "0"), 16) > 0, \
        f"expected the uninstall entry {expected} with an estimated size, saw {entry}"
    where.wine.run(INSTALLED + r"\Uninstall.exe", "/S")
    where.wine.wait()
    left = [str(path) for path in (installed[0], installed[1]) if path.exists()]
    assert not left and not uninstall_entry(where.wine), \
        f"expected the uninstaller to leave nothing, saw the files {left} and the entry {uninstall_entry(where.wine)}"


@pytest.fixture(scope="module")
def rebuilt():
    """This build's source configured and built afresh in another directory."""
    again = Path(tempfile.mkdtemp(prefix="rebuild-", dir=artifacts()))
    run(*shlex.split(os.environ["TOLVANE_RECONFIGURE"]), "-B", str(again), timeout=600)
    run("cmake", "--build", str(again), "--target", "tolvane", timeout=600)
    return again


@pytest.mark.parametrize("umask", [-1, 0o002], ids=["same umask", "other umask"])
def test_package_is_the_same_bytes_from_another_build_directory_and_time_zone(umask, made, rebuilt):
    generator, first = made
    cpack = tuple(int(n) for n in re.search(r"(\d+)\.(\d+)", run("cpack", "--version")).groups())
    if umask != -1 and generator == "DEB" and cpack < (3, 19):
        pytest.skip(f"cpack {cpack[0]}.{cpack[1]} (before 3.19, as on Debian 11) writes the package's ar members with "
                    "the modes the umask gives, and runs no script after packing that could set them")
    second = package(generator, rebuilt / "CPackConfig.cmake", env={"TZ": "Pacific/Auckland"}, umask=umask)
    digests = [hashlib.sha256(path.read_bytes()).hexdigest() for path in (first, second)]
    assert digests[0] == digests[1], f"expected identical packages, saw {first} and {second} differ (SHA-256 {digests})"


def test_installed_program_is_tolvanes_window(where, installed):
    with where.launch(program=installed[1]) as tolvane:
        where.assert_placed(tolvane)
        tolvane.assert_ends()


@pytest.mark.skipif(BUILD not in NEEDS, reason="this build needs nothing of its CPU beyond its architecture")
@pytest.mark.parametrize("made", ["DEB"], indirect=True)
def test_program_needs_the_cpu_its_package_is_for_and_ends_on_an_older_one(made, installed):
    attributes, older = NEEDS[BUILD]
    program = str(installed[0] / PROGRAM["DEB"])
    shown = dict(re.findall(r"^\s+(Tag_\w+): (.*)$", run(os.environ["TOLVANE_READELF"], "-A", program), re.M))
    assert {tag: shown.get(tag) for tag in attributes} == attributes, \
        f"expected readelf -A to show {attributes}, saw {shown}"
    # An older CPU stops it at its first instruction, as the kernel would there; qemu dumps no core.
    emulator = EMULATOR[:EMULATOR.index("-cpu")] if "-cpu" in EMULATOR else EMULATOR
    done = subprocess.run([*emulator, "-cpu", older, program], capture_output=True, timeout=60, env={"PATH": os.environ["PATH"]},
                          preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_CORE, (0, 0)))
    assert done.returncode == -signal.SIGILL, \
        f"expected an {older} CPU to stop it with SIGILL, saw status {done.returncode}: {done.stderr[-300:]!r}"


@pytest.mark.skipif(WINDOWS, reason="apt installs the Debian package")
@pytest.mark.skipif(os.environ.get("TOLVANE_INSTALL_INTO_SYSTEM") != "1",
                    reason="installs the package into this system: only where it is thrown away after "
                           "(TOLVANE_INSTALL_INTO_SYSTEM=1, as in scripts/debian-root.sh)")
@pytest.mark.parametrize("made", ["DEB"], indirect=True)
def test_apt_installs_the_package_and_purges_it_leaving_nothing(made, where):
    apt = {**os.environ, "DEBIAN_FRONTEND": "noninteractive"}
    run("apt-get", "install", "-y", "-q", "--no-install-recommends", str(made[1]), env=apt, timeout=600)
    try:
        with where.launch(program="/usr/bin/tolvane") as tolvane:
            where.assert_placed(tolvane)
            tolvane.assert_ends()
    finally:
        run("apt-get", "purge", "-y", "-q", "tolvane", env=apt, timeout=300)
    left = [path for path in ("/" + name for name in (*FILES["DEB"], DOC)) if os.path.lexists(path)]
    status = run("dpkg-query", "-W", "-f=${db:Status-Abbrev}", "tolvane", check=False, both=True)
    assert not left and not status[0].strip(), \
        f"expected apt purge to leave nothing of tolvane, saw the files {left} and dpkg's status {status}"
