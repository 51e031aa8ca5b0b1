"""Wine, for the Windows build: a prefix made on first use and kept (making one takes seconds),
and wine_helper.exe, which starts Windows programs as Windows would and asks Windows where it put
their windows."""

import contextlib
import os
import subprocess
import tempfile
from pathlib import Path

from .processes import TIMEOUT, run, tool


class Wine:
    """Runs Windows programs on a display. Wine's own services outlive the programs, so close()
    ends them too."""

    def __init__(self, display, helper, prefix=None):
        self.helper = os.path.abspath(helper)
        if not os.path.isfile(self.helper):
            raise AssertionError(f"expected the built wine_helper.exe at {self.helper}, there is none")
        self.prefix = prefix or os.environ.get("WINEPREFIX") or os.path.join(tempfile.gettempdir(), "wineprefix")
        # No dialogs offering to download Mono or Gecko, and no Wine debug chatter on stderr.
        self.env = {**display.env, "WINEPREFIX": self.prefix, "WINEDEBUG": "-all",
                    "WINEDLLOVERRIDES": "mscoree,mshtml="}
        if not os.path.isfile(os.path.join(self.prefix, "system.reg")):
            os.makedirs(os.path.dirname(self.prefix), exist_ok=True)
            try:
                self.run("wineboot", "--init", timeout=180)
            finally:
                self.close()

    def command(self, program, *args):
        """The command that runs a Windows program (or opens a shortcut) with the display variable
        out of its environment: Wine needs it, but freeglut on Windows takes it for a display device."""
        return [tool("wine"), self.helper, "run", self.path(program), *args]

    @staticmethod
    def path(unix_path):
        return "Z:" + os.path.abspath(unix_path).replace("/", "\\")

    def drive_c(self, *parts):
        return Path(self.prefix, "drive_c", *parts)

    def run(self, program, *args, timeout=TIMEOUT, check=True):
        return run("wine", program, *args, env=self.env, timeout=timeout, check=check)

    def rect(self, title):
        return self.run(self.helper, "rect", title)

    def wait(self, timeout=TIMEOUT * 6):
        """Until every Windows program in this prefix has ended."""
        run("wineserver", "--wait", env=self.env, timeout=timeout)

    def persist(self):
        """One Wine server for every program from now on, so that none pays for starting it."""
        # Not through run(): the server outlives the call, and would hold captured output open.
        subprocess.run([tool("wineserver"), "-p"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True, timeout=TIMEOUT * 3)

    def close(self):
        run("wineserver", "--kill", env=self.env, check=False)


def wine_process(session, name):
    """The process that runs the Windows program `name` under Wine, in the given session."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        with contextlib.suppress(OSError):
            argv0 = Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0].decode(errors="replace")
            if argv0.lower().endswith("\\" + name.lower()) and os.getsid(int(pid)) == session:
                return int(pid)
    raise AssertionError(f"found no process running {name} under Wine")
