#!/usr/bin/python3
"""What Windows reads from tarvelo.exe before it runs a line of it, read with
pefile from the folder as installed: a 64-bit GUI program with the window's
icon, its version and a manifest, and every library it or its plugins import
either deployed beside it or part of Windows.
    check_exe.py FOLDER VERSION DESCRIPTION
"""
import pathlib
import re
import sys
import xml.etree.ElementTree as ElementTree

import pefile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "support"))
import tally  # noqa: E402
from tally import check  # noqa: E402

# Part of every Windows since 10 (d3d12 the newest); api-ms-win-* are its API sets.
SYSTEM = {
    "advapi32", "authz", "comdlg32", "d3d11", "d3d12", "d3d9", "dwmapi", "dwrite", "dxgi", "gdi32",
    "imm32", "kernel32", "mpr", "msvcrt", "netapi32", "ole32", "oleaut32", "opengl32",
    "setupapi", "shcore", "shell32", "shlwapi", "user32", "userenv", "uxtheme", "version",
    "winmm", "ws2_32", "wtsapi32",
}

WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
V1, V3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"


def manifest(pe):
    """The manifest Windows reads when it creates the process (resource 1), parsed."""
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id == pefile.RESOURCE_TYPE["RT_MANIFEST"]:
            for name in kind.directory.entries:
                if name.id == 1:
                    data = name.directory.entries[0].data.struct
                    return ElementTree.fromstring(pe.get_data(data.OffsetToData, data.Size))
    return None


def version_strings(pe):
    strings = {}
    for info in getattr(pe, "FileInfo", []):
        for entry in info:
            for table in getattr(entry, "StringTable", []):
                strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    return strings


def main(folder, version, description):
    folder = pathlib.Path(folder)
    exe = pefile.PE(str(folder / "tarvelo.exe"))
    check(exe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"],
          "tarvelo.exe is x86-64")
    check(exe.OPTIONAL_HEADER.Subsystem == pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
          "tarvelo.exe is a GUI program: no console window")
    resources = {entry.id for entry in exe.DIRECTORY_ENTRY_RESOURCE.entries}
    check(pefile.RESOURCE_TYPE["RT_GROUP_ICON"] in resources
          and pefile.RESOURCE_TYPE["RT_ICON"] in resources, "tarvelo.exe carries an icon")
    icons = [e for e in exe.DIRECTORY_ENTRY_RESOURCE.entries
             if e.id == pefile.RESOURCE_TYPE["RT_ICON"]]
    for icon in icons:
        for name in icon.directory.entries:
            for language in name.directory.entries:
                data = exe.get_data(language.data.struct.OffsetToData, language.data.struct.Size)
                width, height, bits = (int.from_bytes(data[4:8], "little"),
                                       int.from_bytes(data[8:12], "little") // 2,
                                       int.from_bytes(data[14:16], "little"))
                check((width, height, bits) == (32, 32, 8),
                      f"the icon is 32 x 32 at 8 bits a pixel, not {width} x {height} at {bits}")
    strings = version_strings(exe)
    for key, value in (("ProductName", "Tarvelo"), ("FileVersion", version),
                       ("ProductVersion", version), ("FileDescription", description)):
        check(strings.get(key) == value, f"version resource {key}: {strings.get(key)!r}")
    fixed = exe.VS_FIXEDFILEINFO[0]
    major, minor = (int(part) for part in version.split("."))
    check((fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xffff) == (major, minor),
          "the file version's numbers")

    root = manifest(exe)
    check(root is not None and root.tag == V1 + "assembly", "tarvelo.exe embeds its manifest")
    if root is not None:
        identity = root.find(V1 + "assemblyIdentity")
        check(identity is not None and identity.get("version") == f"{major}.{minor}.0.0"
              and identity.get("processorArchitecture") == "amd64",
              "the manifest names the program's version and x86-64")
        check([e.get("Id") for e in root.iter(COMPATIBILITY + "supportedOS")] == [WINDOWS_10_AND_11],
              "the manifest declares Windows 10 and 11")
        levels = [(e.get("level"), e.get("uiAccess")) for e in root.iter(V3 + "requestedExecutionLevel")]
        check(levels == [("asInvoker", "false")], f"no elevation asked: {levels}")
        awareness = [e.text for e in root.iter(SETTINGS_2016 + "dpiAwareness")]
        check(awareness == ["PerMonitorV2"], f"per-monitor DPI awareness v2: {awareness}")

    deployed = {p.name.lower() for p in folder.iterdir() if p.suffix.lower() == ".dll"}
    for binary in [folder / "tarvelo.exe", *folder.rglob("*.dll")]:
        pe = exe if binary.name == "tarvelo.exe" else pefile.PE(str(binary))
        for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
            name = entry.dll.decode().lower()
            check(name in deployed or name[:-4] in SYSTEM or re.match(r"api-ms-win-", name),
                  f"{binary.relative_to(folder)} imports {name}, neither deployed nor Windows'")
    return tally.close()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
