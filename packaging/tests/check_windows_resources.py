#!/usr/bin/python3
"""Reads back what Windows shows of Quorvel.exe: the version information and the icon.

The resource script is compiled with the 32-bit MinGW resource compiler, linked into a
resource-only 32-bit PE image, and read with pefile, the way Explorer's Properties page and
the shell read a real executable.

    check_windows_resources.py --rc SCRIPT --ico ICON [--windres W] [--ld L] [--faults]
    check_windows_resources.py --exe Quorvel.exe --ico ICON [--faults]

SCRIPT is the resource script the build makes from packaging/windows/quorvel.rc.in (in the
build folder, packaging/windows/quorvel.rc). Without --faults it checks the script as it is
and fails on the first difference from what we ship, written out below. With --faults it makes copies of the script with one fault each (a wrong string, a
wrong version, a wrong translation, a missing icon...) and fails unless every one of them is
rejected: the check above must not let a mistake through.

With --exe it checks the real program the Windows build made: a 32-bit (PE32) image for i386,
a Windows GUI program for Windows 7 (system and subsystem version 6.1 in its header, and no
time stamp there), importing system DLLs only (no libstdc++, libgcc or winpthread DLL beside
it) and not the accessibility libraries, which it loads when a screen reader first asks, with
the version information and the icon group above and its manifest. With --faults it patches
copies of the program, one fault each, and fails unless every one is rejected.
"""

import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile
from xml.etree import ElementTree

import pefile

from checks import Problems

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
LANG_EN_US = 0x0409
CODEPAGE_UNICODE = 1200

# What Explorer must show, letter for letter.
EXPECTED_STRINGS = {
    "CompanyName": "Zennorak Design",
    "FileDescription": "Quorvel shaped bitmap controls demo",
    "FileVersion": "1.01.0002",
    "InternalName": "Quorvel",
    "LegalCopyright": "Copyright (C) Zennorak Design. All rights reserved.",
    "OriginalFilename": "Quorvel.exe",
    "ProductName": "Quorvel Demo",
    "ProductVersion": "1.01.0002",
}
EXPECTED_FIXED = {
    "Signature": 0xFEEF04BD,
    "FileVersionMS": 0x00010001,  # 1.1
    "FileVersionLS": 0x00000002,  # .0.2
    "ProductVersionMS": 0x00010001,
    "ProductVersionLS": 0x00000002,
    "FileFlags": 0x0,
    "FileOS": 0x4,  # VOS__WINDOWS32
    "FileType": 0x1,  # VFT_APP
    "FileSubtype": 0x0,
}
# The icon group, in the order of the icon file: (width, height, colours, bits per pixel).
EXPECTED_ICONS = [(32, 32, 2, 1), (32, 32, 16, 4), (16, 16, 16, 4)]
# The name Qt loads as the default window icon.
ICON_GROUP_NAME = "IDI_ICON1"


