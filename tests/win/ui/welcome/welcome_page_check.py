#!/usr/bin/env python3
"""Checks the welcome page as the setup writes it to disk, on the host.

    welcome_page_check.py PAGE_DIR IMAGES_DIR WORK_DIR ARTIFACTS_DIR

PAGE_DIR holds index.htm and welcome_style.css, IMAGES_DIR the nine generated pictures. The
folder is laid out under WORK_DIR as the finish dialog lays it out (index.htm behind a UTF-8 mark,
the style sheet beside it, the pictures under images), then:
  - the page must be valid XHTML 1.0 Strict (xmllint, DTD from the local XML catalog, no network);
  - headless Chromium opens it: every request (style sheet and pictures, direct or through the
    style sheet) must succeed, every picture must be asked for, the title, headings and links
    must be the page's own; a screenshot goes to ARTIFACTS_DIR/welcome_page.png.
"""
import base64
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

PICTURES = ["img1.jpg", "img2.jpg", "img3.jpg", "title-enc.jpg", "bg-main.jpg", "tick.jpg",
            "main-bullet.gif", "1.gif", "2.gif"]
TITLE = "Vostrel Outlook Enclosa has been installed successfully"
HEADINGS_2 = ["How does it work?", "How to define my own phrases that trigger an attachment alert?"]
LINKS = [("Learn more about configuration of the program", "/freeware/outlook-enclosa/", "?sts=1143"),
         ("See other free Outlook Add-ons from Vostrel", "/downloads/freeware/", "?sts=1143")]
# The inline pictures at the sizes they are carried in.
INLINE_SIZES = {"img1.jpg": (601, 421), "img2.jpg": (759, 162), "img3.jpg": (627, 218)}
TIMEOUT = 60

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def lay_out(page_dir, images_dir, work_dir):
    folder = os.path.join(work_dir, "welcome")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "images"))
    with open(os.path.join(page_dir, "index.htm"), "rb") as source:
        page = source.read()
    for mark in (b"\xef\xbb\xbf", b"\xff\xfe"):
        if page.startswith(mark):
            sys.exit("index.htm carries a byte-order mark of its own: the check expects the source without one")
    with open(os.path.join(folder, "index.htm"), "wb") as target:
        target.write(b"\xef\xbb\xbf" + page)
    shutil.copy(os.path.join(page_dir, "welcome_style.css"), folder)
    for picture in PICTURES:
        shutil.copy(os.path.join(images_dir, picture), os.path.join(folder, "images"))
    return folder


def validate(page):
    environment = dict(os.environ, XML_CATALOG_FILES="/etc/xml/catalog")
    result = subprocess.run(["xmllint", "--noout", "--valid", "--nonet", page], env=environment,
                            capture_output=True, text=True)
    check(result.returncode == 0, "xmllint: not valid XHTML 1.0 Strict:\n" + result.stderr)
    with open(page, "rb") as source:
        head = source.read(300).decode("utf-8-sig")
    check('"-//W3C//DTD XHTML 1.0 Strict//EN"' in head, "the document type is not XHTML 1.0 Strict")


class Browser:
    """Headless Chromium driven over its DevTools pipe (file descriptors 3 and 4)."""

    def __init__(self, profile):
        to_read, self.to_write = os.pipe()
        self.from_read, from_write = os.pipe()

        def connect_pipes():
            # Through fresh descriptors: the pipe ends may already sit on 3 or 4.
            commands, replies = os.dup(to_read), os.dup(from_write)
            os.dup2(commands, 3)
            os.dup2(replies, 4)

        self.process = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--hide-scrollbars", "--user-data-dir=" + profile, "--remote-debugging-pipe", "about:blank"],
            preexec_fn=connect_pipes, close_fds=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_read)
        os.close(from_write)
        self.buffer = b""
        self.next_id = 0
        self.events = []

    def close(self):
        self.process.kill()
        self.process.wait()
        os.close(self.to_write)
        os.close(self.from_read)

    def _receive(self, deadline):
        while b"\0" not in self.buffer:
            if time.monotonic() > deadline:
                raise TimeoutError("Chromium did not answer in time")
            chunk = os.read(self.from_read, 1 << 16)
            if not chunk:
                raise RuntimeError("Chromium ended")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_write, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + TIMEOUT
        while True:
            reply = self._receive(deadline)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply["result"]
            self.events.append(reply)

    def wait_for(self, method, deadline):
        while True:
            for index, event in enumerate(self.events):
                if event.get("method") == method:
                    return self.events.pop(index)
            self.events.append(self._receive(deadline))


