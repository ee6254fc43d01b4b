#!/usr/bin/python3
"""Makes docs/web-main-window.png: the page's main window, frame and all, as headless Chromium
shows it at a device pixel ratio of 1.

    tests/web/screenshot.py PATH/index.html docs/web-main-window.png
"""
import os
import sys

import test_page


def main():
    page, out = os.path.abspath(sys.argv[1]), sys.argv[2]
    server = test_page.Server(os.path.dirname(page))
    browser = test_page.Browser()
    try:
        browser.open(server.url)
        r = browser.js("return document.getElementById('Form1').getBoundingClientRect()")
        shot = browser.shot()
        box = tuple(int(v) for v in (r['x'], r['y'], r['x'] + r['width'], r['y'] + r['height']))
        shot.crop(box).save(out, optimize=True)
    finally:
        browser.quit()
        server.close()


if __name__ == '__main__':
    main()
