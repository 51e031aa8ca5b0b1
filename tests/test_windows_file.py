"""The Windows program as a file a user downloads: a 64-bit console program that needs nothing
but Windows' own DLLs, reaching freeglut through its Windows start-up route, declaring itself
DPI-aware, with its version and icon; and the release ZIP that carries it with the licences, the
same bytes whenever and wherever the same source is built."""

import os
import re
import subprocess
import tempfile
import zipfile
from pathlib import Path

import pytest

from harness import artifacts, assert_same_package_from_elsewhere, package, tool

# Windows' own DLLs. ADVAPI32 is freeglut's: it reads the joystick settings from the registry.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "opengl32.dll", "winmm.dll", "advapi32.dll",
               "msvcrt.dll"}


def objdump(*args):
    tool = os.environ.get("TOLVANE_OBJDUMP", "")
    assert os.path.isfile(tool), f"expected TOLVANE_OBJDUMP to name MinGW's objdump, it names {tool!r}"
    return subprocess.run([tool, *args], capture_output=True, text=True, check=True, timeout=60).stdout


def describe(exe):
    headers = objdump("-f", "-p", exe)
    return {
        "format": re.search(r"file format (\S+)", headers).group(1),
        "magic": re.search(r"^Magic\s+(\S+)", headers, re.M).group(1),
        "subsystem": re.search(r"^Subsystem\s+\S+\s+\((.*)\)", headers, re.M).group(1),
        "dlls": {name.lower() for name in re.findall(r"DLL Name: (\S+)", headers)},
    }


def assert_runs_alone(exe):
    seen = describe(exe)
    assert (seen["format"], seen["magic"], seen["subsystem"]) == ("pei-x86-64", "020b", "Windows CUI"), \
        f"expected a PE32+ (020b) x86-64 console (Windows CUI) program, saw {seen}"
    assert "opengl32.dll" in seen["dlls"] and seen["dlls"] <= SYSTEM_DLLS, \
        f"expected imports from Windows' own DLLs only ({sorted(SYSTEM_DLLS)}), saw {sorted(seen['dlls'])}"


def resource(exe, kind, name):
    """A resource of the exe, read with icoutils' wrestool."""
    return subprocess.run([tool("wrestool"), "-x", "--raw", f"--type={kind}", f"--name={name}", str(exe)],
                          capture_output=True, check=True, timeout=60).stdout


def assert_identity(exe):
    """The manifest, version information and icon that Windows reads from the file."""
    manifest = resource(exe, 24, 1).decode(errors="replace")
    aware = (re.search(r"<dpiAwareness[^>]*>\s*PerMonitorV2\b", manifest), re.search(r"<dpiAware[^>]*>\s*true/pm\s*<", manifest),
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" in manifest)
    assert all(aware), f"expected a manifest declaring PerMonitorV2 (and true/pm) DPI awareness and Windows 10, saw {manifest!r}"
    strings = resource(exe, 16, 1).decode("utf-16-le", errors="replace")
    version = os.environ["TOLVANE_VERSION"]
    for key, value in (("ProductName", "Tolvane"), ("ProductVersion", version), ("FileVersion", version),
                       ("OriginalFilename", "tolvane.exe")):
        assert re.search(rf"{key}\x00+{re.escape(value)}\x00", strings), \
            f"expected the version information's {key} to be {value!r}, saw {strings.replace(chr(0), ' ')!r}"
    icon = Path(tempfile.mkdtemp(prefix="icon-", dir=artifacts())) / "GLUT_ICON.ico"
    subprocess.run([tool("wrestool"), "-x", "--type=14", "--name=GLUT_ICON", "-o", str(icon), str(exe)],
                   check=True, timeout=60)
    sizes = set(re.findall(r"--width=(\d+)", subprocess.run([tool("icotool"), "-l", str(icon)], capture_output=True,
                                                            text=True, timeout=60).stdout))
    assert {"16", "32", "48", "256"} <= sizes, f"expected the icon GLUT_ICON at 16, 32, 48 and 256 px, saw {sorted(sizes)}"


def test_program_is_a_64_bit_console_program_needing_only_windows_dlls():
    assert_runs_alone(os.environ["TOLVANE"])


def test_program_declares_dpi_awareness_and_carries_its_version_and_icon():
    assert_identity(os.environ["TOLVANE"])


def test_main_starts_freeglut_through_its_windows_route_with_the_runtime_exit():
    main = objdump("-d", "--no-show-raw-insn", "--disassemble=main", os.environ["TOLVANE"])
    calls = re.findall(r"\bcall\s+\S+\s+<([^>+]+)>", main)
    exit_loaded = re.search(r"\blea\s.*<exit>", main)
    assert "__glutInitWithExit" in calls and "__glutCreateWindowWithExit" in calls and exit_loaded, \
        f"expected main to call __glutInitWithExit and __glutCreateWindowWithExit with exit, saw calls {calls}"
    assert not {"glutInit", "glutCreateWindow"} & set(calls), f"expected no plain glutInit/glutCreateWindow, saw {calls}"


@pytest.fixture(scope="module")
def release():
    return package("ZIP")


def test_release_zip_holds_the_program_its_readme_and_the_licences(release):
    with zipfile.ZipFile(release) as archive:
        top = release.stem
        names = sorted(name[len(top) + 1:] for name in archive.namelist() if not name.endswith("/"))
        assert names == ["LICENSE.txt", "README.md", "docs/benchmark.md", "docs/building.md", "docs/screenshot.png",
                         "docs/testing.md", "licenses/freeglut.txt", "licenses/mingw-w64.txt", "tolvane.exe"], \
            f"expected {top}/ to hold the program, README.md with docs/, LICENSE.txt and licenses/, saw {names}"
        texts = {name: archive.read(f"{top}/{name}").decode(errors="replace") for name in names if name != "tolvane.exe"}
        exe = Path(tempfile.mkdtemp(prefix="unzipped-", dir=artifacts())) / "tolvane.exe"
        exe.write_bytes(archive.read(f"{top}/tolvane.exe"))
    assert re.fullmatch(r"Tolvane-\d+\.\d+\.\d+-win64", top), f"expected Tolvane-<version>-win64.zip, saw {release.name}"
    # Tolvane's own, freeglut's (Pawel W. Olszta's notice) and MinGW-w64's, winpthreads included.
    for name, words in (("LICENSE.txt", ("MIT License", "Tolvane")), ("licenses/freeglut.txt", ("Pawel W. Olszta",)),
                        ("licenses/mingw-w64.txt", ("mingw-w64", "winpthreads"))):
        assert all(word in texts[name] for word in words), f"expected {name} to hold {words}, it begins {texts[name][:200]!r}"
    assert_runs_alone(exe)
    assert_identity(exe)
    assert "<main>:" not in objdump("-t", exe), "expected the released program stripped of its symbols"


def test_release_zip_is_the_same_bytes_from_another_build_directory_and_time_zone(release):
    assert_same_package_from_elsewhere("ZIP", release)
