"""Reads scenarios.txt: one run per line, and what a plug-in's parameter block holds that only
means something inside the process that ran it. The file's own header describes the format."""

import re
import shlex

from parity_signals import SignalError, parse as parse_signal


class ScenarioError(ValueError):
    pass


class Scenario:
    def __init__(self, name, plugin, signal, options, line):
        self.name = name        # unique; names the artefact folder
        self.plugin = plugin    # plug-in file name without .xfm
        self.signal = signal    # signal name (parity_signals)
        self.options = options  # orvane run options; "{out}" stands for the host's --out folder
        self.line = line        # line number in the file, for messages


class Scenarios:
    def __init__(self):
        self.runs = []
        # plug-in -> set of parameter-block offsets holding addresses, and of display settings
        # ("display:sampleRate") that a plug-in sends as addresses
        self.addresses = {}
        # plug-in -> (parameter-block offsets, (dialog resource, control id) pairs) that hold
        # how long a run took
        self.timings = {}
        # names of the scenarios whose settings travel as presets between the hosts
        self.presets = []


def _offsets(text, where):
    m = re.fullmatch(r"(\d+)(?:-(\d+))?", text)
    if not m:
        raise ScenarioError(f"{where}: {text!r} is no offset or range of offsets")
    first = int(m.group(1))
    last = int(m.group(2)) if m.group(2) else first
    if last < first:
        raise ScenarioError(f"{where}: range {text!r} runs backwards")
    return range(first, last + 1)


def parse(text, source="scenarios.txt"):
    result = Scenarios()
    names = set()
    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.strip()
        where = f"{source}:{number}"
        if not line or line.startswith("#"):
            continue
        if line.startswith("@addresses"):
            words = line.split()
            if len(words) < 3:
                raise ScenarioError(f"{where}: @addresses PLUGIN OFFSET[-OFFSET]...")
            fields = result.addresses.setdefault(words[1], set())
            for word in words[2:]:
                if word.startswith("display:"):
                    fields.add(word)
                else:
                    fields.update(_offsets(word, where))
            continue
        if line.startswith("@timings"):
            words = line.split()
            if len(words) < 3:
                raise ScenarioError(f"{where}: @timings PLUGIN OFFSET[-OFFSET]|RESOURCE:ID...")
            fields, texts = result.timings.setdefault(words[1], (set(), set()))
            for word in words[2:]:
                m = re.fullmatch(r"(\d+):(\d+)", word)
                if m:
                    texts.add((int(m.group(1)), int(m.group(2))))
                else:
                    fields.update(_offsets(word, where))
            continue
        if line.startswith("@presets"):
            words = line.split()
            if len(words) < 2:
                raise ScenarioError(f"{where}: @presets SCENARIO...")
            result.presets += words[1:]
            continue
        if line.startswith("@"):
            raise ScenarioError(f"{where}: unknown directive {line.split()[0]}")
        cells = [c.strip() for c in line.split("|")]
        if len(cells) != 4:
            raise ScenarioError(f"{where}: expected name | plugin | signal | options")
        name, plugin, signal, options = cells
        if not re.fullmatch(r"[A-Za-z0-9_.-]+", name):
            raise ScenarioError(f"{where}: name {name!r}: letters, digits, '-', '_', '.' only")
        if name in names:
            raise ScenarioError(f"{where}: scenario {name} appears twice")
        names.add(name)
        if not re.fullmatch(r"[A-Za-z0-9_]+", plugin):
            raise ScenarioError(f"{where}: plug-in {plugin!r}: a file name without .xfm")
        try:
            parse_signal(signal)
        except SignalError as e:
            raise ScenarioError(f"{where}: {e}") from None
        try:
            words = shlex.split(options)
        except ValueError as e:
            raise ScenarioError(f"{where}: options: {e}") from None
        for word in words:
            if word in ("--out", "--json", "--quiet") or word.startswith("--out="):
                raise ScenarioError(f"{where}: {word} is the runner's to give")
        result.runs.append(Scenario(name, plugin, signal, words, number))
    unknown = set(result.presets) - names
    if unknown:
        raise ScenarioError(f"{source}: @presets names no scenario: {', '.join(sorted(unknown))}")
    return result


def load(path):
    with open(path, encoding="utf-8") as f:
        return parse(f.read(), path)
