#!/usr/bin/python3
"""The page's size and start-up, beside a plain page (bench/, not a test).

    /usr/bin/python3 bench/web_startup.py [PAGE_FOLDER] [RUNS]

PAGE_FOLDER defaults to build-web/ui/web/tavrin-1.00-web (bash scripts/web.sh
builds it), RUNS to 25. Prints the folder's size, then loads, in one headless
Chromium and taking turns, the page and a plain HTML page with the same
eleven controls (three lists, a text box, an output box, four labels, two
buttons) whose script fills the category list from an array and attaches
the buttons' handlers, with no WebAssembly; both from disk. A page is usable
when its category list holds the 15 categories and its script has attached
its handlers: each page's script defines window.tavrin as its last step, and
a script injected before each load notes that moment (milliseconds from the
start of the navigation); for the page also when tavrin.ready resolves, its
WebAssembly ready to convert (Convert pressed before then converts then).
Prints the medians and their ratio; they vary with the machine's load.
"""
import glob
import os
import statistics
import sys
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

PLAIN = """<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Plain</title>
<style>#f{position:relative;width:316px;height:142px;font:11px serif}#f>*{position:absolute;margin:0}</style>
</head><body><div id="f">
<select id="cboType" style="left:8px;top:16px;width:129px"></select>
<select id="cboOriginal" style="left:8px;top:56px;width:145px"></select>
<input id="txtOriginal" style="left:8px;top:88px;width:145px">
<select id="cboConverted" style="left:168px;top:56px;width:145px"></select>
<div id="picConverted" style="left:168px;top:88px;width:145px;height:25px;border:2px inset"></div>
<div id="Label1" style="left:96px;top:128px">credit</div>
<label id="Label2" for="cboOriginal" style="left:8px;top:40px">From:</label>
<label id="Label3" for="cboConverted" style="left:168px;top:40px">To:</label>
<label id="Label4" for="cboType" style="left:8px;top:0">Select Type of Units</label>
<button id="cmdConvert" style="left:8px;top:120px">Convert</button>
<button id="cmdExit" style="left:280px;top:120px">Exit</button>
</div><script>
const names = %s;
const list = document.getElementById('cboType');
for (const n of names) list.add(new Option(n));
list.selectedIndex = -1;
document.getElementById('cmdConvert').addEventListener('click', () => {
  document.getElementById('picConverted').textContent = document.getElementById('txtOriginal').value;
});
document.getElementById('cmdExit').addEventListener('click', () => document.body.replaceChildren());
window.tavrin = { categories: () => names };
</script></body></html>
"""

# Notes when a page's script defines window.tavrin, having filled the
# category list and attached its handlers, and when the page's WebAssembly
# is ready to convert.
WATCH = """
let api;
Object.defineProperty(window, 'tavrin', {
  configurable: true,
  get: () => api,
  set: (value) => {
    api = value;
    window.usableAt = performance.now();
    window.filled = document.querySelectorAll('#cboType option, #cboType-items [role=option]').length;
    if (value.ready) value.ready.then(() => { window.convertsAt = performance.now(); });
  },
});
"""


def folder_size(folder):
    return sum(os.path.getsize(f) for f in glob.glob(os.path.join(folder, "**"), recursive=True) if os.path.isfile(f))


def main():
    folder = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                             os.path.join(ROOT, "build-web", "ui", "web", "tavrin-1.00-web"))
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 25
    size = folder_size(folder)
    print("folder %s: %d bytes (%.1f KiB), %s the 400 KB (400,000 bytes) budget"
          % (folder, size, size / 1024, "within" if size <= 400_000 else "OVER"))

    scratch = tempfile.TemporaryDirectory()
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + os.path.join(scratch.name, "profile")):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.get("file://" + folder + "/index.html")
        driver.execute_async_script("const done = arguments[0]; tavrin.ready.then(() => done());")
        categories = driver.execute_script("return tavrin.categories()")
        plain = os.path.join(scratch.name, "plain.html")
        with open(plain, "w") as f:
            f.write(PLAIN % repr(categories))
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": WATCH})
        pages = {"plain": "file://" + plain, "tavrin": "file://" + folder + "/index.html"}
        times = {name: [] for name in pages}
        converts = []
        for run in range(runs + 1):  # the first round warms up and is not counted
            for name, url in pages.items():
                driver.get("about:blank")
                driver.get(url)
                usable = driver.execute_async_script("""const done = arguments[0];
                    (function poll() { if (window.usableAt !== undefined) done(window.usableAt);
                                       else setTimeout(poll, 1); })();""")
                if driver.execute_script("return window.filled") != len(categories):
                    raise SystemExit("%s: the category list is not full when its script is done" % name)
                if run > 0:
                    times[name].append(usable)
                if run > 0 and name == "tavrin":
                    converts.append(driver.execute_async_script("""const done = arguments[0];
                        (function poll() { if (window.convertsAt !== undefined) done(window.convertsAt);
                                           else setTimeout(poll, 1); })();"""))
    finally:
        driver.quit()
        scratch.cleanup()
    medians = {name: statistics.median(t) for name, t in times.items()}
    for name in pages:
        print("%-7s usable after %6.1f ms (median of %d; from %.1f to %.1f)"
              % (name, medians[name], runs, min(times[name]), max(times[name])))
    print("ratio tavrin / plain = %.2f (the aim: at most 1.5)" % (medians["tavrin"] / medians["plain"]))
    print("tavrin  converts after %6.1f ms (median; from %.1f to %.1f)"
          % (statistics.median(converts), min(converts), max(converts)))


if __name__ == "__main__":
    main()
