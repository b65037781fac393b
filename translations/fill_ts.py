#!/usr/bin/env python3
"""fill_ts.py TS DICT.py: writes the English of DICT.py (a dict T of
(context, Japanese source) -> English) into the unfinished entries of TS.
A helper for translating many new texts at once; Qt Linguist does the same."""
import re
import runpy
import sys
import xml.sax.saxutils as su

ts_path, dict_path = sys.argv[1], sys.argv[2]
T = runpy.run_path(dict_path)["T"]
text = open(ts_path, encoding="utf-8").read()


def decode(xml):
    xml = re.sub(r'<byte value="x([0-9a-fA-F]+)"/>', lambda m: chr(int(m.group(1), 16)), xml)
    return su.unescape(xml, {"&quot;": '"', "&apos;": "'"})


def encode(s):
    s = su.escape(s, {'"': "&quot;", "'": "&apos;"})
    return s.replace("\r", '<byte value="xd"/>')


out, missing, context = [], [], None
pos = 0
for m in re.finditer(r"<name>(.*?)</name>|<source>((?:(?!</source>).)*)</source>\s*<translation type=\"unfinished\"></translation>",
                     text, re.S):
    if m.group(1) is not None:
        context = decode(m.group(1))
        continue
    source = decode(m.group(2))
    english = T.get((context, source))
    if english is None:
        missing.append((context, source))
        continue
    out.append(text[pos:m.start()])
    out.append("<source>%s</source>\n        <translation>%s</translation>" % (m.group(2), encode(english)))
    pos = m.end()
out.append(text[pos:])
open(ts_path, "w", encoding="utf-8").write("".join(out))
for context, source in missing:
    print("no English for %s: %r" % (context, source))