def run(command, cwd):
    result = subprocess.run(command, cwd=cwd, capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(
            "%s failed (%d):\n%s%s"
            % (" ".join(command), result.returncode, result.stdout, result.stderr)
        )


def build_image(rc, windres, ld, workdir):
    """Compiles rc and links it into a resource-only PE; returns the image's path."""
    obj = os.path.join(workdir, "quorvel-res.o")
    exe = os.path.join(workdir, "Quorvel.exe")
    # No MinGW C compiler here: the plain C preprocessor does the preprocessing. The script
    # names its icon by its full path.
    run([windres, "--preprocessor=cpp", "--input-format=rc", "--output-format=coff",
         "-i", rc, "-o", obj], cwd=workdir)
    run([ld, "--subsystem", "windows", "-e", "0", "-o", exe, obj], cwd=workdir)
    return exe


def resources_of_type(pe, type_id):
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return []
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == type_id:
            return entry.directory.entries
    return []


def data_of(pe, name_entry):
    """The bytes and language of the one language version of a resource."""
    languages = name_entry.directory.entries
    if len(languages) != 1:
        return None, None
    lang = languages[0].data
    raw = pe.get_data(lang.struct.OffsetToData, lang.struct.Size)
    return raw, (lang.sublang << 10) | lang.lang


def check_version(pe, c):
    versions = resources_of_type(pe, RT_VERSION)
    if not c.expect(len(versions) == 1, "one version resource expected, found %d" % len(versions)):
        return
    c.expect(versions[0].id == 1, "the version resource is not number 1")
    _, lang = data_of(pe, versions[0])
    c.expect(lang == LANG_EN_US, "version resource language is %r, not 0x0409" % (lang,))

    fixed = pe.VS_FIXEDFILEINFO[0]
    for field, want in EXPECTED_FIXED.items():
        got = getattr(fixed, field)
        c.expect(got == want, "%s is 0x%X, expected 0x%X" % (field, got, want))
    c.expect(fixed.FileFlagsMask & 0x3F == 0x3F, "FileFlagsMask 0x%X" % fixed.FileFlagsMask)

    tables, translations = [], []
    for block in pe.FileInfo[0]:
        for table in getattr(block, "StringTable", []):
            tables.append(table)
        for var in getattr(block, "Var", []):
            translations.extend(var.entry.items())

    if c.expect(len(tables) == 1, "one string table expected, found %d" % len(tables)):
        table = tables[0]
        c.expect(table.LangID.decode().lower() == "040904b0",
                 "string table is for %s, not 040904b0" % table.LangID.decode())
        got = {k.decode("utf-8"): v.decode("utf-8") for k, v in table.entries.items()}
        for key, want in EXPECTED_STRINGS.items():
            c.expect(got.get(key) == want, "%s is %r, expected %r" % (key, got.get(key), want))
        extra = sorted(set(got) - set(EXPECTED_STRINGS))
        c.expect(not extra, "unexpected strings: %s" % ", ".join(extra))

    c.expect(translations == [(b"Translation", "0x%04x 0x%04x" % (LANG_EN_US, CODEPAGE_UNICODE))],
             "translation is %r, expected 0x0409 with code page 1200" % (translations,))


def icon_file_images(path):
    """The images of an .ico file, in file order, as (width, height, colours, bits, bytes)."""
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise RuntimeError("%s is not an icon file" % path)
    images = []
    for i in range(count):
        w, h, colours, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images.append((w or 256, h or 256, colours, bits, data[offset:offset + size]))
    return images


def check_icons(pe, ico, c):
    groups = resources_of_type(pe, RT_GROUP_ICON)
    if not c.expect(len(groups) == 1, "one icon group expected, found %d" % len(groups)):
        return
    group = groups[0]
    name = str(group.name) if group.name is not None else None
    c.expect(name == ICON_GROUP_NAME, "icon group is named %r, not %s" % (name, ICON_GROUP_NAME))
    raw, _ = data_of(pe, group)
    if not c.expect(raw is not None and len(raw) >= 6, "icon group has no data"):
        return
    reserved, kind, count = struct.unpack_from("<HHH", raw, 0)
    c.expect((reserved, kind) == (0, 1), "icon group header is not an icon directory")
    if not c.expect(count == len(EXPECTED_ICONS) and len(raw) == 6 + 14 * count,
                    "icon group holds %d images, expected %d" % (count, len(EXPECTED_ICONS))):
        return

    icons = {}
    for entry in resources_of_type(pe, RT_ICON):
        icons[entry.id] = data_of(pe, entry)[0]
    source = icon_file_images(ico)

    for i, want in enumerate(EXPECTED_ICONS):
        w, h, colours, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", raw, 6 + 14 * i)
        got = (w or 256, h or 256, colours, bits)
        c.expect(got == want, "icon %d is %dx%d, %d colours, %d bits; expected %dx%d, %d colours, %d bits"
                 % ((i + 1,) + got + want))
        c.expect(planes == 1, "icon %d has %d planes" % (i + 1, planes))
        image = icons.get(icon_id)
        if not c.expect(image is not None, "icon %d: no icon image number %d" % (i + 1, icon_id)):
            continue
        c.expect(len(image) == size, "icon %d: %d bytes, the group says %d" % (i + 1, len(image), size))
        c.expect(i < len(source) and image == source[i][4],
                 "icon %d differs from image %d of %s" % (i + 1, i + 1, os.path.basename(ico)))
        # A classic device-independent bitmap: colour image over the transparency mask.
        if c.expect(len(image) >= 40 and not image.startswith(b"\x89PNG"),
                    "icon %d is not a bitmap" % (i + 1)):
            hsize, bw, bh, bplanes, bbits = struct.unpack_from("<IiiHH", image, 0)
            c.expect((hsize, bw, bh, bplanes, bbits) == (40, want[0], 2 * want[1], 1, want[3]),
                     "icon %d bitmap header: %dx%d (doubled height), %d bits"
                     % (i + 1, bw, bh, bbits))
    c.expect(len(icons) == len(EXPECTED_ICONS),
             "%d icon images in the file, expected %d" % (len(icons), len(EXPECTED_ICONS)))


def check(rc, ico, windres, ld):
    with tempfile.TemporaryDirectory() as workdir:
        pe = pefile.PE(build_image(rc, windres, ld, workdir))
        c = Problems()
        c.expect(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
                 "not a 32-bit x86 image")
        check_version(pe, c)
        check_icons(pe, ico, c)
        pe.close()
        return c


# One fault each, as (what it is, text in the script, replacement).
FAULTS = [
    ("company name misspelt", '"Zennorak Design"', '"Zennorak Designs"'),
    ("file version string in dotted form", '"FileVersion", "1.01.0002"', '"FileVersion", "1.1.0.2"'),
    ("product name without Demo", '"Quorvel Demo"', '"Quorvel"'),
    ("original file name in lower case", '"Quorvel.exe"', '"quorvel.exe"'),
    ("internal name missing", 'VALUE "InternalName", "Quorvel"', ""),
    ("fixed file version 1.1.0.3", "FILEVERSION 1,1,0,2", "FILEVERSION 1,1,0,3"),
    ("fixed product version 1.1.2.0", "PRODUCTVERSION 1,1,0,2", "PRODUCTVERSION 1,1,2,0"),
    ("Windows NT instead of 32-bit Windows", "QUORVEL_VOS__WINDOWS32 0x4L", "QUORVEL_VOS__WINDOWS32 0x40004L"),
    ("a DLL instead of an application", "QUORVEL_VFT_APP 0x1L", "QUORVEL_VFT_APP 0x2L"),
    ("code page 1252", "0x0409, 1200", "0x0409, 1252"),
    ("strings for British English", '"040904B0"', '"080904B0"'),
    ("icon under a number", "IDI_ICON1 ICON", "1 ICON"),
    ("no icon", "IDI_ICON1 ICON", "// IDI_ICON1 ICON"),
]


def icon_without_last_image(ico_bytes):
    """The icon file with its last image left out (a 16 x 16 image forgotten)."""
    reserved, kind, count = struct.unpack_from("<HHH", ico_bytes, 0)
    entries = [list(struct.unpack_from("<BBBBHHII", ico_bytes, 6 + 16 * i)) for i in range(count - 1)]
    out = struct.pack("<HHH", reserved, kind, count - 1)
    images = b""
    offset = 6 + 16 * len(entries)
    for entry in entries:
        images += ico_bytes[entry[7]:entry[7] + entry[6]]
        entry[7] = offset
        offset += entry[6]
        out += struct.pack("<BBBBHHII", *entry)
    return out + images


def check_faults(rc, ico, windres, ld):
    """Every fault must be reported; returns the ones that were not, and how many were tried."""
    with open(rc, encoding="utf-8") as f:
        text = f.read()
    # Every copy of the script names a copy of the icon, good or faulty, instead of the icon.
    named = re.search(r'^IDI_ICON1 ICON "([^"]*)"$', text, re.MULTILINE)
    if not named:
        raise RuntimeError("the script has no IDI_ICON1 ICON \"FILE\" line")
    missed = []
    with tempfile.TemporaryDirectory() as scratch:
        icon_copy = os.path.join(scratch, os.path.basename(ico))
        script_copy = os.path.join(scratch, os.path.basename(rc))
        text = text.replace(named.group(0), 'IDI_ICON1 ICON "%s"' % icon_copy, 1)
        with open(ico, "rb") as f:
            good_icon = f.read()
        cases = []
        for what, old, new in FAULTS:
            if old not in text:
                raise RuntimeError("fault %r: %r is not in the script" % (what, old))
            cases.append((what, text.replace(old, new, 1), good_icon))
        cases.append(("icon file without its last image", text, icon_without_last_image(good_icon)))
        for what, script, icon in cases:
            with open(script_copy, "w", encoding="utf-8") as f:
                f.write(script)
            with open(icon_copy, "wb") as f:
                f.write(icon)
            problems = check(script_copy, icon_copy, windres, ld).items
            print("%-40s %s" % (what + ":", problems[0] if problems else "NOT DETECTED"))
            if not problems:
                missed.append(what)
    return missed, len(cases)


# The DLLs every Windows has; anything else would have to ship beside Quorvel.exe.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll",
               "comctl32.dll", "shell32.dll", "oleacc.dll", "ole32.dll", "oleaut32.dll"}
