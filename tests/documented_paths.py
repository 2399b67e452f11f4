#!/usr/bin/env python3
"""Every path of the source tree that a document names must exist.

  documented_paths.py ROOT DOCUMENT...

A path is a word in backquotes (Markdown, outside code blocks) or after
.I/.B (a manual page) that begins with one of the tree's top-level folders. Words with a
placeholder (<version>, *, ...) are patterns and are left alone, and so are
include names in angle brackets, which name headers as a program includes
them, not places in the tree.
"""
import os
import re
import sys

FOLDERS = ("app/", "checker/", "qirt/", "persist/", "wyx/", "tests/", "bench/", "fuzz/",
           "cmake/", "doc/", "examples/", ".ci/")


def named_paths(text):
    # Code blocks hold commands and programs, whose words are not the
    # document's references.
    prose = re.sub(r"^```.*?^```", "", text, flags=re.M | re.S)
    spans = re.findall(r"`([^`]+)`", prose) + re.findall(r"^\.[IB]R? (\S+)", text, re.M)
    for span in spans:
        for word in span.split():
            word = word.rstrip(".,:;)'\"")
            if word.startswith(FOLDERS) and not re.search(r"[<>*{}$]", word):
                yield word


def main():
    root, documents = sys.argv[1], sys.argv[2:]
    missing = []
    for document in documents:
        with open(os.path.join(root, document), encoding="utf-8") as f:
            text = f.read()
        for path in sorted(set(named_paths(text))):
            if not os.path.exists(os.path.join(root, path)):
                missing.append("%s names %s, which does not exist" % (document, path))
    print("\n".join(missing) or "every path named exists")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
