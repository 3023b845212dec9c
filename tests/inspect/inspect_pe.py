#!/usr/bin/env python3
"""Inspects a built VsEnclosaSetupBoot executable without running it: image kind, resource
catalogue, texts, dialog, manifest, version block, campaign record, icons, pictures, the
DLLs it imports and, with the linker's map of the image, the DLLs it delay-loads and the hook
that loads them. Prints one line per failed check and exits 1 when any failed.

    inspect_pe.py EXE --arch x86|x64 [--newer-outlook] [--current-windows] [--welcome DIR]
                  [--no-imports] [--map MAP]
                  [--release --foreign DIR... --symbols FILE] [--code-limit KIB]
                  [--expect-fail REGEX]...

It prints the image's size three ways: the whole file, without the payloads (packages, runtime
and installer redistributables), and without any resource (our code and data with the static
runtimes). --release also checks what a shipped image must be: no debug sections, no symbol
table, no link time stamp, no trace of the build machine's folders (--foreign), and a symbol
file (--symbols) whose sections are the image's, byte for byte at the same addresses.
--code-limit fails an image that is larger than KIB without any resource.

With --expect-fail the inspection itself is under test: it passes when every REGEX matches
one of the failures, as it must for a deliberately broken image.
"""
import argparse
import os
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree

# The readers beside this script; no compiled copies in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import link_map  # noqa: E402
import pe_file  # noqa: E402
import resource_formats as fmt  # noqa: E402
from catalogue import (CATALOGUE, STRINGS, NEWER_OUTLOOK_STRINGS, ICON_PICTURES, PICTURE_SIZES, ALLOWED_DLLS,  # noqa: E402
                       CAMPAIGN_RECORD, VERSION_STRINGS, RUNTIME_DLL, RT_ICON, RT_STRING, RT_DIALOG,
                       RT_GROUP_ICON, RT_VERSION, RT_HTML, RT_MANIFEST, POLISH, NEUTRAL, US_ENGLISH,
                       DELAY_LOADED_DLLS, DELAY_LOAD_HOOK_OBJECT, SUPPORTED_SYSTEMS, CURRENT_SYSTEMS,
                       CURRENT_WINDOW_SETTINGS)


