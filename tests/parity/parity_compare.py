"""Compares what the two hosts produced for one scenario: report values, texts, CSV tables, WAVE
samples and other files, and measures the largest relative difference among the numbers.

Numbers may differ a little because the two C runtimes compute log10, pow, exp, tan ... in their
own ways (msvcrt against glibc); everything else must be equal. A difference counts against the
bound as |a - b| / scale, where scale is max(|a|, |b|) for a single value and the largest
magnitude of the whole array for arrays (a waveform, a display curve, a CSV column), so that
values near a zero crossing are measured against the size of the signal, not their own.
"""

import math
import re
from decimal import Decimal

from parity_signals import read_clipboard_image, read_wav

# Largest relative difference accepted between the hosts' numbers. The plug-ins keep 32-bit
# floats (about 6e-8 relative per rounding) and run the same operations in the same order on
# both systems, so only the runtimes' transcendental functions (last-bit differences in double)
# and the few float roundings that follow them may differ: 1e-6 leaves room for a dozen float
# roundings and still catches any real change of a formula or of an operation's order.
RELATIVE_BOUND = 1e-6

# The bound between two builds of the same host and plug-ins for the two ABIs (x86 32-bit and
# x86-64, both SSE2 without contraction): every float computation is the same, bit for bit, so
# every output must be identical, but for doubles that came straight out of the C library's
# transcendental functions (the display curves' log10 and atan2, a gain in dB), in which the
# system's 32-bit and 64-bit libraries may differ in the last bits. 1e-15 is four units in
# the last place of a double and still a hundred million times below one of a float.
SAME_BUILD_BOUND = 1e-15

# A printed number: sign, digits with an optional fraction, optional exponent. msvcrt prints
# three exponent digits where glibc prints two ("1e+003" against "1e+03"): the values compare
# equal, so that needs no rule of its own.
_NUMBER = re.compile(r"([-+]?(?:\d+(?:\.\d*)?|\.\d+)(?:[eE][-+]?\d+)?)")
_PARTS = re.compile(r"[-+]?(\d*)(?:\.(\d*))?(?:[eE]([-+]?\d+))?")

_MAX_LISTED = 12


class Comparison:
    """The outcome of comparing one scenario's outputs."""

    def __init__(self, bound=RELATIVE_BOUND, exact_text=False):
        self.bound = bound
        self.exact_text = exact_text  # printed numbers must be printed alike
        self.inexact = 0  # numbers that differed at all, within the bound
        self.mismatches = []  # (where, what)
        self.largest = 0.0  # largest relative difference measured
        self.largest_at = ""
        self.last_digit = 0  # printed numbers one unit apart in their last digit, accepted

    @property
    def ok(self):
        return not self.mismatches

    def mismatch(self, where, what):
        self.mismatches.append((where, what))

    def measure(self, relative, where, a, b, count=1):
        """The largest relative difference among `count` numbers that differ (or one)."""
        if relative > 0.0:
            self.inexact += count
        if relative > self.largest:
            self.largest, self.largest_at = relative, where
        if relative > self.bound:
            self.mismatch(where, f"{a!r} against {b!r}: relative difference {relative:.3g} "
                                 f"above {self.bound:g}")

    def listing(self):
        lines = [f"  {where}: {what}" for where, what in self.mismatches[:_MAX_LISTED]]
        if len(self.mismatches) > _MAX_LISTED:
            lines.append(f"  ... and {len(self.mismatches) - _MAX_LISTED} more")
        return "\n".join(lines)


def _is_number(v):
    return isinstance(v, (int, float)) and not isinstance(v, bool)


def _relative(a, b, scale):
    if a == b:
        return 0.0
    if math.isnan(a) or math.isnan(b) or scale == 0.0 or math.isinf(scale):
        return math.inf
    return abs(a - b) / scale


def compare_numbers(cmp, a, b, where):
    """Two single values: integers exactly (counts, ids, sizes), floats within the bound."""
    if isinstance(a, int) and isinstance(b, int):
        if a != b:
            cmp.mismatch(where, f"{a} against {b}")
        return
    cmp.measure(_relative(a, b, max(abs(a), abs(b))), where, a, b)


