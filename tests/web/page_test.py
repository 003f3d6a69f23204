#!/usr/bin/python3
"""The calculator page in headless Chromium: entries, refusals, the drawing, the report.

    /usr/bin/python3 tests/web/page_test.py [BUILD_WEB_DIR] [--cli BENDWISE_CLI]
                                            [--screenshot PNG]

Opens BUILD_WEB_DIR/index.html (build-web/ by default) from disk, as a user would after
scripts/build-web.sh, and drives it with the keyboard and the mouse through WebDriver.
The survey texts the page shows are compared with what the native bendwise-cli (--cli,
else $BENDWISE_NATIVE_CLI, else build/cli/bendwise-cli) prints for the same inputs.
Needs Debian's chromium, chromium-driver and python3-selenium.
"""
import functools
import http.server
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import unittest
import urllib.parse
import urllib.request
import xml.etree.ElementTree as ET

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 and not sys.argv[1].startswith("-")
                        else os.path.join(ROOT, "build-web"))
SCREENSHOT = sys.argv[sys.argv.index("--screenshot") + 1] if "--screenshot" in sys.argv else None
CLI = os.path.abspath(sys.argv[sys.argv.index("--cli") + 1] if "--cli" in sys.argv
                      else os.environ.get("BENDWISE_NATIVE_CLI",
                                          os.path.join(ROOT, "build", "cli", "bendwise-cli")))
WORKED_BLOCK = os.path.join(ROOT, "tests", "cli", "data", "radius1000_delta30_az45.txt")
# axe-core, put there by scripts/test-web.sh (npm), or wherever $BENDWISE_AXE says.
AXE = os.environ.get("BENDWISE_AXE", os.path.join(
    os.path.expanduser("~"), ".cache", "bendwise-axe", "node_modules", "axe-core", "axe.min.js"))

# Indicators: the pair is radius + L arc at the start.
START_PAIR = {"radiusIndicator", "lengthArcIndicator"}

# The page's survey inputs and the bendwise-cli option each one is; the station/offset
# input takes several points, a blank apart, one --station-offset each.
SURVEY_OPTIONS = {
    "pi-station": "--pi-station", "pc-station": "--pc-station", "stationing": "--stationing",
    "stakeout-interval": "--stakeout", "offsets": "--offsets", "setup": "--setup",
    "backsight": "--backsight", "station-offset": "--station-offset",
    "spiral-length": "--spiral", "pc-at": "--pc", "pi-at": "--pi", "unit": "--unit",
    "first-point": "--first-point",
}

# Curves with spirals, entered through the address (bendwise-cli's words) and the survey
# inputs: right and left, feet and metres, placed from the PI and from the PC (the TS),
# stations and stakes, and one Delta too small for its spirals.
SPIRAL_CURVES = [
    (["radius=1000", "delta=30", "inbound-az=45"],
     {"spiral-length": "200", "pi-station": "25+50", "stakeout-interval": "50",
      "pi-at": "5000,2000"}),
    (["packed=off", "radius=300", "delta=40.5", "inbound-az=120", "left=on"],
     {"spiral-length": "60", "unit": "m", "pi-station": "12+50", "stakeout-interval": "20",
      "pc-at": "1000,1000"}),
    (["degree-arc=4", "delta=52 30"], {"spiral-length": "150", "unit": "feet"}),
    (["radius=1000", "delta=3"], {"spiral-length": "300"}),
]

# Entries as bendwise-cli words, opened as the page's address: the page's fields must
# equal bendwise-cli's --fields for the same words.
FRAGMENTS = [
    ["radius=1000", "delta=30", "inbound-az=45"],
    ["packed=off", "degree-chord=2.5", "tangent=300", "left=on"],
    ["chord=500", "half-delta=12 30 15", "acres=on", "inbound-az=N 45 30 E"],
    ["radius=900", "radius=950", "larc=400", "radius=1000"],
    # Back to the start curve midway: the words kept become none, then grow again.
    ["radius=1000", "radius=5729.578", "tangent=200", "left=on", "left=off", "delta=20"],
]

# Hostile addresses: (fragment, what the status line or the message says). Nothing of
# them may run or become markup.
HOSTILE_FRAGMENTS = [
    ("radius=<img src=x onerror=alert(1)>",
     "text for 'radius' has 28 characters; a field holds 16"),
    ("radius=<b>1</b>&delta=<i>", "Invalid input"),
    ("onerror=alert(1)&external=5", "unknown field 'onerror'"),
    ("radius=%E0%A4%A", "is not an entry"),
]

# Stored sessions that are not what the page writes: each must be ignored without harm.
CORRUPT_SESSIONS = [
    "{not json",
    json.dumps([1, 2]),
    json.dumps({"words": [["radius", "<img src=x onerror=alert(1)>"]], "inputs": {"pi-station": {"a": 1}},
                "report": 5, "boxes": {"points-major": "yes"}, "pointsUsed": ["x"]}),
    json.dumps({"words": "radius=1000", "inputs": ["pi-station"], "report": ["a"]}),
    json.dumps({"words": [["radius", 5]], "pointsUsed": [1, 2, 3, 4, 0, 5], "boxes": []}),
]

# Curves from points, then the stations section: (fit option, PC and second and PT, major
# arc, tolerance or None for the page's 0.02 unchanged, the stations section's inputs).
CURVES_FROM_POINTS = [
    ("--inverse",
     ["5000,2000", "4292.893218813452,2707.106781186548", "5258.819045102521,2448.2877360840266"],
     False, None,
     {"pc-station": "10+00", "stakeout-interval": "100", "offsets": "-5,5",
      "station-offset": "5100,2150", "setup": "5000,2000", "backsight": "6000,2000"}),
    ("--three-points", ["1000,1000", "1100,1180", "1050,1400"], False, None,
     {"pi-station": "25+50", "stationing": "chord", "stakeout-interval": "50",
      "offsets": "-10", "station-offset": "1100,1180 1000,900",
      "setup": "1200,1200", "backsight": "1000,1000"}),
    ("--pc-pi-pt", ["5000,2000", "5189.4687,2189.4687", "5448.2877,2258.8190"], False, "0.05",
     {"pi-station": "3+12.5", "stakeout-interval": "75", "offsets": "2.5,-2.5",
      "setup": "5100,2100", "backsight": "5000,2000"}),
    ("--inverse", ["0,0", "-500,0", "-500,500"], True, "0.001",
     {"pc-station": "0+00", "stakeout-interval": "200", "station-offset": "-1000,0 100,-30"}),
]

# Points that make no curve: collinear, the PT off the PC's radius, unequal tangents.
REFUSED_POINTS = [
    ("--three-points", ["5000,2000", "5100,2100", "5250,2250"], None),
    ("--inverse", ["5000,2000", "4292.893218813452,2707.106781186548", "5258.9,2448.3"], "0.02"),
    ("--pc-pi-pt", ["5000,2000", "5189.4687,2189.4687", "5448.2877,2300"], "0.02"),
]


