#!/usr/bin/env python3
"""Appending at scale: tessaprint against img2pdf on the same files in one run.

- many small JPEGs into one PDF (one tessaprint process, `/+`), and img2pdf
  on the same files: time, bytes over the JPEG bytes, peak memory;
- a longer run of the same kind, with the control's per-append times in one
  process: the last thousand appends against the first thousand;
- one process per file (the file-manager road): the time and bytes of
  append #1000 against append #10;
- appends to other programs' PDFs (img2pdf's pages laid out by qpdf with
  object streams, or as a flat page tree with a classic cross-reference
  table), 10 pages against 1000: the time and bytes read of the appends
  after the first, and the first against a whole rewrite; the first append
  to img2pdf's linearized output, 10 pages against 1000;
- one TIFF of many Group 4 pages and one of many JPEG pages, whole, against
  img2pdf;
- one TIFF of many uncompressed RGB pages, whole and cut into frames: time
  and bytes read; one photo PNG: time and PDF bytes;
- decoded pages (photo and smooth RGB TIFFs, BMPs, a JPEG TIFF in strips):
  time and PDF bytes against img2pdf's.

Prints a Markdown table and, with --readme, puts it into bench/README.md
between the scale markers.
"""
import argparse
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from linearized_bench import linearized_first_append

BEGIN = "<!-- scale table begins -->"
END = "<!-- scale table ends -->"


def bytes_read():
    """Bytes read so far by this process and the children it has waited for."""
    with open("/proc/self/io") as f:
        return next(int(line.split()[1]) for line in f if line.startswith("rchar:"))


def run(argv, env=None, io=None):
    """Runs argv; returns (exit code, seconds, peak MB, stdout). With a list
    as io, appends the bytes the child read (read() and its kin; a mapped
    file's pages are not counted). What earlier programs left unwritten
    goes to disk first, so that a run that flushes its own file does not
    wait for theirs."""
    os.sync()
    before = bytes_read()
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env, text=True)
    out = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    seconds = time.perf_counter() - start
    if io is not None:
        io.append(bytes_read() - before - len(out))
    return os.waitstatus_to_exitcode(status), seconds, usage.ru_maxrss / 1024, out


def workspace(prefix):
    """A fresh temporary folder and an environment whose HOME lies in it."""
    work = tempfile.mkdtemp(prefix=prefix)
    env = dict(os.environ, HOME=os.path.join(work, "home"))
    os.makedirs(env["HOME"])
    return work, env


def table_row(work_name, ours, theirs, goal, met):
    return (work_name, ours, theirs, goal, "met" if met else "MISSED")


def report(where, rows, work, readme_path, begin, end):
    """Prints the Markdown table of rows under a line naming the machine
    and, with a readme_path, puts it between the begin and end markers of
    that README (or at its end with the markers)."""
    table = [f"Machine: {where}.", "", "| work | tessaprint | img2pdf (ratio) | goal | |", "|---|---|---|---|---|"]
    table += [f"| {a} | {b} | {c} | {d} | {e} |" for a, b, c, d, e in rows]
    text = "\n".join(table)
    print(text)
    print(f"outputs left in {work}")
    if not readme_path:
        return
    write_table(readme_path, text, begin, end)


def machine():
    cpu = platform.processor() or platform.machine()
    try:
        with open("/proc/cpuinfo") as f:
            cpu = next(line.split(":", 1)[1].strip() for line in f if line.startswith("model name"))
    except (OSError, StopIteration):
        pass
    load = os.getloadavg()[0]
    return f"{cpu}, {os.cpu_count()} cores, Linux {platform.release()}, load average {load:.1f} at the start"




