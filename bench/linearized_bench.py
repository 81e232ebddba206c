"""First appends to linearized PDFs: img2pdf's own output, which it
linearizes, of 10 and of 1000 small JPEGs. Each first append goes into a
fresh copy of the file; the one to the long file costs at most 1.2x the one
to the short file (medians of five), and the result passes `qpdf --check`
with every page kept and the new one last.
"""
import os
import shutil
import statistics
import subprocess


def linearized_first_append(run, row, tessaprint, env, work, files, short, longer, tries=5):
    """Adds the row; run and row are scale_bench's, files the JPEGs to use."""
    cost, sound = {}, True
    for pages in (short, longer):
        base = os.path.join(work, f"linearized-{pages}.pdf")
        subprocess.run(["img2pdf"] + files[:pages] + ["-o", base], check=True)
        sound = sound and b"/Linearized" in open(base, "rb").read(1024)
        source = files[pages % len(files)]
        times = []
        for k in range(tries):
            pdf = os.path.join(work, f"linearized-{pages}-{k}.pdf")
            shutil.copy(base, pdf)
            code, seconds, _, _ = run([tessaprint, "/S", source, "/T", pdf, "/F", "2", "/+"], env)
            times.append(seconds if code == 0 else float("inf"))
        npages = subprocess.run(["qpdf", "--show-npages", pdf], capture_output=True, text=True).stdout.strip()
        checked = subprocess.run(["qpdf", "--check", pdf], stdout=subprocess.DEVNULL).returncode == 0
        # The old bytes stay: the page went in as an incremental update.
        with open(base, "rb") as old, open(pdf, "rb") as new:
            kept = new.read(os.path.getsize(base)) == old.read()
        # The new page is the last one and holds the JPEG as it was.
        prefix = pdf + "-last"
        subprocess.run(["pdfimages", "-j", "-f", str(pages + 1), "-l", str(pages + 1), pdf, prefix], check=True)
        with open(source, "rb") as jpeg, open(prefix + "-000.jpg", "rb") as shown:
            last = jpeg.read() == shown.read()
        sound = sound and checked and kept and last and npages == str(pages + 1)
        cost[pages] = statistics.median(times)
    row(f"first append to a {longer}- / {short}-page linearized PDF (img2pdf's): time",
        f"{cost[longer] * 1000:.1f} / {cost[short] * 1000:.1f} ms", f"{cost[longer] / cost[short]:.2f}x", "<= 1.2x",
        sound and cost[longer] <= 1.2 * cost[short])