def compare_arrays(cmp, xs, ys, where, unit="value"):
    """Two arrays of numbers (None for a missing value) against the larger array magnitude."""
    if len(xs) != len(ys):
        cmp.mismatch(where, f"{len(xs)} against {len(ys)} {unit}s")
        return
    magnitudes = [abs(v) for v in xs if v is not None] + [abs(v) for v in ys if v is not None]
    scale = max(magnitudes, default=0.0)
    worst, worst_index, beyond, differ = 0.0, -1, 0, 0
    for i, (a, b) in enumerate(zip(xs, ys)):
        if a is None or b is None:
            if a is not b:
                cmp.mismatch(f"{where}[{i}]", f"{a!r} against {b!r}")
            continue
        r = _relative(a, b, scale)
        differ += r > 0.0
        if r > cmp.bound:
            beyond += 1
        if r > worst:
            worst, worst_index = r, i
    if worst_index >= 0:
        at = f"{where}[{worst_index}]"
        if beyond > 1:
            cmp.mismatch(where, f"{beyond} of {len(xs)} {unit}s beyond the bound")
        cmp.measure(worst, at, xs[worst_index], ys[worst_index], differ)


def _unit_in_last_place(token):
    m = _PARTS.fullmatch(token)
    decimals = len(m.group(2) or "")
    return decimals, Decimal(1).scaleb(int(m.group(3) or 0) - decimals)


def _line_of(text, index):
    start = text.rfind("\n", 0, index) + 1
    end = text.find("\n", index)
    return text.count("\n", 0, index) + 1, text[start:end if end >= 0 else len(text)].rstrip("\r")


def compare_text(cmp, a, b, where):
    """Two texts: equal apart from printed numbers, which may differ only as far as the values
    they stand for may (a value printed with d decimals lies within half a unit of the last
    digit of what is printed, so "92.91" and "92.92" may stand for values closer than the bound
    on either side of a rounding boundary, while "92.91" and "92.93" cannot)."""
    if a == b:
        return
    pa, pb = _NUMBER.split(a), _NUMBER.split(b)
    if len(pa) != len(pb) or any(pa[i] != pb[i] for i in range(0, len(pa), 2)):
        i = next((k for k in range(min(len(pa), len(pb))) if pa[k] != pb[k]), min(len(pa), len(pb)))
        pos_a, pos_b = len("".join(pa[:i])), len("".join(pb[:i]))
        la, lb = _line_of(a, pos_a), _line_of(b, pos_b)
        cmp.mismatch(where if "\n" not in a + b else f"{where} line {la[0]}",
                     f"{la[1]!r} against {lb[1]!r}")
        return
    offset_a = 0
    for i in range(1, len(pa), 2):
        offset_a += len(pa[i - 1])
        ta, tb = pa[i], pb[i]
        if ta != tb:
            place = where if "\n" not in a else f"{where} line {_line_of(a, offset_a)[0]}"
            da, ua = _unit_in_last_place(ta)
            db, ub = _unit_in_last_place(tb)
            if cmp.exact_text:
                cmp.mismatch(place, f"{ta!r} against {tb!r}")
            elif da != db:
                cmp.mismatch(place, f"{ta!r} against {tb!r}: printed with other precision")
            else:
                # Decimal: the printed values exactly, so one unit apart is exactly one unit.
                va, vb = Decimal(ta), Decimal(tb)
                slack = max(Decimal(0), abs(va - vb) - (ua + ub) / 2)
                if slack == 0:
                    cmp.last_digit += 1
                relative = float(slack / max(abs(va), abs(vb))) if slack else 0.0
                cmp.measure(relative, place, ta, tb)
        offset_a += len(ta)


def compare_json(cmp, a, b, where="report"):
    """Two decoded JSON values, key by key and element by element."""
    if isinstance(a, dict) and isinstance(b, dict):
        for key in a:
            if key not in b:
                cmp.mismatch(f"{where}.{key}", "only in the first")
            else:
                compare_json(cmp, a[key], b[key], f"{where}.{key}")
        for key in b:
            if key not in a:
                cmp.mismatch(f"{where}.{key}", "only in the second")
    elif isinstance(a, list) and isinstance(b, list):
        numeric = lambda v: v is None or _is_number(v)  # noqa: E731
        if (a or b) and all(map(numeric, a + b)) and any(isinstance(v, float) for v in a + b):
            compare_arrays(cmp, a, b, where)
        elif len(a) != len(b):
            cmp.mismatch(where, f"{len(a)} against {len(b)} elements")
        else:
            for i, (x, y) in enumerate(zip(a, b)):
                compare_json(cmp, x, y, f"{where}[{i}]")
    elif _is_number(a) and _is_number(b):
        compare_numbers(cmp, a, b, where)
    elif isinstance(a, str) and isinstance(b, str):
        compare_text(cmp, a, b, where)
    elif a != b or type(a) is not type(b):
        cmp.mismatch(where, f"{a!r} against {b!r}")


