#!/usr/bin/env python3
"""transcode.py IN OUT: writes the UTF-8 source IN as GBK to OUT.

clang takes no execution character set but UTF-8, yet copies the bytes of a
string literal that are not UTF-8 as they stand. A source turned into GBK
therefore compiles to the same GBK literals that GCC's -fexec-charset=GBK
makes of the UTF-8 source. One GBK character would break that: a second byte
of 0x5C ("\\") starts an escape inside a literal and joins the next line to a
comment, so such a character stops the build."""
import os
import sys

src, dst = sys.argv[1], sys.argv[2]
text = open(src, encoding='utf-8').read()
data = text.encode('gbk')
i = 0
while i < len(data):
    if data[i] >= 0x81 and i + 1 < len(data):
        if data[i + 1] == 0x5C:
            line = data[:i].count(b'\n') + 1
            sys.exit('%s:%d: a character whose GBK form ends in "\\" cannot be compiled this way' % (src, line))
        i += 2
    else:
        i += 1
os.makedirs(os.path.dirname(os.path.abspath(dst)), exist_ok=True)
tmp = dst + '.tmp'
with open(tmp, 'wb') as f:
    f.write(data)
os.replace(tmp, dst)
