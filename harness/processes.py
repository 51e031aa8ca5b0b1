"""Processes: external tools found, run and waited for, never without a time limit."""

import contextlib
import os
import signal
import shutil
import subprocess
import time

TIMEOUT = 20.0  # seconds: the longest any one condition is waited for


class MissingTool(AssertionError):
    """A tool the caller needs is not installed."""


class TimedOut(AssertionError):
    """What was waited for did not come in time."""


def tool(name):
    path = shutil.which(name)
    if path is None:
        raise MissingTool(f"the tool '{name}' is not installed; scripts/packages.sh installs it")
    return path


def run(*command, env=None, check=True, timeout=TIMEOUT * 3, binary=False, both=False, umask=-1):
    """Run a tool to its end within `timeout` seconds and return what it printed (with both,
    stdout and stderr); a tool that fails or overruns fails the check, saying so."""
    try:
        done = subprocess.run([tool(command[0]), *command[1:]], env=env, capture_output=True,
                              text=not binary, timeout=timeout, umask=umask)
    except subprocess.TimeoutExpired:
        raise AssertionError(f"expected {' '.join(map(str, command))[:200]} to finish within {timeout:g} s, "
                             "it did not") from None
    if check and done.returncode != 0:
        said = done.stderr if not binary else done.stderr.decode(errors="replace")
        raise AssertionError(f"expected {' '.join(map(str, command))[:200]} to succeed, it exited "
                             f"{done.returncode}: {said.strip()[-2000:]}")
    return (done.stdout, done.stderr) if both else done.stdout


def wait_for(what, condition, timeout=TIMEOUT, interval=0.05):
    """Poll condition() until it returns something true; fail saying what was awaited."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise TimedOut(f"waited {timeout:g} s for {what}, in vain")
        time.sleep(interval)


def start(command, **options):
    """Start a process in a group of its own, so that stop() also ends whatever it starts."""
    return subprocess.Popen(command, start_new_session=True, **options)


def stop(process, grace=5.0):
    """End a process started by start() and everything in its group, politely first."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        with contextlib.suppress(ProcessLookupError):
            os.killpg(process.pid, sig)
        with contextlib.suppress(subprocess.TimeoutExpired):
            process.wait(grace)
            return
