"""What the install and the package checks share: the expected file list and the checks of an
installed tree that a Linux desktop reads (desktop entry, AppStream metainfo, hicolor icons)."""

import os
import struct
import subprocess
import xml.etree.ElementTree as ElementTree


def expected_files(list_path):
    with open(list_path, encoding="utf-8") as f:
        return sorted(line.strip() for line in f if line.strip() and not line.startswith("#"))


def files_under(root):
    found = []
    for folder, _, names in os.walk(root):
        for name in names:
            found.append(os.path.relpath(os.path.join(folder, name), root))
    return sorted(found)


def compare_file_lists(problems, found, expected, where):
    missing = sorted(set(expected) - set(found))
    extra = sorted(set(found) - set(expected))
    problems.expect(not missing, "%s lacks %s" % (where, ", ".join(missing)))
    problems.expect(not extra, "%s has unexpected %s" % (where, ", ".join(extra)))


def run(command):
    """Runs a command; returns (exit status, stdout and stderr together)."""
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return result.returncode, result.stdout.strip()


def desktop_entry(path):
    """The keys of the [Desktop Entry] group."""
    keys, group = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line:
                key, value = line.split("=", 1)
                keys[key.strip()] = value.strip()
    return keys


def check_program_file(problems, program):
    """The installed program finds its libraries where the system keeps them, not through a
    search path of its own (into the build, or next to itself)."""
    status, output = run(["readelf", "--dynamic", program])
    if problems.expect(status == 0, "readelf %s: %s" % (program, output)):
        paths = [line.strip() for line in output.splitlines() if "RPATH" in line or "RUNPATH" in line]
        problems.expect(not paths, "%s carries a library search path: %s" % (program, "; ".join(paths)))


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def check_desktop_tree(problems, root, version):
    """Validates the desktop entry and the metainfo installed under root/usr, alone and
    together, and checks that each names the others correctly: the program, the icon, the
    desktop entry and the release."""
    prefix = os.path.join(root, "usr")
    share = os.path.join(prefix, "share")
    applications = os.path.join(share, "applications")
    metainfo_dir = os.path.join(share, "metainfo")
    desktop_names = sorted(os.listdir(applications)) if os.path.isdir(applications) else []
    metainfo_names = sorted(os.listdir(metainfo_dir)) if os.path.isdir(metainfo_dir) else []
    if not problems.expect(len(desktop_names) == 1 and len(metainfo_names) == 1,
                           "one desktop entry and one metainfo file expected"):
        return
    desktop = os.path.join(applications, desktop_names[0])
    metainfo = os.path.join(metainfo_dir, metainfo_names[0])

    status, output = run(["desktop-file-validate", desktop])
    problems.expect(status == 0 and not output, "desktop-file-validate: %s" % output)
    status, output = run(["appstreamcli", "validate", "--no-net", "--explain", metainfo])
    problems.expect(status == 0, "appstreamcli validate: %s" % output)
    status, output = run(["appstreamcli", "validate-tree", "--no-net", "--explain", root])
    problems.expect(status == 0, "appstreamcli validate-tree: %s" % output)

    entry = desktop_entry(desktop)
    program = entry.get("Exec", "").split(" ")[0]
    problems.expect(os.sep not in program and os.access(os.path.join(prefix, "bin", program), os.X_OK),
                    "Exec=%s is not the installed program" % program)
    problems.expect(entry.get("TryExec", program) == program, "TryExec differs from Exec")
    icon = entry.get("Icon", "")
    for size in (16, 32):
        png = os.path.join(share, "icons", "hicolor", "%dx%d" % (size, size), "apps", icon + ".png")
        problems.expect(os.path.isfile(png) and png_size(png) == (size, size),
                        "Icon=%s: no %dx%d picture of that size in hicolor" % (icon, size, size))

    root = ElementTree.parse(metainfo).getroot()
    component_id = root.findtext("id")
    problems.expect(metainfo_names[0] == "%s.metainfo.xml" % component_id,
                    "metainfo %s is not named after its id %s" % (metainfo_names[0], component_id))
    launchables = [e.text for e in root.findall("launchable[@type='desktop-id']")]
    problems.expect(launchables == desktop_names,
                    "metainfo launches %s, the desktop entry is %s" % (launchables, desktop_names))
    binaries = [e.text for e in root.findall("provides/binary")]
    problems.expect(binaries == [program], "metainfo provides %s, Exec runs %s" % (binaries, program))
    releases = [e.get("version") for e in root.findall("releases/release")]
    problems.expect(releases[:1] == [version],
                    "newest release in the metainfo is %s, the program is %s" % (releases[:1], version))
    screenshots = [e.text for e in root.findall("screenshots/screenshot/image")]
    problems.expect(len(screenshots) >= 1 and all(s.startswith("https://") for s in screenshots),
                    "metainfo screenshots: %s" % screenshots)
