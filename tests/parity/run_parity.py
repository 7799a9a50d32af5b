#!/usr/bin/python3
"""Parity of the two hosts: every scenario of scenarios.txt runs through the Linux host and
through orvane.exe under Wine, and what the two produced must agree.

  run_parity.py --linux-host build/linux64/bin/orvane --linux-plugins build/linux64/bin \\
      --windows-host "scripts/wine-run.sh --arch win64 build/win64/bin/orvane.exe" \\
      --windows-plugins build/win64/bin --artefacts DIR [--plugin NAME] [--only NAME]...
  run_parity.py --check-exports --windows-host CMD --windows-plugins DIR
      [--linux-host CMD --linux-plugins DIR]
  run_parity.py --same-build --linux-host build/linux64/bin/orvane ... \\
      --windows-host "qemu-i386 -L / build/linux32/bin/orvane" --windows-paths posix ...
  run_parity.py --presets ...the two hosts as above...
  run_parity.py --self-test

A host is any command (split like a shell would) that takes orvane's command line; the second
one is handed Wine's Z: paths unless --windows-paths posix (then it may be the Linux host too,
which tries the runner itself). Each scenario keeps its signal, both output folders and both
logs under --artefacts DIR/NAME. With --same-build the two hosts are one build for two ABIs
(x86-64 and x86 32-bit): what they write must be identical, but for the last bits of doubles
that came from the C library's functions. Exit status: 0 all agree, 1 a mismatch or a failed
run, 2 bad usage or a host that is missing.
"""

import argparse
import glob
import json
import os
import re
import shlex
import shutil
import signal as signals
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # no __pycache__ in the source tree

import parity_png  # noqa: E402
import parity_scenarios  # noqa: E402
import parity_signals  # noqa: E402
from parity_compare import (RELATIVE_BOUND, SAME_BUILD_BOUND, Comparison,  # noqa: E402
                            compare_files, compare_json, compare_results)
from parity_compare import compare_text  # noqa: E402
from parity_normalise import (PICTURE_SUFFIXES, normalise_report, posix_from_wine,  # noqa: E402
                              wine_from_posix)

RUN_TIMEOUT = 120  # s for one host run; a Windows run takes a second or two under Wine
RESULTS = "report.json"


class Host:
    def __init__(self, label, command, plugins, wine_paths, test_plugins=None):
        self.label = label  # "linux" or "windows": names the output folder and the log
        self.command = shlex.split(command)
        # Runs start in folders of their own: a program given by a relative path is this one.
        if self.command and "/" in self.command[0]:
            self.command[0] = os.path.abspath(self.command[0])
        self.plugins = os.path.abspath(plugins)
        # The test plug-ins (deliberate faults) are built apart from the deliverables.
        self.test_plugins = os.path.abspath(test_plugins) if test_plugins else None
        self.wine_paths = wine_paths

    def path(self, posix_path):
        """A path of this machine as this host must be given it."""
        p = os.path.abspath(posix_path)
        return wine_from_posix(p) if self.wine_paths else p

    def plugin(self, name):
        path = os.path.join(self.plugins, name + ".xfm")
        if not os.path.exists(path) and self.test_plugins:
            test_path = os.path.join(self.test_plugins, name + ".xfm")
            if os.path.exists(test_path):
                return test_path
        return path

    def missing(self):
        """What this host needs and does not find, as messages."""
        problems = []
        if not self.command:
            return [f"{self.label} host: empty command"]
        program = self.command[0]
        if "/" in program:
            if not os.access(program, os.X_OK):
                problems.append(f"{self.label} host: {program} is missing or not executable")
        elif shutil.which(program) is None:
            problems.append(f"{self.label} host: {program} is not installed")
        for word in self.command[1:]:
            if ("/" in word or word.endswith(".exe")) and not os.path.exists(word):
                problems.append(f"{self.label} host: {word} does not exist")
        if not os.path.isdir(self.plugins):
            problems.append(f"{self.label} host: plug-in folder {self.plugins} does not exist")
        return problems