def chromium(prefs=None, strategy="normal", size="1280,1000"):
    """A headless Chromium of its own (a fresh profile), for a setting the test class's
    browser does not have: a preference, or commands that do not wait for the page."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                 f"--window-size={size}"):
        options.add_argument(flag)
    if prefs:
        options.add_experimental_option("prefs", prefs)
    options.page_load_strategy = strategy
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


# Layout shifts not caused by input, summed from the start of each page (CLS).
SHIFT_OBSERVER = """
    self.bendwiseShift = 0;
    new PerformanceObserver((list) => {
        for (const e of list.getEntries()) if (!e.hadRecentInput) self.bendwiseShift += e.value;
    }).observe({type: 'layout-shift', buffered: true});"""


def measured(driver, url=None):
    """Opens `url` (or stays) and returns, once the engine answers, the page's own figures:
    bytes over the wire, ms until it could be typed into and until the engine answered,
    and the layout shift so far."""
    if url:
        driver.get("about:blank")
        driver.get(url)
    WebDriverWait(driver, 60).until(
        lambda d: d.execute_script("return document.body.dataset.ready === 'true'"))
    return driver.execute_script("""
        const all = [...performance.getEntriesByType('navigation'),
                     ...performance.getEntriesByType('resource')];
        return {bytes: all.reduce((sum, e) => sum + e.transferSize, 0),
                names: all.map((e) => e.name.split('/').pop()),
                typeable: Number(document.body.dataset.typeableMs),
                ready: Number(document.body.dataset.readyMs),
                shift: self.bendwiseShift};""")


def type_into(driver, name, text, key=Keys.TAB):
    """Clicks the field `name`, selects its text and types `text` (empty: clears it), then
    `key`."""
    element = driver.find_element(By.ID, name)
    element.click()
    element.send_keys(Keys.CONTROL, "a")
    element.send_keys(text or Keys.BACKSPACE, key)


def run_cli(args):
    done = subprocess.run([CLI] + args, capture_output=True, text=True, check=False,
                          env=dict(os.environ, LC_ALL="C"))
    return done.returncode, done.stdout, done.stderr


def mask_stamp(data):
    """LandXML's date and time of writing, the only bytes two runs may differ in."""
    return re.sub(rb' date="[^"]*" time="[^"]*"', b' date="D" time="T"', data, count=1)


def points_args(fit, points, major, tolerance):
    return [fit] + points + (["--major"] if major else []) + (
        ["--tolerance", tolerance] if tolerance is not None else [])


def survey_args(inputs):
    args = []
    for name, text in inputs.items():
        values = text.split() if name == "station-offset" else [text]
        for value in values:
            args += [SURVEY_OPTIONS[name], value]
    return args


class Quiet(http.server.SimpleHTTPRequestHandler):
    """The test's own static server for the page, silent, with the manifest's and the
    module's types. It sends build-web's .gz copies gzipped, as a static server set up to
    send precompressed files does."""
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".webmanifest": "application/manifest+json", ".wasm": "application/wasm"}

    # Set by a test to hold back the module until it is set: the page before its engine.
    module_gate = None

    def do_GET(self):
        path = self.translate_path(self.path)
        if self.module_gate is not None and path.endswith("bendwise.wasm"):
            self.module_gate.wait(30)
        if "gzip" not in self.headers.get("Accept-Encoding", "") or not os.path.isfile(path + ".gz"):
            return super().do_GET()
        with open(path + ".gz", "rb") as f:
            body = f.read()
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        return None

    def end_headers(self):
        # Nothing in the browser's own HTTP cache: offline, only the worker's cache answers.
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, *args):
        pass


