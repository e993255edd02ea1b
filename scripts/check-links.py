#!/usr/bin/env python3
"""check-links.py PAGE.html...

Fails when a link or picture of an HTML page does not resolve: a relative
file that does not exist, or a #fragment that names no id in its page.
Web addresses are not fetched (there may be no network); they only have to
be well formed.
"""
import html.parser
import os
import sys
import urllib.parse


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids = set()
        self.links = []  # (line, attribute value)

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if name in ("id", "name") and value:
                self.ids.add(value)
            if (name == "href" and tag in ("a", "link")) or (name == "src" and tag in ("img", "script")):
                self.links.append((self.getpos()[0], value or ""))


def parse(path):
    page = Page()
    with open(path, encoding="utf-8") as f:
        page.feed(f.read())
    return page


def main(paths):
    problems = []
    pages = {}
    for path in paths:
        path = os.path.abspath(path)
        page = pages.setdefault(path, parse(path))
        for line, link in page.links:
            where = f"{path}:{line}: '{link}'"
            url = urllib.parse.urlsplit(link)
            if url.scheme in ("http", "https", "mailto"):
                if url.scheme != "mailto" and not url.netloc:
                    problems.append(f"{where}: no host")
                continue
            if url.scheme and url.scheme != "file":
                problems.append(f"{where}: unexpected scheme")
                continue
            if not link:
                problems.append(f"{where}: empty link")
                continue
            target = path
            if url.path:
                target = os.path.normpath(os.path.join(os.path.dirname(path), urllib.parse.unquote(url.path)))
                if not os.path.exists(target):
                    problems.append(f"{where}: {target} does not exist")
                    continue
            if url.fragment:
                if not target.endswith((".html", ".htm")):
                    problems.append(f"{where}: a fragment of a file that is no page")
                    continue
                other = pages.setdefault(target, parse(target))
                if urllib.parse.unquote(url.fragment) not in other.ids:
                    problems.append(f"{where}: no id '{url.fragment}' in {os.path.basename(target)}")
    for p in problems:
        print(p, file=sys.stderr)
    links = sum(len(pages[os.path.abspath(p)].links) for p in paths)
    print(f"check-links: {links} links, {len(problems)} broken")
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1:]))
