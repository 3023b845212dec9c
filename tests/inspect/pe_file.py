"""A small reader of Windows PE images: headers, sections, imports, delay-import descriptors and
the resource tree."""
import re
import struct

MACHINE_I386 = 0x014C
MACHINE_AMD64 = 0x8664
PE32 = 0x010B
PE32_PLUS = 0x020B
SUBSYSTEM_WINDOWS_GUI = 2

DIRECTORY_IMPORT = 1
DIRECTORY_RESOURCE = 2


class PeError(Exception):
    pass


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = self._u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        (self.machine, section_count, self.timestamp, self.symbol_table, self.symbol_count, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = self._u16(optional)
        if self.magic not in (PE32, PE32_PLUS):
            raise PeError("unknown optional header magic %#x" % self.magic)
        self.subsystem = self._u16(optional + 68)
        self.pointer_size = 4 if self.magic == PE32 else 8
        self.image_base = (self._u32(optional + 28) if self.magic == PE32
                           else struct.unpack_from("<Q", data, optional + 24)[0])
        count_offset = optional + (92 if self.magic == PE32 else 108)
        count = self._u32(count_offset)
        self.directories = [struct.unpack_from("<II", data, count_offset + 4 + 8 * i)
                            for i in range(count)]
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            name, vsize, rva, raw_size, raw_offset = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("ascii", "replace"),
                                  rva, max(vsize, raw_size), raw_offset, raw_size))
        # Long section names (debug sections among them) are "/N", an offset into the string
        # table that follows the symbol table.
        if self.symbol_table:
            strings = self.symbol_table + 18 * self.symbol_count
            self.sections = [(self._long_name(strings, name), *rest) for name, *rest in self.sections]

    def _long_name(self, strings, name):
        if not re.fullmatch(r"/[0-9]+", name) or strings + int(name[1:]) >= len(self.data):
            return name
        start = strings + int(name[1:])
        return self.data[start:self.data.index(b"\0", start)].decode("ascii", "replace")

    def section_named(self, wanted):
        return next((section for section in self.sections if section[0] == wanted), None)

    def _u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def _u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset_of(self, rva):
        for _, start, size, raw_offset, raw_size in self.sections:
            if start <= rva < start + size:
                if rva - start >= raw_size:
                    raise PeError("RVA %#x lies in uninitialised data" % rva)
                return raw_offset + rva - start
        raise PeError("RVA %#x is in no section" % rva)

    def bytes_at(self, rva, size):
        offset = self.offset_of(rva)
        return self.data[offset:offset + size]

    def ascii_at(self, rva):
        offset = self.offset_of(rva)
        return self.data[offset:self.data.index(b"\0", offset)].decode("ascii", "replace")

    def pointer_at(self, rva):
        """The pointer-sized value at rva; 0 in uninitialised data, which the loader zeroes."""
        for _, start, size, raw_offset, raw_size in self.sections:
            if start <= rva < start + size and rva - start >= raw_size:
                return 0
        return int.from_bytes(self.bytes_at(rva, self.pointer_size), "little")

    def delay_import(self, rva):
        """The delay-import descriptor at rva: the DLL's name and, for each entry it imports, the
        name (an ordinal as "#n") and the address its slot holds before the first call. The
        linker need not list the descriptors in the data directory."""
        attributes, name, _, address_table, name_table = struct.unpack_from("<5I", self.bytes_at(rva, 20))
        if not attributes & 1:
            raise PeError("delay-import descriptor at %#x does not hold RVAs" % rva)
        entries = []
        ordinal_flag = 1 << (8 * self.pointer_size - 1)
        while True:
            entry = self.pointer_at(name_table + self.pointer_size * len(entries))
            if entry == 0:
                break
            slot = self.pointer_at(address_table + self.pointer_size * len(entries))
            entries.append(("#%d" % (entry & 0xFFFF) if entry & ordinal_flag else self.ascii_at(entry + 2), slot))
        return self.ascii_at(name), entries

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def imported_dlls(self):
        """Names of the DLLs of the import table, as written there."""
        rva, size = self.directory(DIRECTORY_IMPORT)
        names = []
        while rva and size:
            descriptor = self.bytes_at(rva + 20 * len(names), 20)
            if descriptor == b"\0" * 20:
                break
            names.append(self.ascii_at(struct.unpack_from("<I", descriptor, 12)[0]))
        return names

    def resources(self):
        """Every resource as {(type, name, language): bytes}; type and name are an int or a
        string, as the resource directory holds them."""
        root, size = self.directory(DIRECTORY_RESOURCE)
        found = {}
        if not root or not size:
            return found
        for type_key, type_dir in self._resource_entries(root, root):
            for name_key, name_dir in self._resource_entries(root, type_dir):
                for language, leaf in self._resource_entries(root, name_dir):
                    data_rva, data_size = struct.unpack_from("<II", self.bytes_at(leaf, 8))
                    found[(type_key, name_key, language)] = self.bytes_at(data_rva, data_size)
        return found

    def _resource_entries(self, root, directory):
        named, numbered = struct.unpack_from("<HH", self.bytes_at(directory + 12, 4))
        for i in range(named + numbered):
            key, target = struct.unpack_from("<II", self.bytes_at(directory + 16 + 8 * i, 8))
            if key & 0x80000000:
                string = root + (key & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.bytes_at(string, 2))[0]
                key = self.bytes_at(string + 2, 2 * length).decode("utf-16-le")
            yield key, root + (target & 0x7FFFFFFF)