def run(argv, log_path, timeout=RUN_TIMEOUT, env=None, cwd=None):
    """Runs argv (with `env` added to the environment, in folder `cwd`) with its output into
    log_path; returns
    (exit status, seconds). On timeout the whole process group it started (Xvfb and Wine's
    processes included) is ended."""
    start = time.monotonic()
    with open(log_path, "w") as log:
        log.write("$ " + " ".join(f"{k}={v}" for k, v in (env or {}).items())
                  + shlex.join(argv) + "\n")
        log.flush()
        proc = subprocess.Popen(argv, stdout=log, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, start_new_session=True,
                                env={**os.environ, **(env or {})}, cwd=cwd)
        try:
            status = proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signals.SIGTERM)
            try:
                proc.wait(timeout=30)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signals.SIGKILL)
                proc.wait()
            log.write(f"\n(ended after {timeout} s)\n")
            status = -1
    return status, time.monotonic() - start


def log_tail(path, lines=8):
    with open(path, errors="replace") as f:
        return "".join(f.readlines()[-lines:]).rstrip()


def split_environment(options):
    """`--env NAME=VALUE` words of a scenario set the environment of both hosts' runs (Wine
    hands it on to the Windows program), `--expect-status N` the exit status both must end
    with (0 unless given); the rest are orvane's options."""
    env, rest, words, status = {}, [], iter(options), 0
    for word in words:
        if word == "--env":
            name, _, value = next(words, "").partition("=")
            env[name] = value
        elif word == "--expect-status":
            status = int(next(words, "0"))
        else:
            rest.append(word)
    return env, rest, status


def last_line(path):
    with open(path, errors="replace") as f:
        lines = [line.rstrip() for line in f if line.strip()]
    return posix_from_wine(lines[-1]) if lines else ""


def host_options(options, host, out):
    """The scenario's options for one host: {out} is its output folder, {tree} this tree."""
    def place(base):
        return lambda m: host.path(base + (m.group(1) or ""))
    result = []
    for word in options:
        word = re.sub(r"\{out\}(/\S*)?", place(out), word)
        word = re.sub(r"\{tree\}(/\S*)?", place(ROOT), word)
        result.append(word)
    return result


# The folder's list of its set and the lock file of a Windows host: housekeeping, not outputs.
ORVANES_OWN = ".orvane-"


def output_files(folder):
    """The files a host wrote that both hosts must write alike (pictures are each host's own)."""
    return sorted(name for name in os.listdir(folder)
                  if name != RESULTS and not name.lower().endswith(PICTURE_SUFFIXES)
                  and not name.startswith(ORVANES_OWN))


def check_screenshots(cmp, report, folder):
    """The Windows host's pictures are screenshots of the real dialogs: one per dialog shown.
    A build that draws no pictures says so in its report, and has none to check."""
    if "pictures" in report:
        return
    for dialog in report.get("dialogs", []):
        name = f"dialog-{dialog.get('resource')}.png"
        problem = parity_png.problem(os.path.join(folder, name))
        if problem:
            cmp.mismatch(name, problem)


def compare_outputs(cmp, scenario, hosts, folders, addresses, timings):
    reports = []
    for host, folder in zip(hosts, folders):
        path = os.path.join(folder, RESULTS)
        if not os.path.isfile(path):
            cmp.mismatch(host.label, f"wrote no {RESULTS}")
            return
        with open(path, encoding="utf-8") as f:
            report = json.load(f)
        places = {os.path.abspath(folder): "$OUT",
                  host.plugin(scenario.plugin): "$PLUGIN"}
        reports.append((report, normalise_report(report, places, addresses, timings)))
    # The named results first, by name; then the rest of the reports key by key.
    compare_results(cmp, reports[0][1].pop("results", []), reports[1][1].pop("results", []))
    compare_json(cmp, reports[0][1], reports[1][1])
    names = [output_files(folder) for folder in folders]
    if names[0] != names[1]:
        cmp.mismatch("files", f"{names[0]} against {names[1]}")
    for name in sorted(set(names[0]) & set(names[1])):
        compare_files(cmp, os.path.join(folders[0], name), os.path.join(folders[1], name), name)
    check_screenshots(cmp, reports[1][0], folders[1])


