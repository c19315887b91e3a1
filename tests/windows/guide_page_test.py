#!/usr/bin/env python3
"""The player's guide as the zip's web page (packaging/windows/guide_page.py)."""

import html.parser
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
sys.dont_write_bytecode = True  # nothing written into the sources
sys.path.insert(0, os.path.join(ROOT, "packaging", "windows"))
import guide_page  # noqa: E402


def body(markdown, links=None):
    page = guide_page.convert("# Title\n\n" + markdown, links or {})
    return page[page.index("<h1>Title</h1>\n") + len("<h1>Title</h1>\n"):page.index("</body>")]


class Tags(html.parser.HTMLParser):
    """Every element of a page closed in the order it was opened."""

    EMPTY = {"meta"}

    def __init__(self):
        super().__init__()
        self.open, self.faults = [], []

    def handle_starttag(self, tag, attrs):
        if tag not in self.EMPTY:
            self.open.append(tag)

    def handle_endtag(self, tag):
        if not self.open or self.open.pop() != tag:
            self.faults.append(tag)


class GuidePageTest(unittest.TestCase):
    def test_the_guide_makes_a_whole_page(self):
        with open(os.path.join(ROOT, "docs", "playing.md"), encoding="utf-8") as f:
            page = guide_page.convert(f.read(), {"founders.md": "Founders.txt", "teaching.md": "README.txt"})
        tags = Tags()
        tags.feed(page)
        self.assertEqual((tags.open, tags.faults), ([], []))
        self.assertIn("<title>Playing Plotwright</title>", page)
        self.assertIn('<a href="Founders.txt">Founders.txt</a>', page)
        self.assertIn("<table>", page)
        for mark in ("**", "](", "```", "\n- ", "\n1. "):
            self.assertNotIn(mark, page)

    def test_lists_nest_by_indentation_and_lines_join(self):
        self.assertEqual(
            body("1. First,\n   continued.\n2. Second:\n   - **a** one\n     more\n   - b\n3. Third\n\nAfter."),
            "<ol>\n<li>First, continued.</li>\n<li>Second:\n<ul>\n<li><strong>a</strong> one more</li>\n"
            "<li>b</li>\n</ul></li>\n<li>Third</li>\n</ol>\n<p>After.</p>\n")

    def test_text_and_code_are_shown_as_written(self):
        self.assertEqual(body("Press <Enter> & `a<b>` [x](https://e.org/?a=1&b=2)\n\n```\n<Enter> & **\n```"),
                         '<p>Press &lt;Enter&gt; &amp; <code>a&lt;b&gt;</code> <a href="https://e.org/?a=1&amp;b=2">x'
                         "</a></p>\n<pre><code>&lt;Enter&gt; &amp; **\n</code></pre>\n")
        self.assertEqual(body("| A | `B` |\n|---|---|\n| 1 | 2 |"),
                         "<table>\n<thead><tr><th>A</th><th><code>B</code></th></tr></thead>\n<tbody>\n"
                         "<tr><td>1</td><td>2</td></tr>\n</tbody>\n</table>\n")

    def test_markdown_it_cannot_show_stops_it(self):
        for markdown in ("> a quote", "an *emphasis*", "```\nnever closed", "```sh\nls\n```", "see [it](other.md)",
                         "| A | B |\n|---|---|\n| 1 |", "    indented code", "![a picture](p.png)", "a `b"):
            with self.subTest(markdown=markdown), self.assertRaises(guide_page.GuideError):
                body(markdown)


if __name__ == "__main__":
    unittest.main()
