#!/usr/bin/env python3
"""The shipped executable as a maker releases it, built a second time in another folder.

    release_build.py rebuild --source DIR --image EXE --payloads DIR --work DIR
    release_build.py sign --source DIR --work DIR

rebuild copies the sources to WORK/src, configures the shipped preset in WORK/build (no
tests, another time zone, the first build's payload files through the payload variables, as a
maker would give them), builds the executable alone and compares it with EXE byte for byte.
sign then makes a throw-away code-signing certificate, has that second build sign its
executable, verifies the signature with osslsigncode against the certificate, checks that the
password went into no build file, and that the image under the signature is the unsigned one.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys

PAYLOADS = {
    "VS_PAYLOAD_MSI_X86": "VsEnclosaSetup.msi",
    "VS_PAYLOAD_MSI_X64": "VsEnclosaSetupx64.msi",
    "VS_PAYLOAD_VCREDIST_X86": "vc_redist86.exe",
    "VS_PAYLOAD_VCREDIST_X64": "vc_redist64.exe",
    "VS_PAYLOAD_WI31": "WindowsInstaller31.exe",
}
PRODUCT = "Vostrel Outlook Enclosa"
PRODUCT_URL = "https://www.vostrel.example/freeware/outlook-enclosa/"


def run(command, **options):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **options)
    if result.returncode != 0:
        sys.exit("FAIL %s (%d):\n%s" % (" ".join(command), result.returncode, result.stdout[-4000:]))
    return result.stdout


def copy_sources(source, target):
    """The sources without build trees (any folder holding a CMakeCache.txt) and without .git."""
    def ignore(folder, names):
        return [name for name in names
                if name == ".git" or os.path.exists(os.path.join(folder, name, "CMakeCache.txt"))]
    shutil.rmtree(target, ignore_errors=True)
    shutil.copytree(source, target, ignore=ignore, symlinks=True)


def second_build(work):
    return os.path.join(work, "build"), os.path.join(work, "build", "app", "VsEnclosaSetupBoot.exe")


def build(work, definitions, environment=None):
    build_folder, image = second_build(work)
    run(["cmake", "--preset", "win32", "-B", build_folder, "-DVS_BUILD_TESTS=OFF"]
        + ["-D%s=%s" % item for item in definitions.items()], cwd=os.path.join(work, "src"), env=environment)
    run(["cmake", "--build", build_folder, "--target", "VsEnclosaSetupBoot"], env=environment)
    with open(image, "rb") as file:
        return file.read()


def section_at(image, offset):
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H", image, pe + 6)[0], struct.unpack_from("<H", image, pe + 20)[0]
    table = pe + 24 + optional_size
    for i in range(count):
        name, _, _, raw_size, raw_offset = struct.unpack_from("<8sIIII", image, table + 40 * i)
        if raw_offset <= offset < raw_offset + raw_size:
            return name.rstrip(b"\0").decode("ascii", "replace")
    return "headers" if offset < table + 40 * count else "beyond the sections"


def compare(first, second):
    if first == second:
        return []
    differing = [i for i in range(min(len(first), len(second))) if first[i] != second[i]]
    failures = ["FAIL the images differ: %d and %d bytes, %d bytes differ" % (len(first), len(second), len(differing))]
    for offset in differing[:8]:
        failures.append("  offset %#x (%s): %02x != %02x" % (offset, section_at(first, offset), first[offset],
                                                             second[offset]))
    return failures


def without_signature(image):
    """The image as it was before signing: the certificate table cut off, its directory entry and
    the checksum (which the signing tool sets) cleared."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    security = optional + (128 if magic == 0x10B else 144)
    offset, size = struct.unpack_from("<II", image, security)
    data = bytearray(image[:offset] if offset else image)
    struct.pack_into("<I", data, optional + 64, 0)
    struct.pack_into("<II", data, security, 0, 0)
    return bytes(data), size


def rebuild(options):
    copy_sources(options.source, os.path.join(options.work, "src"))
    definitions = {name: os.path.join(options.payloads, file) for name, file in PAYLOADS.items()}
    definitions.update(VS_SIGN_PKCS12="", VS_SIGN_PASSWORD_FILE="")
    environment = dict(os.environ, TZ="Pacific/Kiritimati", LC_ALL="C")
    second = build(options.work, definitions, environment)
    with open(options.image, "rb") as file:
        first = file.read()
    failures = compare(first, second)
    print("first build %s, second build %s: %d bytes, %s" % (
        options.image, second_build(options.work)[1], len(second), "identical" if not failures else "different"))
    for failure in failures:
        print(failure)
    return 1 if failures else 0


def sign(options):
    build_folder, image = second_build(options.work)
    if not os.path.exists(image):
        sys.exit("FAIL no second build in %s: the reproducibility test runs first" % build_folder)
    unsigned = build(options.work, {"VS_SIGN_PKCS12": "", "VS_SIGN_PASSWORD_FILE": ""})
    certificates = os.path.join(options.work, "certificate")
    shutil.rmtree(certificates, ignore_errors=True)
    run([os.path.join(options.source, "tests", "signing", "make_test_certificate.sh"), certificates])
    with open(os.path.join(certificates, "password.txt")) as file:
        password = file.read().strip()
    signed = build(options.work, {"VS_SIGN_PKCS12": os.path.join(certificates, "signing.p12"),
                                  "VS_SIGN_PASSWORD_FILE": os.path.join(certificates, "password.txt")})
    failures = []
    verified = subprocess.run(["osslsigncode", "verify", "-CAfile", os.path.join(certificates, "certificate.pem"),
                               "-in", image], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    print(verified.stdout)
    if verified.returncode != 0:
        failures.append("FAIL osslsigncode verify: %d" % verified.returncode)
    for expected in ("Text description: " + PRODUCT, "URL description: " + PRODUCT_URL):
        if expected not in verified.stdout:
            failures.append("FAIL the signature lacks \"%s\"" % expected)
    for name in ("CMakeCache.txt", "build.ninja"):
        with open(os.path.join(build_folder, name), errors="replace") as file:
            if password in file.read():
                failures.append("FAIL the password is written in %s" % name)
    content, signature = without_signature(signed)
    if not signature:
        failures.append("FAIL the image carries no certificate table")
    failures += compare(without_signature(unsigned)[0], content)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("step", choices=("rebuild", "sign"))
    parser.add_argument("--source", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--image")
    parser.add_argument("--payloads")
    options = parser.parse_args()
    options.source = os.path.abspath(options.source)
    options.work = os.path.abspath(options.work)
    return rebuild(options) if options.step == "rebuild" else sign(options)


if __name__ == "__main__":
    sys.exit(main())
