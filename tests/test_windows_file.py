"""The Windows program as a file a user downloads: a 64-bit console program that needs nothing
but Windows' own DLLs, reaching freeglut through its Windows start-up route, and the release ZIP
that carries it."""

import os
import re
import subprocess
import tempfile
import zipfile
from pathlib import Path

import pytest

from harness import artifacts

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


def test_program_is_a_64_bit_console_program_needing_only_windows_dlls():
    assert_runs_alone(os.environ["TOLVANE"])


def test_main_starts_freeglut_through_its_windows_route_with_the_runtime_exit():
    main = objdump("-d", "--no-show-raw-insn", "--disassemble=main", os.environ["TOLVANE"])
    calls = re.findall(r"\bcall\s+\S+\s+<([^>+]+)>", main)
    exit_loaded = re.search(r"\blea\s.*<exit>", main)
    assert "__glutInitWithExit" in calls and "__glutCreateWindowWithExit" in calls and exit_loaded, \
        f"expected main to call __glutInitWithExit and __glutCreateWindowWithExit with exit, saw calls {calls}"
    assert not {"glutInit", "glutCreateWindow"} & set(calls), f"expected no plain glutInit/glutCreateWindow, saw {calls}"


@pytest.fixture(scope="module")
def release():
    config = os.environ.get("TOLVANE_CPACK_CONFIG", "")
    assert os.path.isfile(config), f"expected TOLVANE_CPACK_CONFIG to name CPackConfig.cmake, it names {config!r}"
    out = tempfile.mkdtemp(prefix="package-", dir=artifacts())
    done = subprocess.run(["cpack", "--config", config, "-B", out], capture_output=True, text=True, timeout=120)
    assert done.returncode == 0, f"cpack exited {done.returncode}: {done.stdout}{done.stderr}"
    zips = list(Path(out).glob("*.zip"))
    assert len(zips) == 1, f"expected cpack to make one ZIP, saw {os.listdir(out)}"
    return zips[0]


def test_release_zip_holds_the_program_and_its_readme(release):
    with zipfile.ZipFile(release) as archive:
        names = sorted(archive.namelist())
        top = release.stem
        assert names == [f"{top}/README.md", f"{top}/tolvane.exe"], \
            f"expected {top}/ to hold README.md and tolvane.exe, saw {names}"
        exe = Path(tempfile.mkdtemp(prefix="unzipped-", dir=artifacts())) / "tolvane.exe"
        exe.write_bytes(archive.read(f"{top}/tolvane.exe"))
    assert re.fullmatch(r"Tolvane-\d+\.\d+\.\d+-win64", top), f"expected Tolvane-<version>-win64.zip, saw {release.name}"
    assert_runs_alone(exe)
    assert "<main>:" not in objdump("-t", exe), "expected the released program stripped of its symbols"
