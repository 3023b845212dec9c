#!/usr/bin/env python3
"""Writes a UTF-8 text file as UTF-16 little-endian, without byte-order mark or terminator.

    utf16le.py INPUT OUTPUT
"""
import sys

if len(sys.argv) != 3:
    sys.exit("usage: utf16le.py INPUT OUTPUT")
with open(sys.argv[1], encoding="utf-8") as source:
    text = source.read().rstrip("\r\n")
with open(sys.argv[2], "wb") as out:
    out.write(text.encode("utf-16-le"))
