"""The Windows program as a file: a 64-bit console program that needs nothing but Windows' own
DLLs, reaching freeglut through its Windows start-up route, declaring itself DPI-aware, with its
version and icon. (The packages that carry it are tested with the Debian package.)"""

import os
import re
import tempfile
from pathlib import Path

from harness import run
from program import artifacts

# Windows' own DLLs. ADVAPI32 is freeglut's: it reads the joystick settings from the registry.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "opengl32.dll", "winmm.dll", "advapi32.dll",
               "msvcrt.dll"}

EXE = os.environ.get("TOLVANE", "")


def objdump(*args):
    return run(os.environ.get("TOLVANE_OBJDUMP", "objdump"), *args)


def test_program_is_a_64_bit_console_program_needing_only_windows_dlls():
    headers = objdump("-f", "-p", EXE)
    seen = {
        "format": re.search(r"file format (\S+)", headers).group(1),
        "magic": re.search(r"^Magic\s+(\S+)", headers, re.M).group(1),
        "subsystem": re.search(r"^Subsystem\s+\S+\s+\((.*)\)", headers, re.M).group(1),
        "dlls": {name.lower() for name in re.findall(r"DLL Name: (\S+)", headers)},
    }
    assert (seen["format"], seen["magic"], seen["subsystem"]) == ("pei-x86-64", "020b", "Windows CUI"), \
        f"expected a PE32+ (020b) x86-64 console (Windows CUI) program, saw {seen}"
    assert "opengl32.dll" in seen["dlls"] and seen["dlls"] <= SYSTEM_DLLS, \
        f"expected imports from Windows' own DLLs only ({sorted(SYSTEM_DLLS)}), saw {sorted(seen['dlls'])}"


def resource(kind, name):
    """A resource of the exe, read with icoutils' wrestool."""
    return run("wrestool", "-x", "--raw", f"--type={kind}", f"--name={name}", EXE, binary=True)


def test_program_declares_dpi_awareness_and_carries_its_version_and_icon():
    manifest = resource(24, 1).decode(errors="replace")
    aware = (re.search(r"<dpiAwareness[^>]*>\s*PerMonitorV2\b", manifest), re.search(r"<dpiAware[^>]*>\s*true/pm\s*<", manifest),
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" in manifest)
    assert all(aware), f"expected a manifest declaring PerMonitorV2 (and true/pm) DPI awareness and Windows 10, saw {manifest!r}"
    strings = resource(16, 1).decode("utf-16-le", errors="replace")
    version = os.environ["TOLVANE_VERSION"]
    for key, value in (("ProductName", "Tolvane"), ("ProductVersion", version), ("FileVersion", version),
                       ("OriginalFilename", "tolvane.exe")):
        assert re.search(rf"{key}\x00+{re.escape(value)}\x00", strings), \
            f"expected the version information's {key} to be {value!r}, saw {strings.replace(chr(0), ' ')!r}"
    icon = Path(tempfile.mkdtemp(prefix="icon-", dir=artifacts())) / "GLUT_ICON.ico"
    run("wrestool", "-x", "--type=14", "--name=GLUT_ICON", "-o", str(icon), EXE)
    sizes = set(re.findall(r"--width=(\d+)", run("icotool", "-l", str(icon))))
    assert {"16", "32", "48", "256"} <= sizes, f"expected the icon GLUT_ICON at 16, 32, 48 and 256 px, saw {sorted(sizes)}"


def test_main_starts_freeglut_through_its_windows_route_with_the_runtime_exit():
    main = objdump("-d", "--no-show-raw-insn", "--disassemble=main", EXE)
    calls = re.findall(r"\bcall\s+\S+\s+<([^>+]+)>", main)
    exit_loaded = re.search(r"\blea\s.*<exit>", main)
    assert "__glutInitWithExit" in calls and "__glutCreateWindowWithExit" in calls and exit_loaded, \
        f"expected main to call __glutInitWithExit and __glutCreateWindowWithExit with exit, saw calls {calls}"
    assert not {"glutInit", "glutCreateWindow"} & set(calls), f"expected no plain glutInit/glutCreateWindow, saw {calls}"
