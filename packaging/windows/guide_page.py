#!/usr/bin/env python3
"""Turns the player's guide, docs/playing.md, into one HTML page for the
Windows zip, which a student opens in any browser without a network.

Usage: guide_page.py MARKDOWN PAGE [--link TARGET=NEW ...]

It knows the Markdown the guide is written in, and refuses the rest, so
that a construct added to the guide later stops the build instead of
showing as stray marks: headings (#, ##, ###), paragraphs, lists with "-"
or "1." nested by indentation, fenced code blocks, tables with a header
row, and inside a line **bold**, `code`, [links](target) and <https://...>.
A link to another file of the docs must be given a new target with --link
(founders.md=Founders.txt): the zip holds no docs folder. A link whose text
is its old target shows the new one. The page has Windows line ends.
"""

import html
import re
import sys

PAGE = """<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title}</title>
<style>
body {{ font-family: "Segoe UI", system-ui, sans-serif; line-height: 1.5; color: #222;
       max-width: 48em; margin: 2em auto; padding: 0 1em; }}
h1, h2, h3 {{ color: #5c3d0b; line-height: 1.2; }}
code, pre {{ font-family: Consolas, "DejaVu Sans Mono", monospace; font-size: 0.95em; }}
pre {{ background: #f6f2e6; padding: 0.6em 1em; overflow-x: auto; }}
table {{ border-collapse: collapse; margin: 1em 0; }}
th, td {{ border: 1px solid #bbb; padding: 0.25em 0.6em; text-align: left; vertical-align: top; }}
th {{ background: #f6f2e6; }}
@media print {{ body {{ max-width: none; margin: 0; }} pre {{ white-space: pre-wrap; }} }}
</style>
</head>
<body>
{body}</body>
</html>
"""

LIST_ITEM = re.compile(r"( *)(-|\d+\.) (.*)")


class GuideError(Exception):
    pass


