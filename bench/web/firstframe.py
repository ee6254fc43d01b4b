#!/usr/bin/python3
"""The page against the bare page and the empty page in headless Chromium (bench/web/run):

    firstframe.py QUORVEL_PAGE BARE_PAGE EMPTY_PAGE [ROUNDS] [START_PAGE]

- sizes: each page's script and WebAssembly, raw and compressed with gzip, and the parts of the
  WebAssembly: its code, its fonts and the rest of its data (the pictures and the tables);
- navigation to first frame: each page served on 127.0.0.1 compressed with gzip (level 9,
  `Content-Encoding: gzip`, as a server that compresses its pages sends it), loaded afresh (no
  cache), ROUNDS times, the pages alternating in every round; once over the loopback as it is,
  once over Chromium's emulated network (10 Mbit/s each way, 40 ms of latency). The end point is
  marked the same way in every page, by a script the browser runs before the page's own: the
  first animation frame after a face is drawn into a canvas of the page (every face is drawn in
  one go, before the page gives the browser back its thread). The same script notes when each
  step of the start ended: the page received, the WebAssembly's base64 decoded (its
  instantiation asked for), the WebAssembly compiled and instantiated, the pictures and the fonts
  decoded, the first face drawn;
- pointer press to changed face, in the page: from the press event's time stamp to the first
  animation frame after the face it changed was drawn, over ROUNDS presses on a pad key.

START_PAGE, when given, is the page as built at an earlier commit, measured beside the others.
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
  const now = () => performance.now();
  window.__bench = {frame: null, press: null, faces: [], steps: {}};
  const steps = __bench.steps;
  addEventListener('pointerdown', e => { __bench.press = e.timeStamp; }, true);
  const instantiate = WebAssembly.instantiate;
  WebAssembly.instantiate = function (...args) {
    steps.decoded = steps.decoded || now();
    return instantiate.apply(this, args).then(result => { steps.compiled = now(); return result; });
  };
  const decodePicture = window.createImageBitmap;
  window.createImageBitmap = function (...args) {
    return decodePicture.apply(this, args).then(bitmap => { steps.pictures = now(); return bitmap; });
  };
  window.FontFace = class extends FontFace {
    constructor(...args) {
      super(...args);
      this.loaded.then(() => { steps.fonts = now(); }, () => {});
    }
  };
  // A face reaches the screen through a canvas in the page: drawn into it (drawImage), or
  // copied into it pixel by pixel (putImageData) from one drawn off the page.
  for (const name of ['drawImage', 'putImageData']) {
    const draw = CanvasRenderingContext2D.prototype[name];
    CanvasRenderingContext2D.prototype[name] = function (...args) {
      const result = draw.apply(this, args);
      if (this.canvas.isConnected) {
        steps.drawn = steps.drawn || now();
        const press = __bench.press;
        __bench.press = null;
        requestAnimationFrame(() => {
          const time = now();
          if (__bench.frame === null)
            __bench.frame = time;
          if (press !== null)
            __bench.faces.push(time - press);
        });
      }
      return result;
    };
  }
})();
"""

# The steps of a start, in the order they end, as the marking script names them.
STEPS = [('received', 'page received'), ('decoded', 'base64 decoded'), ('compiled', 'WebAssembly compiled'),
         ('pictures', 'pictures decoded'), ('fonts', 'fonts decoded'), ('drawn', 'first face drawn'),
         ('frame', 'first frame')]

# Emulated network: 10 Mbit/s each way (in bytes a second) and 40 ms of latency.
SLOW = {'offline': False, 'latency': 40, 'downloadThroughput': 10_000_000 / 8, 'uploadThroughput': 10_000_000 / 8}


def gz(data):
    return len(gzip.compress(data, 9, mtime=0))


def wasm_parts(wasm):
    """The WebAssembly's code section, its fonts (WOFF and WOFF2 files found in its memory by
    their headers, which give their length) and the rest of its data."""
    def leb(at):
        value = shift = 0
        while True:
            byte = wasm[at]
            at += 1
            value |= (byte & 0x7F) << shift
            shift += 7
            if byte < 0x80:
                return value, at
    sections, at = {}, 8
    while at < len(wasm):
        kind = wasm[at]
        size, at = leb(at + 1)
        sections[kind] = (at, at + size)
        at += size
    code = wasm[slice(*sections.get(10, (0, 0)))]
    # The data segments laid out in memory as the program sees them (runs of zeros between them).
    memory = bytearray()
    start, end = sections.get(11, (0, 0))
    at = start
    if at < end:
        count, at = leb(at)
        for _ in range(count):
            flags, at = leb(at)
            assert flags == 0 and wasm[at] == 0x41, 'an active data segment at a constant address'
            offset, at = leb(at + 1)  # i32.const: small positive addresses read as unsigned
            at += 1  # end
            size, at = leb(at)
            memory[len(memory):] = bytes(max(0, offset + size - len(memory)))
            memory[offset:offset + size] = wasm[at:at + size]
            at += size
    fonts, other, at = b'', b'', 0
    for match in re.finditer(rb'wOF[F2]', memory):
        if match.start() < at:
            continue
        length = int.from_bytes(memory[match.start() + 8:match.start() + 12], 'big')
        other += memory[at:match.start()]
        fonts += memory[match.start():match.start() + length]
        at = match.start() + length
    return {'code': code, 'fonts': fonts, 'other data': bytes(other + memory[at:])}


