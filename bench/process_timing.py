"""Timing whole processes for the benchmarks: wall seconds from start to exit, the peak resident
memory of the process, and what it wrote on stdout."""
import os
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ORVANE = os.environ.get("ORVANE", os.path.join(ROOT, "build", "linux64", "bin", "orvane"))


# A child forked from this (large) Python process would report Python's resident size as its
# own peak, since Linux carries the peak across exec; GNU time forks from a small process.
GNU_TIME = "/usr/bin/time"


def run(argv, cwd):
    """One run: (seconds, peak RSS in MB or None without GNU time, stdout text). A failing run
    ends the benchmark."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err, \
            tempfile.NamedTemporaryFile(mode="r") as peak:
        if os.access(GNU_TIME, os.X_OK):
            argv = [GNU_TIME, "-f", "%M", "-o", peak.name] + argv
        start = time.perf_counter()
        status = subprocess.run(argv, cwd=cwd, stdout=out, stderr=err,
                                stdin=subprocess.DEVNULL).returncode
        seconds = time.perf_counter() - start
        if status != 0:
            err.seek(0)
            raise SystemExit("%s failed (%d): %s" % (" ".join(argv), status,
                                                      err.read().decode(errors="replace")))
        kilobytes = peak.read().split()
        out.seek(0)
        rss = float(kilobytes[-1]) / 1024.0 if kilobytes else None
        return seconds, rss, out.read().decode(errors="replace")


def megabytes(rss):
    return "n/a (no %s)" % GNU_TIME if rss is None else "%.1f MB" % rss


def best(argv, cwd, times):
    """The fastest of several runs: (seconds, peak RSS in MB of that run, its stdout)."""
    return min((run(argv, cwd) for _ in range(times)), key=lambda r: r[0])


def block_field(report, offset):
    """A parameter block field of an `orvane run --json` report, by byte offset."""
    return next(f["value"] for f in report["block"] if f["offset"] == offset)


def control_text(report, resource, control):
    """A control's text in a dialog of the report, as the dialog ended."""
    for dialog in report["dialogs"]:
        if dialog["resource"] == resource:
            for c in dialog["controls"]:
                if c["id"] == control and c["kind"] != "custom":
                    return c["text"]
    return "?"