def _result_key(result):
    channel = result.get("channel", "")
    return f"{result.get('name', '')}{' ' + channel if channel else ''}"


def compare_results(cmp, a, b, where="result"):
    """Two reports' named results ({"name", "channel", "value", "unit", "text"}), result by
    result: the same results in the same order, the values within the bound (null where the
    other has null), the units and the texts alike."""
    keys_a, keys_b = [_result_key(r) for r in a], [_result_key(r) for r in b]
    if keys_a != keys_b:
        only_a = [k for k in keys_a if k not in keys_b]
        only_b = [k for k in keys_b if k not in keys_a]
        cmp.mismatch(where, f"results {keys_a} against {keys_b}" if not (only_a or only_b)
                     else f"only in the first {only_a}, only in the second {only_b}")
        return
    for ra, rb in zip(a, b):
        at = f"{where} {_result_key(ra)!r}"
        va, vb = ra.get("value"), rb.get("value")
        if _is_number(va) and _is_number(vb):
            compare_numbers(cmp, va, vb, at)
        elif isinstance(va, str) and isinstance(vb, str):
            compare_text(cmp, va, vb, at)
        elif va != vb:
            cmp.mismatch(at, f"{va!r} against {vb!r}")
        if ra.get("unit") != rb.get("unit"):
            cmp.mismatch(f"{at} unit", f"{ra.get('unit')!r} against {rb.get('unit')!r}")
        compare_text(cmp, ra.get("text", ""), rb.get("text", ""), f"{at} text")


def _cell(text):
    try:
        return float(text) if text else None
    except ValueError:
        return text


def compare_csv(cmp, a, b, where):
    """Two CSV tables of numbers (display curves): header equal, each column as an array."""
    ra, rb = a.splitlines(), b.splitlines()
    if not ra or not rb or ra[0] != rb[0]:
        cmp.mismatch(where, f"header {ra[:1]} against {rb[:1]}")
        return
    if len(ra) != len(rb):
        cmp.mismatch(where, f"{len(ra) - 1} against {len(rb) - 1} rows")
        return
    names = ra[0].split(",")
    columns_a = list(zip(*[[_cell(c) for c in row.split(",")] for row in ra[1:]])) or []
    columns_b = list(zip(*[[_cell(c) for c in row.split(",")] for row in rb[1:]])) or []
    if len(columns_a) != len(columns_b):
        cmp.mismatch(where, "rows of other widths")
        return
    for name, xs, ys in zip(names, columns_a, columns_b):
        if any(isinstance(v, str) for v in xs + ys):
            compare_json(cmp, list(xs), list(ys), f"{where}:{name}")
        else:
            compare_arrays(cmp, list(xs), list(ys), f"{where}:{name}", "row")


def compare_waves(cmp, wa, wb, where):
    """Two WAVE files sample by sample, each channel against its own largest magnitude."""
    for what, x, y in (("channels", wa.channels, wb.channels), ("rate", wa.rate, wb.rate),
                       ("format", wa.description, wb.description)):
        if x != y:
            cmp.mismatch(where, f"{what} {x} against {y}")
            return
    for c in range(wa.channels):
        compare_arrays(cmp, wa.samples[c::wa.channels], wb.samples[c::wb.channels],
                       f"{where} channel {c + 1}", "sample")


def compare_files(cmp, path_a, path_b, where):
    """Two output files of the same name, by kind: WAVE samples, CSV columns, or the bytes
    (and, when those differ, the text with its printed numbers)."""
    if where.startswith("clipboard-image") and where.endswith(".wav"):
        compare_waves(cmp, read_clipboard_image(path_a), read_clipboard_image(path_b), where)
        return
    if where.endswith(".wav"):
        compare_waves(cmp, read_wav(path_a), read_wav(path_b), where)
        return
    with open(path_a, "rb") as f:
        a = f.read()
    with open(path_b, "rb") as f:
        b = f.read()
    if a == b:
        return
    if where.endswith(".csv"):
        compare_csv(cmp, a.decode("latin-1"), b.decode("latin-1"), where)
    else:
        compare_text(cmp, a.decode("latin-1"), b.decode("latin-1"), where)
