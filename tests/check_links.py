#!/usr/bin/env python3
"""Every relative link in the tree's Markdown documents resolves.

Usage: check_links.py SOURCE-DIR. Reads README.md, CONTRIBUTING.md and
docs/*.md; each link [text](target) or image ![alt](target) that is not a
URL must name a file or folder inside the tree, and its #anchor a heading
of the Markdown file it names, as GitHub makes anchors of headings. Code
(fenced blocks, `spans`) holds text, not links. Prints each broken link;
exits 1 when there is one.
"""

import pathlib
import re
import sys

LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(([^()\s]+)(?:\s+\"[^\"]*\")?\)")
HEADING = re.compile(r"^ {0,3}#{1,6}\s+(.*?)(?:\s+#+)?\s*$")
FENCE = re.compile(r"^ {0,3}(`{3,}|~{3,})")
URL = re.compile(r"^[a-z][a-z0-9+.-]*:", re.IGNORECASE)


def outside_fences(text):
    fence = None
    for line in text.splitlines():
        marker = FENCE.match(line)
        if marker and (fence is None or marker.group(1).startswith(fence)):
            fence = marker.group(1)[:3] if fence is None else None
        elif fence is None:
            yield line


def slug(heading):
    """GitHub's anchor: link text kept, lower case, punctuation dropped, spaces as hyphens."""
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", heading).lower()
    return re.sub(r"[^\w\- ]", "", text).replace(" ", "-")


def anchors(path):
    found, seen = set(), {}
    for line in outside_fences(path.read_text(encoding="utf-8")):
        match = HEADING.match(line)
        if match:
            base = slug(match.group(1))
            count = seen.get(base, 0)
            seen[base] = count + 1
            found.add(base if count == 0 else f"{base}-{count}")
    return found


def broken_links(root, document):
    for line in outside_fences(document.read_text(encoding="utf-8")):
        for target in LINK.findall(re.sub(r"(`+).*?\1", "", line)):
            if URL.match(target):
                continue
            name, _, anchor = target.partition("#")
            path = (document.parent / name).resolve() if name else document
            where = f"{document.relative_to(root)}: {target}"
            if (path != root and root not in path.parents) or not path.exists():
                yield f"{where}: no such file in the tree"
            elif anchor and (path.suffix != ".md" or anchor not in anchors(path)):
                yield f"{where}: no such heading"


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    documents = [root / "README.md", root / "CONTRIBUTING.md", *sorted((root / "docs").glob("*.md"))]
    problems = [problem for document in documents for problem in broken_links(root, document)]
    print("\n".join(problems + [f"{len(documents)} documents, {len(problems)} broken links"]))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
