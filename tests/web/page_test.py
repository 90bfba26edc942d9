#!/usr/bin/python3
"""The page in headless Chromium, opened from disk with no network, driven as
a user drives it: keys into the focused control, the mouse where a user
clicks, results read back from the page and from Chromium's accessibility
tree.

    page_test.py ZIP_OR_FOLDER COMMAND...

COMMAND runs tavrin-convert: node and its options, then tavrin-convert.js.

A zip is unpacked into a scratch folder first. Exits 77 (skipped) when
python3-selenium, chromium or chromedriver is missing.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import zipfile
from functools import partial
from http.server import SimpleHTTPRequestHandler, ThreadingHTTPServer

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
except ImportError:
    print("skipped: python3-selenium is not installed")
    sys.exit(77)

CHROMIUM, CHROMEDRIVER = "/usr/bin/chromium", "/usr/bin/chromedriver"
PAGE = None
CONVERT = []  # node, its options and tavrin-convert.js


def start_browser(scratch):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    # Headless as root, and nothing reaching for the network.
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-default-apps", "--window-size=640,480", "--user-data-dir=" + scratch):
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"performance": "ALL"})
    return webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        cls.driver = start_browser(os.path.join(cls.scratch.name, "profile"))

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.scratch.cleanup()

    def setUp(self):
        self.driver.get("file://" + PAGE + "/index.html")
        self.wait_until_loaded()

    # -- helpers ----------------------------------------------------------------

    def wait_until_loaded(self):
        self.driver.execute_async_script("const done = arguments[0]; tavrin.ready.then(() => done());")

    def keys(self, *sequence):
        ActionChains(self.driver).send_keys(*sequence).perform()

    def chord(self, modifier, key):
        ActionChains(self.driver).key_down(modifier).send_keys(key).key_up(modifier).perform()

    def alt(self, key):
        self.chord(Keys.ALT, key)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def focused(self):
        return self.js("return document.activeElement.id")

    def text(self, id):
        return self.js("const e = document.getElementById(arguments[0]); return 'value' in e ? e.value : e.textContent", id)

    def choose_from_list(self, name):
        """Opens the focused list with Alt+Down, goes down to the item and presses Enter."""
        self.alt(Keys.DOWN)
        for _ in range(20):
            if self.js("const a = document.activeElement.getAttribute('aria-activedescendant');"
                       "return a && document.getElementById(a).textContent") == name:
                break
            self.keys(Keys.DOWN)
        self.keys(Keys.ENTER)

    def typical_run(self, value="12", source="Inches", target="Centimetres"):
        self.assertEqual(self.focused(), "cboType")
        self.choose_from_list("Length")
        self.keys(Keys.TAB, source, Keys.TAB, value, Keys.TAB, target)
        self.alt("c")

    # -- tests ------------------------------------------------------------------

    def test_typical_run_by_keyboard_alone_and_only_a_choice_refills(self):
        self.typical_run()
        self.assertEqual(self.text("picConverted"), "30.48")
        self.assertEqual(self.text("cboType"), "Length")
        # Enter converts nothing, nor does typing; a typed category name refills nothing.
        self.chord(Keys.SHIFT, Keys.TAB)
        self.keys(Keys.END, "1", Keys.ENTER)
        self.assertEqual(self.text("picConverted"), "30.48")
        for button in ("cmdConvert", "cmdExit"):  # a browser presses a focused button on Enter
            self.js("document.getElementById(arguments[0]).focus()", button)
            self.keys(Keys.ENTER)
        for kind in ("rawKeyDown", "keyUp"):  # Alt+J on a Dvorak keyboard, where QWERTY has C
            self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {"type": kind, "modifiers": 1, "key": "j", "code": "KeyC"})
        self.assertEqual((self.text("picConverted"), self.focused()), ("30.48", "cmdExit"))
        self.js("document.getElementById('cboType').focus()")
        self.keys(Keys.END, Keys.BACKSPACE * 6, "Area", Keys.ENTER)
        self.assertEqual((self.text("cboOriginal"), self.text("cboConverted")), ("Inches", "Centimetres"))
        # Unit text is matched exactly: "inches" has no rule and gives 0.
        self.js("document.getElementById('cboOriginal').focus()")
        self.keys(Keys.END, Keys.BACKSPACE * 6, "inches")
        self.alt("c")
        self.assertEqual(self.text("picConverted"), "0")
        # Choosing a category empties both unit boxes and lists that category's units.
        self.js("document.getElementById('cboType').focus()")
        self.alt(Keys.DOWN)
        self.keys(Keys.ESCAPE)
        self.assertEqual(self.js("return document.getElementById('cboType').getAttribute('aria-expanded')"), "false")
        self.choose_from_list("Area")
        self.assertEqual((self.text("cboType"), self.text("cboOriginal"), self.text("txtOriginal")), ("Area", "", "121"))
        self.assertEqual(self.js("return [...document.querySelectorAll('#cboOriginal-items [role=option]')]"
                                 ".map(o => o.textContent)")[:2], ["mm Square", "cm Square"])

    def test_tab_visits_the_controls_in_the_tables_order_and_goes_round(self):
        order = ["cboType", "cboOriginal", "txtOriginal", "cboConverted", "picConverted", "cmdConvert", "cmdExit"]
        visited = [self.focused()]
        for _ in order:
            self.keys(Keys.TAB)
            visited.append(self.focused())
        self.assertEqual(visited, order + ["cboType"])
        self.chord(Keys.SHIFT, Keys.TAB)
        self.assertEqual(self.focused(), "cmdExit")

    def test_overflow_opens_an_alert_dialog_and_keeps_everything_typed(self):
        self.typical_run("1E+308", "Kilometres", "Millimetres")
        dialog = self.driver.find_element(By.ID, "fault")
        self.assertTrue(dialog.is_displayed())
        self.assertEqual(dialog.get_attribute("role"), "alertdialog")
        self.assertEqual(self.text("fault-caption"), "Tavrin")
        self.assertEqual(self.text("fault-name"), "Overflow")
        self.assertIn("beyond the largest number", self.text("fault-advice"))
        self.assertEqual(self.focused(), "fault-ok")
        self.keys(Keys.ENTER)
        self.assertFalse(dialog.is_displayed())
        self.assertEqual(self.text("picConverted"), "")
        self.assertEqual([self.text(i) for i in ("cboType", "cboOriginal", "txtOriginal", "cboConverted")],
                         ["Length", "Kilometres", "1E+308", "Millimetres"])
        with self.assertRaisesRegex(Exception, "Overflow"):
            self.js("return tavrin.convert('1E+308', 'Kilometres', 'Millimetres')")

    def test_without_its_webassembly_the_form_works_and_convert_says_why_it_cannot(self):
        broken = os.path.join(self.scratch.name, "without-module")
        shutil.copytree(PAGE, broken, ignore=shutil.ignore_patterns("tavrin.js"), dirs_exist_ok=True)
        self.driver.get("file://" + broken + "/index.html")
        self.alt("c")
        self.driver.execute_async_script("const done = arguments[0]; tavrin.ready.catch(() => done());")
        self.assertTrue(self.driver.find_element(By.ID, "fault").is_displayed())
        self.assertEqual((self.text("fault-caption"), self.focused()), ("Tavrin", "fault-ok"))
        self.assertIn("did not load", self.text("fault-name"))

    def test_copy_by_key_and_by_menu_and_nothing_while_empty(self):
        self.keys(Keys.TAB * 4)
        self.assertEqual(self.focused(), "picConverted")
        ActionChains(self.driver).context_click(self.driver.find_element(By.ID, "picConverted")).perform()
        self.assertEqual(self.js("return document.getElementById('copy-item').getAttribute('aria-disabled')"), "true")
        self.keys(Keys.ESCAPE)
        self.js("document.getElementById('cboType').focus()")
        self.typical_run()

        def pasted(expected):
            # The clipboard is written asynchronously: paste until it holds the line.
            for _ in range(20):
                self.js("const t = document.getElementById('txtOriginal'); t.focus(); t.select()")
                self.chord(Keys.CONTROL, "v")
                if self.text("txtOriginal") == expected:
                    break
                time.sleep(0.1)
            return self.text("txtOriginal")

        self.js("document.getElementById('picConverted').focus()")
        self.chord(Keys.CONTROL, "c")
        self.assertEqual(pasted("30.48"), "30.48")
        self.js("document.getElementById('txtOriginal').value = '7'")
        self.alt("c")  # 7 inches
        ActionChains(self.driver).context_click(self.driver.find_element(By.ID, "picConverted")).perform()
        item = self.driver.find_element(By.ID, "copy-item")
        self.assertEqual((item.text, self.focused()), ("Copy", "copy-item"))
        item.click()
        self.assertEqual(pasted("17.78"), "17.78")

    def test_screen_readers_get_names_labels_and_the_result(self):
        self.typical_run()
        self.driver.execute_cdp_cmd("Accessibility.enable", {})
        nodes = self.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
        def field(node, key):
            return (node.get(key) or {}).get("value")
        controls = ("textbox", "combobox", "button", "listbox")
        named = {(field(n, "role"), field(n, "name")): n for n in nodes if field(n, "role") in controls and not n.get("ignored")}
        result = named["textbox", "Converted value"]
        self.assertEqual(field(result, "value"), "30.48")
        props = {p["name"]: p["value"].get("value") for p in result.get("properties", [])}
        self.assertEqual((props.get("readonly"), props.get("live")), (True, "polite"))
        self.assertTrue(props.get("focusable"))
        for name, value in (("Select Type of Units", "Length"), ("From:", "Inches"), ("To:", "Centimetres")):
            self.assertEqual(field(named["combobox", name], "value"), value, name)
            self.assertIn(("button", name), named.keys())  # the list's button, named as the list is
        for role, name in (("textbox", "Value to convert"), ("button", "Convert"), ("button", "Exit")):
            self.assertIn((role, name), named.keys())

    def test_every_rule_gives_the_command_lines_result(self):
        pairs = self.js("""const out = [];
            for (const c of tavrin.categories()) {
              const u = tavrin.units(c);
              for (const s of u.sources) for (const t of u.targets) out.push([s, t]); }
            return out;""")
        self.assertEqual(len(pairs), 474)
        value = "0.1"
        page = self.js("return arguments[0].map(([s, t]) => { try { return tavrin.exact(arguments[1], s, t) + '\\n' +"
                       " tavrin.convert(arguments[1], s, t); } catch (e) { return 'fault: ' + e.message; } })",
                       pairs, value)
        batch = "".join("%s\t%s\t%s\n" % (value, s, t) for s, t in pairs)
        run = lambda *args: subprocess.run(CONVERT + ["--batch"] + list(args), input=batch.encode(),
                                           stdout=subprocess.PIPE, check=True).stdout.decode().split("\n")
        exact, shown = run("--exact"), run()
        self.assertEqual(page, ["%s\n%s" % pair for pair in zip(exact, shown)][:474])

    def test_exit_ends_the_session_visibly_with_a_way_back_and_leaves_the_tab_open(self):
        # A tab with nothing else in its history, which a page could close.
        first = self.driver.current_window_handle
        tab = self.driver.execute_cdp_cmd("Target.createTarget", {"url": "file://" + PAGE + "/index.html"})["targetId"]
        self.driver.switch_to.window(tab)
        try:
            self.wait_until_loaded()
            self.alt("x")
            self.assertIn(tab, self.driver.window_handles)
            self.assertEqual(self.js("return document.getElementById('Form1')"), None)
            self.assertIn("Tavrin has ended.", self.text("ended"))
            self.assertEqual(self.js("return document.activeElement.textContent"), "Start Tavrin again")
            self.keys(Keys.ENTER)
            self.wait_until_loaded()
            self.assertEqual(self.focused(), "cboType")
        finally:
            if tab in self.driver.window_handles:
                self.driver.close()
            self.driver.switch_to.window(first)

    def test_a_narrow_screen_shrinks_the_whole_form_in_proportion(self):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": 300, "height": 500, "deviceScaleFactor": 2, "mobile": True})
        try:
            self.driver.get("file://" + PAGE + "/index.html")
            box = self.js("const r = document.getElementById('Form1').getBoundingClientRect();"
                          "return [r.width, r.height, parseFloat(getComputedStyle("
                          "document.getElementById('txtOriginal')).fontSize)]")
            self.assertLessEqual(box[0], 300 - 16 + 0.5)
            self.assertAlmostEqual(box[1] / box[0], 142 / 316, places=2)
            self.assertAlmostEqual(box[2], 12 * box[0] / 316, places=1)
        finally:
            self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_nothing_goes_to_the_network(self):
        self.driver.get_log("performance")  # what earlier tests left
        self.setUp()
        urls = [entry["message"].split('"url":"', 1)[1].split('"', 1)[0]
                for entry in self.driver.get_log("performance") if '"Network.requestWillBeSent"' in entry["message"]]
        self.assertIn("file://" + PAGE + "/tavrin.js", urls)
        self.assertEqual([u for u in urls if u.split(":", 1)[0] in ("http", "https", "ws", "wss", "ftp")], [])

    def test_served_from_localhost_it_installs_and_works_offline(self):
        class Quiet(SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass
        server = ThreadingHTTPServer(("127.0.0.1", 0), partial(Quiet, directory=PAGE))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        url = "http://127.0.0.1:%d/index.html" % server.server_address[1]
        try:
            self.driver.get(url)
            self.wait_until_loaded()
            self.assertTrue(self.driver.execute_async_script(
                "const done = arguments[0]; navigator.serviceWorker.ready.then(r => done(!!r.active));"))
            errors = self.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
            self.assertEqual(errors, [])
        finally:
            server.shutdown()
            server.server_close()
        self.driver.get(url)  # the server is gone: the worker's copies serve the page
        self.wait_until_loaded()
        self.assertEqual(self.js("return tavrin.convert('12', 'Inches', 'Centimetres')"), "30.48")


def main():
    global PAGE, CONVERT
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    for program in (CHROMIUM, CHROMEDRIVER):
        if not os.access(program, os.X_OK):
            print("skipped: %s is not installed" % program)
            return 77
    source, CONVERT = sys.argv[1], sys.argv[2:]
    with tempfile.TemporaryDirectory() as unpacked:
        if source.endswith(".zip"):
            with zipfile.ZipFile(source) as z:
                z.extractall(unpacked)
                PAGE = os.path.join(unpacked, z.namelist()[0].split("/")[0])
        else:
            PAGE = os.path.abspath(source)
        result = unittest.main(argv=sys.argv[:1], exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