class Served:
    """build-web copied into a folder of its own and served from a new port (a new origin:
    no service worker, cache or storage of an earlier test)."""

    def __enter__(self):
        self.folder = tempfile.mkdtemp(prefix="bendwise-served-")
        for name in os.listdir(BUILD):
            if os.path.isfile(os.path.join(BUILD, name)):
                shutil.copy(os.path.join(BUILD, name), self.folder)
        handler = functools.partial(Quiet, directory=self.folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/index.html"
        return self

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()
        shutil.rmtree(self.folder, ignore_errors=True)


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.profile = tempfile.mkdtemp(prefix="bendwise-chromium-")
        cls.downloads = tempfile.mkdtemp(prefix="bendwise-downloads-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-background-networking", "--disable-component-update",
                     "--disable-sync", "--no-first-run", "--window-size=1280,1000",
                     f"--user-data-dir={cls.profile}"):
            options.add_argument(flag)
        options.add_experimental_option("prefs", {
            "download.default_directory": cls.downloads,
            "download.prompt_for_download": False,
        })
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        shutil.rmtree(cls.profile, ignore_errors=True)
        shutil.rmtree(cls.downloads, ignore_errors=True)

    def setUp(self):
        self.open_page()

    def open_page(self, fragment="", keep=False):
        """Opens the page anew (with `keep`, the stored session of the last one)."""
        if self.driver.current_url.startswith("file:"):
            self.driver.execute_script("window.onbeforeunload = null;" +
                                       ("" if keep else "localStorage.clear();"))
        self.driver.get("about:blank")
        self.driver.get("file://" + os.path.join(BUILD, "index.html") +
                        (f"#{fragment}" if fragment else ""))
        WebDriverWait(self.driver, 10).until(
            lambda d: d.execute_script("return document.body.dataset.ready === 'true'"))

    def download(self, button, name):
        """Clicks `button` and returns the bytes of the file `name` it saves."""
        for old in os.listdir(self.downloads):
            os.remove(os.path.join(self.downloads, old))
        self.field(button).click()
        path = os.path.join(self.downloads, name)
        WebDriverWait(self.driver, 10).until(
            lambda d: os.path.exists(path) and not os.path.exists(path + ".crdownload"))
        with open(path, "rb") as got:
            return got.read()

    def field(self, name):
        return self.driver.find_element(By.ID, name)

    def type_into(self, name, text, key=Keys.TAB):
        type_into(self.driver, name, text, key)

    def pair(self):
        return {e.get_attribute("id") for e in
                self.driver.find_elements(By.CSS_SELECTOR, "#calculator input[type=radio]")
                if e.is_selected()}

    def message(self):
        dialog = self.driver.find_element(By.ID, "message")
        WebDriverWait(self.driver, 5).until(lambda d: dialog.get_attribute("open") is not None)
        return self.field("message-text").text

    def test_opens_with_the_window_layout(self):
        self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"), "about")
        self.assertEqual(self.field("radius").get_attribute("value"), "5729.578")
        self.assertEqual(self.pair(), START_PAIR)
        # Every entry and result field by its bendwise-cli name, labelled as in the window.
        label = self.driver.find_element(By.CSS_SELECTOR, "label[for=larc]")
        self.assertEqual(label.text, "L arc")
        for name in ("degree-arc", "half-delta", "inbound-az", "chord-az", "fillet-area",
                     "left", "acres", "packed"):
            self.assertTrue(self.field(name).is_displayed(), name)
        # Tab order as in the window: About, Close, then Radius after its indicator.
        order = [self.driver.switch_to.active_element.get_attribute("id")]
        for _ in range(3):
            self.driver.switch_to.active_element.send_keys(Keys.TAB)
            order.append(self.driver.switch_to.active_element.get_attribute("id"))
        self.assertEqual(order, ["about", "close", "radius", "degree-arc"])

    def test_delta_and_tab_recalculates_and_moves_the_indicators(self):
        drawing = self.driver.find_element(By.ID, "diagram").get_attribute("outerHTML")
        lengths = self.driver.find_element(By.ID, "length-figure").get_attribute("outerHTML")
        self.type_into("delta", "30")
        self.assertEqual(self.field("larc").get_attribute("value"), "3000.000")
        self.assertEqual(self.field("delta").get_attribute("value"), "30 00  0.0")
        self.assertEqual(self.pair(), {"radiusIndicator", "deltaIndicator"})
        # The window's tab order puts Delta/2 before Delta: Tab from Delta reaches L arc.
        self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"), "larc")
        # The drawing follows the curve.
        self.assertNotEqual(self.driver.find_element(By.ID, "diagram").get_attribute("outerHTML"),
                            drawing)
        # So does the length illustration, its arc bar now 3000.000 long; its button goes there.
        figure = self.driver.find_element(By.ID, "length-figure").get_attribute("outerHTML")
        self.assertNotEqual(figure, lengths)
        self.assertIn(">3000.000<", figure)
        self.field("lengthIllustration").click()
        self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"),
                         "lengths-heading")

    def test_refused_entry_shows_its_message_and_the_old_value(self):
        self.type_into("radius", "abc")
        self.assertEqual(self.message(), "Invalid input")
        self.assertEqual(self.field("radius").get_attribute("value"), "5729.578")
        self.field("message-ok").click()
        # Two messages come one after the other: chord 100, then L arc 99.
        self.type_into("chord", "100")
        arc = self.field("larc").get_attribute("value")
        self.type_into("larc", "99", Keys.ENTER)
        self.assertEqual(self.message(), "Larc cannot be less than Chord.")
        self.field("message-ok").send_keys(Keys.ENTER)
        self.assertEqual(self.field("larc").get_attribute("value"), arc)
        self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"), "mid-ordinate")

    def test_text_is_selected_after_a_message_and_the_status_line_follows(self):
        status = self.field("status")
        self.type_into("delta", "12.3")
        self.assertEqual(self.message(), "Not in DDD.MMSS format")
        self.assertEqual(status.text, 'Delta angle "12.3": packed DD.MMSS needs four digits '
                         'after the point; clear "Take packed" for decimal degrees.')
        self.field("message-ok").click()
        # The focus is back in L arc, where Tab went, with its text selected: typing
        # replaces it instead of making 100.000250. The dialog's close event comes as a
        # task of its own, after the click.
        WebDriverWait(self.driver, 5).until(
            lambda d: d.switch_to.active_element.get_attribute("id") != "message-ok")
        active = self.driver.switch_to.active_element
        self.assertEqual(active.get_attribute("id"), "larc")
        active.send_keys("250", Keys.TAB)
        self.assertEqual(self.field("larc").get_attribute("value"), "250.000")
        self.assertEqual(status.text, "")  # accepted with nothing to say: cleared
        # The same message again is said again, then the reason.
        self.type_into("radius", "1000,5")
        self.assertEqual(self.message(), "Invalid input")
        self.assertEqual(status.text,
                         'Radius "1000,5" is not a number (use a point for decimals): '
                         "not accepted.")

    def test_report_downloads_the_worked_block(self):
        self.type_into("radius", "1000")
        self.type_into("delta", "30")
        self.type_into("inbound-az", "45")
        self.field("writeNewFile").click()
        data = self.download("download", "curve-report.txt")
        with open(WORKED_BLOCK, "rb") as want:
            self.assertEqual(len(data), 562)
            self.assertEqual(data, want.read())
        self.field("appendToFile").click()
        self.assertIn("1124 bytes", self.field("report-size").text)

    def test_stations_and_stakeout_table(self):
        self.type_into("degree-chord", "2")
        self.type_into("delta", "18")
        self.type_into("pi-station", "25+50")
        self.driver.find_element(By.CSS_SELECTOR, "#stationing option[value=chord]").click()
        self.type_into("stakeout-interval", "100")
        cells = [td.text for td in self.driver.find_elements(By.CSS_SELECTOR, "#stations td")]
        self.assertEqual(cells, ["25+50.00", "20+96.24", "29+96.24"])
        rows = self.driver.find_elements(By.CSS_SELECTOR, "#stakeout tbody tr")
        self.assertEqual(rows[0].find_element(By.TAG_NAME, "td").text, "20+96.24")
        self.assertEqual(rows[-1].find_element(By.TAG_NAME, "td").text, "29+96.24")
        self.type_into("pi-station", "12+3x")
        self.assertIn("'12+3x' is not a station", self.field("survey-error").text)

    def text_of(self, name):
        return self.field(name).get_property("textContent")

    def enter_points(self, fit, points, major, tolerance):
        self.driver.find_element(By.CSS_SELECTOR, f"input[name=fit][value='{fit}']").click()
        for name, text in zip(("point-first", "point-second", "point-third"), points):
            self.type_into(name, text)
        if major:
            self.field("points-major").click()
        if tolerance is not None:
            self.type_into("points-tolerance", tolerance)

    def enter_survey(self, inputs):
        for name, text in inputs.items():
            if name == "stationing":
                self.driver.find_element(
                    By.CSS_SELECTOR, f"#stationing option[value={text}]").click()
            else:
                self.type_into(name, text)

    def test_curve_from_points_and_its_field_work_print_as_the_cli(self):
        # The page always asks for the description: so does the command line here. With
        # --fields bendwise-cli prints the 20 display texts and the pair, then the survey.
        for fit, points, major, tolerance, inputs in CURVES_FROM_POINTS:
            with self.subTest(fit=fit, points=points):
                self.setUp()
                status, out, err = run_cli(["--fields", "--describe"] +
                                           points_args(fit, points, major, tolerance) +
                                           survey_args(inputs))
                self.assertEqual((status, err), (0, ""))
                lines = out.splitlines(keepends=True)
                fields, survey = lines[:21], "".join(lines[21:])
                self.assertTrue(fields[-1].startswith("pair="), fields[-1])
                inverse = "".join(survey.splitlines(keepends=True)[:1 + next(
                    i for i, line in enumerate(survey.splitlines()) if line.startswith("Held"))])

                self.enter_points(fit, points, major, tolerance)
                self.assertEqual(self.text_of("inverse-text"), inverse)
                self.assertEqual(self.text_of("points-status"), "")
                self.field("use-points").click()
                self.enter_survey(inputs)
                self.assertEqual(self.field("survey-error").text, "")
                self.assertEqual(self.text_of("survey-text"), survey)
                for line in fields[:-1]:
                    name, text = line.rstrip("\n").split("=", 1)
                    self.assertEqual(self.field(name).get_attribute("value"), text, name)

    def test_points_that_make_no_curve_are_refused_in_words(self):
        prefix = "bendwise-cli: no curve from the points: "
        for fit, points, tolerance in REFUSED_POINTS:
            with self.subTest(fit=fit, points=points):
                self.setUp()
                status, out, err = run_cli(points_args(fit, points, False, tolerance))
                self.assertEqual((status, out), (1, ""))
                self.assertTrue(err.startswith(prefix) and err.endswith("\n"), err)
                refusal = err[len(prefix):-1]
                radius = self.field("radius").get_attribute("value")
                survey = self.text_of("survey-text")

                self.enter_points(fit, points, False, tolerance)
                self.assertEqual(self.text_of("points-status"),
                                 f"No curve from the points: {refusal}")
                self.assertIn(f"\nRefused      {refusal}\n", self.text_of("inverse-text"))
                self.assertFalse(self.field("use-points").is_enabled())
                self.assertEqual(self.field("radius").get_attribute("value"), radius)
                self.assertEqual(self.text_of("survey-text"), survey)

    def test_reasons_name_the_page_inputs_not_the_options(self):
        # (input, text, the label the reason starts with); the stations rows need a curve
        # from points in use, and are entered one after the other.
        self.enter_points("--inverse", CURVES_FROM_POINTS[0][1], False, None)
        self.field("use-points").click()
        cases = [
            ("point-third", "5258.8 2448.3", "PT", "points-status"),
            ("point-second", "", None, "points-status"),
            ("points-tolerance", "0", "Tolerance", "points-status"),
            ("pc-station", "12+3x", "PC station", "survey-error"),
            ("pc-station", "", "", "survey-error"),  # nothing to say yet
            ("setup", "5000,2000", "Instrument point", "survey-error"),
            ("backsight", "6000", "Backsight", "survey-error"),
            ("backsight", "6000,2000", "", "survey-error"),
            ("offsets", "5,,6", "Offsets", "survey-error"),
            ("offsets", "5", "Offsets", "survey-error"),  # needs a stakeout
            ("offsets", "", "", "survey-error"),
            ("spiral-length", "-5", "Spiral length", "survey-error"),
            ("spiral-length", "0", "", "survey-error"),  # 0 is no spirals
            ("first-point", "0", "First point number", "survey-error"),
            ("first-point", "", "", "survey-error"),
            ("pi-at", "5000", "PI at", "survey-error"),
            ("pi-at", "5000,2000", "Curve from points", "survey-error"),  # placed twice
            ("pi-at", "", "", "survey-error"),
            ("pi-station", "10+00", "", "survey-error"),
            ("pc-station", "10+00", "PI station", "survey-error"),  # one or the other
        ]
        for name, text, label, shown in cases:
            with self.subTest(input=name, text=text):
                self.type_into(name, text)
                said = self.field(shown).text
                if label is None:
                    self.assertEqual(said, "")
                    self.type_into(name, CURVES_FROM_POINTS[0][1][1])
                elif label == "":
                    self.assertEqual(said, "")
                else:
                    self.assertTrue(said.startswith(label) and said[len(label)] in ": ", said)
                    self.assertNotIn("--", said)
                    if shown == "points-status":
                        self.type_into(name, "0.02" if name == "points-tolerance"
                                       else CURVES_FROM_POINTS[0][1][2])

    def words_fragment(self, words):
        return "&".join(w.split("=", 1)[0] + "=" + urllib.parse.quote(w.split("=", 1)[1], safe="")
                        for w in words)

    def test_spirals_print_and_draw_as_the_cli(self):
        for words, inputs in SPIRAL_CURVES:
            with self.subTest(words=words, inputs=inputs):
                self.open_page(self.words_fragment(words))
                self.enter_survey(inputs)
                svg = os.path.join(self.downloads, "cli.svg")
                status, out, err = run_cli(["--fields", "--describe"] + words +
                                           survey_args(inputs) + ["--svg", svg])
                survey = "".join(out.splitlines(keepends=True)[21:])
                self.assertEqual(self.text_of("survey-text"), survey)
                spiral = self.text_of("spiral-text")
                self.assertTrue(spiral.startswith("Spiral ") and spiral in survey, spiral)
                if status == 0:
                    self.assertEqual(err, "")
                    self.assertEqual(self.text_of("spiral-status"), "")
                    self.assertEqual("stakeout-interval" in inputs,
                                     "\nStakeout     spirals from the TS" in spiral)
                else:
                    prefix = "bendwise-cli: no spirals: "
                    self.assertTrue(err.startswith(prefix), err)
                    self.assertEqual(self.text_of("spiral-status"),
                                     f"No spirals: {err[len(prefix):-1]}")
                with open(svg, "rb") as want:
                    drawing = want.read()
                os.remove(svg)
                self.assertEqual(self.download("export-svg", "curve.svg"), drawing)
                shown = self.driver.find_element(By.ID, "diagram").get_property("textContent")
                self.assertEqual(shown, "".join(ET.fromstring(drawing).itertext()))

    def test_every_file_downloads_as_the_cli_writes_it(self):
        words = ["radius=1000", "delta=30", "inbound-az=45"]
        inputs = {"pi-station": "10+00", "stakeout-interval": "100", "pc-at": "5000,2000",
                  "first-point": "7", "spiral-length": "150", "unit": "m"}
        self.open_page(self.words_fragment(words))
        buttons = self.driver.find_elements(By.CSS_SELECTOR, "#exports button")
        # Before the curve is placed the files that need coordinates are not offered.
        placed = {b.get_attribute("id"): b.is_enabled() for b in buttons}
        self.assertEqual(placed.pop("export-svg"), True)
        self.assertFalse(any(placed.values()), placed)
        self.enter_survey(inputs)
        # Every button is a format the web build of bendwise-cli writes too.
        web_cli = ["node", os.path.join(BUILD, "bendwise-cli.mjs")]
        for button in buttons:
            suffix = button.get_attribute("id")[len("export-"):]
            option = {"svg": "--svg", "csv": "--points", "xml": "--landxml", "dxf": "--dxf"}[suffix]
            with self.subTest(option=option):
                cli_inputs = dict(inputs)
                want_path = os.path.join(self.downloads, f"cli.{suffix}")
                # The first point number goes with the numbered files only.
                if suffix not in ("csv", "xml"):
                    del cli_inputs["first-point"]
                status, _, err = run_cli(["--describe"] + words + survey_args(cli_inputs) +
                                         [option, want_path])
                self.assertEqual((status, err), (0, ""))
                with open(want_path, "rb") as want:
                    want_bytes = want.read()
                got = self.download(button.get_attribute("id"), f"curve.{suffix}")
                if suffix == "xml":
                    got, want_bytes = mask_stamp(got), mask_stamp(want_bytes)
                self.assertEqual(got, want_bytes)
                done = subprocess.run(web_cli + words + survey_args(cli_inputs) +
                                      [option, os.devnull], capture_output=True, check=False)
                self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(self.text_of("export-status"), "")

    def test_copy_buttons_copy_the_block_and_the_table(self):
        words = ["radius=1000", "delta=30", "inbound-az=45"]
        self.open_page(self.words_fragment(words))
        self.enter_survey({"pi-station": "10+00", "stakeout-interval": "100"})
        self.driver.execute_script(
            "window.copied = []; navigator.clipboard.writeText = (text) => "
            "{ window.copied.push(text); return Promise.resolve(); };")
        for button in ("copy-block", "copy-table"):
            self.field(button).click()
            WebDriverWait(self.driver, 5).until(
                lambda d, b=button: self.field(f"{b}-said").text == "Copied")
        block, table = self.driver.execute_script("return window.copied")
        self.assertEqual(block, run_cli(words)[1])
        rows = [[c.get_property("textContent") for c in tr.find_elements(By.CSS_SELECTOR, "th, td")]
                for tr in self.driver.find_elements(By.CSS_SELECTOR, "#stakeout tr")]
        self.assertEqual(table, "".join("\t".join(r) + "\n" for r in rows))

    def test_address_fragment_rebuilds_the_curve_as_the_cli(self):
        for words in FRAGMENTS:
            with self.subTest(words=words):
                status, out, err = run_cli(["--fields"] + words)
                self.assertEqual((status, err), (0, ""))
                want = dict(line.split("=", 1) for line in out.splitlines()[:-1])
                self.open_page(self.words_fragment(words))
                got = {name: self.field(name).get_attribute("value") for name in want}
                self.assertEqual(got, want)
                # The address the page writes back rebuilds the same curve on its own.
                written = self.driver.execute_script("return location.hash.slice(1)")
                self.open_page(written)
                self.assertEqual({n: self.field(n).get_attribute("value") for n in want}, want)
        # Typing changes the address at once.
        self.type_into("radius", "1234.5")
        self.assertIn("radius=1234.5", self.driver.execute_script("return location.hash"))

    def test_hostile_fragment_is_refused_and_runs_nothing(self):
        for fragment, said in HOSTILE_FRAGMENTS:
            with self.subTest(fragment=fragment):
                self.open_page(fragment)
                if said == "Invalid input":
                    self.assertEqual(self.message(), said)
                    self.field("message-ok").click()
                else:
                    self.assertIn(said, self.field("status").text)
                self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, "img, b, i"), [])
                self.assertEqual(self.field("radius").get_attribute("value"), "5729.578")

    def test_reload_keeps_the_report_entries_and_survey(self):
        self.type_into("radius", "1000")
        self.type_into("delta", "30")
        self.type_into("inbound-az", "45")
        self.enter_survey({"pi-station": "10+00", "stakeout-interval": "100"})
        self.field("writeNewFile").click()
        self.field("appendToFile").click()
        leaving = ("const e = new Event('beforeunload', {cancelable: true});"
                   "window.dispatchEvent(e); return e.defaultPrevented;")
        self.assertTrue(self.driver.execute_script(leaving))  # not downloaded: asks
        self.open_page(keep=True)
        self.assertEqual(self.field("radius").get_attribute("value"), "1000.000")
        self.assertEqual(self.field("pi-station").get_attribute("value"), "10+00")
        self.assertTrue(self.driver.find_elements(By.CSS_SELECTOR, "#stakeout tbody tr"))
        with open(WORKED_BLOCK, "rb") as want:
            self.assertEqual(self.download("download", "curve-report.txt"), want.read() * 2)
        self.assertFalse(self.driver.execute_script(leaving))  # downloaded: leaves freely
        # Write New File asks before the two blocks go; keeping them keeps them.
        self.field("writeNewFile").click()
        self.assertIsNotNone(self.field("confirm-new").get_attribute("open"))
        self.field("confirm-new-no").click()
        self.assertIn("1124 bytes", self.field("report-size").text)
        self.field("writeNewFile").click()
        self.field("confirm-new-yes").click()
        self.assertIn("562 bytes", self.field("report-size").text)
        # Close starts the calculator again and keeps the survey inputs.
        self.field("close").click()
        self.assertEqual(self.field("radius").get_attribute("value"), "5729.578")
        self.assertEqual(self.field("pi-station").get_attribute("value"), "10+00")
        for stored in CORRUPT_SESSIONS:
            with self.subTest(stored=stored):
                self.driver.execute_script(
                    "window.onbeforeunload = null; localStorage.setItem('bendwise.page', arguments[0]);",
                    stored)
                self.open_page(keep=True)
                self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, "img"), [])
                self.assertEqual(self.field("pi-station").get_attribute("value"), "")
                self.assertTrue(self.field("download").get_attribute("disabled"))

    def test_typed_before_the_engine_is_taken_when_it_starts(self):
        # The module held back by the server until the test lets it go, so that the engine
        # starts at a chosen moment: (what is typed before, what after). The field with the
        # focus then must keep what was typed, or, untouched and wholly selected after Tab,
        # be replaced by what is typed next.
        cases = [
            ([("radius", "1000\t"), ("delta", "30\t")], []),
            ([("radius", "1000\t"), ("delta", "3")], [("delta", "0\t")]),
            ([("radius", "1000\t"), ("delta", "")], [("delta", "30\t")]),
            ([("radius", "1000\t")], [("degree-arc", ""), ("delta", "30\t")]),
        ]
        for before, after in cases:
            with self.subTest(before=before, after=after), Served() as site:
                gate = threading.Event()
                Quiet.module_gate = gate
                try:
                    self.driver.get("about:blank")
                    self.driver.execute_script("location.href = arguments[0]", site.url)
                    WebDriverWait(self.driver, 10).until(lambda d: d.execute_script(
                        "return document.body && document.body.dataset.typeableMs !== undefined"))
                    for keys in (before, after):
                        for name, text in keys:
                            field = self.field(name)
                            if self.driver.switch_to.active_element != field:
                                field.click()
                                field.send_keys(Keys.CONTROL, "a")
                            if text:
                                field.send_keys(text.replace("\t", Keys.TAB))
                        if keys is before:
                            self.assertNotEqual(self.driver.execute_script(
                                "return document.body.dataset.ready"), "true")
                            gate.set()
                            WebDriverWait(self.driver, 10).until(lambda d: d.execute_script(
                                "return document.body.dataset.ready === 'true'"))
                finally:
                    gate.set()
                    Quiet.module_gate = None
                self.assertEqual([self.field(n).get_attribute("value")
                                  for n in ("radius", "delta", "larc")],
                                 ["1000.000", "30 00  0.0", "523.599"])

    def test_served_once_it_works_with_the_server_gone(self):
        # The page over http from a server of its own, as a field crew opens it once.
        caches = ("const done = arguments[arguments.length - 1];"
                  "caches.keys().then(done, () => done(null));")
        with Served() as site:
            url, served = site.url, site.folder
            self.driver.get(url)
            WebDriverWait(self.driver, 20).until(lambda d: d.execute_script(
                "return navigator.serviceWorker.controller !== null"))
            built = self.driver.execute_async_script(caches)
            self.assertEqual(len(built), 1, built)
            self.assertRegex(built[0], r"^bendwise-[0-9a-f]{16}$")
            # A new build names a new cache; its worker deletes the old one.
            with open(os.path.join(served, "sw.js"), encoding="utf-8") as sw:
                worker = sw.read()
            self.assertIn(built[0], worker)
            with open(os.path.join(served, "sw.js"), "w", encoding="utf-8") as sw:
                sw.write(worker.replace(built[0], "bendwise-feedfacefeedface"))
            os.remove(os.path.join(served, "sw.js.gz"))
            self.driver.execute_script(
                "navigator.serviceWorker.getRegistration().then((r) => r.update());")
            WebDriverWait(self.driver, 20).until(
                lambda d: d.execute_async_script(caches) == ["bendwise-feedfacefeedface"])
        with self.assertRaises(OSError):  # the server is really gone
            urllib.request.urlopen(url, timeout=2)
        self.driver.get("about:blank")
        self.driver.get(url)
        WebDriverWait(self.driver, 10).until(
            lambda d: d.execute_script("return document.body.dataset.ready === 'true'"))
        self.assertTrue(self.driver.execute_script(
            "return navigator.serviceWorker.controller !== null"))
        self.type_into("delta", "30")
        self.assertEqual(self.field("larc").get_attribute("value"), "3000.000")
        self.type_into("radius", "1000")
        self.type_into("inbound-az", "45")
        self.field("writeNewFile").click()
        with open(WORKED_BLOCK, "rb") as want:
            self.assertEqual(self.download("download", "curve-report.txt"), want.read())
        # The manifest and the icon come from the cache too.
        manifest, icon = self.driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            Promise.all([fetch('manifest.webmanifest').then((r) => r.json()),
                         fetch('bendwise.svg').then((r) => r.text())])
                .then(done, (e) => done([{}, String(e)]));""")
        self.assertEqual((manifest.get("name"), manifest.get("display")), ("Bendwise", "standalone"))
        with open(os.path.join(ROOT, "data", "bendwise.svg"), encoding="utf-8") as want:
            self.assertEqual(icon, want.read())
        link = self.driver.find_element(By.CSS_SELECTOR, "link[rel=icon]").get_attribute("href")
        self.assertTrue(link.endswith("/bendwise.svg"), link)

    def test_without_webassembly_the_page_says_so(self):
        script = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                             {"source": "delete window.WebAssembly;"})
        try:
            self.driver.get("about:blank")
            self.driver.get("file://" + os.path.join(BUILD, "index.html"))
            WebDriverWait(self.driver, 10).until(
                lambda d: d.execute_script("return document.body.dataset.failed === 'true'"))
            self.assertIn("cannot start: this browser runs no WebAssembly",
                          self.field("loading").text)
        finally:
            self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument",
                                        {"identifier": script["identifier"]})

    def test_forced_colors_show_which_indicators_are_set(self):
        # Windows High Contrast: the browser paints in the theme's few colours and drops
        # gradients. Each indicator, cut out of the page, against the others: every set
        # one must differ from every unset one in its mean grey.
        self.type_into("delta", "30")
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
            "features": [{"name": "forced-colors", "value": "active"}]})
        try:
            self.assertTrue(self.driver.execute_script(
                "return matchMedia('(forced-colors: active)').matches"))
            grey = {}
            for radio in self.driver.find_elements(By.CSS_SELECTOR, "#calculator input[type=radio]"):
                png = radio.screenshot_as_png
                mean = subprocess.run(["convert", "png:-", "-colorspace", "gray", "-format",
                                       "%[fx:mean]", "info:"], input=png, capture_output=True,
                                      check=True).stdout
                grey[radio.get_attribute("id")] = (radio.is_selected(), float(mean))
        finally:
            self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})
        set_ = [g for on, g in grey.values() if on]
        unset = [g for on, g in grey.values() if not on]
        self.assertEqual(len(set_), 2, grey)
        self.assertGreater(min(abs(a - b) for a in set_ for b in unset), 0.1, grey)

    def test_print_has_the_fields_drawing_and_tables_but_no_buttons(self):
        self.type_into("delta", "30")
        self.enter_survey({"pi-station": "10+00", "stakeout-interval": "100"})
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
        try:
            shown = self.driver.execute_script("""
                const seen = (e) => e.getClientRects().length > 0 &&
                                    getComputedStyle(e).visibility !== 'hidden';
                return {buttons: [...document.querySelectorAll('button')].filter(seen).length,
                        on: ['radius', 'larc', 'diagram', 'length-figure', 'stakeout',
                             'stations'].filter((id) => seen(document.getElementById(id)))};""")
        finally:
            self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})
        self.assertEqual(shown, {"buttons": 0, "on": ["radius", "larc", "diagram", "length-figure",
                                                      "stakeout", "stations"]})

    def test_phone_width_scrolls_no_page_sideways(self):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
        try:
            self.open_page(self.words_fragment(["radius=1000", "delta=30", "inbound-az=45"]))
            self.enter_survey({"pi-station": "10+00", "stakeout-interval": "50",
                               "pc-at": "5000,2000", "offsets": "-5,5"})
            self.assertTrue(self.driver.find_elements(By.CSS_SELECTOR, "#stakeout tbody tr"))
            width = self.driver.execute_script(
                "return [document.documentElement.scrollWidth, window.innerWidth]")
            self.assertLessEqual(width[0], width[1])
            # A check box or radio button is touched through its label.
            small = self.driver.execute_script("""
                return [...document.querySelectorAll('#survey input, #survey select, ' +
                                                     '#points input, .actions button, ' +
                                                     '#calculator input, #calculator button')]
                    .filter((e) => !(e.type === 'radio' && e.disabled))  // indicators
                    .filter((e) => e.offsetParent !== null)
                    .filter((e) => e.type === 'checkbox' || e.type === 'radio'
                        ? (e.closest('label') || document.querySelector(`label[for="${e.id}"]`))
                            .getBoundingClientRect().height < 44
                        : parseFloat(getComputedStyle(e).fontSize) < 16 ||
                          e.getBoundingClientRect().height < 44)
                    .map((e) => e.id || e.value);""")
            self.assertEqual(small, [])
            # Every text of both drawings at 11 px or more as shown (CSS pixels), the
            # spiral curve's drawing too.
            for spiral in ("", "200"):
                self.enter_survey({"spiral-length": spiral})
                tiny = self.driver.execute_script("""
                    return [...document.querySelectorAll('#diagram text, #length-figure text')]
                        .map((t) => [t.textContent, t.getScreenCTM().a *
                                     parseFloat(getComputedStyle(t).fontSize)])
                        .filter(([, size]) => !(size >= 11));""")
                self.assertEqual(tiny, [], spiral)
                self.assertTrue(self.driver.find_elements(By.CSS_SELECTOR, "#diagram text"))
            width = self.driver.execute_script(
                "return [document.documentElement.scrollWidth, window.innerWidth]")
            self.assertLessEqual(width[0], width[1])
        finally:
            self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_phone_layout_holds_with_a_minimum_font_size(self):
        # A browser set to no text below 16 px: a browser of its own with that setting,
        # at 390 px; no sideways page scroll, and no two calculator rows overlapping.
        driver = chromium(prefs={"webkit.webprefs.minimum_font_size": 16}, size="390,844")
        try:
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
            driver.get("file://" + os.path.join(BUILD, "index.html"))
            WebDriverWait(driver, 10).until(
                lambda d: d.execute_script("return document.body.dataset.ready === 'true'"))
            got = driver.execute_script("""
                const rows = new Map();
                for (const e of document.querySelectorAll('#calculator .control')) {
                    if (e.offsetParent === null) continue;
                    const r = e.getBoundingClientRect();
                    const row = getComputedStyle(e).gridRowStart;
                    const [top, bottom] = rows.get(row) || [Infinity, -Infinity];
                    rows.set(row, [Math.min(top, r.top), Math.max(bottom, r.bottom)]);
                }
                const spans = [...rows.values()].sort((a, b) => a[0] - b[0]);
                const overlaps = spans.filter((s, i) => i > 0 && s[0] < spans[i - 1][1] - 0.5);
                const texts = '#calculator .control, .hint, pre.lines, .status';
                return {smallest: Math.min(...[...document.querySelectorAll(texts)]
                            .filter((e) => e.offsetParent !== null)
                            .map((e) => parseFloat(getComputedStyle(e).fontSize))),
                        scroll: document.documentElement.scrollWidth - innerWidth,
                        rows: spans.length, overlaps};""")
        finally:
            driver.quit()
        self.assertGreaterEqual(got["smallest"], 16, got)  # the setting took
        self.assertLessEqual(got["scroll"], 0, got)
        self.assertGreater(got["rows"], 20, got)
        self.assertEqual(got["overlaps"], [], got)

    def test_no_serious_accessibility_violations(self):
        if not os.path.exists(AXE):
            if os.environ.get("CI"):
                self.fail(f"axe-core is missing at {AXE}: scripts/test-web.sh installs it")
            self.skipTest(f"axe-core is not at {AXE} (npm install --prefix "
                          "~/.cache/bendwise-axe axe-core@4)")
        with open(AXE, encoding="utf-8") as script:
            axe = script.read()
        found = []
        # The phone with the circular curve, the wide screen with spirals too.
        for width, height, spiral in ((390, 844, ""), (1280, 900, "200")):
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": width, "height": height, "deviceScaleFactor": 1,
                "mobile": width < 600})
            try:
                self.open_page(self.words_fragment(["radius=1000", "delta=30", "inbound-az=45"]))
                self.enter_survey({"pi-station": "10+00", "stakeout-interval": "50",
                                   "pc-at": "5000,2000", "offsets": "-5,5",
                                   "station-offset": "5100,2150", "setup": "5000,2000",
                                   "backsight": "6000,2000", "spiral-length": spiral})
                self.assertTrue(self.driver.find_elements(By.CSS_SELECTOR, "#stakeout tbody tr"))
                self.assertTrue(self.text_of("survey-text"))
                self.assertEqual(bool(self.text_of("spiral-text")), bool(spiral))
                self.driver.execute_script(axe)
                violations = self.driver.execute_async_script("""
                    const done = arguments[arguments.length - 1];
                    axe.run(document, {resultTypes: ['violations']}).then((r) => {
                        window.axeUnsure = r.incomplete.filter((v) => v.id === 'color-contrast')
                            .flatMap((v) => v.nodes.map((n) => n.target[0]));
                        done(r.violations.filter((v) => ['serious', 'critical'].includes(v.impact))
                            .map((v) => ({id: v.id, nodes: v.nodes.map((n) => ({
                                target: n.target.join(' '), summary: n.failureSummary}))})));
                    },
                        (e) => done([{id: 'axe failed', nodes: [{target: '', summary: String(e)}]}]));""")
                # axe reads a drawing (role img) as one picture: its texts are measured here,
                # each fill against the white of the drawing's box; so is each text axe
                # could not measure (a control overlapped), against its nearest background.
                violations += self.driver.execute_script("""
                    const lum = (c) => {
                        const [r, g, b] = c.match(/[\\d.]+/g).slice(0, 3).map((v) => {
                            v /= 255;
                            return v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4;
                        });
                        return 0.2126 * r + 0.7152 * g + 0.0722 * b;
                    };
                    const out = [];
                    const contrast = (where, fg, bg) => {
                        const [hi, lo] = [lum(fg), lum(bg)].sort((a, b) => b - a);
                        const ratio = (hi + 0.05) / (lo + 0.05);
                        if (!(ratio >= 4.5)) out.push({id: 'text-contrast', nodes: [{
                            target: where, summary: fg + ' on ' + bg + ' is ' +
                                ratio.toFixed(2) + ':1'}]});
                    };
                    const opaque = (c) => !/^rgba\\(.*, 0\\)$|^transparent$/.test(c);
                    for (const target of window.axeUnsure) {
                        const e = document.querySelector(target);
                        if (!e || e.closest('svg')) continue;
                        let b = e;
                        while (b && !opaque(getComputedStyle(b).backgroundColor)) b = b.parentElement;
                        contrast(target, getComputedStyle(e).color,
                                 b ? getComputedStyle(b).backgroundColor : 'rgb(255, 255, 255)');
                    }
                    for (const svg of document.querySelectorAll('.drawing svg')) {
                        const ground = getComputedStyle(svg.parentElement).backgroundColor;
                        const texts = svg.querySelectorAll('text');
                        if (!texts.length) out.push({id: 'svg-text', nodes: [
                            {target: '#' + svg.id, summary: 'no text drawn'}]});
                        for (const t of texts) {
                            contrast('#' + svg.id + ' text "' + t.textContent + '"',
                                     getComputedStyle(t).fill, ground);
                        }
                    }
                    return out;""")
            finally:
                self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
            for v in violations:
                for node in v["nodes"]:
                    found.append(f"{width}x{height} {v['id']} {node['target']}: "
                                 f"{' '.join(node['summary'].split())}")
        self.assertEqual(found, [], "\n" + "\n".join(found))

    def test_budgets_served(self):
        # Served gzipped from a new origin each time, the browser's cache off, in a browser
        # of its own, fresh as a user's opening the page (not one that ran the other tests).
        driver = chromium()
        cdp = driver.execute_cdp_cmd
        cdp("Network.enable", {})
        cdp("Network.setCacheDisabled", {"cacheDisabled": True})
        cdp("Page.addScriptToEvaluateOnNewDocument", {"source": SHIFT_OBSERVER})
        try:
            # Localhost: the whole page (the module its own .wasm, not bendwise-wasm.js)
            # in 250 KB, and the engine answering within 300 ms (the best of three loads).
            readies = []
            for _ in range(3):
                with Served() as site:
                    got = measured(driver, site.url)
                readies.append(got["ready"])
                self.assertIn("bendwise.wasm", got["names"])
                self.assertNotIn("bendwise-wasm.js", got["names"])
                self.assertLessEqual(got["bytes"], 250_000, got)
                self.assertLess(got["shift"], 0.1, got)
            self.assertLessEqual(min(readies), 300, readies)
            # Chromium's "Slow 4G" (562.5 ms latency, 180,000 bytes/s down) and 4x CPU:
            # the calculator can be typed into within 1.5 s (the better of two loads), before
            # the engine answers, and what is typed then is taken when it does. A browser
            # whose commands do not wait for the page's load event (the module delays it),
            # so that the typing starts as soon as the page can be typed into.
            fast = chromium(strategy="none")
            slows = []
            try:
                for command, args in (
                        ("Network.enable", {}),
                        ("Network.setCacheDisabled", {"cacheDisabled": True}),
                        ("Page.addScriptToEvaluateOnNewDocument", {"source": SHIFT_OBSERVER}),
                        ("Network.emulateNetworkConditions", {
                            "offline": False, "latency": 562.5, "downloadThroughput": 180_000,
                            "uploadThroughput": 84_375}),
                        ("Emulation.setCPUThrottlingRate", {"rate": 4})):
                    fast.execute_cdp_cmd(command, args)
                for _ in range(2):
                    with Served() as site:
                        fast.get(site.url)
                        WebDriverWait(fast, 60, poll_frequency=0.02).until(lambda d: d.execute_script(
                            "return document.body && document.body.dataset.typeableMs !== undefined"))
                        for name, text in (("radius", "1000"), ("delta", "30")):
                            type_into(fast, name, text)
                        slow = measured(fast)
                        slows.append(slow)
                        self.assertLess(slow["typeable"], slow["ready"], slow)
                        self.assertLess(slow["shift"], 0.1, slow)
                        # Radius 1000 and Delta 30, both taken.
                        self.assertEqual(fast.find_element(By.ID, "larc").get_attribute("value"),
                                         "523.599")
            finally:
                fast.quit()
            slow = min(slows, key=lambda s: s["typeable"])
            self.assertLessEqual(slow["typeable"], 1500, slows)
            # One entry with every field, both drawings and a 100-row stakeout table to
            # update, layout included: p95 within a 60 Hz frame (16 ms). As in bench/, a
            # missed timing target is printed, not failed, for the machine may be busy
            # (this one has shown 9 to 18 ms for the same page minutes apart); twice the
            # target fails: a page that slow is not merely on a busy machine.
            with Served() as site:
                measured(driver, site.url)
                for name, text in (("radius", "1000"), ("delta", "30"), ("pi-station", "10+00"),
                                   ("stakeout-interval", "5.3")):
                    type_into(driver, name, text)
                # Up to three rounds of 200 entries, the best counted (as for the start-up
                # above): another process on the machine can spoil one round, a slower
                # page spoils all three.
                entries = """
                        const radius = document.getElementById('radius');
                        const texts = ['1000', '1000.5'];
                        const times = [];
                        for (let i = 0; i < 200; ++i) {
                            radius.focus({preventScroll: true});
                            radius.value = texts[i % 2];
                            const t0 = performance.now();
                            radius.blur();
                            document.body.getBoundingClientRect();
                            times.push(performance.now() - t0);
                        }
                        return [times, document.querySelectorAll('#stakeout tbody tr').length];"""
                driver.execute_script(entries)  # the page's JIT warmed up, not counted
                rounds = []
                while len(rounds) < 3 and (not rounds or min(p for p, _, _ in rounds) > 16):
                    times = driver.execute_script(entries)
                    durations = sorted(times[0])
                    rounds.append((durations[int(0.95 * len(durations))], durations, times[1]))
                # Printed, not asserted: the same with the table on the screen, where the
                # browser lays it out on every entry.
                driver.execute_script("document.getElementById('stakeout').scrollIntoView()")
                shown = sorted(driver.execute_script(entries)[0])
                # A figure for bench/README.md: the engine's entry call alone, once the
                # browser has compiled the module with its optimising tier.
                micros = driver.execute_async_script("""
                    const done = arguments[arguments.length - 1];
                    createBendwise().then((m) => {
                        const entry = m.cwrap('bw_entry', 'number', ['string', 'string', 'number']);
                        const texts = ['1000', '1000.5'];
                        for (let i = 0; i < 20000; ++i) entry('radius', texts[i % 2], 1);
                        const n = 5000;
                        const t0 = performance.now();
                        for (let i = 0; i < n; ++i) entry('radius', texts[i % 2], 1);
                        done((performance.now() - t0) * 1000 / n);
                    });""")
                if SCREENSHOT:
                    driver.set_window_size(1280, 1320)
                    driver.save_screenshot(SCREENSHOT)
                    driver.set_window_size(1280, 1000)
            p95, durations, rows = min(rounds, key=lambda r: r[0])
            print(f"\nlocalhost: {readies} ms to the engine, {got['bytes']} bytes; slow 4G"
                  f" and 4x CPU: typeable {slow['typeable']} ms, engine {slow['ready']} ms,"
                  f" layout shift {slow['shift']:.3f};"
                  f" entry with {rows} rows: median {durations[100]:.1f} ms, p95 {p95:.1f} ms"
                  f" {'ok' if p95 <= 16 else 'MISSED'} against 16 ms"
                  f" (rounds: {', '.join(f'{r[0]:.1f}' for r in rounds)}), with the table on"
                  f" the screen median {shown[100]:.1f} ms, p95 {shown[190]:.1f} ms;"
                  f" engine entry call {micros:.2f} us", file=sys.stderr)
            self.assertGreaterEqual(rows, 100)
            self.assertLessEqual(p95, 32, durations)
        finally:
            driver.quit()

if __name__ == "__main__":
    args = [a for a in sys.argv[:1]]
    result = unittest.main(argv=args, exit=False, verbosity=2).result
    failed = len(result.failures) + len(result.errors)
    skipped = len(result.skipped)
    print(f"{result.testsRun - failed - skipped} passed, {failed} failed"
          + (f", {skipped} skipped" if skipped else ""))
    sys.exit(1 if failed else 0)
