#!/usr/bin/python3
"""levelmeter on long recordings, `orvane run levelmeter FILE --json` as a whole process against
`sox FILE -n stats` reading the same file: ten minutes of mono speech (target 2.0 x sox), an hour
of stereo (target 2.5 x sox, peak memory at most the plug-in's own buffers plus 64 MB), how the
time grows with the length, and the longest stereo and mono recordings at 48 kHz that fit a
32-bit process, found by selecting ever longer parts of a longer file; one frame more must end
in the plug-in's out-of-memory message, never in a crash."""
import json
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # the tree stays clean of __pycache__ folders
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import process_timing  # noqa: E402

RATE = 48000
SPEECH = os.path.join(process_timing.ROOT, "examples", "speech-mono.wav")
TIMES = 3
MB = 1024.0 * 1024.0
SEARCH_STEPS = 7  # halvings of the search for the longest recording (to about 1 %)


def sox(*args):
    subprocess.run(["sox"] + list(args), check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def noise(path, channels, seconds):
    sox("-n", "-r", str(RATE), "-c", str(channels), "-b", "16", path, "synth", str(seconds),
        "pinknoise", "vol", "0.3")


def levelmeter(path, scratch, extra=()):
    return [process_timing.ORVANE, "run", "levelmeter", path, "--json", "--quiet"] + list(extra)


def plugin_buffers_mb(frames, channels):
    """levelmeter's own blocks: the selection as read, one channel to work on, and five
    histories of one value per millisecond for each channel."""
    blocks = frames // (RATE // 1000)
    return (frames * channels * 4 + frames * 4 + 5 * channels * blocks * 4) / MB


def against_sox(label, path, frames, channels, scratch, target):
    run = process_timing.best(levelmeter(path, scratch), scratch, TIMES)
    stats = process_timing.best(["sox", path, "-n", "stats"], scratch, TIMES)
    ratio = run[0] / stats[0]
    print("  %s: orvane %.2f s, sox stats %.2f s: %.2f x (target <= %.1f x)%s"
          % (label, run[0], stats[0], ratio, target, "" if ratio <= target else "  OVER"))
    own = plugin_buffers_mb(frames, channels)
    if run[1] is not None:
        print("    peak memory %.0f MB: the plug-in's buffers %.0f MB + %.0f MB (target <= 64 MB)"
              % (run[1], own, run[1] - own))
    return run[0]


def outcome(path, frames, scratch):
    """(measured, what happened) for the first `frames` frames of `path`."""
    argv = levelmeter(path, scratch, ["--select", "0:%d" % (frames - 1)])
    done = subprocess.run(argv, cwd=scratch, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          stdin=subprocess.DEVNULL)
    if done.returncode == 0:
        return True, "measured"
    if done.returncode < 0:
        return False, "CRASHED (signal %d)" % -done.returncode
    try:
        messages = json.loads(done.stdout)["messages"]
        text = messages[0]["text"].split("\n")[0] if messages else "no message box"
    except (ValueError, KeyError):
        text = done.stderr.decode(errors="replace").strip()
    return False, "exit status %d: %s" % (done.returncode, text)


def longest(label, path, frames, scratch):
    """The longest selection from the start of `path` (of `frames` frames) that is measured,
    and what a longer one ends in. Where the bound lies moves a little from run to run with the
    places the system gives the process's libraries."""
    measured, what = outcome(path, frames, scratch)
    if measured:
        print("  %s: the whole %.2f h file is measured" % (label, frames / RATE / 3600.0))
        return
    good, bad, beyond = 0, frames, what
    low, high = frames // 4, frames
    for _ in range(SEARCH_STEPS):
        middle = (low + high) // 2
        measured, what = outcome(path, middle, scratch)
        if measured:
            low = good = middle
        else:
            high = bad = middle
            beyond = what
    print("  %s: %.2f h (%d frames) is measured; %.2f h ends in %s"
          % (label, good / RATE / 3600.0, good, bad / RATE / 3600.0, beyond))


def main():
    with tempfile.TemporaryDirectory() as scratch:
        print("\nlevelmeter on long recordings, whole processes (best of %d)" % TIMES)
        ten = os.path.join(scratch, "ten-minutes-mono.wav")
        sox(SPEECH, ten, "repeat", "47")  # 48 times 12.7 s
        ten_frames = int(subprocess.check_output(["soxi", "-s", ten]))
        against_sox("10 min mono speech", ten, ten_frames, 1, scratch, 2.0)
        hour = os.path.join(scratch, "hour-stereo.wav")
        noise(hour, 2, 3600)
        against_sox("1 h stereo", hour, 3600 * RATE, 2, scratch, 2.5)

        print("  time against length (stereo):")
        for minutes in (7.5, 15, 30, 60):
            frames = int(minutes * 60 * RATE)
            seconds = process_timing.best(
                levelmeter(hour, scratch, ["--select", "0:%d" % (frames - 1)]), scratch, 2)[0]
            print("    %5.1f min: %6.2f s, %.3f s per minute" % (minutes, seconds,
                                                              seconds / minutes))
        os.remove(ten)

        print("  the longest recordings a 32-bit process measures at 48 kHz:")
        stereo = os.path.join(scratch, "long-stereo.wav")
        noise(stereo, 2, int(1.8 * 3600))
        longest("stereo", stereo, int(1.8 * 3600) * RATE, scratch)
        os.remove(stereo)
        mono = os.path.join(scratch, "long-mono.wav")
        noise(mono, 1, int(3.2 * 3600))
        longest("mono", mono, int(3.2 * 3600) * RATE, scratch)


if __name__ == "__main__":
    main()
