#!/usr/bin/env python3
"""Prints the benchmark's figures: the median of each measured name, the ratios
of the program to ffmpeg, and each beside its goal. Never fails on a number.

usage: report.py <results file of "name value" lines> <frames of the clip>
"""
import statistics
import sys
from collections import defaultdict


def medians(path):
    values = defaultdict(list)
    with open(path) as results:
        for line in results:
            parts = line.split()
            if len(parts) == 2:
                values[parts[0]].append(float(parts[1]))
    return {name: (statistics.median(v), len(v)) for name, v in values.items()}


def main():
    m = medians(sys.argv[1])
    frames = int(sys.argv[2])

    def get(name):
        return m.get(name, (float("nan"), 0))[0]

    def row(label, value, unit, goal=""):
        print(f"  {label:<60} {value:>10.3f} {unit:<6} {goal}")

    program_fps = frames / get("program_convert_seconds")
    ffmpeg_fps = frames / get("ffmpeg_convert_seconds")
    program_mb = get("program_peak_bytes") / 2**20
    ffmpeg_mb = get("ffmpeg_peak_bytes") / 2**20
    shipped = get("shipped_startup_seconds")
    many = get("many_startup_seconds")
    runs = max(count for _, count in m.values()) if m else 0
    print(f"Medians of {runs} runs; {frames} frames in the clip.")
    print("Throughput (frames per second)")
    row("program (Convert click to the finish line)", program_fps, "fps")
    row("ffmpeg (process start to exit)", ffmpeg_fps, "fps")
    row("ratio program / ffmpeg", program_fps / ffmpeg_fps, "", "goal >= 1.0")
    print("Peak memory (MiB)")
    row("program (its Wine process, VmHWM)", program_mb, "MiB")
    row("ffmpeg (maximum resident set)", ffmpeg_mb, "MiB")
    row("ratio program / ffmpeg", program_mb / ffmpeg_mb, "", "goal <= 1.2")
    print("The program's own overhead")
    row("Convert click to the button reading Stop", get("program_click_to_stop_ms"), "ms",
        "goal <= 50 ms")
    print("Start-up to the main window, warm")
    row("with the shipped language files", shipped, "s", "goal <= 1.5 s")
    row("with 1,000 more language files", many, "s")
    row("added by the 1,000 files", many - shipped, "s", "goal <= 0.5 s")
    print("Where a conversion's time goes (the engine's steps in one process; ms, wall and CPU)")
    for label, step in (("render the source (Open Video; the reopen after each)", "render"),
                        ("build the conversion graph", "build"), ("Run", "run"),
                        ("stream until EC_COMPLETE", "stream"), ("Stop", "stop"),
                        ("tear the graph down", "teardown")):
        row(label, get(f"steps_{step}_ms"), "ms", f"CPU {get(f'steps_{step}_cpu_ms'):.0f} ms")
    row("stream without the subtitle filter", get("plain_stream_ms"), "ms",
        f"CPU {get('plain_stream_cpu_ms'):.0f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
