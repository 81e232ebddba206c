#!/usr/bin/env python3
"""Large decoded pages: tessaprint against img2pdf on the same files in one run.

- grey LZW scans of 10000 by 14000 and 20000 by 28000 pixels, one page each:
  time, peak memory, PDF bytes, and whether the image's samples as a PDF
  reader decodes them (qpdf) are the TIFF's as libtiff decodes them;
- a file of many grey pages over 128 MB against a file of the same pages
  under it: the time a page.

Prints a Markdown table; with --readme, puts it into bench/README.md between
the large-page markers.
"""
import argparse
import hashlib
import os
import subprocess
import sys

from scale_bench import machine, run, table_row, workspace, write_table

BEGIN = "<!-- large-page table begins -->"
END = "<!-- large-page table ends -->"


def digest(argv):
    """SHA-256 of what argv writes to stdout, read as it comes."""
    h = hashlib.sha256()
    with subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL) as proc:
        for chunk in iter(lambda: proc.stdout.read(1 << 20), b""):
            h.update(chunk)
    return h.hexdigest() if proc.returncode == 0 else None


def image_object(pdf):
    """The object number of the first image of pdf, from pdfimages -list."""
    lines = subprocess.run(["pdfimages", "-list", pdf], capture_output=True, text=True, check=True).stdout.splitlines()
    return lines[2].split()[10]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--sizes", default="10000x14000,20000x28000")
    parser.add_argument("--pages", default="3000x4400:15:20", help="page size, pages of the small and the large file")
    parser.add_argument("--readme")
    args = parser.parse_args()

    work, env = workspace("tessaprint-large-")
    tessaprint = os.path.join(args.bin, "tessaprint")
    make = os.path.join(args.bin, "make_scan_tiff")
    where = machine()
    rows = []

    def row(*cells):
        rows.append(table_row(*cells))

    for size in filter(None, args.sizes.split(",")):
        w, h = (int(v) for v in size.split("x"))
        tif = os.path.join(work, f"scan-{size}.tif")
        subprocess.run([make, tif, str(w), str(h)], check=True)
        ours, theirs = tif + ".pdf", tif + "-img2pdf.pdf"
        _, t_ours, mb_ours, _ = run([tessaprint, "/S", tif, "/T", ours, "/F", "18"], env)
        # Pillow refuses pages over twice its default pixel limit as a
        # possible decompression bomb unless told they are wanted.
        _, t_img, mb_img, _ = run(["img2pdf", "--pillow-limit-break", tif, "-o", theirs])
        decoded_mb = w * h / 2**20
        s_ours, s_img = os.path.getsize(ours), os.path.getsize(theirs)
        name = f"grey LZW scan {w} x {h} ({decoded_mb:.0f} MB decoded)"
        row(f"{name}: time", f"{t_ours:.2f} s", f"{t_img:.2f} s ({t_ours / t_img:.2f}x)", "<= 0.7x",
            t_ours <= 0.7 * t_img)
        row(f"{name}: peak memory", f"{mb_ours:.0f} MB", f"{mb_img:.0f} MB ({mb_ours / mb_img:.2f}x)",
            f"<= 1.2x decoded + 64 MB ({1.2 * decoded_mb + 64:.0f} MB)", mb_ours <= 1.2 * decoded_mb + 64)
        row(f"{name}: bytes", f"{s_ours}", f"{s_img} ({s_ours / s_img:.3f}x)", "<= 1.0x", s_ours <= s_img)
        shown = digest(["qpdf", f"--show-object={image_object(ours)}", "--filtered-stream-data", ours])
        exact = shown is not None and shown == digest([make, "--decode", tif])
        row(f"{name}: pixels", "exact" if exact else "differ", "", "exact", exact)

    page, small_pages, large_pages = args.pages.split(":")
    w, h = (int(v) for v in page.split("x"))
    costs = {}
    for pages in (int(small_pages), int(large_pages)):
        tif = os.path.join(work, f"pages-{pages}.tif")
        subprocess.run([make, tif, str(w), str(h), str(pages)], check=True)
        _, t, mb, _ = run([tessaprint, "/S", tif, "/T", tif + ".pdf", "/F", "18"], env)
        costs[pages] = (t / pages, os.path.getsize(tif) / 1e6, mb)
    (small, small_mb, small_peak), (large, large_mb, large_peak) = costs[int(small_pages)], costs[int(large_pages)]
    row(f"{large_pages} grey pages of {w} x {h} ({large_mb:.0f} MB) against {small_pages} ({small_mb:.0f} MB): time a page",
        f"{large * 1000:.0f} ms ({large_peak:.0f} MB peak)", f"{small * 1000:.0f} ms ({small_peak:.0f} MB peak) "
        f"({large / small:.2f}x)", "<= 1.2x", large <= 1.2 * small)

    table = [f"Machine: {where}.", "", "| work | tessaprint | img2pdf / the small file (ratio) | goal | |",
             "|---|---|---|---|---|"]
    table += [f"| {a} | {b} | {c} | {d} | {e} |" for a, b, c, d, e in rows]
    text = "\n".join(table)
    print(text)
    print(f"outputs left in {work}")
    if args.readme:
        write_table(args.readme, text, BEGIN, END)
    return 0


if __name__ == "__main__":
    sys.exit(main())
