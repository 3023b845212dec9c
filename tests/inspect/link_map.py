"""A reader of GNU ld's link map (-Map): where each input section went and which global symbols
it defines. The image says what is there; the map says whose it is, even when the image carries
no symbol table."""
import re
from collections import namedtuple

InputSection = namedtuple("InputSection", "name address size file")
Symbol = namedtuple("Symbol", "address section")

_NAME_ALONE = re.compile(r"^ (\.\S+|COMMON)\s*$")
_INPUT = re.compile(r"^ (\.\S+|COMMON)?\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)\s+(\S.*?)\s*$")
_SYMBOL = re.compile(r"^\s+0x([0-9a-fA-F]+)\s+([^\s=()]+)\s*$")


class LinkMap:
    def __init__(self, path):
        self.sections = []
        self.symbols = {}
        with open(path, encoding="utf-8", errors="replace") as text:
            lines = iter(text)
            for line in lines:
                if line.startswith("Linker script and memory map"):
                    break
            name = None
            for line in lines:
                alone = _NAME_ALONE.match(line)
                if alone:
                    name = alone.group(1)
                    continue
                placed = _INPUT.match(line)
                if placed and (placed.group(1) or name):
                    self.sections.append(InputSection(placed.group(1) or name, int(placed.group(2), 16),
                                                      int(placed.group(3), 16), placed.group(4)))
                    name = None
                    continue
                symbol = _SYMBOL.match(line)
                if symbol and self.sections:
                    self.symbols[symbol.group(2)] = Symbol(int(symbol.group(1), 16), self.sections[-1])

    def section_at(self, address):
        """The input section that holds the address, or None."""
        for section in self.sections:
            if section.size and section.address <= address < section.address + section.size:
                return section
        return None