class Converter:
    def __init__(self, links):
        self.links = links

    # --- inside a line ---

    def inline(self, text, where):
        parts = re.split(r"(`[^`]*`)", text)
        out = []
        for part in parts:
            if part.startswith("`") and part.endswith("`") and len(part) >= 2:
                out.append("<code>" + html.escape(part[1:-1], quote=False) + "</code>")
            else:
                out.append(self.words(part, where))
        return "".join(out)

    def words(self, text, where):
        if "`" in text:
            raise GuideError(where + ": a ` without its closing one")
        pieces = []
        position = 0
        pattern = re.compile(r"\[([^\]]+)\]\(([^)\s]+)\)|<(https?://[^>\s]+)>")
        for found in pattern.finditer(text):
            pieces.append(self.emphasis(text[position:found.start()], where))
            if found.group(3):
                target = label = found.group(3)
                label = html.escape(label)
            else:
                label, target = found.group(1), found.group(2)
                if not re.match(r"https?://|#", target):
                    if target not in self.links:
                        raise GuideError("%s: the link to %s needs --link %s=NEW" % (where, target, target))
                    if label == target:
                        label = self.links[target]
                    target = self.links[target]
                label = self.emphasis(label, where)
            pieces.append('<a href="%s">%s</a>' % (html.escape(target), label))
            position = found.end()
        pieces.append(self.emphasis(text[position:], where))
        return "".join(pieces)

    def emphasis(self, text, where):
        text = html.escape(text, quote=False)
        text = re.sub(r"\*\*(\S(?:.*?\S)?)\*\*", r"<strong>\1</strong>", text)
        for mark, name in (("*", "emphasis"), ("](", "link"), ("![", "picture"), ("__", "emphasis")):
            if mark in text:
                raise GuideError("%s: %s written as %r is not known here" % (where, name, mark))
        return text

    # --- blocks ---

    def blocks(self, lines, first):
        """HTML of the blocks in `lines`; `first` is the number of the file's
        line that lines[0] is, for messages."""
        out = []
        i = 0
        while i < len(lines):
            line = lines[i]
            where = "line %d" % (first + i)
            if not line.strip():
                i += 1
                continue
            if line.startswith("```"):
                if line.strip() != "```":
                    raise GuideError(where + ": a code block with a language is not known here")
                end = i + 1
                while end < len(lines) and lines[end].strip() != "```":
                    end += 1
                if end == len(lines):
                    raise GuideError(where + ": a code block without its closing ```")
                code = "".join(html.escape(text, quote=False) + "\n" for text in lines[i + 1:end])
                out.append("<pre><code>" + code + "</code></pre>\n")
                i = end + 1
                continue
            heading = re.match(r"(#{1,3}) (.+)", line)
            if heading:
                level = len(heading.group(1))
                out.append("<h%d>%s</h%d>\n" % (level, self.inline(heading.group(2).strip(), where), level))
                i += 1
                continue
            if line.startswith("|"):
                end = i
                while end < len(lines) and lines[end].startswith("|"):
                    end += 1
                out.append(self.table(lines[i:end], first + i))
                i = end
                continue
            if LIST_ITEM.match(line):
                end = self.list_end(lines, i)
                out.append(self.list(lines[i:end], first + i))
                i = end
                continue
            if re.match(r" *(#|>|\* |\+ |<|={3,}|-{3,}|_{3,}|!\[)", line) or line.startswith(" "):
                raise GuideError("%s: %r is not known here" % (where, line.strip()[:20]))
            end = i
            while end < len(lines) and lines[end].strip() and not self.starts_block(lines[end]):
                end += 1
            text = " ".join(part.strip() for part in lines[i:end])
            out.append("<p>" + self.inline(text, where) + "</p>\n")
            i = end
        return "".join(out)

    @staticmethod
    def starts_block(line):
        return line.startswith(("```", "#", "|")) or LIST_ITEM.match(line) is not None

    @staticmethod
    def list_end(lines, start):
        """Where the list that starts at `start` ends: at a line less indented
        than its items that is not one of them, after a blank line or not."""
        indent = len(LIST_ITEM.match(lines[start]).group(1))
        end = start + 1
        while end < len(lines):
            line = lines[end]
            if line.strip():
                item = LIST_ITEM.match(line)
                here = len(line) - len(line.lstrip(" "))
                if here < indent or (here == indent and not item):
                    break
            end += 1
        while end > start and not lines[end - 1].strip():
            end -= 1
        return end

    def list(self, lines, first):
        marker = LIST_ITEM.match(lines[0])
        indent = len(marker.group(1))
        ordered = marker.group(2) != "-"
        items = []  # (number of its first line, its lines with the marker's room taken off)
        for n, line in enumerate(lines):
            item = LIST_ITEM.match(line)
            if item and len(item.group(1)) == indent:
                if (item.group(2) != "-") != ordered:
                    raise GuideError("line %d: a list that mixes '-' and numbers" % (first + n))
                items.append((first + n, len(item.group(1)) + len(item.group(2)) + 1, [item.group(3)]))
            elif line.strip() and len(line) - len(line.lstrip(" ")) < items[-1][1]:
                raise GuideError("line %d: a line of a list item must be indented as its text" % (first + n))
            else:
                items[-1][2].append(line[items[-1][1]:])
        tag = "ol" if ordered else "ul"
        start = int(marker.group(2)[:-1]) if ordered else 1
        out = ["<%s%s>\n" % (tag, ' start="%d"' % start if start != 1 else "")]
        for number, _, body in items:
            content = self.blocks(body, number)
            # A tight item of one paragraph shows its text without a paragraph's margins.
            paragraphs = content.count("<p>")
            if paragraphs == 1 and content.startswith("<p>"):
                content = content.replace("<p>", "", 1).replace("</p>\n", "\n", 1)
            out.append("<li>" + content.rstrip("\n") + "</li>\n")
        out.append("</%s>\n" % tag)
        return "".join(out)

    def table(self, lines, first):
        def cells(line):
            return [cell.strip() for cell in line.strip().strip("|").split("|")]

        if len(lines) < 2 or not re.fullmatch(r"\|( *:?-+:? *\|)+", lines[1].strip()):
            raise GuideError("line %d: a table needs a header row and a row of dashes under it" % first)
        header = cells(lines[0])
        out = ["<table>\n<thead><tr>"]
        out += ["<th>%s</th>" % self.inline(cell, "line %d" % first) for cell in header]
        out.append("</tr></thead>\n<tbody>\n")
        for n, line in enumerate(lines[2:], start=first + 2):
            row = cells(line)
            if len(row) != len(header):
                raise GuideError("line %d: %d cells under a header of %d" % (n, len(row), len(header)))
            out.append("<tr>" + "".join("<td>%s</td>" % self.inline(cell, "line %d" % n) for cell in row) + "</tr>\n")
        out.append("</tbody>\n</table>\n")
        return "".join(out)


def convert(markdown, links):
    """The whole page of `markdown`, its title the first heading's text."""
    lines = markdown.replace("\r\n", "\n").split("\n")
    title = next((line[2:].strip() for line in lines if line.startswith("# ")), None)
    if title is None:
        raise GuideError("the guide has no title (a first line '# ...')")
    body = Converter(links).blocks(lines, 1)
    return PAGE.format(title=html.escape(title), body=body)


def main():
    arguments = sys.argv[1:]
    links = {}
    while len(arguments) >= 2 and arguments[-2] == "--link":
        old, _, new = arguments[-1].partition("=")
        links[old] = new
        arguments = arguments[:-2]
    if len(arguments) != 2:
        sys.exit(__doc__)
    source, page = arguments
    with open(source, encoding="utf-8") as f:
        markdown = f.read()
    try:
        text = convert(markdown, links)
    except GuideError as error:
        sys.exit("%s: %s" % (source, error))
    with open(page, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