PAGE_FACTS = """JSON.stringify({
  title: document.title,
  h1: Array.from(document.querySelectorAll('h1')).map(h => [h.id, h.textContent.trim()]),
  h2: Array.from(document.querySelectorAll('h2')).map(h => h.textContent.trim()),
  main: document.querySelectorAll('body > div#main').length,
  scripts: document.scripts.length,
  links: Array.from(document.querySelectorAll('a')).map(a => [a.textContent.trim(), a.target, a.pathname, a.search]),
  images: Array.from(document.images).map(i => [i.getAttribute('src'), i.complete, i.naturalWidth, i.naturalHeight]),
  bannerTextHidden: document.getElementById('title-enc').getBoundingClientRect().width > 0
    && parseInt(getComputedStyle(document.getElementById('title-enc')).textIndent) < -10000
})"""


def open_in_chromium(page, artifacts):
    profile = tempfile.mkdtemp(prefix="welcome-chromium-")
    browser = Browser(profile)
    try:
        target = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = browser.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        browser.call("Network.enable", session=session)
        browser.call("Page.enable", session=session)
        # About the browser view's size in the finish dialog.
        browser.call("Emulation.setDeviceMetricsOverride",
                     {"width": 830, "height": 440, "deviceScaleFactor": 1, "mobile": False}, session=session)
        url = "file://" + os.path.abspath(page)
        browser.call("Page.navigate", {"url": url}, session=session)
        deadline = time.monotonic() + TIMEOUT
        browser.wait_for("Page.loadEventFired", deadline)

        # The style sheet's pictures are asked for once the page is laid out, which may come after
        # the load event: the events are read on until every picture is asked for and every
        # request has ended, or the time is up.
        folder_url = url.rsplit("/", 1)[0] + "/"
        while True:
            requests, failed, ended = {}, {}, set()
            for event in browser.events:
                params = event.get("params", {})
                if event.get("method") == "Network.requestWillBeSent":
                    requests[params["requestId"]] = params["request"]["url"]
                elif event.get("method") == "Network.loadingFailed":
                    failed[params["requestId"]] = params.get("errorText", "failed")
                if event.get("method") in ("Network.loadingFinished", "Network.loadingFailed"):
                    ended.add(params["requestId"])
            asked = {u[len(folder_url):] for u in requests.values() if u.startswith(folder_url)}
            if {"images/" + p for p in PICTURES} <= asked and set(requests) <= ended:
                break
            try:
                browser.events.append(browser._receive(deadline))
            except TimeoutError:
                break
        for request_id, error in failed.items():
            check(False, f"request failed: {requests.get(request_id, request_id)}: {error}")
        check("welcome_style.css" in asked, "the style sheet was never requested")
        for picture in PICTURES:
            check("images/" + picture in asked, f"picture never requested: images/{picture}")
        print(f"requests: {len(requests)}, failed: {len(failed)}")

        facts = json.loads(browser.call("Runtime.evaluate", {"expression": PAGE_FACTS, "returnByValue": True},
                                        session=session)["result"]["value"])
        check(facts["title"] == TITLE, f"title: {facts['title']!r}")
        check(facts["h1"] == [["title-enc", TITLE]], f"first-level headings: {facts['h1']}")
        check(facts["h2"] == HEADINGS_2, f"second-level headings: {facts['h2']}")
        check(facts["main"] == 1, "no single block with the id main")
        check(facts["scripts"] == 0, "the page runs a script in the elevated setup")
        check(facts["bannerTextHidden"], "the banner heading's text is not moved out of view")
        check(len(facts["links"]) == len(LINKS), f"links: {facts['links']}")
        for (text, target, path, query), (want_text, want_path, want_query) in zip(facts["links"], LINKS):
            check(text == want_text and path == want_path and query == want_query,
                  f"link {text!r} -> {path}{query}")
            check(target == "", f"link {text!r} asks for a new window, which the setup never makes")
        for src, complete, width, height in facts["images"]:
            name = src.rsplit("/", 1)[-1]
            check(complete and width > 0, f"picture not shown: {src}")
            if name in INLINE_SIZES:
                check((width, height) == INLINE_SIZES[name], f"{src} is {width}x{height}")

        size = browser.call("Page.getLayoutMetrics", session=session)["cssContentSize"]
        shot = browser.call("Page.captureScreenshot", {
            "format": "png", "captureBeyondViewport": True,
            "clip": {"x": 0, "y": 0, "width": size["width"], "height": size["height"], "scale": 1}},
            session=session)
        os.makedirs(artifacts, exist_ok=True)
        shot_path = os.path.join(artifacts, "welcome_page.png")
        with open(shot_path, "wb") as out:
            out.write(base64.b64decode(shot["data"]))
        print(f"screenshot: {shot_path} ({int(size['width'])}x{int(size['height'])})")
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    page_dir, images_dir, work_dir, artifacts = sys.argv[1:]
    folder = lay_out(page_dir, images_dir, work_dir)
    page = os.path.join(folder, "index.htm")
    validate(page)
    open_in_chromium(page, artifacts)
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