def write_table(readme_path, text, begin=BEGIN, end=END):
    """Puts text into the file between the markers begin and end (added at its end when missing)."""
    with open(readme_path) as f:
        readme = f.read()
    if begin in readme and end in readme:
        head, rest = readme.split(begin, 1)
        readme = head + begin + "\n" + text + "\n" + end + rest.split(end, 1)[1]
    else:
        readme += "\n" + begin + "\n" + text + "\n" + end + "\n"
    with open(readme_path, "w") as f:
        f.write(readme)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--jpegs", type=int, default=2000)
    parser.add_argument("--long", type=int, default=10000)
    parser.add_argument("--singles", type=int, default=1000)
    parser.add_argument("--tiff-pages", type=int, default=500)
    # img2pdf decodes JPEG-coded TIFF pages and stores them with Flate: 500
    # such pages take it minutes.
    parser.add_argument("--jpeg-tiff-pages", type=int, default=100)
    parser.add_argument("--foreign-pages", type=int, default=1000)
    parser.add_argument("--foreign-appends", type=int, default=10)
    parser.add_argument("--photo-pages", type=int, default=300)
    parser.add_argument("--smooth-pages", type=int, default=60)
    parser.add_argument("--readme")
    args = parser.parse_args()

    work, env = workspace("tessaprint-scale-")
    tessaprint = os.path.join(args.bin, "tessaprint")
    control = os.path.join(args.bin, "quirepane_convert")
    corpus = os.path.join(args.bin, "make_corpus")
    where = machine()
    rows = []

    def row(work_name, ours, theirs, goal, met):
        rows.append(table_row(work_name, ours, theirs, goal, met))

    # Many JPEGs into one PDF.
    jpegs = os.path.join(work, "jpegs")
    subprocess.run([corpus, "--small-jpegs", jpegs, str(args.long)], check=True, stderr=subprocess.DEVNULL)
    names = sorted(os.listdir(jpegs))
    some = os.path.join(work, "some")
    os.makedirs(some)
    for name in names[:args.jpegs]:
        os.link(os.path.join(jpegs, name), os.path.join(some, name))
    jpeg_bytes = sum(os.path.getsize(os.path.join(some, n)) for n in os.listdir(some))
    ours_pdf, their_pdf = os.path.join(work, "ours.pdf"), os.path.join(work, "img2pdf.pdf")
    _, t_ours, mb_ours, _ = run([tessaprint, "/S", os.path.join(some, "*.jpg"), "/T", ours_pdf, "/F", "2", "/+"], env)
    files = sorted(os.path.join(some, n) for n in os.listdir(some))
    _, t_img, mb_img, _ = run(["img2pdf"] + files + ["-o", their_pdf])
    over_ours = (os.path.getsize(ours_pdf) - jpeg_bytes) / args.jpegs
    over_img = (os.path.getsize(their_pdf) - jpeg_bytes) / args.jpegs
    n = args.jpegs
    row(f"{n} JPEGs into one PDF: time", f"{t_ours:.2f} s", f"{t_img:.2f} s ({t_ours / t_img:.2f}x)",
        "<= img2pdf's", t_ours <= t_img)
    row(f"{n} JPEGs into one PDF: bytes a page over the JPEGs", f"{over_ours:.0f}",
        f"{over_img:.0f} ({over_ours / over_img:.2f}x)", "<= 2x img2pdf's", over_ours <= 2 * over_img)
    row(f"{n} JPEGs into one PDF: peak memory", f"{mb_ours:.1f} MB", f"{mb_img:.1f} MB", "", True)

    # A long run: whole time and memory of tessaprint, per-append times of the control.
    long_pdf = os.path.join(work, "long.pdf")
    _, t_long, mb_long, _ = run([tessaprint, "/S", os.path.join(jpegs, "*.jpg"), "/T", long_pdf, "/F", "2", "/+"], env)
    all_files = sorted(os.path.join(jpegs, n) for n in names)
    _, t_long_img, mb_long_img, _ = run(["img2pdf"] + all_files + ["-o", os.path.join(work, "long-img2pdf.pdf")])
    row(f"{args.long} JPEGs into one PDF: time", f"{t_long:.2f} s", f"{t_long_img:.2f} s ({t_long / t_long_img:.2f}x)",
        "", True)
    row(f"{args.long} JPEGs into one PDF: peak memory", f"{mb_long:.1f} MB", f"{mb_long_img:.1f} MB", "< 100 MB",
        mb_long < 100)
    series_pdf = os.path.join(work, "series.pdf")
    _, _, _, out = run([control, "--append-files", series_pdf] + all_files)
    times = [float(line.split()[1]) for line in out.splitlines() if line.strip()]
    if len(times) >= 2000:
        first, last = sum(times[:1000]), sum(times[-1000:])
        row(f"{args.long} appends in one process: last 1000 / first 1000", f"{last / 1000:.2f} / {first / 1000:.2f} ms",
            "", "<= 1.2x", last <= 1.2 * first)

    # One process per file.
    single_pdf = os.path.join(work, "single.pdf")
    cost, added = [], []
    for k in range(args.singles):
        before = os.path.getsize(single_pdf) if os.path.exists(single_pdf) else 0
        _, seconds, _, _ = run([tessaprint, "/S", all_files[k % len(all_files)], "/T", single_pdf, "/F", "2", "/+"], env)
        cost.append(seconds)
        added.append(os.path.getsize(single_pdf) - before)
    if args.singles >= 20:
        t10, t_end = statistics.median(cost[7:12]), statistics.median(cost[-5:])
        b10, b_end = statistics.median(added[7:12]), statistics.median(added[-5:])
        row(f"one process per file: append #{args.singles} / #10, time", f"{t_end * 1000:.1f} / {t10 * 1000:.1f} ms",
            f"{t_end / t10:.2f}x", "<= 1.2x", t_end <= 1.2 * t10)
        row(f"one process per file: append #{args.singles} / #10, bytes written", f"{b_end:.0f} / {b10:.0f}",
            f"{b_end / b10:.2f}x", "<= 1.2x", b_end <= 1.2 * b10)

    # Appends to PDFs made by other programs: img2pdf's pages, laid out by
    # qpdf with object streams or as a flat tree with a classic table. After
    # the first append, one to a long file costs what one to a short file
    # costs; the first costs at most a whole rewrite (qpdf's, of the base).
    short, longer = 10, args.foreign_pages
    for kind, flags in (("object-stream", ["--object-streams=generate"]),
                        ("flat classic-table", ["--object-streams=disable"])):
        cost = {}
        for pages in (short, longer):
            made = os.path.join(work, f"img2pdf-{pages}.pdf")
            if not os.path.exists(made):
                subprocess.run(["img2pdf"] + all_files[:pages] + ["-o", made], check=True)
            base = os.path.join(work, f"{kind}-{pages}.pdf")
            subprocess.run(["qpdf"] + flags + [made, base], check=True)
            _, rewrite, _, _ = run(["qpdf"] + flags + [base, base + "-rewritten.pdf"])
            pdf = base + "-appended.pdf"
            shutil.copy(base, pdf)
            times, reads = [], []
            for k in range(args.foreign_appends + 1):
                io = []
                source = all_files[(pages + k) % len(all_files)]
                code, seconds, _, _ = run([tessaprint, "/S", source, "/T", pdf, "/F", "2", "/+"], env, io)
                times.append(seconds if code == 0 else float("inf"))
                reads.append(io[0])
            npages = subprocess.run(["qpdf", "--show-npages", pdf], capture_output=True, text=True).stdout.strip()
            sound = subprocess.run(["qpdf", "--check", pdf], stdout=subprocess.DEVNULL).returncode == 0
            cost[pages] = (times[0], statistics.median(times[1:]), statistics.median(reads[1:]), rewrite,
                           sound and npages == str(pages + args.foreign_appends + 1))
        (_, t_short, r_short, _, ok_short), (first, t_long, r_long, rewrite, ok_long) = cost[short], cost[longer]
        sound = ok_short and ok_long
        row(f"append to a {longer}- / {short}-page {kind} PDF, after the first: time",
            f"{t_long * 1000:.1f} / {t_short * 1000:.1f} ms", f"{t_long / t_short:.2f}x", "<= 1.2x",
            sound and t_long <= 1.2 * t_short)
        row(f"append to a {longer}- / {short}-page {kind} PDF, after the first: bytes read",
            f"{r_long / 1e3:.0f} / {r_short / 1e3:.0f} kB (file {os.path.getsize(base) / 1e6:.1f} MB)",
            f"{r_long / r_short:.2f}x", "<= 1.2x", sound and r_long <= 1.2 * r_short)
        row(f"first append to a {longer}-page {kind} PDF: time", f"{first * 1000:.1f} ms",
            f"qpdf rewrites it in {rewrite * 1000:.1f} ms", "<= a whole rewrite", sound and first <= rewrite)

    linearized_first_append(run, row, tessaprint, env, work, all_files, short, longer)

    # One TIFF of many fax pages, and one of many JPEG pages as scanners write them.
    def whole_tiff(kind, flag, pages):
        tif = os.path.join(work, f"{flag.strip('-')}.tif")
        subprocess.run([corpus, flag, tif, str(pages)], check=True, stderr=subprocess.DEVNULL)
        ours, theirs = tif + ".pdf", tif + "-img2pdf.pdf"
        _, t_ours, _, _ = run([tessaprint, "/S", tif, "/T", ours, "/F", "18"], env)
        _, t_img, _, _ = run(["img2pdf", tif, "-o", theirs])
        s_ours, s_img = os.path.getsize(ours), os.path.getsize(theirs)
        row(f"{pages}-page {kind} TIFF: time", f"{t_ours:.2f} s", f"{t_img:.2f} s ({t_ours / t_img:.2f}x)",
            "<= 1.5x", t_ours <= 1.5 * t_img)
        row(f"{pages}-page {kind} TIFF: bytes", f"{s_ours}", f"{s_img} ({s_ours / s_img:.2f}x)", "<= 1.5x",
            s_ours <= 1.5 * s_img)

    whole_tiff("Group 4", "--g4-tiff", args.tiff_pages)
    whole_tiff("JPEG", "--jpeg-tiff", args.jpeg_tiff_pages)

    # Uncompressed RGB pages: whole, and cut into frames by a page list.
    tif = os.path.join(work, "rgb.tif")
    subprocess.run([corpus, "--rgb-tiff", tif, str(args.tiff_pages)], check=True, stderr=subprocess.DEVNULL)
    size, pages = os.path.getsize(tif), args.tiff_pages
    io_img, io_whole, io_frames = [], [], []
    _, t_img, _, _ = run(["img2pdf", tif, "-o", tif + "-img2pdf.pdf"], io=io_img)
    _, t_whole, _, _ = run([tessaprint, "/S", tif, "/T", tif + ".pdf", "/F", "18"], env, io_whole)
    _, t_frames, _, _ = run([tessaprint, "/S", tif, "/T", tif + "-frames.pdf", "/F", "18", "/W", f"1-{pages}"], env,
                            io_frames)
    mb = size / 1e6
    row(f"{pages}-page RGB TIFF ({mb:.0f} MB): time", f"{t_whole:.2f} s", f"{t_img:.2f} s ({t_whole / t_img:.2f}x)",
        "<= img2pdf's", t_whole <= t_img)
    for road, io in (("whole", io_whole[0]), (f"cut into frames (/W 1-{pages})", io_frames[0])):
        row(f"{pages}-page RGB TIFF, {road}: bytes read", f"{io / 1e6:.1f} MB ({io / size:.2f}x the file)",
            f"{io_img[0] / 1e6:.1f} MB", "<= 2x the file", io <= 2 * size)
    row(f"{pages}-page RGB TIFF cut into frames: time", f"{t_frames:.2f} s", f"{t_img:.2f} s ({t_frames / t_img:.2f}x)",
        "", True)

    # A photo PNG: its compressed rows go in as they stand.
    png = os.path.join(work, "photo.png")
    subprocess.run([corpus, "--photo-png", png], check=True, stderr=subprocess.DEVNULL)
    _, t_ours, _, _ = run([tessaprint, "/S", png, "/T", png + ".pdf"], env)
    _, t_img, _, _ = run(["img2pdf", png, "-o", png + "-img2pdf.pdf"])
    s_ours, s_img = os.path.getsize(png + ".pdf"), os.path.getsize(png + "-img2pdf.pdf")
    row("3000 by 2000 photo PNG: time", f"{t_ours:.2f} s", f"{t_img:.2f} s ({t_ours / t_img:.2f}x)", "<= img2pdf's",
        t_ours <= t_img)
    row(f"3000 by 2000 photo PNG ({os.path.getsize(png)} bytes): PDF bytes", f"{s_ours}",
        f"{s_img} ({s_ours / s_img:.3f}x)", "<= 1.01x img2pdf's", s_ours <= 1.01 * s_img)

    # Decoded pages: stored with Flate and PNG row prediction, as img2pdf
    # stores them.
    def decoded(work_name, file_name, make, type_code):
        source = os.path.join(work, file_name)
        subprocess.run([corpus, make[0], source] + make[1:], check=True, stderr=subprocess.DEVNULL)
        ours, theirs = source + ".pdf", source + "-img2pdf.pdf"
        _, t_ours, _, _ = run([tessaprint, "/S", source, "/T", ours, "/F", type_code], env)
        _, t_img, _, _ = run(["img2pdf", source, "-o", theirs])
        s_ours, s_img = os.path.getsize(ours), os.path.getsize(theirs)
        row(f"{work_name}: time", f"{t_ours:.2f} s", f"{t_img:.2f} s ({t_ours / t_img:.2f}x)", "<= 0.6x",
            t_ours <= 0.6 * t_img)
        row(f"{work_name}: bytes", f"{s_ours}", f"{s_img} ({s_ours / s_img:.3f}x)", "<= 1.0x", s_ours <= s_img)

    # Many small pages in one file, which goes in whole, as the RGB TIFF above.
    decoded(f"{args.photo_pages}-page photo RGB TIFF (400 by 300)", "photos.tif",
            ["--photo-tiff", str(args.photo_pages), "400", "300"], "18")
    decoded("1500 by 1000 photo RGB TIFF", "photo.tif", ["--photo-tiff", "1", "1500", "1000"], "18")
    decoded("1500 by 1000 photo BMP", "photo.bmp", ["--photo-bmp", "1500", "1000"], "0")
    decoded(f"{args.smooth_pages}-page smooth RGB TIFF (1500 by 1000)", "smooth.tif",
            ["--smooth-tiff", str(args.smooth_pages), "1500", "1000"], "18")
    decoded("1200 by 900 smooth BMP", "smooth.bmp", ["--smooth-bmp", "1200", "900"], "0")
    decoded("10-page JPEG TIFF in strips, decoded", "strips.tif", ["--strip-jpeg-tiff", "10"], "18")

    report(where, rows, work, args.readme, BEGIN, END)
    return 0


if __name__ == "__main__":
    sys.exit(main())
