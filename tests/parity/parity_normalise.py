"""Takes out of a host's report.json what must differ between the two systems, and only that.

- Paths: the Windows host sees this machine's files through Wine's drive Z: (Z:\\work\\x is
  /work/x); each host also writes into a folder of its own and loads its own build of the
  plug-in. Paths become POSIX paths, then those folders become $OUT and the plug-in $PLUGIN.
- Addresses: window and module handles (parameter-block fields of type h), fields that a
  plug-in declares to hold buffer addresses (@addresses in scenarios.txt) and the hidden dialog
  state holders (a hidden static holding three comma-separated numbers, the context as
  addresses) name memory of the process that ran; only whether they are zero is compared.
- Durations: how long a run took (@timings in scenarios.txt: parameter-block fields and the
  dialog texts that show them) is the machine's, not the plug-in's.
- Paints: how often a display is painted is the window system's choice (a real window is
  painted when it is shown and again when it is uncovered or invalidated); only whether it was
  painted at all is compared.
- Pictures: the Linux host draws its dialogs and displays with cairo (dialog-N.png,
  display-N.png/.svg), the Windows host takes screenshots of the real dialogs; which pictures
  exist is the host's business, so they leave the list of written files (the Windows
  screenshots are checked on their own), and so does the note of a build that draws none.
"""

import copy
import re

_WINE_PATH = re.compile(r"Z:\\[^\s\"]*")
CONTEXT_CONTROL = 120
_CONTEXT_TEXT = re.compile(r"-?\d+,-?\d+,-?\d+")
PICTURE_SUFFIXES = (".png", ".svg")


def posix_from_wine(text):
    return _WINE_PATH.sub(lambda m: m.group(0)[2:].replace("\\", "/"), text)


def wine_from_posix(path):
    return "Z:" + path.replace("/", "\\")


def _strings(value, change):
    if isinstance(value, dict):
        return {k: _strings(v, change) for k, v in value.items()}
    if isinstance(value, list):
        return [_strings(v, change) for v in value]
    if isinstance(value, str):
        return change(value)
    return value


def _presence(value, token):
    return token if value else 0


def _is_context(control):
    if control.get("kind") != "static":
        return False
    return control.get("id") == CONTEXT_CONTROL or (
        not control.get("visible", True) and _CONTEXT_TEXT.fullmatch(control.get("text", "")))


def normalise_report(report, places, addresses=(), timings=((), ())):
    """A copy of `report` with the system-specific parts replaced. `places` maps POSIX path
    prefixes to their tokens, e.g. {"/work/build/x/linux": "$OUT"}; longer prefixes first.
    `addresses` holds the parameter-block offsets that hold addresses; `timings` the offsets
    and the (dialog resource, control id) pairs that hold durations."""
    timing_fields, timing_texts = timings
    ordered = sorted(places.items(), key=lambda kv: -len(kv[0]))

    def change(text):
        text = posix_from_wine(text)
        for prefix, token in ordered:
            text = text.replace(prefix, token)
        return text

    r = _strings(copy.deepcopy(report), change)
    for field in r.get("block", []):
        if field.get("type") == "h":
            field["value"] = _presence(field["value"], "<handle>")
        elif field.get("offset") in addresses:
            field["value"] = _presence(field["value"], "<address>")
        elif field.get("offset") in timing_fields:
            field["value"] = "<duration>"
    durations = set()  # the texts that show durations
    for dialog in r.get("dialogs", []):
        for control in dialog.get("controls", []):
            if _is_context(control):
                control["text"] = _presence(control["text"], "<context>")
            elif (dialog.get("resource"), control.get("id")) in timing_texts:
                durations.add(control.get("text"))
                control["text"] = "<duration>"
    # A result that a duration's text shows is that duration.
    for result in r.get("results", []):
        if result.get("text") in durations:
            result["value"] = result["text"] = "<duration>"
    for display in r.get("displays", []):
        if "repaints" in display:
            display["repaints"] = _presence(display["repaints"], "<painted>")
        for target in display.values():
            if not isinstance(target, dict):
                continue
            for key in list(target):
                if f"display:{key}" in addresses:
                    target[key] = _presence(target[key], "<address>")
    if "files" in r:
        r["files"] = [f for f in r["files"] if not f.lower().endswith(PICTURE_SUFFIXES)]
    r.pop("pictures", None)
    return r
