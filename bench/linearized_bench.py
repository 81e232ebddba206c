"""First appends to linearized PDFs: img2pdf's own output, which it
linearizes, of 10 and of 1000 small JPEGs. Each first append goes into a
fresh copy of the file, the two sizes taking turns so that the machine's
other load weighs on both alike; the one to the long file costs at most
1.2x the one to the short file in time (medians; the bytes read are shown
beside it), and the result passes `qpdf --check` with the old bytes and
every page kept and the new JPEG last, byte for byte.
"""
import os
import shutil
import statistics
import subprocess


def linearized_first_append(run, row, tessaprint, env, work, files, short, longer, tries=9):
    """Adds the rows; run and row are scale_bench's, files the JPEGs to use."""
    sizes = (short, longer)
    bases = {pages: os.path.join(work, f"linearized-{pages}.pdf") for pages in sizes}
    sound = True
    for pages, base in bases.items():
        subprocess.run(["img2pdf"] + files[:pages] + ["-o", base], check=True)
        with open(base, "rb") as f:
            sound = sound and b"/Linearized" in f.read(1024)
    times = {pages: [] for pages in sizes}
    reads = {pages: [] for pages in sizes}
    for k in range(tries):
        for pages in sizes:
            pdf = os.path.join(work, f"linearized-{pages}-appended.pdf")
            shutil.copy(bases[pages], pdf)
            code, seconds, _, _ = run([tessaprint, "/S", files[pages], "/T", pdf, "/F", "2", "/+"], env, reads[pages])
            times[pages].append(seconds if code == 0 else float("inf"))
    for pages in sizes:
        pdf = os.path.join(work, f"linearized-{pages}-appended.pdf")
        npages = subprocess.run(["qpdf", "--show-npages", pdf], capture_output=True, text=True).stdout.strip()
        checked = subprocess.run(["qpdf", "--check", pdf], stdout=subprocess.DEVNULL).returncode == 0
        # The old bytes stay: the page went in as an incremental update.
        with open(bases[pages], "rb") as old, open(pdf, "rb") as new:
            kept = new.read(os.path.getsize(bases[pages])) == old.read()
        # The new page is the last one and holds the JPEG as it was.
        last = pdf + "-last"
        subprocess.run(["pdfimages", "-j", "-f", str(pages + 1), "-l", str(pages + 1), pdf, last], check=True)
        with open(files[pages], "rb") as jpeg, open(last + "-000.jpg", "rb") as shown:
            sound = sound and checked and kept and npages == str(pages + 1) and jpeg.read() == shown.read()
    t_short, t_long = statistics.median(times[short]), statistics.median(times[longer])
    r_short, r_long = statistics.median(reads[short]), statistics.median(reads[longer])
    name = f"first append to a {longer}- / {short}-page linearized PDF (img2pdf's)"
    row(f"{name}: time", f"{t_long * 1000:.1f} / {t_short * 1000:.1f} ms", f"{t_long / t_short:.2f}x", "<= 1.2x",
        sound and t_long <= 1.2 * t_short)
    row(f"{name}: bytes read", f"{r_long / 1e3:.0f} / {r_short / 1e3:.0f} kB "
        f"(file {os.path.getsize(bases[longer]) / 1e6:.1f} MB)", f"{r_long / r_short:.2f}x", "", sound)
