#!/usr/bin/python3
"""The page in headless Chromium, driven as a user drives it.

    test_page.py PATH/index.html [unittest options...]

The page is served on 127.0.0.1 (and opened from disk once) and driven through WebDriver's
pointer and key actions at page pixels; what it shows is read from the page's pixels (a
screenshot, in device pixels) and from the DOM, what assistive technology reads from Chromium's
accessibility tree. The runtime's rules are tested in its own suite (tests/tst_rules.cpp): here
only what the browser back end translates, and what the browser alone can get wrong.
"""
import functools
import http.server
import io
import math
import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.request

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PICTURES = os.path.join(ROOT, 'assets', 'pictures')
PAGE = None  # the packed index.html, from the command line

LEFT, MIDDLE, RIGHT = 0, 1, 2

# Every bitmap control at start: its stored picture, where the picture starts inside the
# control, and a rectangle of the picture that another control covers ((x, y) from there on).
START_FACES = [
    ('Chk1', 'ImageList2-1', 0, None),
    ('Opt1(0)', 'ImageList2-6', 0, None),
    ('Opt1(1)', 'ImageList2-4', 0, None),
    ('Opt1(2)', 'ImageList2-4', 0, None),
    ('pic1', 'pic3', 0, None),
    ('Picture1', 'Picture1', 0, (137, 79)),  # its lower-right corner lies under pic1
    ('Picture7', 'Picture5', 2, None),
    ('Picture4', 'Picture8', 2, None),
]

# The 2-pixel sunken border of the About and Exit buttons: (x, y) from the control's corner,
# negative from the far edge, and its colour: the classic shadow, dark shadow, highlight and
# 3-D light.
BORDER = [((5, 0), (128, 128, 128)), ((0, 5), (128, 128, 128)), ((5, 1), (0, 0, 0)), ((1, 5), (0, 0, 0)),
          ((5, -1), (255, 255, 255)), ((-1, 5), (255, 255, 255)), ((5, -2), (223, 223, 223)), ((-2, 5), (223, 223, 223))]

# Places inside controls, in pixels of the control.
PAD_UP, PAD_DOWN, BALL, OVAL, BUTTON = (85, 15), (85, 92), (13, 13), (80, 25), (45, 20)

# The About window's lines, from the top down.
ABOUT_LINES = ['This is a sample of Quorvel technics applica-', 'ted to offen using MS standard custom controls.',
               'No limits to Your fantasy...', 'If You will find it usefull - please contact me at',
               'quorvel@zennorak.example', 'Copyright (C) Zennorak Design. All rights reserved.']

# The keyboard's round: Tab goes through these, by TabIndex, each option group one stop.
TAB_ROUND = ['Command1', 'Check1', 'Option1(0)', 'Text1', 'Picture1', 'Picture7', 'Picture4',
             'Text2', 'pic1', 'Chk1', 'Opt1(0)']


@functools.lru_cache(maxsize=None)
def picture(name):
    return Image.open(os.path.join(PICTURES, name + '.bmp')).convert('RGB')