class Inspection:
    def __init__(self, path, arch):
        with open(path, "rb") as image:
            self.pe = pe_file.PeFile(image.read())
        self.arch = arch
        self.resources = self.pe.resources()
        self.failures = []

    def fail(self, text):
        self.failures.append(text)

    def expect(self, what, actual, expected):
        if actual != expected:
            self.fail("%s: %r, expected %r" % (what, actual, expected))

    def resource(self, kind, name, language):
        key = (kind, name, language)
        if key not in self.resources:
            return None
        return self.resources[key]

    def image(self):
        machine, magic = ((pe_file.MACHINE_I386, pe_file.PE32) if self.arch == "x86"
                          else (pe_file.MACHINE_AMD64, pe_file.PE32_PLUS))
        self.expect("machine", hex(self.pe.machine), hex(machine))
        self.expect("optional header", hex(self.pe.magic), hex(magic))
        self.expect("subsystem", self.pe.subsystem, pe_file.SUBSYSTEM_WINDOWS_GUI)
        if not self.pe.characteristics & 0x0002:
            self.fail("image is not marked executable")

    def catalogue(self):
        # Custom types are stored upper-case; lookups by name ignore case.
        present = {(k.upper() if isinstance(k, str) else k, n, lang) for k, n, lang in self.resources}
        for kind, name, language in CATALOGUE:
            key = (kind.upper() if isinstance(kind, str) else kind, name, language)
            if key not in present:
                self.fail("resource %s/%s/%s missing" % key)
        manifests = [key for key in self.resources if key[0] == RT_MANIFEST]
        self.expect("manifest resources", manifests, [(RT_MANIFEST, 1, US_ENGLISH)])

    def strings(self, strings=STRINGS):
        for (string_id, language), text in strings.items():
            block = self.resource(RT_STRING, string_id // 16 + 1, language)
            if block is None:
                self.fail("no string block for %d/%d" % (string_id, language))
                continue
            self.expect("string %d/%d" % (string_id, language), fmt.string_block(block)[string_id % 16], text)

    def dialog(self):
        data = self.resource(RT_DIALOG, 107, NEUTRAL)
        if data is None:
            return self.fail("dialog 107 missing")
        dialog = fmt.dialog_ex(data)
        self.expect("dialog style", hex(dialog["style"]), hex(0x80C800C8))
        self.expect("dialog extended style", dialog["ex_style"], 0)
        self.expect("dialog rectangle", dialog["rect"], (0, 0, 555, 304))
        self.expect("dialog menu and class", (dialog["menu"], dialog["window_class"]), ("", ""))
        self.expect("dialog caption", dialog["caption"], "Dialog")
        self.expect("dialog font", dialog.get("font"), (8, "MS Shell Dlg", 0, 0, 0))
        self.expect("dialog template size", (dialog["size"], len(data)), (118, 118))
        controls = [(i["id"], i["window_class"], i["text"], hex(i["style"]), i["ex_style"], i["rect"])
                    for i in dialog["items"]]
        self.expect("dialog controls", controls,
                    [(1002, 0x80, "Close", hex(0x50010000), 0, (438, 277, 110, 20))])

    def manifest(self, current_windows):
        data = self.resource(RT_MANIFEST, 1, US_ENGLISH)
        if data is None:
            return
        root = ElementTree.fromstring(data)
        v1, v3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
        compatibility = "{urn:schemas-microsoft-com:compatibility.v1}"
        levels = [e.attrib for e in root.iter(v3 + "requestedExecutionLevel")]
        levels += [e.attrib for e in root.iter(v1 + "requestedExecutionLevel")]
        self.expect("execution level", levels, [{"level": "requireAdministrator", "uiAccess": "false"}])
        dependencies = [e.attrib for d in root.iter(v1 + "dependentAssembly")
                        for e in d.iter(v1 + "assemblyIdentity")]
        self.expect("manifest dependencies", dependencies, [{
            "type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
            "processorArchitecture": "x86" if self.arch == "x86" else "amd64",
            "publicKeyToken": "6595b64144ccf1df", "language": "*"}])
        systems = sorted(e.attrib.get("Id", "").lower() for e in root.iter(compatibility + "supportedOS"))
        self.expect("supported systems", systems, sorted(CURRENT_SYSTEMS if current_windows else SUPPORTED_SYSTEMS))
        # Windows reads window settings only there, each in its own namespace.
        settings = {e.tag: (e.text or "").strip()
                    for e in root.findall("%sapplication/%swindowsSettings/*" % (v3, v3))}
        self.expect("window settings (DPI awareness)", settings, CURRENT_WINDOW_SETTINGS if current_windows else {})

    def version(self, expected):
        data = self.resource(RT_VERSION, 1, US_ENGLISH)
        if data is None:
            return
        info = fmt.version_info(data)
        number = tuple(int(part) for part in expected.split("."))
        self.expect("file version", info["file_version"], number)
        self.expect("product version", info["product_version"], number)
        self.expect("version flags", (info["flags_mask"], info["flags"]), (0x3F, 0))
        self.expect("version os and type", (info["os"], info["file_type"]), (4, 1))
        self.expect("version translations", info["translations"], [(0x0409, 0x04E4)])
        self.expect("version string tables", sorted(info["tables"]), ["040904E4"])
        strings = info["tables"].get("040904E4", {})
        wanted = dict(VERSION_STRINGS, FileVersion=expected, ProductVersion=expected)
        self.expect("version strings", {k: strings.get(k) for k in wanted}, wanted)
        if not strings.get("LegalCopyright"):
            self.fail("version block without a legal notice")

    def campaign_record(self):
        data = self.resource("VSR", 10, US_ENGLISH)
        if data is None:
            return
        self.expect("campaign record", data.decode("utf-16-le", "replace"), CAMPAIGN_RECORD)
        self.expect("campaign record size", len(data), 170)

    def icons(self):
        seen_ids = set()
        for group_id in (133, 1001):
            data = self.resource(RT_GROUP_ICON, group_id, POLISH)
            if data is None:
                continue
            entries = fmt.icon_group(data)
            self.expect("icon group %d pictures" % group_id,
                        sorted((e[0], e[1], e[4]) for e in entries), sorted(ICON_PICTURES))
            for width, height, _, planes, bits, size, icon_id in entries:
                what = "icon group %d, %dx%d %d-bit" % (group_id, width, height, bits)
                if icon_id in seen_ids:
                    self.fail("%s shares icon %d with another entry" % (what, icon_id))
                seen_ids.add(icon_id)
                picture = self.resource(RT_ICON, icon_id, POLISH)
                if picture is None:
                    self.fail("%s: icon %d missing" % (what, icon_id))
                    continue
                self.expect(what + " planes and size", (planes, size), (1, len(picture)))
                kind = "png" if width == 256 else "dib"
                self.expect(what + " picture", fmt.icon_picture(picture), (kind, width, height, bits))

    def welcome(self, folder):
        for kind, name, file_name in ((RT_HTML, 136, "index.htm"), ("CSS", 137, "welcome_style.css")):
            data = self.resource(kind, name, POLISH)
            if data is None:
                continue
            with open(os.path.join(folder, file_name), "rb") as source:
                if data != source.read():
                    self.fail("%s differs from %s" % (name, file_name))
        for (kind, name), (file_kind, width, height) in PICTURE_SIZES.items():
            data = self.resource(kind, name, POLISH)
            if data is not None:
                self.expect("picture %s %d" % (kind, name), fmt.picture_size(data), (file_kind, width, height))

    def symbols(self, path):
        with open(path, "rb") as file:
            symbols = pe_file.PeFile(file.read())
        for name, rva, _, offset, size in self.pe.sections:
            # The stripped image keeps only eight letters of a long section name.
            match = next((s for s in symbols.sections if s[0][:8] == name and s[1] == rva), None)
            if match is None or symbols.data[match[3]:match[3] + match[4]] != self.pe.data[offset:offset + size]:
                self.fail("section %s differs from the symbol file's" % name)

    def release(self, foreign_folders):
        debug = [section[0] for section in self.pe.sections if section[0].startswith(".debug")]
        if debug:
            self.fail("debug sections: %s" % ", ".join(debug))
        if self.pe.symbol_table or self.pe.symbol_count:
            self.fail("symbol table of %d symbols" % self.pe.symbol_count)
        if self.pe.timestamp:
            self.fail("link time stamp %#x" % self.pe.timestamp)
        for folder in foreign_folders:
            folder = os.path.abspath(folder)
            for form in {folder, folder.replace("/", "\\")}:
                for encoded in (form.encode(), form.encode("utf-16-le")):
                    if encoded in self.pe.data:
                        self.fail("the image names the build machine's folder %s" % folder)

    def sizes(self):
        """The whole file, without the payloads, without any resource."""
        whole = len(self.pe.data)
        payloads = sum(len(data) for (kind, _, _), data in self.resources.items() if kind in ("MSI", "EXE"))
        resources = self.pe.section_named(".rsrc")
        return whole, whole - payloads, whole - (resources[4] if resources else 0)

    def code_limit(self, kib):
        without_resources = self.sizes()[2]
        if without_resources > kib * 1024:
            self.fail("%d bytes without any resource, more than the limit of %d KiB" % (without_resources, kib))

    def address_space(self):
        # A 32-bit setup on 64-bit Windows gets 4 GB of address space for its payload views.
        if self.arch == "x86" and not self.pe.characteristics & 0x0020:
            self.fail("image is not marked large-address-aware")

    def imports(self):
        dlls = self.pe.imported_dlls()
        if not dlls:
            self.fail("no import table")
        for dll in dlls:
            if RUNTIME_DLL.match(dll):
                self.fail("imports the compiler's runtime %s" % dll)
            elif dll.lower() not in ALLOWED_DLLS:
                self.fail("imports %s, which Windows may load from beside the executable" % dll)
        print("imports:", ", ".join(dlls))

    def delay_loading(self, map_path):
        link = link_map.LinkMap(map_path)
        base = self.pe.image_base
        delayed = {}
        for name, symbol in link.symbols.items():
            if "DELAY_IMPORT_DESCRIPTOR_" in name:
                dll, entries = self.pe.delay_import(symbol.address - base)
                delayed[dll.lower()] = [function for function, _ in entries]
                # Until the first call, each slot leads to the image's own stub into the helper.
                for function, slot in entries:
                    stub = link.section_at(slot)
                    if stub is None or not stub.name.startswith(".text"):
                        self.fail("delay import %s!%s: its slot holds %#x, no stub of the image" % (dll, function, slot))
        self.expect("delay-imported DLLs", sorted(delayed), sorted(DELAY_LOADED_DLLS))
        for dll, functions in sorted(delayed.items()):
            print("delay-imports %s: %s" % (dll, ", ".join(functions)))

        # The helper reads the hook through this variable: it must be ours, and point at our code.
        hook = link.symbols.get("__pfnDliNotifyHook2")
        if hook is None:
            return self.fail("delay-load notify hook: none in the image")
        if not hook.section.file.endswith(DELAY_LOAD_HOOK_OBJECT):
            self.fail("delay-load notify hook: the variable comes from %s" % hook.section.file)
        target = self.pe.pointer_at(hook.address - base)
        code = link.section_at(target)
        if code is None or not code.name.startswith(".text") or not code.file.endswith(DELAY_LOAD_HOOK_OBJECT):
            self.fail("delay-load notify hook: points at %#x in %s, not at the hook that loads from the "
                      "system folder" % (target, code.file if code else "nothing"))
        failure = link.symbols.get("__pfnDliFailureHook2")
        if failure is not None and self.pe.pointer_at(failure.address - base) != 0:
            self.fail("delay-load failure hook: set, so something else could supply a failed DLL")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--arch", choices=("x86", "x64"), required=True)
    parser.add_argument("--version", default="1.1.2.1")
    parser.add_argument("--welcome", help="folder of index.htm and welcome_style.css to compare")
    parser.add_argument("--no-imports", action="store_true", help="skip the import checks")
    parser.add_argument("--map", help="the linker's map of EXE: check the delay-loaded DLLs and their hook")
    parser.add_argument("--release", action="store_true", help="check what a shipped image must be")
    parser.add_argument("--foreign", action="append", default=[], metavar="DIR",
                        help="a folder of the build machine that the image must not name")
    parser.add_argument("--symbols", help="the symbol file that belongs to the image")
    parser.add_argument("--newer-outlook", action="store_true",
                        help="the image is built with VS_NEWER_OUTLOOK ON: its own string 129")
    parser.add_argument("--current-windows", action="store_true",
                        help="the image is built with VS_CURRENT_WINDOWS ON: today's Windows and DPI awareness")
    parser.add_argument("--code-limit", type=int, metavar="KIB",
                        help="the most the image may have without any resource")
    parser.add_argument("--expect-fail", action="append", default=[], metavar="REGEX",
                        help="a failure that must be found")
    options = parser.parse_args()

    try:
        inspection = Inspection(options.exe, options.arch)
    except (OSError, pe_file.PeError, struct.error) as error:
        print("FAIL cannot read %s: %s" % (options.exe, error))
        return 1
    strings = NEWER_OUTLOOK_STRINGS if options.newer_outlook else STRINGS
    checks = [inspection.image, inspection.catalogue, lambda: inspection.strings(strings), inspection.dialog,
              lambda: inspection.manifest(options.current_windows), lambda: inspection.version(options.version),
              inspection.campaign_record, inspection.icons]
    if options.welcome:
        checks.append(lambda: inspection.welcome(options.welcome))
    # The setup's own image; the resource fixture is linked as a plain program.
    if not options.no_imports:
        checks += [inspection.imports, inspection.address_space]
    if options.map:
        checks.append(lambda: inspection.delay_loading(options.map))
    if options.release:
        checks.append(lambda: inspection.release(options.foreign))
    if options.symbols:
        checks.append(lambda: inspection.symbols(options.symbols))
    if options.code_limit:
        checks.append(lambda: inspection.code_limit(options.code_limit))
    for check in checks:
        try:
            check()
        except (fmt.FormatError, pe_file.PeError, ElementTree.ParseError, UnicodeDecodeError,
                struct.error, OSError) as error:
            inspection.fail("unreadable: %s" % error)
    for failure in inspection.failures:
        print("FAIL", failure)
    print("size: %s whole, %s without the payloads, %s without any resource" % tuple(
        "%d bytes (%.1f KiB)" % (size, size / 1024.0) for size in inspection.sizes()))
    print("%s: %d resources, %d failed checks" % (options.exe, len(inspection.resources),
                                                  len(inspection.failures)))
    if options.expect_fail:
        missed = [p for p in options.expect_fail if not any(re.search(p, f) for f in inspection.failures)]
        for pattern in missed:
            print("NOT FOUND", pattern)
        return 1 if missed else 0
    return 1 if inspection.failures else 0


if __name__ == "__main__":
    sys.exit(main())
