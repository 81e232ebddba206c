#!/usr/bin/env python3
"""Times the control, img2pdf and ImageMagick on the same generated images.

For every tool and image group it reports images per second (one process per
image, as a user converting file by file would run them), the PDF bytes
written, and the peak memory of the largest single process; for the control
also the in-process rate, and the time of the k-th append into one PDF.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time


TIME_LIMIT = 120.0  # seconds one conversion may take before it counts as failed


def run_one(argv):
    """Runs argv; returns (ok, seconds, peak kilobytes)."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    timer = threading.Timer(TIME_LIMIT, proc.kill)
    timer.start()
    _, status, usage = os.wait4(proc.pid, 0)
    timer.cancel()
    seconds = time.perf_counter() - start
    return os.waitstatus_to_exitcode(status) == 0 and seconds < TIME_LIMIT, seconds, usage.ru_maxrss


def tools(bin_dir):
    found = {"quirepane": lambda s, d: [os.path.join(bin_dir, "quirepane_convert"), s, d]}
    if shutil.which("img2pdf"):
        found["img2pdf"] = lambda s, d: ["img2pdf", s, "-o", d]
    magick = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else shutil.which("convert")
    if magick:
        # Debian's policy forbids ImageMagick's PDF coder; its PDF/A coder is the same writer.
        found["imagemagick"] = lambda s, d: [magick, s, "PDFA:" + d]
    return found


def bench_group(name, files, tool_map, out_dir):
    rows = []
    in_bytes = sum(os.path.getsize(f) for f in files)
    for tool, make_argv in tool_map.items():
        total, peak, out_bytes, failed = 0.0, 0, 0, 0
        for f in files:
            dest = os.path.join(out_dir, f"{tool}-{name}-{os.path.basename(f)}.pdf")
            if os.path.exists(dest):
                os.remove(dest)
            ok, seconds, kb = run_one(make_argv(f, dest))
            total += seconds
            peak = max(peak, kb)
            if ok and os.path.exists(dest):
                out_bytes += os.path.getsize(dest)
            else:
                failed += 1
        done = len(files) - failed
        rows.append((name, tool, done, len(files), done / total if total else 0, out_bytes, in_bytes, peak))
    return rows


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--scale", type=float, default=1.0)
    parser.add_argument("--appends", type=int, default=200)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="quirepane-bench-")
    corpus = os.path.join(work, "corpus")
    out_dir = os.path.join(work, "out")
    os.makedirs(out_dir)
    subprocess.run([os.path.join(args.bin, "make_corpus"), corpus, str(args.scale)], check=True,
                   stderr=subprocess.DEVNULL)
    groups = {}
    for group in ("jpeg", "png", "tiff"):
        folder = os.path.join(corpus, group)
        groups[group] = sorted(os.path.join(folder, f) for f in os.listdir(folder))

    tool_map = tools(args.bin)
    rows = []
    for group, files in groups.items():
        rows += bench_group(group, files, tool_map, out_dir)

    print(f"corpus: {corpus} (scale {args.scale})")
    print(f"{'group':6} {'tool':12} {'done':>7} {'img/s':>8} {'out bytes':>12} {'out/in':>8} {'peak MB':>8}")
    for name, tool, done, count, rate, out_bytes, in_bytes, peak in rows:
        ratio = out_bytes / in_bytes if in_bytes else 0
        print(f"{name:6} {tool:12} {done:>3}/{count:<3} {rate:8.2f} {out_bytes:12d} {ratio:8.4f} {peak / 1024:8.1f}")

    batch = subprocess.run([os.path.join(args.bin, "quirepane_convert"), "--batch", out_dir] + groups["jpeg"],
                           capture_output=True, text=True)
    seconds, count = batch.stdout.split()
    print(f"quirepane in one process: {int(count) / float(seconds):.1f} JPEG images/s")

    series = subprocess.run([os.path.join(args.bin, "quirepane_convert"), "--append-series", str(args.appends),
                             groups["jpeg"][0], os.path.join(out_dir, "growing.pdf")],
                            capture_output=True, text=True, check=True)
    times = [float(line.split()[1]) for line in series.stdout.splitlines()]
    first = statistics.median(times[:5])
    last = statistics.median(times[-5:])
    marks = [k for k in (1, 10, 50, 100, 200, args.appends) if k <= len(times)]
    print("append k: ms  " + "  ".join(f"{k}: {times[k - 1]:.2f}" for k in sorted(set(marks))))
    print(f"append cost, last 5 / first 5 (medians): {last:.2f} / {first:.2f} ms = {last / first:.2f}x"
          f" (goal <= 2x): {'met' if last <= 2 * first else 'MISSED'}")

    jpeg = {tool: (rate, out_bytes / in_bytes) for name, tool, _, _, rate, out_bytes, in_bytes, _ in rows
            if name == "jpeg"}
    if "img2pdf" in jpeg:
        ours, theirs = jpeg["quirepane"][0], jpeg["img2pdf"][0]
        print(f"JPEG speed vs img2pdf: {ours:.2f} vs {theirs:.2f} img/s: {'met' if ours >= theirs else 'MISSED'}")
    overhead = jpeg["quirepane"][1] - 1
    print(f"JPEG output overhead: {overhead * 100:.3f}% (goal <= 1%): {'met' if overhead <= 0.01 else 'MISSED'}")
    print(f"outputs left in {work}")


if __name__ == "__main__":
    sys.exit(main())