class Server:
    """The page's folder on 127.0.0.1, noting every path asked for."""

    def __init__(self, folder):
        self.paths = []
        paths = self.paths

        class Handler(http.server.SimpleHTTPRequestHandler):
            def __init__(self, *args, **kwargs):
                super().__init__(*args, directory=folder, **kwargs)

            def log_message(self, *args):
                paths.append(self.path)

        self.httpd = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()
        self.url = f'http://127.0.0.1:{self.httpd.server_port}/index.html'

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class Browser:
    """Headless Chromium at a device pixel ratio, with the page's console kept."""

    def __init__(self, ratio=1):
        self.profile = tempfile.TemporaryDirectory()
        options = webdriver.ChromeOptions()
        for argument in ['--headless=new', '--disable-gpu', '--disable-background-networking',
                         '--disable-component-update', '--disable-sync', '--no-first-run',
                         '--window-size=800,700', f'--force-device-scale-factor={ratio}',
                         f'--user-data-dir={self.profile.name}']:
            options.add_argument(argument)
        if os.geteuid() == 0:
            options.add_argument('--no-sandbox')
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        self.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        self.ratio = ratio

    def quit(self):
        self.driver.quit()
        self.profile.cleanup()

    def open(self, url):
        self.driver.get(url)
        self.wait_for("document.getElementById('Form1') && !document.getElementById('Form1').hidden")
        self.settle()

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait_for(self, condition, seconds=10):
        end = time.monotonic() + seconds
        while not self.js(f'return !!({condition})'):
            if time.monotonic() > end:
                raise AssertionError(f'the page never got to: {condition}')
            time.sleep(0.02)

    def settle(self):
        """Until the page has drawn what the last input did (a pause resumed, then a frame)."""
        self.driver.execute_async_script(
            'const done = arguments[0]; setTimeout(() => requestAnimationFrame(() => requestAnimationFrame(done)), 0);')

    def console_errors(self):
        return [e['message'] for e in self.driver.get_log('browser') if e['level'] == 'SEVERE']

    # ---- where things are, in page pixels ----
    def corner(self, key, form='Form1'):
        r = self.js(f"return document.getElementById('{form}-{key}').getBoundingClientRect()")
        return r['x'], r['y']

    def at(self, key, point):
        x, y = self.corner(key)
        return int(x + point[0]), int(y + point[1])

    # ---- what is on the page ----
    def shot(self):
        return Image.open(io.BytesIO(self.driver.get_screenshot_as_png())).convert('RGB')

    def face_differences(self, key, name, offset=0, covered=None, shot=None, ring=0):
        """How many device pixels of control `key` differ from stored picture `name`, leaving out
        a covered corner and a ring of `ring` pixels round the edge. Page pixel p of a client area
        lies on device pixels round(p * ratio) up to round((p + 1) * ratio) from its corner."""
        shot = shot or self.shot()
        client, box = self.js(f"const e = document.getElementById('Form1-{key}'); return "
                              "[e.closest('.qv-client').getBoundingClientRect(), e.getBoundingClientRect()]")

        def spans(corner, start, count):
            edges = [math.floor(corner * self.ratio + 0.5) + math.floor(p * self.ratio + 0.5)
                     for p in range(start, start + count + 1)]
            return [range(a, b) for a, b in zip(edges, edges[1:])]

        ref = picture(name)
        columns = spans(client['x'], round(box['x'] - client['x']) + offset, ref.width)
        rows = spans(client['y'], round(box['y'] - client['y']) + offset, ref.height)
        bad = 0
        for y in range(ring, ref.height - ring):
            for x in range(ring, ref.width - ring):
                if covered and x >= covered[0] and y >= covered[1]:
                    continue
                want = ref.getpixel((x, y))
                bad += sum(shot.getpixel((dx, dy)) != want for dy in rows[y] for dx in columns[x])
        return bad

    def value(self, key, what='value'):
        return self.js(f"return document.getElementById('Form1-{key}').{what}")

    def shown(self, selector):
        return self.js(f"const e = document.querySelector('{selector}'); return !!e && !e.hidden")

    # ---- input, at page pixels ----
    def pointer(self, kind='mouse'):
        name = 'finger' if kind == interaction.POINTER_TOUCH else 'mouse'
        return ActionBuilder(self.driver, mouse=PointerInput(kind, name))

    def press(self, x, y, button=LEFT):
        a = self.pointer()
        a.pointer_action.move_to_location(x, y).pointer_down(button)
        a.perform()
        self.settle()

    def release(self, button=LEFT):
        a = self.pointer()
        a.pointer_action.pointer_up(button)
        a.perform()
        self.settle()

    def click(self, x, y, button=LEFT, kind=interaction.POINTER_MOUSE):
        self.drag([(x, y)], button, kind)

    def drag(self, path, button=LEFT, kind=interaction.POINTER_MOUSE):
        """Down at the first place, through the others, up at the last: one sequence of input,
        as a hand makes it (the driver loses a pointer's capture between sequences)."""
        a = self.pointer(kind)
        a.pointer_action.move_to_location(*path[0]).pointer_down(button)
        for x, y in path[1:]:
            a.pointer_action.pause(0.05).move_to_location(x, y)
        a.pointer_action.pause(0.05).pointer_up(button)
        a.perform()
        self.settle()

    def keys(self, *keys):
        ActionChains(self.driver).send_keys(*keys).perform()
        self.settle()

    def shifted(self, key):
        ActionChains(self.driver).key_down(Keys.SHIFT).send_keys(key).key_up(Keys.SHIFT).perform()
        self.settle()

    def key_down(self, key):
        ActionChains(self.driver).key_down(key).perform()
        self.settle()

    def key_up(self, key):
        ActionChains(self.driver).key_up(key).perform()
        self.settle()

    def focused(self):
        """The key of the control that has the keyboard focus."""
        return self.js("const e = document.activeElement.closest('[data-qv]'); return e ? e.id.replace('Form1-', '') : ''")


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server(os.path.dirname(PAGE))
        cls.browser = Browser()

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.server.close()

    def setUp(self):
        self.b = self.browser
        self.b.open(self.server.url)

    def tearDown(self):
        self.assertEqual(self.b.console_errors(), [], 'the browser console has errors')

    def assertFace(self, key, name, offset=0, shot=None):
        covered = (137, 79) if key == 'Picture1' else None
        self.assertEqual(self.b.face_differences(key, name, offset, covered, shot), 0, f'{key} does not show {name}')

    # ---- showing ----
    def test_faces_to_the_pixel_at_ratios_1_and_2(self):
        for ratio in (1, 2):
            with self.subTest(ratio=ratio):
                browser = self.b if ratio == 1 else Browser(ratio)
                try:
                    if ratio != 1:
                        browser.open(self.server.url)
                    shot = browser.shot()
                    self.assertEqual(shot.width, 800 * ratio)
                    for key, name, offset, covered in START_FACES:
                        self.assertEqual(browser.face_differences(key, name, offset, covered, shot), 0,
                                         f'{key} does not show {name} at ratio {ratio}')
                    for key in ('Picture4', 'Picture7'):
                        x0, y0 = browser.corner(key)
                        for (x, y), colour in BORDER:
                            px = x0 + (x if x >= 0 else 94 + x)
                            py = y0 + (y if y >= 0 else 39 + y)
                            self.assertEqual(shot.getpixel((int(px * ratio), int(py * ratio))), colour,
                                             f'the border of {key} at {x}, {y}')
                    if ratio != 1:
                        self.assertEqual(browser.console_errors(), [])
                finally:
                    if ratio != 1:
                        browser.quit()

    def test_faces_on_whole_device_pixels_at_ratio_1_75(self):
        # Each pixel of every face whole, none blended with the next or with what lies round it,
        # also once the window is let go a fraction of a device pixel away; shapes under the pointer.
        browser = Browser(1.75)

        def assert_faces(when):
            shot = browser.shot()
            for key, name, offset, covered in START_FACES:
                self.assertEqual(browser.face_differences(key, name, offset, covered, shot), 0,
                                 f'{key} does not show {name} {when}')

        try:
            browser.open(self.server.url)
            assert_faces('as the page opens')
            before = browser.corner('pic1')
            frame = browser.js("return document.getElementById('Form1').getBoundingClientRect()")
            x, y = int(frame['x'] + 60), int(frame['y'] + 10)
            browser.drag([(x, y), (x + 3, y + 1)])  # 5.25 and 1.75 device pixels
            self.assertNotEqual(browser.corner('pic1'), before, 'the window did not move')
            assert_faces('after a drag')
            browser.click(*browser.at('Chk1', BALL))
            self.assertEqual(browser.face_differences('Chk1', 'ImageList2-3'), 0)
            self.assertEqual(browser.console_errors(), [])
        finally:
            browser.quit()

    def test_a_change_of_ratio_places_windows_and_controls_on_whole_device_pixels_again(self):
        # The page zoomed, or taken to another screen. (Emulated, a ratio is drawn by scaling what
        # is drawn at 1: only the places, the About window's too, are the page's to check.)
        b = self.b
        b.click(*b.at('Picture7', BUTTON))
        ratio = 1.25
        b.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                                 {'width': 800, 'height': 700, 'deviceScaleFactor': ratio, 'mobile': False})
        try:
            b.settle()
            edges = b.js("return [...document.querySelectorAll('.qv-client, .qv-control')].map(e => { "
                         "const r = e.getBoundingClientRect(); "
                         "return [e.id || e.parentNode.id, r.left, r.top, r.right, r.bottom]; })")
            self.assertIn('Form2', [e[0] for e in edges])
            for name, *page in edges:
                device = [v * ratio for v in page]
                self.assertTrue(all(abs(d - round(d)) < 0.05 for d in device), f'{name}: {device}')
        finally:
            b.driver.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})

    def test_page_declares_title_and_icon_and_asks_for_nothing_more(self):
        self.assertEqual(self.b.js('return document.title'), 'Quorvel')
        self.assertTrue(self.b.js("return document.querySelector('link[rel=icon]').href.startsWith('data:image/png')"))
        self.assertEqual(self.b.js("return document.querySelector('#Form1 .qv-title').textContent"),
                         'Quorvel' + ' ' * 29 + 'version1.1')
        self.assertEqual(set(self.server.paths), {'/index.html'})

    def test_opened_from_disk(self):
        # No fetch and no file read back from file://: the pictures come from the page's bytes.
        self.b.open('file://' + PAGE)
        self.assertFace('pic1', 'pic3')
        self.assertTrue(self.b.js("return document.fonts.check('11px \"Quorvel Sans\"')"))

    def test_every_text_is_drawn_from_the_pages_font(self):
        # The page's font keeps only some characters (the bold faces only the program's own
        # texts): every text on show, in each window, in the face it is drawn in, must be in it.
        b = self.b
        showing = [('main window', None), ('About', ('Picture7', BUTTON)), ('message box', ('pic1', OVAL))]
        for name, opener in showing:
            with self.subTest(window=name):
                if opener:
                    b.click(*b.at(*opener))
                texts = b.js(f"""
                    const texts = [];
                    for (const window of document.querySelectorAll('.qv-window:not([hidden])')) {{
                      const walk = document.createTreeWalker(window, NodeFilter.SHOW_TEXT);
                      for (let node; (node = walk.nextNode()); )
                        if (node.data.trim())
                          texts.push([node.data, getComputedStyle(node.parentElement)]);
                      for (const input of window.querySelectorAll('input[type=text], input:not([type])'))
                        texts.push([input.value, getComputedStyle(input)]);
                    }}
                    return texts.map(([text, style]) => [text, style.fontStyle + ' ' + style.fontWeight]);""")
                self.assertGreater(len(texts), 5)
                for text, face in texts:
                    self.assertEqual(self.outside_the_font(text, face), [], f'{text!r} in {face}')
                if opener:
                    b.keys(Keys.ESCAPE)

    def test_typed_scripts_are_drawn_in_the_font_or_the_systems(self):
        # The regular face keeps Latin, Greek and Cyrillic; a script it lacks is still drawn, by
        # a font of the system's. (script, text, the characters the page's font lacks, where a
        # font of this machine's has them: none lacking for the kept scripts, every Armenian
        # letter; this machine has no CJK font, whose characters are drawn as boxes either way.)
        b = self.b
        typed = [('Latin', 'Ærger ŒŸ ẞ ǅ ạ ğ ș €', ''), ('Greek', 'Καλημέρα ΑΒΓ ἀέ', ''),
                 ('Cyrillic', 'Привет Ёж ґ ӂ №', ''), ('Armenian', 'Բարեւ', 'Բարեւ'), ('CJK', '你好世界', None)]
        x, y = b.at('Text2', (5, 5))
        for script, text, lacking in typed:
            with self.subTest(script=script):
                b.js("document.getElementById('Form1-Text2').value = ''")
                b.click(x, y)
                empty = self.ink('Text2')
                b.keys(text)
                self.assertEqual(b.value('Text2'), text)
                self.assertGreater(self.ink('Text2'), empty + 5 * len(text.replace(' ', '')))
                if lacking is not None:
                    self.assertEqual(self.outside_the_font(text, 'normal 400'), list(lacking))

    def outside_the_font(self, text, face):
        """The characters of `text` that the page's font lacks in `face` ('italic 700'): the
        ones whose width changes with the font the browser falls back to."""
        return self.b.js("""
            const [text, face] = arguments;
            const context = document.createElement('canvas').getContext('2d');
            const width = (c, fallback) => {
              context.font = `${face} 50px "Quorvel Sans", ${fallback}`;
              return context.measureText(c.repeat(20)).width;
            };
            return [...new Set(text)].filter(c => c.trim() && width(c, 'monospace') !== width(c, 'serif'));""",
            text, face)

    def ink(self, key):
        """How many of a text box's pixels are not its white: its text, its caret."""
        x, y = self.b.corner(key)
        r = self.b.js(f"return document.getElementById('Form1-{key}').getBoundingClientRect()")
        shot = self.b.shot().crop((int(x) + 2, int(y) + 2, int(x + r['width']) - 2, int(y + r['height']) - 2))
        return sum(1 for pixel in shot.getdata() if pixel != (255, 255, 255))

    # ---- reacting ----
    def test_bitmap_controls_react_to_the_pointer(self):
        b = self.b
        b.click(*b.at('Chk1', BALL))
        self.assertFace('Chk1', 'ImageList2-3')
        b.click(*b.at('Opt1(2)', BALL))
        self.assertFace('Opt1(2)', 'ImageList2-6')
        self.assertFace('Opt1(0)', 'ImageList2-4')
        b.press(*b.at('pic1', OVAL))
        self.assertFace('pic1', 'pic4')
        b.release()
        self.assertFace('pic1', 'pic3')
        self.assertTrue(b.shown('#MessageBox'))
        b.keys(Keys.ESCAPE)
        b.press(*b.at('Picture7', BUTTON))
        self.assertFace('Picture7', 'Picture6', 2)
        b.release()
        self.assertFace('Picture7', 'Picture5', 2)
        b.keys(Keys.ESCAPE)  # About

    def test_standard_controls_are_the_browsers_own(self):
        b = self.b
        b.click(*b.at('Check1', (6, 10)))
        self.assertTrue(b.js("return document.querySelector('#Form1-Check1 input').checked"))
        # No grouping of the browser's own: the runtime clears the other option.
        b.click(*b.at('Option1(1)', (6, 11)))
        self.assertEqual(b.js("return [0, 1].map(i => document.querySelector(`#Form1-Option1\\\\(${i}\\\\) input`).checked)"),
                         [False, True])
        b.click(*b.at('Text1', (60, 10)))
        b.keys(Keys.END, ' typed')
        self.assertEqual(b.value('Text1'), 'Text1 typed')
        self.assertEqual(b.js("return document.querySelector('#Form1-Frame1 > legend').textContent"),
                         'Standard MS Custom Controls')
        self.assertEqual(b.value('Label1', 'textContent'), 'Label1')
        # A click gives a standard button the focus, as on the desktop.
        b.click(*b.at('Command1', (60, 15)))
        self.assertEqual(b.focused(), 'Command1')

    def test_check1_toggles_once_each_way(self):
        # The runtime toggles it and the page shows the runtime's value over the browser's own
        # toggle: a way that toggled it twice, or not at all, leaves it as it was.
        b = self.b
        check = "document.querySelector('#Form1-Check1 input')"
        ways = [('click', lambda: b.click(*b.at('Check1', (6, 10)))),
                ('Space', lambda: b.keys(Keys.SPACE)),
                ('assistive technology', lambda: b.js(f'{check}.click()'))]
        b.keys(Keys.TAB)  # Command1 to Check1
        for way, toggle in ways:
            for checked in (True, False):
                with self.subTest(way=way, checked=checked):
                    toggle()
                    b.settle()
                    self.assertEqual(b.js(f'return {check}.checked'), checked)
                    self.assertEqual(b.focused(), 'Check1')

    def test_three_buttons_and_touch(self):
        b = self.b
        for button in (RIGHT, MIDDLE):
            with self.subTest(button=button):
                b.press(*b.at('Picture1', PAD_UP), button)
                self.assertFace('Picture1', 'ImageList1-2')
                b.release(button)
                self.assertFace('Picture1', 'ImageList1-1')
                self.assertEqual(b.value('Text2'), '')  # only the left button clicks
        b.click(*b.at('Picture1', PAD_DOWN), kind=interaction.POINTER_TOUCH)
        self.assertEqual(b.value('Text2'), 'Down')

    def test_the_browsers_menu_on_the_text_boxes_only(self):
        b = self.b
        b.js("window.menus = []; addEventListener('contextmenu', e => menus.push(e.defaultPrevented))")
        # (where the right button is clicked, whether the browser's menu is kept from showing)
        rows = [('Text1', (60, 10), False), ('Text2', (20, 10), False), ('Picture1', PAD_UP, True),
                ('Command1', BUTTON, True), ('Label1', (5, 5), True), ('Frame1', (5, 50), True)]
        for key, point, prevented in rows:
            with self.subTest(key=key):
                b.js('menus.length = 0')
                b.click(*b.at(key, point), button=RIGHT)
                self.assertEqual(b.js('return menus'), [prevented])

    def test_a_press_keeps_the_pointer_until_released_elsewhere(self):
        b = self.b
        b.drag([b.at('Picture1', PAD_UP), (700, 500)])  # off the pad, off the window
        self.assertFace('Picture1', 'ImageList1-1')  # the release came back to the pad
        self.assertEqual(b.value('Text2'), '')  # let go elsewhere: no click

    # ---- modal windows ----
    def test_about_and_the_message_box_are_modal_and_close_every_way(self):
        # Each opens from an event procedure that pauses until it closes; closed, the procedure
        # runs on and the page answers again (a pause that failed to resume would leave it
        # blocked, or stop it with an error in the console).
        b = self.b

        def key(control):
            for _ in range(TAB_ROUND.index(control)):  # from Command1, which has the focus
                b.keys(Keys.TAB)
            b.keys(Keys.SPACE)

        def assistive_action(control):
            b.js(f"document.getElementById('Form1-{control}').dispatchEvent("
                 "new MouseEvent('click', {bubbles: true, detail: 0}))")
            b.settle()

        def pointer(control, point):
            return lambda: b.click(*b.at(control, point))

        # (how it opens, the window, its title, the ways it closes, the control the main window
        # gives the focus back to: the one that had it as the window opened)
        modals = [(pointer('Picture7', BUTTON), '#Form2', 'About...', ('escape', 'close button'), 'Command1'),
                  (lambda: assistive_action('Picture7'), '#Form2', 'About...', ('escape',), 'Command1'),
                  (pointer('pic1', OVAL), '#MessageBox', 'Quorvel', ('escape', 'close button', 'OK', 'enter'),
                   'Command1'),
                  (lambda: key('Picture7'), '#Form2', 'About...', ('escape',), 'Picture7')]
        for opens, window, title, closes, focus in modals:
            for close in closes:
                with self.subTest(window=window, opens=opens, close=close):
                    opens()
                    self.assertTrue(b.shown(window))
                    self.assertEqual(b.js(f"return document.querySelector('{window} .qv-title').textContent"), title)
                    if window == '#MessageBox':
                        self.assertEqual(b.js("return document.getElementById('MessageBox-Prompt').textContent"),
                                         'Is it pretty?')
                        self.assertEqual(b.js("return [...document.querySelectorAll('#MessageBox .qv-button')]"
                                              ".map(e => e.textContent)"), ['OK'])
                    b.click(*b.at('Chk1', BALL))  # blocked
                    self.assertFace('Chk1', 'ImageList2-1')
                    if close == 'escape':
                        b.keys(Keys.ESCAPE)
                    elif close == 'enter':
                        b.keys(Keys.ENTER)
                    elif close == 'close button':
                        b.click(*self.close_button(window))
                    else:
                        r = b.js("return document.querySelector('#MessageBox .qv-button').getBoundingClientRect()")
                        b.click(int(r['x'] + 10), int(r['y'] + 10))
                    self.assertFalse(b.shown(window))
                    # Free again, the main window has its focus back.
                    self.assertEqual(b.focused(), focus)
        b.click(*b.at('Chk1', BALL))
        self.assertFace('Chk1', 'ImageList2-3')

    def test_the_message_box_reads_as_an_alert_and_moves_by_its_caption(self):
        b = self.b
        b.click(*b.at('pic1', OVAL))
        b.driver.execute_cdp_cmd('Accessibility.enable', {})
        nodes = b.driver.execute_cdp_cmd('Accessibility.getFullAXTree', {})['nodes']
        alerts = [(n.get('name', {}).get('value'), n.get('description', {}).get('value')) for n in nodes
                  if n.get('role', {}).get('value') == 'alertdialog']
        self.assertEqual(alerts, [('Quorvel', 'Is it pretty?')])
        # The focus on its default button, its indicator shown once the keyboard is used.
        ok = "document.getElementById('MessageBox-Choice(0)')"
        self.assertTrue(b.js(f'return document.activeElement === {ok}'))
        self.assertFalse(b.js(f"return {ok}.classList.contains('qv-focus')"))
        b.keys(Keys.TAB)
        self.assertTrue(b.js(f'return document.activeElement === {ok}'))
        self.assertTrue(b.js(f"return {ok}.classList.contains('qv-focus')"))
        frame = self.rect('#MessageBox')
        b.drag([(int(frame['left'] + 10), int(frame['top'] + 10)), (int(frame['left'] + 60), int(frame['top'] + 40))])
        moved = self.rect('#MessageBox')
        self.assertEqual((moved['left'] - frame['left'], moved['top'] - frame['top']), (50, 30))
        b.keys(Keys.ENTER)
        self.assertFalse(b.shown('#MessageBox'))

    # ---- windows within reach ----
    def view(self):
        return self.b.js('const r = document.documentElement; return {x: scrollX, y: scrollY, w: r.clientWidth, '
                         'h: r.clientHeight, scrollW: r.scrollWidth, scrollH: r.scrollHeight}')

    def rect(self, selector):
        return self.b.js(f"return document.querySelector('{selector}').getBoundingClientRect()")

    def test_a_window_dragged_anywhere_keeps_its_caption_in_view(self):
        b = self.b
        view = self.view()
        right, bottom = view['w'] - 1, view['h'] - 1
        # (where the caption is taken, from the frame's left or right end; where it is let go)
        drags = [('left', (right, bottom)), ('right', (0, 0)), ('left', (right, 0)), ('right', (0, bottom))]
        for end, target in drags:
            with self.subTest(end=end, target=target):
                b.open(self.server.url)
                frame = self.rect('#Form1')
                x = frame['left'] + (6 if end == 'left' else frame['width'] - 22)
                b.drag([(int(x), int(frame['top'] + 10)), target])
                caption, now = self.rect('#Form1 .qv-caption'), self.view()
                self.assertNotEqual(self.rect('#Form1')['left'], frame['left'], 'the window did not move')
                self.assertGreaterEqual(min(caption['right'], now['w']) - max(caption['left'], 0), 24)
                self.assertGreaterEqual(caption['top'], 0)
                self.assertLessEqual(caption['bottom'], now['h'])
                # The page neither scrolled nor can scroll.
                self.assertEqual((now['x'], now['y'], now['scrollW'], now['scrollH']), (0, 0, now['w'], now['h']))

    def test_a_small_view_reaches_every_part_of_a_window(self):
        b = self.b
        view = self.view()
        frame = self.rect('#Form1')
        b.drag([(int(frame['left'] + 6), int(frame['top'] + 10)), (view['w'] - 1, 100)])
        b.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                                 {'width': 500, 'height': 300, 'deviceScaleFactor': 1, 'mobile': False})
        try:
            # Dragged to the right edge, then the view made smaller: the caption comes back within
            # the page.
            b.settle()
            caption, view = self.rect('#Form1 .qv-caption'), self.view()
            self.assertLessEqual(caption['left'] + view['x'], view['scrollW'] - 24, caption)
            b.open(self.server.url)
            frame, view = self.rect('#Form1'), self.view()
            # Placed in view, where it fits, and the page scrolls as far as the window reaches.
            self.assertGreaterEqual(frame['left'], 0)
            self.assertEqual(frame['top'], 0)
            self.assertGreaterEqual(view['scrollW'], frame['right'])
            self.assertGreaterEqual(view['scrollH'], frame['bottom'])
            # Scrolled to its bottom, About (at the bottom) opens with its caption in view.
            b.js('scrollTo(0, document.documentElement.scrollHeight)')
            self.assertGreater(self.view()['y'], 0)
            b.click(*b.at('Picture7', BUTTON))
            about = self.rect('#Form2')
            self.assertTrue(0 <= about['left'] and about['right'] <= view['w'], about)
            self.assertTrue(0 <= about['top'] and about['top'] + 22 <= view['h'], about)
            b.keys(Keys.ESCAPE)
        finally:
            b.driver.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})

    def close_button(self, window):
        r = self.b.js(f"return document.querySelector('{window} .qv-close').getBoundingClientRect()")
        return int(r['x'] + 8), int(r['y'] + 7)

    # ---- the end ----
    def test_exit_and_closing_the_main_window_end_the_page(self):
        b = self.b
        for end in ('Exit', 'close button'):
            with self.subTest(end=end):
                if end == 'Exit':
                    b.click(*b.at('Picture4', BUTTON))
                else:
                    b.click(*self.close_button('#Form1'))
                self.assertEqual(b.js("return document.getElementById('qv-status').textContent"),
                                 'Quorvel has ended. Start it again')
                self.assertFalse(b.js("return !!document.querySelector('.qv-window')"))
                r = b.js("return document.querySelector('#qv-status a').getBoundingClientRect()")
                b.click(int(r['x'] + 5), int(r['y'] + 5))
                b.wait_for("document.getElementById('Form1') && !document.getElementById('Form1').hidden")
                b.settle()
                self.assertFace('pic1', 'pic3')

    def test_run_time_error_in_a_message_box_ends_the_page(self):
        # The browser fails to decode one picture, the pad's lit Up key, which is read when first
        # shown: pressing Up raises run-time error 481 inside an event procedure.
        with open(os.path.join(ROOT, 'assets', 'pictures.txt')) as listing:
            names = [re.match(r'[^\s:(]+', line).group() for line in listing if re.match(r'[^#\s]', line)]
        failing = names.index('ImageList1-2')
        script = self.b.driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': f"""
            const decode = window.createImageBitmap;
            let calls = 0;
            window.createImageBitmap = (blob, options) =>
                calls++ === {failing} ? Promise.reject(new Error('undecodable')) : decode(blob, options);"""})
        try:
            self.b.open(self.server.url)
        finally:
            self.b.driver.execute_cdp_cmd('Page.removeScriptToEvaluateOnNewDocument', script)
        b = self.b
        b.click(*b.at('Picture1', PAD_UP))
        self.assertEqual(b.js("return document.getElementById('MessageBox-Prompt').textContent"),
                         "Run-time error '481':\n\nInvalid picture: ImageList1-2")
        b.keys(Keys.ESCAPE)
        self.assertEqual(b.js("return document.getElementById('qv-status').textContent"),
                         'Quorvel ended after an error (status 1). Start it again')

    # ---- the keyboard ----
    def test_keyboard_round_and_keys_on_bitmap_controls(self):
        b = self.b
        self.assertEqual(b.focused(), TAB_ROUND[0])
        for key in TAB_ROUND[1:] + TAB_ROUND[:1]:
            b.keys(Keys.TAB)
            self.assertEqual(b.focused(), key)
        b.shifted(Keys.TAB)
        self.assertEqual(b.focused(), TAB_ROUND[-1])
        b.shifted(Keys.TAB)
        self.assertEqual(b.focused(), 'Chk1')
        # Space presses the focused box and lets go; the dotted focus rectangle shows.
        b.key_down(Keys.SPACE)
        b.key_up(Keys.SPACE)
        shot = b.shot()
        x0, y0 = b.corner('Chk1')
        ring = [shot.getpixel((int(x0) + x, int(y0))) for x in range(0, 26, 2)]
        self.assertEqual(ring, [(0, 0, 0)] * 13, 'the focus rectangle')
        self.assertEqual(b.face_differences('Chk1', 'ImageList2-3', shot=shot, ring=1), 0,
                         'checked, inside the focus rectangle')
        # The pad's keys, from the arrows and Home, each followed as the pad's active part.
        for _ in range(5):
            b.shifted(Keys.TAB)
        self.assertEqual(b.focused(), 'Picture1')
        b.key_down(Keys.ARROW_DOWN)
        self.assertEqual(b.face_differences('Picture1', 'ImageList1-4', covered=(137, 79), ring=1), 0)
        b.key_up(Keys.ARROW_DOWN)
        for key, name in [(Keys.ARROW_LEFT, 'Left'), (Keys.HOME, 'Home'), (Keys.ARROW_UP, 'Up'),
                          (Keys.ARROW_RIGHT, 'Right'), (Keys.ARROW_DOWN, 'Down')]:
            with self.subTest(key=name):
                b.keys(key)
                self.assertEqual(b.value('Text2'), name)
                self.assertEqual(b.js("return document.getElementById('Form1-Picture1').getAttribute('aria-activedescendant')"),
                                 'Form1-Picture1-' + name)

    # ---- assistive technology ----
    def test_accessibility_tree_names_every_bitmap_control(self):
        b = self.b
        b.click(*b.at('Chk1', BALL))

        groups, descriptions, internal, frames = {}, {}, {}, {}

        def tree():
            b.driver.execute_cdp_cmd('Accessibility.enable', {})
            nodes = b.driver.execute_cdp_cmd('Accessibility.getFullAXTree', {})['nodes']
            by_id = {n['nodeId']: n for n in nodes}
            found = {}
            for n in nodes:
                if n.get('ignored'):
                    continue
                props = {p['name']: p['value'].get('value') for p in n.get('properties', [])}
                role, name = n.get('role', {}).get('value'), n.get('name', {}).get('value')
                found.setdefault(name, []).append((role, props.get('checked'), props.get('pressed')))
                if role == 'button':
                    internal[name] = n.get('chromeRole', {}).get('value')
                if 'description' in n:
                    descriptions[name] = n['description'].get('value')
                if role == 'radio':
                    parent = by_id.get(n.get('parentId'), {})
                    if parent.get('role', {}).get('value') == 'radiogroup':
                        groups.setdefault(parent['name']['value'], []).append(name)
                    # Every name a screen reader reads for the groups round the button.
                    names, up = [], parent
                    while up:
                        if not up.get('ignored') and up.get('name', {}).get('value'):
                            names.append(up['name']['value'])
                        up = by_id.get(up.get('parentId'))
                    frames[name] = names
            return found

        found = tree()
        # Each group of option buttons, standard or drawn, is one radio group named by its frame,
        # read top down; the frame's caption is read once for each button, not twice.
        self.assertEqual(groups, {'Standard MS Custom Controls': ['Option1(0)', 'Option1(1)'],
                                  'Zennorak Design Quorvel technics examples':
                                      ['qvOption1(0)', 'qvOption1(1)', 'qvOption1(2)']})
        for group, radios in groups.items():
            for radio in radios:
                self.assertEqual(frames[radio].count(group), 1, f'{radio}: {frames[radio]}')
        # Push buttons, drawn or standard, with no pressed state: ARIA's pressed button is a
        # toggle button.
        expected = [
            ('qvCheck1', 'checkbox', 'true'),
            ('qvOption1(0)', 'radio', 'true'),
            ('qvOption1(1)', 'radio', 'false'),
            ('qvOption1(2)', 'radio', 'false'),
            ('Click here!', 'button', None),
            ('About', 'button', None),
            ('Exit', 'button', None),
            ('Direction pad', 'group', None),
            ('Home', 'button', None),
            ('Up', 'button', None),
            ('Down', 'button', None),
            ('Left', 'button', None),
            ('Right', 'button', None),
            ('Action:', 'textbox', None),
            ('Label1', 'textbox', None),
        ]
        for name, role, checked in expected:
            with self.subTest(name=name):
                self.assertIn((role, checked, None), found.get(name, []), f'{name}: {found.get(name)}')
                if role == 'button':
                    self.assertEqual(internal[name], internal['Command1'], f'{name} is not a push button')
        self.assertEqual(descriptions.get('Direction pad'), 'Use the arrow keys and Home')
        # A key held from the keyboard is followed as the pad's active part, still not pressed.
        for _ in range(TAB_ROUND.index('Picture1')):
            b.keys(Keys.TAB)
        b.key_down(Keys.ARROW_UP)
        self.assertEqual(tree().get('Up'), [('button', None, None)])
        self.assertEqual(b.js("return document.getElementById('Form1-Picture1').getAttribute('aria-activedescendant')"),
                         'Form1-Picture1-Up')
        b.key_up(Keys.ARROW_UP)
        b.click(*b.at('Picture7', BUTTON))
        self.assertIn(('dialog', None, None), tree().get('About...', []))
        # The About window is described by its six lines, read as it opens.
        self.assertEqual(descriptions.get('About...'), ' '.join(ABOUT_LINES))
        b.keys(Keys.ESCAPE)


class RunTest(unittest.TestCase):
    def test_run_web_serves_the_page_and_ends_on_ctrl_c(self):
        env = dict(os.environ, QUORVEL_WEB_BUILD_DIR=os.path.dirname(os.path.dirname(os.path.dirname(PAGE))))
        run = subprocess.Popen([os.path.join(ROOT, 'scripts', 'run'), '--web'], stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True, env=env, start_new_session=True)
        try:
            address = None
            for line in run.stdout:
                if 'http://127.0.0.1:' in line:
                    address = line[line.index('http://'):].split()[0].rstrip('.,')
                    break
            self.assertIsNotNone(address, 'no address printed')
            tunnel = run.stdout.readline()
            self.assertIn('ssh -L', tunnel)
            with urllib.request.urlopen(address) as answer, open(PAGE, 'rb') as page:
                self.assertEqual(answer.read(), page.read())
            os.killpg(run.pid, signal.SIGINT)
            self.assertEqual(run.wait(timeout=10), -signal.SIGINT)
            with self.assertRaises(OSError):
                urllib.request.urlopen(address, timeout=2)
        finally:
            if run.poll() is None:
                os.killpg(run.pid, signal.SIGKILL)
                run.wait()
            run.stdout.close()


if __name__ == '__main__':
    PAGE = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
