#!/usr/bin/env python3
"""Times the steps of the exported web page in headless Chromium: opening it,
scrolling to places all over the table, searching and sorting.

Usage: web_page_steps.py --cli BIN --catalogue FILE.xml [--runs 5]

The page is written by `kinovka-cli export`; a copy of it, without its
Content-Security-Policy, gets a script that drives the page as a user's events
would (scroll events on the view, the address's search, clicks on column titles)
and times each step up to the layout it causes, not the painting after it. The
script's findings travel back through the document Chromium dumps.
"""
import argparse
import html
import json
import re
import subprocess
import tempfile
from pathlib import Path

PROBE = r"""
const view = document.getElementById("view"), rows = () => view.querySelectorAll("tr").length;
const timed = step => { const start = performance.now(); step(); view.getBoundingClientRect();
                        view.querySelector("tbody tr:last-child").getBoundingClientRect();
                        return performance.now() - start; };
const scroll = to => timed(() => { view.scrollTop = to; view.dispatchEvent(new Event("scroll")); });
const address = hash => timed(() => { history.replaceState(null, "", hash);
                                      window.dispatchEvent(new HashChangeEvent("hashchange")); });
const sort = column => timed(() => document.querySelectorAll("th button")[column].click());
const steps = {open: performance.now(), rowsAtOpen: rows()};
steps.scrollToEnd = scroll(view.scrollHeight);
steps.scrollToMiddle = scroll(view.scrollHeight / 2);
steps.scrollRandomMax = Math.max(...Array.from({length: 20}, (_, i) => scroll(((i * 7919) % 20) / 20 * view.scrollHeight)));
steps.rowsAfterScrolling = rows();
steps.searchFirst = address("#q=noc");
steps.searchAgain = address("#q=nocx");
steps.searchCleared = address("#");
steps.sortCzechTitleFirst = sort(1);
steps.sortCzechTitleReversed = sort(1);
steps.sortCdNumber = sort(2);
steps.sortNote = sort(6);
return JSON.stringify(steps);
"""

CHROMIUM = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--window-size=1280,800"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--catalogue", required=True)
    parser.add_argument("--runs", type=int, default=5)
    options = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        page = Path(work) / "page.html"
        subprocess.run([options.cli, "export", options.catalogue, str(page)], check=True)
        text = page.read_text(encoding="utf-8")
        text = re.sub(r'<meta http-equiv="Content-Security-Policy"[^>]*>\n', "", text)
        probe = ('<pre id="probe"></pre><script>document.getElementById("probe").textContent = (() => {'
                 + PROBE + "})();</script></body>")
        page.write_text(text.replace("</body>", probe), encoding="utf-8")
        print("page: %.1f MB" % (page.stat().st_size / 1e6))
        runs = []
        for run in range(options.runs):
            profile = Path(work) / ("profile%d" % run)
            dom = subprocess.run(CHROMIUM + ["--user-data-dir=%s" % profile, "--dump-dom", page.as_uri()],
                                 capture_output=True, text=True, check=True).stdout
            runs.append(json.loads(html.unescape(re.search(r'<pre id="probe">(.*?)</pre>', dom, re.S).group(1))))
    for name in runs[0]:
        values = sorted(run[name] for run in runs)
        print("%-24s median %8.1f   max %8.1f%s" % (name, values[len(values) // 2], values[-1],
                                                  "" if name.startswith("rows") else " ms"))


if __name__ == "__main__":
    main()
