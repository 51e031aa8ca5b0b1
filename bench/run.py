#!/usr/bin/env python3
"""Frame-rate benchmark: runs Tolvane and a toolkit-free reference (plain Xlib and GLX, the same
window, visual, clear and swap) in turn on one virtual display, several rounds, and prints for
each run the frames per second, the time from start to the first presented frame and the peak
resident memory; then the medians and the ratio Tolvane / reference for each figure.

Frames are counted by swapcount, a library preloaded into both programs that counts their
glXSwapBuffers calls; neither program is changed."""

import argparse
import os
import platform
import re
import statistics
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests"))
from harness import Display, start, stop, wait_for  # noqa: E402

FIGURES = ("frames per second", "first frame (ms)", "peak RSS (MiB)")


def machine(display):
    cpu = re.search(r"^model name\s*:\s*(.*)$", Path("/proc/cpuinfo").read_text(), re.M)
    memory = int(re.search(r"MemTotal:\s+(\d+)", Path("/proc/meminfo").read_text()).group(1)) / 2**20
    renderer = re.search(r"OpenGL renderer string: (.*)", display.run("glxinfo", "-B"))
    return (f"{cpu.group(1) if cpu else platform.machine()}, {os.cpu_count()} cores, {memory:.0f} GiB, "
            f"Linux {platform.release()}; display: Xvfb 2200x1300x24, "
            f"{renderer.group(1) if renderer else 'unknown renderer'}")


def visual_of(display, title):
    window = display.run("xdotool", "search", "--onlyvisible", "--name", f"^{title}$").split()[0]
    return re.search(r"Visual:\s+(0x[0-9a-f]+)", display.run("xwininfo", "-id", window)).group(1)


def run_once(display, command, title, seconds, swapcount, counter_file):
    """One run: start, wait for the first swap, count swaps over `seconds`, read the peak RSS and
    the window's visual."""
    Path(counter_file).write_bytes(bytes(16))
    read = lambda: struct.unpack("<Qq", Path(counter_file).read_bytes()[:16])
    env = {**display.env, "LD_PRELOAD": swapcount, "SWAPCOUNT_FILE": counter_file}
    started = time.monotonic_ns()
    process = start(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        def first_swap():
            if process.poll() is not None:
                raise AssertionError(f"{command[0]} ended with status {process.returncode} before its first frame")
            return read()[1]
        first = wait_for(f"the first frame of {os.path.basename(command[0])}", first_swap)
        time.sleep(0.5)  # let start-up work settle before counting
        swaps_before, at_before = read()[0], time.monotonic()
        time.sleep(seconds)
        swaps_after, at_after = read()[0], time.monotonic()
        peak = int(re.search(r"VmHWM:\s+(\d+) kB", Path(f"/proc/{process.pid}/status").read_text()).group(1))
        if process.poll() is not None:
            raise AssertionError(f"{command[0]} ended with status {process.returncode} while measured")
        visual = visual_of(display, title)
    finally:
        stop(process)
    return ((swaps_after - swaps_before) / (at_after - at_before), (first - started) / 1e6, peak / 1024), visual


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tolvane", required=True, help="the built program")
    parser.add_argument("--reference", required=True, help="the built tolvane_reference")
    parser.add_argument("--swapcount", required=True, help="the built swapcount library")
    parser.add_argument("--rounds", type=int, default=5, help="rounds, each running both programs (default 5)")
    parser.add_argument("--seconds", type=float, default=5.0, help="frames are counted over this long (default 5)")
    args = parser.parse_args()
    programs = {"Tolvane": (os.path.abspath(args.tolvane), "Tolvane"),
                "reference": (os.path.abspath(args.reference), "Tolvane reference")}

    display = Display(2200, 1300)
    try:
        print(f"Machine: {machine(display)}")
        print(f"{args.rounds} rounds, frames counted over {args.seconds:g} s, programs alternating\n")
        results = {name: [] for name in programs}
        visuals = {}
        row = lambda first, name, values, digits=1: print(
            f"| {first:<6} | {name:<9} | " + " | ".join(f"{v:>17.{digits}f}" for v in values) + " |", flush=True)
        with tempfile.TemporaryDirectory(prefix="bench-") as scratch:
            run = lambda program, title, seconds: run_once(display, [program], title, seconds,
                                                         os.path.abspath(args.swapcount),
                                                         os.path.join(scratch, "swaps"))
            for program, title in programs.values():  # a first, unreported run of each warms the caches
                run(program, title, 0.5)
            print(f"| {'round':<6} | {'program':<9} | " + " | ".join(f"{f:>17}" for f in FIGURES) + " |")
            print(f"|{'-' * 8}|{'-' * 11}|" + "|".join("-" * 19 for _ in FIGURES) + "|")
            for round_ in range(1, args.rounds + 1):
                for name, (program, title) in programs.items():
                    figures, visuals[name] = run(program, title, args.seconds)
                    results[name].append(figures)
                    row(round_, name, figures)
        medians = {name: [statistics.median(run[i] for run in runs) for i in range(len(FIGURES))]
                   for name, runs in results.items()}
        for name, runs in results.items():  # the spread, so that a median is read for what it is
            row("min", name, [min(run[i] for run in runs) for i in range(len(FIGURES))])
            row("max", name, [max(run[i] for run in runs) for i in range(len(FIGURES))])
        for name, values in medians.items():
            row("median", name, values)
        ratios = [t / r if r else float("nan") for t, r in zip(medians["Tolvane"], medians["reference"])]
        row("ratio", "T / R", ratios, digits=2)
        print("\nTolvane / reference: " + ", ".join(f"{f} {v:.2f}" for f, v in zip(FIGURES, ratios)))
        same = "the same visual" if len(set(visuals.values())) == 1 else "DIFFERENT visuals"
        print(f"Windows' visuals: {', '.join(f'{n} {v}' for n, v in visuals.items())} ({same})")
    finally:
        display.close()


if __name__ == "__main__":
    main()
