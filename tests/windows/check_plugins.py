#!/usr/bin/python3
"""Checks the Windows plug-ins of a build without running them: what a host audio editor needs
of a .xfm before it ever calls it.

  check_plugins.py --arch win32|win64 --plugins DIR --defs SOURCE_TREE

For each plug-in with a .def file in the tree (SOURCE_TREE/*/NAME.def), DIR/NAME.xfm must be:
- a DLL for the build's machine (win32: PE32 for i386, the deliverables; win64: PE32+ x86-64);
- exporting exactly the .def file's names at its ordinals, the host's eight among them, with
  the decorated "_DisplayCallback@20" at 7;
- carrying dialog resources 100 (settings) and 107 (results);
- importing nothing but the system's own DLLs, so that it needs nothing but Windows.
Uses the objdump of mingw-w64. Exit status 0 when every plug-in passes, 1 otherwise.
"""

import argparse
import glob
import os
import re
import subprocess
import sys

MACHINES = {
    "win32": ("i686-w64-mingw32-objdump", "pei-i386", "PE32"),
    "win64": ("x86_64-w64-mingw32-objdump", "pei-x86-64", "PE32+"),
}
REQUIRED_EXPORTS = {"QueryXfm": 2, "XfmInit": 3, "XfmSetup": 4, "XfmDo": 5, "XfmDestroy": 6,
                    "_DisplayCallback@20": 7, "DIALOGMsgProc": 100, "DIALOGMsgProc2": 101}
DIALOG_TYPE = 5  # RT_DIALOG
DIALOGS = (100, 107)
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comdlg32.dll", "advapi32.dll",
               "msvcrt.dll"}


def def_exports(path):
    """name -> ordinal from EXPORTS lines "Name @ord" or "Name = Internal@bytes @ord"."""
    exports = {}
    for line in open(path, encoding="ascii"):
        m = re.match(r"\s*([A-Za-z_][\w@]*)\s*(?:=\s*[A-Za-z_][\w@]*)?\s*@(\d+)", line)
        if m:
            exports[m.group(1)] = int(m.group(2))
    return exports


def dll_exports(dump):
    base = re.search(r"Ordinal Base\s+(\d+)", dump)
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    if not base or len(table) < 2:
        return None
    rows = table[1].split("\n\n", 1)[0]
    return {name: int(index) + int(base.group(1))
            for index, name in re.findall(r"\[\s*(\d+)\]\s+(\S+)", rows)}


def dialog_resources(dump):
    """IDs of the resources of type DIALOG: the resource directory's entries one level below
    the type entry, indented one step further."""
    found, in_dialogs, type_indent = set(), False, None
    section = dump.split("The .rsrc Resource Directory section:", 1)
    for line in (section[1].splitlines() if len(section) > 1 else []):
        m = re.match(r"[0-9a-f]+(\s+)Entry: ID: 0x([0-9a-f]+)", line)
        if not m:
            continue
        indent, ident = len(m.group(1)), int(m.group(2), 16)
        if type_indent is None or indent <= type_indent:
            type_indent, in_dialogs = indent, ident == DIALOG_TYPE
        elif in_dialogs and indent == type_indent + 2:
            found.add(ident)
    return found


def check(path, definition, arch):
    objdump, file_format, magic = MACHINES[arch]
    problems = []
    header = subprocess.run([objdump, "-f", path], capture_output=True, text=True)
    dump = subprocess.run([objdump, "-p", path], capture_output=True, text=True)
    if header.returncode != 0 or dump.returncode != 0:
        return [f"objdump cannot read it: {(header.stderr + dump.stderr).strip()}"]
    if f"file format {file_format}" not in header.stdout:
        problems.append(f"not {file_format}: {header.stdout.strip().splitlines()[0]}")
    if not re.search(rf"Magic\s+\w+\s+\({re.escape(magic)}\)", dump.stdout):
        problems.append(f"not a {magic} image")
    if not re.search(r"Characteristics[^\n]*\n(?:\t[^\n]*\n)*?\tDLL", dump.stdout):
        problems.append("not a DLL")
    exports = dll_exports(dump.stdout)
    if exports is None:
        problems.append("no export table")
    else:
        if exports != definition:
            problems.append(f"exports {sorted(exports.items())}, the .def file says "
                            f"{sorted(definition.items())}")
        for name, ordinal in REQUIRED_EXPORTS.items():
            if exports.get(name) != ordinal:
                problems.append(f"lacks {name} at ordinal {ordinal}")
    dialogs = dialog_resources(dump.stdout)
    for dialog in DIALOGS:
        if dialog not in dialogs:
            problems.append(f"no dialog resource {dialog}")
    for dll in re.findall(r"DLL Name: (\S+)", dump.stdout):
        if dll.lower() not in SYSTEM_DLLS:
            problems.append(f"imports {dll}, which is not the system's")
    return problems


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--arch", choices=sorted(MACHINES), required=True)
    p.add_argument("--plugins", required=True, help="folder of the built .xfm files")
    p.add_argument("--defs", required=True, help="the source tree, whose */NAME.def are read")
    args = p.parse_args()
    defs = sorted(glob.glob(os.path.join(args.defs, "*", "*.def")))
    if not defs:
        print(f"check_plugins: no .def files under {args.defs}")
        return 1
    failed = 0
    for def_path in defs:
        name = os.path.splitext(os.path.basename(def_path))[0]
        path = os.path.join(args.plugins, name + ".xfm")
        if not os.path.isfile(path):
            problems = [f"was not built (make build-{args.arch})"]
        else:
            problems = check(path, def_exports(def_path), args.arch)
        print(f"{'FAIL' if problems else 'pass'}  {name}.xfm ({args.arch})"
              + "".join(f"\n      {problem}" for problem in problems))
        failed += bool(problems)
    print(f"{len(defs) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