def sizes(path):
    html = open(path, 'rb').read()
    wasm64 = re.search(rb'data:application/octet-stream;base64,([A-Za-z0-9+/=]+)', html).group(1)
    wasm = base64.b64decode(wasm64)
    script = html[html.index(b'<script>'):html.rindex(b'</script>')].replace(wasm64, b'')
    parts = ', '.join(f'{name} {len(part):,} ({gz(base64.b64encode(part)):,} as gzipped base64)'
                      for name, part in wasm_parts(wasm).items())
    return (f'page {len(html):,} bytes ({gz(html):,} gzipped): script {len(script):,} ({gz(script):,}), '
            f'WebAssembly {len(wasm):,} ({gz(wasm):,}) inside it as base64: {parts}')


def spread(values):
    q = statistics.quantiles(values, n=4)
    return f'median {statistics.median(values):.1f} ms, quartiles {q[0]:.1f} to {q[2]:.1f}, range {min(values):.1f} to {max(values):.1f}'


def serve(page):
    """The page on 127.0.0.1, sent compressed with gzip to a browser that takes it."""
    body = gzip.compress(open(page, 'rb').read(), 9, mtime=0)

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            if self.path != '/index.html':
                self.send_error(404)
                return
            self.send_response(200)
            self.send_header('Content-Type', 'text/html; charset=utf-8')
            self.send_header('Content-Encoding', 'gzip')
            self.send_header('Content-Length', str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    httpd = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
    threading.Thread(target=httpd.serve_forever, daemon=True).start()
    return f'http://127.0.0.1:{httpd.server_port}/index.html'


def main():
    quorvel, bare, empty = (os.path.abspath(p) for p in sys.argv[1:4])
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 31
    pages = {'quorvel': quorvel, 'bare': bare, 'empty': empty}
    if len(sys.argv) > 5:
        pages['start'] = os.path.abspath(sys.argv[5])
    servers = {name: serve(page) for name, page in pages.items()}

    print('== web: sizes')
    for name, page in pages.items():
        print(f'{name}: {sizes(page)}')

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
                (function wait() {
                  if (__bench.frame === null)
                    return setTimeout(wait, 5);
                  const steps = Object.assign({}, __bench.steps, {frame: __bench.frame,
                      received: performance.getEntriesByType('navigation')[0].responseEnd});
                  done(steps);
                })();""")

        for network, conditions in (('loopback', None), ('10 Mbit/s, 40 ms', SLOW)):
            if conditions:
                driver.execute_cdp_cmd('Network.emulateNetworkConditions', conditions)
            runs = {name: [] for name in pages}
            for name in pages:  # once each before counting: the browser's own start
                first_frame(servers[name])
            for _ in range(rounds):
                for name in pages:
                    runs[name].append(first_frame(servers[name]))
            print(f'== web: navigation to first frame, served gzipped, {network}')
            medians = {}
            for name in pages:
                frames = [run['frame'] for run in runs[name]]
                medians[name] = statistics.median(frames)
                steps = ', '.join(f'{label} {statistics.median(run[key] for run in runs[name]):.1f}'
                                  for key, label in STEPS[:-1] if all(key in run for run in runs[name]))
                print(f'{name}: {spread(frames)}; steps ended at (medians, ms): {steps}')
            print(f'ratio of the medians, Quorvel / bare: {medians["quorvel"] / medians["bare"]:.3f} (aim 1.10)')
            if 'start' in pages:
                print(f'ratio of the medians, Quorvel / start: {medians["quorvel"] / medians["start"]:.3f} (aim 0.6)')
        driver.execute_cdp_cmd('Network.emulateNetworkConditions',
                               {'offline': False, 'latency': 0, 'downloadThroughput': -1, 'uploadThroughput': -1})

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
