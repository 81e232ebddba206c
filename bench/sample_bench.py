#!/usr/bin/env python3
"""Decoded samples against img2pdf on the same files in one run.

- black-and-white pages: a mostly white 1-bit A0 PNG at 600 dpi, a Group 4
  page cut out of a TIFF by a page list (`/W`, which decodes it; img2pdf
  gets that page alone), a 1-bit BMP scan and a Group 3 fax TIFF: time and
  PDF bytes;
- grey 300 dpi scans as TIFF (LZW, Deflate, none) and a 2-bit grey PNG:
  time and PDF bytes;
- transparent images (RGBA photo and screenshot PNGs, grey and alpha,
  palette and tRNS, RGBA BMP and TIFF): how many pixels differ from the
  image laid on white exactly. tessaprint's are its image's samples as
  pdfimages writes them; img2pdf keeps the alpha as a soft mask, so its
  page is rendered by pdftoppm at the image's size.

Inputs are made by make_samples. Prints a Markdown table and, with
--readme, puts it into bench/README.md between the sample markers.
"""
import argparse
import os
import subprocess
import sys

from scale_bench import machine, report, run, table_row, workspace

BEGIN = "<!-- sample table begins -->"
END = "<!-- sample table ends -->"


def read_pnm(path):
    """(width, height, RGB bytes) of a binary PGM or PPM file."""
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pixels = data[pos + 1:]
    width, height = int(fields[1]), int(fields[2])
    if fields[0] == b"P5":
        pixels = bytes(v for v in pixels[:width * height] for _ in range(3))
    return width, height, pixels[:width * height * 3]


def differing(expected, got):
    """Pixels whose colour differs between two (width, height, RGB) images;
    every pixel when the sizes differ."""
    (w, h, a), (w2, h2, b) = expected, got
    if (w, h) != (w2, h2) or len(a) != len(b):
        return w * h
    return sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--readme")
    args = parser.parse_args()

    work, env = workspace("tessaprint-samples-")
    tessaprint = os.path.join(args.bin, "tessaprint")
    make = os.path.join(args.bin, "make_samples")
    where = machine()
    rows = []

    def row(*cells):
        rows.append(table_row(*cells))

    def made(name, *options):
        path = os.path.join(work, name)
        subprocess.run([make, options[0], path] + list(options[1:]), check=True, stderr=subprocess.DEVNULL)
        return path

    def against(work_name, source, flags, their_source=None, their_flags=(), time_goal=0.7):
        ours, theirs = source + ".pdf", source + "-img2pdf.pdf"
        # The best of three runs each, the machine's other work swaying single runs.
        t_ours = t_img = float("inf")
        for _ in range(3):
            if os.path.exists(ours):
                os.remove(ours)
            code, seconds, mb_ours, _ = run([tessaprint, "/S", source, "/T", ours] + flags, env)
            t_ours = min(t_ours, seconds)
            _, seconds, mb_img, _ = run(["img2pdf"] + list(their_flags) + [their_source or source, "-o", theirs])
            t_img = min(t_img, seconds)
        s_ours = os.path.getsize(ours) if code == 0 else float("inf")
        s_img = os.path.getsize(theirs)
        goal = f"<= {time_goal}x" if time_goal else ""
        row(f"{work_name}: time", f"{t_ours:.2f} s ({mb_ours:.0f} MB)", f"{t_img:.2f} s, {mb_img:.0f} MB "
            f"({t_ours / t_img:.2f}x)", goal, not time_goal or t_ours <= time_goal * t_img)
        row(f"{work_name}: bytes", f"{s_ours}", f"{s_img} ({s_ours / s_img:.3f}x)", "<= 1.0x", s_ours <= s_img)

    a0 = made("a0.png", "--a0-png")
    against("mostly white 1-bit A0 PNG, 600 dpi (19866 by 28087)", a0, [], their_flags=["--pillow-limit-break"])
    g4 = made("g4.tif", "--g4-pages", "3")
    page = os.path.join(work, "g4-page2.tif")
    subprocess.run(["tiffcp", g4 + ",1", page], check=True)
    against("Group 4 page 2 of 3 cut out with /W 2, decoded (2550 by 3300)", g4, ["/F", "18", "/W", "2"], page)
    against("1-bit BMP scan, 300 dpi", made("scan.bmp", "--bilevel-bmp"), ["/F", "0"])
    against("Group 3 fax TIFF (1728 by 2200, 2-D, strips)", made("fax.tif", "--g3-fax"), ["/F", "18"])
    for kind, name in (("lzw", "LZW"), ("deflate", "Deflate"), ("none", "uncompressed")):
        against(f"grey 300 dpi scan, {name} TIFF", made(f"grey-{kind}.tif", "--grey-scan", kind), ["/F", "18"])
    against("2-bit grey PNG, 300 dpi", made("grey2.png", "--grey2-png"), [], time_goal=0)

    for kind, name in (("photo-png", "RGBA photo PNG"), ("screenshot-png", "RGBA screenshot PNG"),
                       ("grey-alpha-png", "grey and alpha PNG"), ("palette-trns-png", "palette and tRNS PNG"),
                       ("rgba-bmp", "RGBA BMP"), ("rgba-tiff", "RGBA TIFF")):
        expected_path = os.path.join(work, kind + ".ppm")
        source = made(kind + "." + kind.split("-")[-1], "--alpha", kind, expected_path)
        expected = read_pnm(expected_path)
        ours, theirs = source + ".pdf", source + "-img2pdf.pdf"
        run([tessaprint, "/S", source, "/T", ours], env)
        subprocess.run(["pdfimages", ours, source + "-ours"], check=True)
        extracted = [n for n in os.listdir(work) if n.startswith(os.path.basename(source) + "-ours")]
        got = read_pnm(os.path.join(work, extracted[0])) if len(extracted) == 1 else (0, 0, b"")
        subprocess.run(["img2pdf", source, "-o", theirs], stderr=subprocess.DEVNULL)
        shown = (0, 0, b"")
        w, h = expected[0], expected[1]
        if subprocess.run(["pdftoppm", "-scale-to-x", str(w), "-scale-to-y", str(h), "-singlefile", theirs,
                           theirs + "-page"], stderr=subprocess.DEVNULL).returncode == 0:
            shown = read_pnm(theirs + "-page.ppm")
        wrong, their_wrong, total = differing(expected, got), differing(expected, shown), expected[0] * expected[1]
        theirs_text = f"{their_wrong} ({100.0 * their_wrong / total:.1f}%)" if shown[0] else "refused"
        row(f"{name}: pixels off exact compositing on white", f"{wrong} of {total}", theirs_text, "0", wrong == 0)

    report(where, rows, work, args.readme, BEGIN, END)
    return 0


if __name__ == "__main__":
    sys.exit(main())
