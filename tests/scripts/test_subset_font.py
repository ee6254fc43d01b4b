#!/usr/bin/python3
"""scripts/subset-font, the page's font cut down at build time (run by tests/web/stage, on
Debian's Python with fontTools, Brotli and fonts-liberation2):

    test_subset_font.py [unittest options...]
"""
import importlib.machinery
import importlib.util
import os
import subprocess
import tempfile
import unittest

from fontTools.ttLib import TTFont

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCRIPT = os.path.join(ROOT, 'scripts', 'subset-font')
BOLD = '/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf'

loader = importlib.machinery.SourceFileLoader('subset_font', SCRIPT)
subset_font = importlib.util.module_from_spec(importlib.util.spec_from_loader('subset_font', loader))
loader.exec_module(subset_font)


class ReadingTest(unittest.TestCase):
    def test_unicode_ranges(self):
        cases = [('U+0041', {0x41}),
                 ('U+0041-0043', {0x41, 0x42, 0x43}),
                 ('41, U+2116', {0x41, 0x2116}),
                 ('u+1f00-1f01,U+0041', {0x1F00, 0x1F01, 0x41})]
        for text, points in cases:
            with self.subTest(text=text):
                self.assertEqual(subset_font.parse_unicodes(text), points)
        for bad in ['U+0043-0041', 'U+00G1', 'U+0041-', 'Latin', 'U+0041,,U+0042']:
            with self.subTest(bad=bad):
                with self.assertRaises(ValueError):
                    subset_font.parse_unicodes(bad)

    def test_characters_of_string_literals(self):
        cases = [('f("About...");', 'About.'),
                 (r'x = "say \"hi\"";', 'say "hi'),
                 (r'"a\\b" "c\nd"', 'a\\bcd'),  # a newline is not drawn
                 ('// no literal here\nint x = 1;', ''),
                 ('"Καλη" "é"', 'Καληé')]
        for source, characters in cases:
            with self.subTest(source=source):
                self.assertEqual(subset_font.literal_characters(source), {ord(c) for c in characters})


class SubsetTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.texts = os.path.join(self.folder.name, 'texts.cpp')
        with open(self.texts, 'w', encoding='utf-8') as source:
            source.write('const char *a = "About...";\nconst char *b = "Zé!";\n')

    def tearDown(self):
        self.folder.cleanup()

    def run_script(self, name, *args):
        out = os.path.join(self.folder.name, name)
        result = subprocess.run([SCRIPT, '--family', 'Quorvel Sans', *args, BOLD, out],
                                capture_output=True, text=True)
        return result, out

    def test_keeps_the_texts_characters_under_a_name_of_its_own(self):
        result, out = self.run_script('a.woff2', '--from-family', 'Liberation Sans', '--texts-of', self.texts)
        self.assertEqual(result.returncode, 0, result.stderr)
        font = TTFont(out)
        self.assertEqual(font.flavor, 'woff2')
        self.assertEqual(set(font.getBestCmap()), {ord(c) for c in 'About.Zé!'})
        names = {(r.nameID, r.toUnicode()) for r in font['name'].names}
        self.assertIn((1, 'Quorvel Sans'), names)
        self.assertIn((4, 'Quorvel Sans Bold'), names)
        self.assertIn((6, 'QuorvelSans-Bold'), names)
        self.assertEqual([n for n in names if 'Liberation' in n[1] and n[0] != 0], [])
        self.assertEqual({n for n, _ in names}, {0, 1, 2, 3, 4, 5, 6, 13, 14})

    def test_refuses_what_it_cannot_do(self):
        cases = [('a family it does not rename', ('--from-family', 'Liberation Serif', '--texts-of', self.texts),
                  'still name'),
                 ('both ways of choosing', ('--from-family', 'Liberation Sans', '--texts-of', self.texts,
                                            '--unicodes', 'U+0041'), 'either'),
                 ('a bad range', ('--from-family', 'Liberation Sans', '--unicodes', 'U+0043-0041'), 'ends before'),
                 ('a missing source', ('--from-family', 'Liberation Sans', '--texts-of', '/nonexistent.cpp'),
                  'nonexistent')]
        for name, args, said in cases:
            with self.subTest(name):
                result, out = self.run_script(name.replace(' ', '-') + '.woff2', *args)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(said, result.stderr)


if __name__ == '__main__':
    unittest.main()
