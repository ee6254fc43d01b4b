#!/usr/bin/python3
"""The page against the bare page in headless Chromium (bench/web/run):

    firstframe.py QUORVEL_PAGE BARE_PAGE [ROUNDS]

- sizes: each page's script and WebAssembly, raw and compressed with gzip;
- navigation to first frame: each page served on 127.0.0.1, loaded afresh (no cache), ROUNDS
  times alternating; the end point is marked the same way in both, by a script the browser runs
  before each page's own: the first animation frame after a face is drawn into a canvas of the
  page (every face is drawn in one go, before the page gives the browser back its thread);
- pointer press to changed face, in the page: from the press event's time stamp to the first
  animation frame after the face it changed was drawn, over ROUNDS presses on a pad key.
"""
import base64
import functools
import gzip
import http.server
import os
import re
import statistics
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.actions.action_builder import ActionBuilder

MARK = """
(() => {
  const draw = CanvasRenderingContext2D.prototype.drawImage;
  window.__bench = {frame: null, press: null, faces: []};
  addEventListener('pointerdown', e => { __bench.press = e.timeStamp; }, true);
  CanvasRenderingContext2D.prototype.drawImage = function (...args) {
    const result = draw.apply(this, args);
    if (this.canvas.isConnected) {
      const press = __bench.press;
      __bench.press = null;
      requestAnimationFrame(() => {
        const now = performance.now();
        if (__bench.frame === null)
          __bench.frame = now;
        if (press !== null)
          __bench.faces.push(now - press);
      });
    }
    return result;
  };
})();
"""


def sizes(path):
    html = open(path, 'rb').read()
    wasm64 = re.search(rb'data:application/octet-stream;base64,([A-Za-z0-9+/=]+)', html).group(1)
    wasm = base64.b64decode(wasm64)
    script = html[html.index(b'<script>'):html.rindex(b'</script>')].replace(wasm64, b'')
    gz = lambda b: len(gzip.compress(b, 9))
    return (f'page {len(html):,} bytes ({gz(html):,} gzipped): script {len(script):,} ({gz(script):,}), '
            f'WebAssembly {len(wasm):,} ({gz(wasm):,}) inside it as base64')


def spread(values):
    q = statistics.quantiles(values, n=4)
    return f'median {statistics.median(values):.1f} ms, quartiles {q[0]:.1f} to {q[2]:.1f}, range {min(values):.1f} to {max(values):.1f}'


def main():
    quorvel, bare = (os.path.abspath(p) for p in sys.argv[1:3])
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 31

    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    servers = {}
    for name, page in (('quorvel', quorvel), ('bare', bare)):
        httpd = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Quiet, directory=os.path.dirname(page)))
        threading.Thread(target=httpd.serve_forever, daemon=True).start()
        servers[name] = f'http://127.0.0.1:{httpd.server_port}/index.html'

    print('== web: sizes')
    print(f'Quorvel: {sizes(quorvel)}')
    print(f'bare:    {sizes(bare)}')

    profile = tempfile.TemporaryDirectory()
    options = webdriver.ChromeOptions()
    for argument in ['--headless=new', '--disable-gpu', '--disable-background-networking',
                     '--disable-component-update', '--disable-sync', '--no-first-run',
                     '--window-size=800,700', f'--user-data-dir={profile.name}']:
        options.add_argument(argument)
    if os.geteuid() == 0:
        options.add_argument('--no-sandbox')
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    try:
        print(f'{driver.capabilities["browserName"]} {driver.capabilities["browserVersion"]}, headless, '
              f'{rounds} rounds')
        driver.execute_cdp_cmd('Network.enable', {})
        driver.execute_cdp_cmd('Network.setCacheDisabled', {'cacheDisabled': True})
        driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': MARK})

        def first_frame(url):
            driver.get(url)
            return driver.execute_async_script("""
                const done = arguments[0];
                (function wait() { __bench.frame !== null ? done(__bench.frame) : setTimeout(wait, 5); })();""")

        times = {'quorvel': [], 'bare': []}
        for name in ('quorvel', 'bare'):  # once each before counting: the browser's own start
            first_frame(servers[name])
        for _ in range(rounds):
            for name in ('quorvel', 'bare'):
                times[name].append(first_frame(servers[name]))
        print('== web: navigation to first frame')
        for name in ('bare', 'quorvel'):
            print(f'{name}: {spread(times[name])}')
        ratio = statistics.median(times['quorvel']) / statistics.median(times['bare'])
        print(f'ratio of the medians, Quorvel / bare: {ratio:.3f} (aim 1.15)')

        print('== web: pointer press to changed face (a pad key, inside the page)')
        driver.get(servers['quorvel'])
        driver.execute_async_script("const done = arguments[0]; (function wait() { __bench.frame !== null ? done() : setTimeout(wait, 5); })();")
        pad = driver.execute_script("const r = document.getElementById('Form1-Picture1').getBoundingClientRect(); return [r.x, r.y]")
        for _ in range(rounds):
            a = ActionBuilder(driver)
            a.pointer_action.move_to_location(int(pad[0] + 85), int(pad[1] + 15)).pointer_down().pause(0.05).pointer_up()
            a.perform()
        faces = driver.execute_async_script(
            "const done = arguments[0]; requestAnimationFrame(() => requestAnimationFrame(() => done(__bench.faces)));")
        print(f'{len(faces)} presses: {spread(faces)} (aim: within one frame, 16.7 ms)')
    finally:
        driver.quit()
        profile.cleanup()


if __name__ == '__main__':
    main()