def run_scenario(scenario, hosts, artefacts, addresses, timings, same_build):
    folder = os.path.join(artefacts, scenario.name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    signal = parity_signals.make(scenario.signal, os.path.join(folder, "signal.wav"), ROOT)
    cmp = Comparison(SAME_BUILD_BOUND, exact_text=True) if same_build else Comparison()
    folders, seconds = [], []
    env, options, expected = split_environment(scenario.options)
    logs = []
    for host in hosts:
        out = os.path.join(folder, host.label)
        os.makedirs(out)  # exports are saved into it while the run goes on
        # What a plug-in writes into its current folder ("timedelay.txt") stays with the run.
        here = os.path.join(folder, host.label + "-folder")
        os.makedirs(here)
        argv = (host.command + ["run", host.path(host.plugin(scenario.plugin)), host.path(signal)]
                + host_options(options, host, out) + ["--out", host.path(out), "--quiet"])
        log = os.path.join(folder, host.label + ".log")
        status, took = run(argv, log, env=env, cwd=here)
        seconds.append(took)
        folders.append(out)
        logs.append(log)
        if status != expected:
            cmp.mismatch(host.label, f"exit status {status}:\n{log_tail(log)}")
    wrote = [os.path.isfile(os.path.join(f, RESULTS)) for f in folders]
    if cmp.ok and expected != 0 and not any(wrote):
        # A run that ends in an error writes nothing: its message is what the hosts must share.
        messages = [last_line(log).replace(os.path.abspath(f), "$OUT")
                    for log, f in zip(logs, folders)]
        compare_text(cmp, messages[0], messages[1], "message")
        for host, f in zip(hosts, folders):
            if os.listdir(f):
                cmp.mismatch(host.label, f"wrote {sorted(os.listdir(f))} in a run that failed")
    elif cmp.ok:
        compare_outputs(cmp, scenario, hosts, folders, addresses, timings)
    return cmp, seconds


def verdict(name, cmp, seconds, measured=True):
    times = "/".join(f"{s:.1f}" for s in seconds)
    digits = f", {cmp.last_digit} last-digit" if cmp.last_digit else ""
    digits += f", {cmp.inexact} not identical" if cmp.inexact else ""
    where = f" at {cmp.largest_at}" if cmp.largest else ""
    largest = f"largest {cmp.largest:.2e}{where}{digits} " if measured else ""
    line = f"{'PASS' if cmp.ok else 'FAIL'}  {name:<32} {largest}({times} s)"
    return line if cmp.ok else line + "\n" + cmp.listing()


def run_scenarios(args, hosts):
    scenarios = parity_scenarios.load(args.scenarios)
    chosen = [s for s in scenarios.runs
              if (not args.plugin or s.plugin in args.plugin)
              and (not args.only or s.name in args.only)]
    unknown = set(args.only or []) - {s.name for s in scenarios.runs}
    if unknown or not chosen:
        print(f"run_parity: no such scenario: {', '.join(sorted(unknown)) or 'none chosen'}")
        return 2
    bound = SAME_BUILD_BOUND if args.same_build else RELATIVE_BOUND
    print(f"parity: {len(chosen)} scenarios, relative bound {bound:g}"
          + (", texts identical" if args.same_build else "")
          + f", artefacts in {args.artefacts}", flush=True)
    failed, largest, largest_at, inexact = [], 0.0, "", 0
    for s in chosen:
        cmp, seconds = run_scenario(s, hosts, args.artefacts, scenarios.addresses.get(s.plugin, ()),
                                    scenarios.timings.get(s.plugin, ((), ())), args.same_build)
        print(verdict(s.name, cmp, seconds), flush=True)
        if not cmp.ok:
            failed.append(s.name)
        inexact += cmp.inexact
        if cmp.largest > largest:
            largest, largest_at = cmp.largest, f"{s.name}: {cmp.largest_at}"
    print(f"parity: largest relative difference {largest:.3g}"
          + (f" ({largest_at})" if largest else "") + f", bound {bound:g}; "
          + f"{inexact} numbers not identical")
    if failed:
        print(f"parity: failed: {', '.join(failed)}")
    print(f"{len(chosen) - len(failed)} passed, {len(failed)} failed")
    return 1 if failed else 0


PRESET_FORMS = ("json", "bin")  # --save-preset writes JSON for a .json name, raw bytes otherwise


def preset_run(scenario, saver, loader, form, folder, addresses, timings, same_build):
    """The saver runs the scenario and saves its parameter block as a preset; the loader runs
    the same signal from that file alone (no settings of its own). The two blocks after the
    runs must agree: the settings travelled whole, and gave the same results."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    signal = parity_signals.make(scenario.signal, os.path.join(folder, "signal.wav"), ROOT)
    cmp = Comparison(SAME_BUILD_BOUND, exact_text=True) if same_build else Comparison()
    env, options, _ = split_environment(scenario.options)
    preset = os.path.join(folder, saver.label, "preset." + form)
    runs = ((saver, host_options(options, saver, os.path.join(folder, saver.label))
             + ["--save-preset", saver.path(preset)]),
            (loader, ["--preset", loader.path(preset)]))
    blocks, seconds = [], []
    for host, words in runs:
        out = os.path.join(folder, host.label)
        os.makedirs(out, exist_ok=True)
        here = os.path.join(folder, host.label + "-folder")
        os.makedirs(here)
        argv = (host.command + ["run", host.path(host.plugin(scenario.plugin)), host.path(signal)]
                + words + ["--out", host.path(out), "--quiet"])
        log = os.path.join(folder, host.label + ".log")
        status, took = run(argv, log, env=env, cwd=here)
        seconds.append(took)
        report = os.path.join(out, RESULTS)
        if status != 0 or not os.path.isfile(report):
            cmp.mismatch(host.label, f"exit status {status}:\n{log_tail(log)}")
            return cmp, seconds
        with open(report, encoding="utf-8") as f:
            blocks.append(normalise_report(json.load(f), {}, addresses, timings)["block"])
    compare_json(cmp, blocks[0], blocks[1], "block")
    return cmp, seconds


def run_presets(args, hosts):
    """Each preset scenario's settings saved by either host, in either form, and run by the
    other from the file alone."""
    scenarios = parity_scenarios.load(args.scenarios)
    chosen = [s for s in scenarios.runs if s.name in scenarios.presets
              and (not args.plugin or s.plugin in args.plugin)]
    if not chosen:
        print("run_parity: no @presets scenario chosen")
        return 2
    failed = []
    for s in chosen:
        for saver, loader in (hosts, hosts[::-1]):
            for form in PRESET_FORMS:
                name = f"{s.name} {form} {saver.label}->{loader.label}"
                folder = os.path.join(args.artefacts, f"preset-{s.name}-{form}-{saver.label}")
                cmp, seconds = preset_run(s, saver, loader, form, folder,
                                          scenarios.addresses.get(s.plugin, ()),
                                          scenarios.timings.get(s.plugin, ((), ())),
                                          args.same_build)
                print(verdict(name, cmp, seconds), flush=True)
                if not cmp.ok:
                    failed.append(name)
    total = len(chosen) * 2 * len(PRESET_FORMS)
    print(f"{total - len(failed)} passed, {len(failed)} failed")
    return 1 if failed else 0


def describe_text(text, plugin_paths):
    """`orvane describe` output without what differs by system: paths, the context store's
    addresses, and the column padding that follows the longest text."""
    text = posix_from_wine(text)
    for p in plugin_paths:
        text = text.replace(p, "$PLUGIN")
    text = re.sub(r"(?m)^(\s*120\s+static\s+)\"[^\"\n]*\"", r'\1"<context>"', text)
    text = re.sub(r"(?m)^(\s*\d+\s+static\s+)\"-?\d+,-?\d+,-?\d+\"(\s+hidden)", r'\1"<context>"\2',
                  text)
    return re.sub(r"[ \t]+", " ", text)


def check_exports(args, windows, linux):
    """Every Windows plug-in must load under Wine with its export table: orvane.exe describe
    looks up each export by name and by ordinal and checks that both give the same address.
    Where the Linux build has the same plug-in, both descriptions must agree."""
    plugins = sorted(glob.glob(os.path.join(windows.plugins, "*.xfm")))
    if not plugins:
        print(f"run_parity: no .xfm files in {windows.plugins} (make build-win64 or build-win32)")
        return 1
    os.makedirs(args.artefacts, exist_ok=True)
    failed = 0
    for xfm in plugins:
        name = os.path.basename(xfm)[:-len(".xfm")]
        log = os.path.join(args.artefacts, f"describe-{name}.windows.log")
        status, took = run(windows.command + ["describe", windows.path(xfm)], log)
        cmp = Comparison()
        if status != 0:
            cmp.mismatch("describe", f"exit status {status}:\n{log_tail(log)}")
        elif linux and os.path.isfile(linux.plugin(name)):
            other = os.path.join(args.artefacts, f"describe-{name}.linux.log")
            if run(linux.command + ["describe", linux.plugin(name)], other)[0] != 0:
                cmp.mismatch("describe", f"the Linux host failed:\n{log_tail(other)}")
            else:
                texts = []
                for path in (other, log):
                    with open(path, errors="replace") as f:
                        texts.append(describe_text(f.read().split("\n", 1)[1],
                                                   [linux.plugin(name), xfm]))
                compare_text(cmp, texts[0], texts[1], "describe")
        print(verdict(f"exports {name}", cmp, [took], measured=False), flush=True)
        failed += not cmp.ok
    print(f"{len(plugins) - failed} passed, {failed} failed")
    return 1 if failed else 0


def self_test():
    suite = unittest.defaultTestLoader.loadTestsFromName("test_parity")
    result = unittest.TextTestRunner(verbosity=1).run(suite)
    return 0 if result.wasSuccessful() else 1


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--linux-host", help="command of the Linux host (orvane)")
    p.add_argument("--linux-plugins", help="folder of the Linux plug-ins")
    p.add_argument("--windows-host", help="command of the Windows host, e.g. "
                   "\"scripts/wine-run.sh build/win32/bin/orvane.exe\"")
    p.add_argument("--windows-plugins", help="folder of the Windows plug-ins")
    p.add_argument("--linux-test-plugins", help="folder of the Linux test plug-ins")
    p.add_argument("--windows-test-plugins", help="folder of the Windows test plug-ins")
    p.add_argument("--windows-label", default="windows",
                   help="the second host's name in verdicts, folders and logs")
    p.add_argument("--windows-paths", choices=("wine", "posix"), default="wine",
                   help="paths for the Windows host: Wine's Z:\\... (default) or POSIX")
    p.add_argument("--require-program", action="append", default=[],
                   help="a program that must be installed (e.g. wine); repeatable")
    p.add_argument("--scenarios", default=os.path.join(HERE, "scenarios.txt"))
    p.add_argument("--plugin", action="append", help="only this plug-in's scenarios")
    p.add_argument("--only", action="append", help="only this scenario; repeatable")
    p.add_argument("--artefacts", default="parity-artefacts",
                   help="folder for signals, both hosts' outputs and logs")
    p.add_argument("--same-build", action="store_true",
                   help="the two hosts are one build for two ABIs: outputs identical but for "
                   "the last bits of doubles from the C library's functions")
    p.add_argument("--presets", action="store_true",
                   help="carry the @presets scenarios' settings between the hosts as presets")
    p.add_argument("--check-exports", action="store_true",
                   help="check that every Windows plug-in loads under Wine with its exports")
    p.add_argument("--self-test", action="store_true", help="test the comparer itself")
    args = p.parse_args()
    if args.self_test:
        return self_test()

    args.artefacts = os.path.abspath(args.artefacts)
    problems = [f"{name} is not installed" for name in args.require_program
                if shutil.which(name) is None]
    if not (args.windows_host and args.windows_plugins):
        problems.append("--windows-host and --windows-plugins are required")
    windows = linux = None
    if args.windows_host and args.windows_plugins:
        windows = Host(args.windows_label, args.windows_host, args.windows_plugins,
                       args.windows_paths == "wine", args.windows_test_plugins)
        problems += windows.missing()
    if args.linux_host and args.linux_plugins:
        linux = Host("linux", args.linux_host, args.linux_plugins, False,
                     args.linux_test_plugins)
        problems += linux.missing()
    elif not args.check_exports:
        problems.append("--linux-host and --linux-plugins are required")
    if problems:
        for problem in problems:
            print(f"run_parity: {problem}")
        print("run_parity: cannot compare the hosts (the Windows host: make build-win64; "
              "Wine: scripts/install-deps.sh)")
        return 2
    if args.check_exports:
        return check_exports(args, windows, linux)
    if args.presets:
        return run_presets(args, [linux, windows])
    return run_scenarios(args, [linux, windows])


if __name__ == "__main__":
    sys.exit(main())
