#!/usr/bin/env python3
"""Prints the benchmark's figures: the median of each measured name, the ratios
of the program to ffmpeg, and each beside its goal. Never fails on a number.

usage: report.py <results file of "name value" lines> <frames of the clip>
"""
import statistics
import sys
from collections import defaultdict


def read(path):
    values = defaultdict(list)
    with open(path) as results:
        for line in results:
            parts = line.split()
            if len(parts) == 2:
                values[parts[0]].append(float(parts[1]))
    return values


def paired_median(values, numerator, denominator):
    """The median of the ratios of the runs made in the same round."""
    pairs = zip(values.get(numerator, []), values.get(denominator, []))
    ratios = [a / b for a, b in pairs if b]
    return statistics.median(ratios) if ratios else float("nan")


def main():
    values = read(sys.argv[1])
    m = {name: (statistics.median(v), len(v)) for name, v in values.items()}
    frames = int(sys.argv[2])

    def get(name):
        return m.get(name, (float("nan"), 0))[0]

    def row(label, value, unit, goal=""):
        print(f"  {label:<60} {value:>10.3f} {unit:<6} {goal}")

    program_fps = frames / get("program_convert_seconds")
    ffmpeg_fps = frames / get("ffmpeg_convert_seconds")
    decode_fps = frames / get("ffmpeg_decode_seconds")
    mib = 2**20
    program_mb = get("program_peak_bytes") / mib
    idle_mb = get("program_idle_peak_bytes") / mib
    open_mb = get("program_open_peak_bytes") / mib
    ffmpeg_mb = get("ffmpeg_convert_peak_bytes") / mib
    loads = values.get("load_1min", [])
    shipped = get("shipped_startup_seconds")
    many = get("many_startup_seconds")
    runs = max(count for _, count in m.values()) if m else 0
    print(f"Medians of {runs} runs; {frames} frames in the clip.")
    if loads:
        print(f"Load average (1 min) at each round's start, the bench's own runs included: "
              f"{min(loads):.2f} to {max(loads):.2f}, median {statistics.median(loads):.2f}")
    print("Streaming against the platform's own graph (the engine's steps in one process)")
    row("streaming / bare graph", paired_median(values, "steps_stream_ms", "bare_stream_ms"), "",
        "goal <= 1.10")
    row("  the engine's streaming (with the subtitle filter)", get("steps_stream_ms"), "ms")
    row("  the bare graph's (Null Renderers, no filter of ours)", get("bare_stream_ms"), "ms")
    engine_cpu = paired_median(values, "steps_stream_cpu_ms", "steps_stream_ms")
    bare_cpu = paired_median(values, "bare_stream_cpu_ms", "bare_stream_ms")
    row("CPU per wall second while streaming: the engine", engine_cpu, "",
        f"goal >= the bare graph's, {bare_cpu:.2f}")
    row("CPU per wall second while streaming: the bare graph", bare_cpu, "")
    print("The end of a conversion, on the real main window (ms)")
    row("EC_COMPLETE to the finish line", get("finish_line_ms"), "ms", "goal <= 50 ms")
    row("  drawn into the window", get("finish_painted_ms"), "ms")
    row("EC_COMPLETE to the window ready for the next Convert", get("finish_ready_ms"), "ms")
    print("Two conversions at once against one (time for both / time for one)")
    row("the engine, two graphs in one process (streaming)",
        paired_median(values, "pair_stream_ms", "steps_stream_ms"), "x")
    row("ffmpeg, two processes", paired_median(values, "ffmpeg_pair_seconds",
                                               "ffmpeg_convert_seconds"), "x")
    print("Throughput (frames per second)")
    row("program (Convert click to the finish line)", program_fps, "fps")
    row("ffmpeg (process start to exit)", ffmpeg_fps, "fps")
    row("ratio program / ffmpeg", program_fps / ffmpeg_fps, "")
    row("  the same, the median of each round's ratio",
        paired_median(values, "ffmpeg_convert_seconds", "program_convert_seconds"), "")
    row("floor: ffmpeg decoding alone (-f null)", decode_fps, "fps")
    print("Peak memory (MiB)")
    row("program idle at its main window", idle_mb, "MiB")
    row("program once the video is open", open_mb, "MiB")
    row("program after the conversion (its Wine process, VmHWM)", program_mb, "MiB")
    added = [a - b for a, b in zip(values.get("program_peak_bytes", []),
                                   values.get("program_open_peak_bytes", []))]
    row("  added by the conversion (the median of each run's)",
        statistics.median(added) / mib if added else float("nan"), "MiB", "goal <= 20 MiB")
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