# Active Accessibility and COM: loaded by the program when a screen reader first asks, never at
# start.
LOADED_WHEN_ASKED = {"oleacc.dll", "ole32.dll", "oleaut32.dll"}
RT_MANIFEST = 24
# The manifest's scale settings, each in the namespace Windows reads it from.
DPI_SETTINGS = {"dpiAware": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                "dpiAwareness": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
# The oldest Windows the program is for, as the PE header spells it.
WINDOWS_7 = (6, 1)
PE32_MAGIC = 0x10B


def check_manifest(pe, c):
    manifests = resources_of_type(pe, RT_MANIFEST)
    if not c.expect(len(manifests) == 1 and manifests[0].id == 1,
                    "one application manifest (number 1) expected"):
        return
    raw, _ = data_of(pe, manifests[0])
    text = raw.decode("utf-8", "replace") if raw else ""
    c.expect('level="asInvoker"' in text, "the manifest does not ask to run asInvoker")
    # The classic controls: no version 6 common controls, whose themed buttons Wine draws white.
    c.expect("Microsoft.Windows.Common-Controls" not in text, "the manifest asks for the version 6 controls")
    # Aware of each monitor's dots per inch in the second mode, and of the system's before it.
    settings = {}
    try:
        for element in ElementTree.fromstring(raw).iter():
            for name, namespace in DPI_SETTINGS.items():
                if element.tag == "{%s}%s" % (namespace, name):
                    settings[name] = (element.text or "").strip()
    except ElementTree.ParseError as error:
        c.expect(False, "the manifest is not XML: %s" % error)
    c.expect(settings.get("dpiAware", "").lower() == "true",
             "the manifest's dpiAware is %r, not true" % settings.get("dpiAware"))
    c.expect(settings.get("dpiAwareness") == "PerMonitorV2",
             "the manifest's dpiAwareness is %r, not PerMonitorV2" % settings.get("dpiAwareness"))


def check_program(path, ico):
    """The problems of the real program at path, and the DLLs it imports."""
    pe = pefile.PE(path)
    c = Problems()
    c.expect(pe.OPTIONAL_HEADER.Magic == PE32_MAGIC, "not a PE32 (32-bit) image")
    c.expect(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
             "not an i386 image (machine 0x%X)" % pe.FILE_HEADER.Machine)
    c.expect(pe.OPTIONAL_HEADER.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI,
             "not a Windows GUI program (subsystem %d)" % pe.OPTIONAL_HEADER.Subsystem)
    header = pe.OPTIONAL_HEADER
    for what, major, minor in [
            ("operating system", header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion),
            ("subsystem", header.MajorSubsystemVersion, header.MinorSubsystemVersion)]:
        c.expect((major, minor) == WINDOWS_7, "the header's %s version is %d.%d, not %d.%d (Windows 7)"
                 % ((what, major, minor) + WINDOWS_7))
    # Built twice from the same sources, the program is the same to the byte.
    c.expect(pe.FILE_HEADER.TimeDateStamp == 0,
             "the header carries a time stamp (0x%X)" % pe.FILE_HEADER.TimeDateStamp)
    imports = [entry.dll.decode("ascii", "replace").lower()
               for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    c.expect(imports, "no imports found")
    foreign = [dll for dll in imports if dll not in SYSTEM_DLLS]
    c.expect(not foreign, "imports DLLs that are not the system's: %s" % ", ".join(foreign))
    at_start = [dll for dll in imports if dll in LOADED_WHEN_ASKED]
    c.expect(not at_start, "imports %s at start, which it should load when a screen reader first asks"
             % ", ".join(at_start))
    check_version(pe, c)
    check_icons(pe, ico, c)
    check_manifest(pe, c)
    pe.close()
    return c, imports


def utf16(text):
    return text.encode("utf-16-le")


def patch_header(field_of, value):
    """A fault that sets a header field through pefile."""
    def apply(data, workdir):
        pe = pefile.PE(data=data)
        obj, name = field_of(pe)
        setattr(obj, name, value)
        return bytes(pe.write())
    return apply


def replace_bytes(old, new, section=None):
    """A fault that replaces bytes of the image (of one section only, if named) with as many
    others."""
    assert len(old) == len(new)
    def apply(data, workdir):
        start, end = 0, len(data)
        if section:
            pe = pefile.PE(data=data)
            found = [s for s in pe.sections if s.Name.rstrip(b"\0") == section]
            if not found:
                raise RuntimeError("no section %r in the program" % section)
            start = found[0].PointerToRawData
            end = start + found[0].SizeOfRawData
        at = data.find(old, start, end)
        if at < 0:
            raise RuntimeError("%r is not in the program" % old)
        return data[:at] + new + data[at + len(old):]
    return apply


PROGRAM_FAULTS = [
    ("built for x86-64", patch_header(lambda pe: (pe.FILE_HEADER, "Machine"), 0x8664)),
    ("a console program", patch_header(lambda pe: (pe.OPTIONAL_HEADER, "Subsystem"), 3)),
    ("subsystem version 4.1", patch_header(lambda pe: (pe.OPTIONAL_HEADER, "MajorSubsystemVersion"), 4)),
    ("subsystem version 6.0 (Windows Vista)", patch_header(lambda pe: (pe.OPTIONAL_HEADER, "MinorSubsystemVersion"), 0)),
    ("operating system version 4.1", patch_header(lambda pe: (pe.OPTIONAL_HEADER, "MajorOperatingSystemVersion"), 4)),
    ("the build time in the header", patch_header(lambda pe: (pe.FILE_HEADER, "TimeDateStamp"), 0x6750C7A0)),
    ("importing a libgcc DLL", replace_bytes(b"msvcrt.dll", b"libgcc.dll")),
    ("importing oleacc at start", replace_bytes(b"USER32.dll", b"OLEACC.dll")),
    ("importing ole32 at start", replace_bytes(b"GDI32.dll", b"ole32.dll")),
    ("product name changed", replace_bytes(utf16("Quorvel Demo"), utf16("Quorvel Dem0"), b".rsrc")),
    ("file version 1.01.0003", replace_bytes(utf16("1.01.0002"), utf16("1.01.0003"), b".rsrc")),
    ("icon group renamed", replace_bytes(utf16("IDI_ICON1"), utf16("IDI_ICON2"), b".rsrc")),
    ("run as administrator", replace_bytes(b'level="asInvoker"', b'level="highestAv"', b".rsrc")),
    ("DPI unaware before Windows 10", replace_bytes(b">true</dpiAware>", b">no!!</dpiAware>", b".rsrc")),
    ("the first per-monitor mode", replace_bytes(b">PerMonitorV2<", b">PerMonitor  <", b".rsrc")),
    ("dpiAwareness in the old namespace", replace_bytes(b"SMI/2016/WindowsSettings\">PerMonitorV2",
                                                        b"SMI/2005/WindowsSettings\">PerMonitorV2", b".rsrc")),
]


def check_program_faults(path, ico):
    with open(path, "rb") as f:
        good = f.read()
    missed = []
    with tempfile.TemporaryDirectory() as workdir:
        for what, fault in PROGRAM_FAULTS:
            copy = os.path.join(workdir, "Quorvel.exe")
            with open(copy, "wb") as f:
                f.write(fault(good, workdir))
            problems = check_program(copy, ico)[0].items
            print("%-40s %s" % (what + ":", problems[0] if problems else "NOT DETECTED"))
            if not problems:
                missed.append(what)
    return missed, len(PROGRAM_FAULTS)


def main_program(args):
    if args.faults:
        missed, count = check_program_faults(args.exe, args.ico)
        if missed:
            print("FAIL: not detected: %s" % "; ".join(missed))
            return 1
        print("PASS: all %d faults of the program detected" % count)
        return 0
    problems, imports = check_program(args.exe, args.ico)
    return problems.report("%s is a PE32 i386 Windows GUI program for Windows 6.1, importing %s only, with its version "
                           "information, icon group %s and manifest"
                           % (os.path.basename(args.exe), ", ".join(imports), ICON_GROUP_NAME))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rc")
    parser.add_argument("--exe")
    parser.add_argument("--ico", required=True)
    parser.add_argument("--windres", default="i686-w64-mingw32-windres")
    parser.add_argument("--ld", default="i686-w64-mingw32-ld")
    parser.add_argument("--faults", action="store_true")
    args = parser.parse_args()
    if bool(args.rc) == bool(args.exe):
        parser.error("give --rc SCRIPT or --exe PROGRAM")
    if args.exe:
        return main_program(args)
    # The resource compiler runs in a scratch folder.
    args.rc = os.path.abspath(args.rc)

    if args.faults:
        missed, count = check_faults(args.rc, args.ico, args.windres, args.ld)
        if missed:
            print("FAIL: not detected: %s" % "; ".join(missed))
            return 1
        print("PASS: all %d faults detected" % count)
        return 0

    return check(args.rc, args.ico, args.windres, args.ld).report(
        "version information (%d strings, translation 0x0409/1200, fixed 1.1.0.2) and icon group %s "
        "with %d images" % (len(EXPECTED_STRINGS), ICON_GROUP_NAME, len(EXPECTED_ICONS)))


if __name__ == "__main__":
    sys.exit(main())
