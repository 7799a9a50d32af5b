#!/usr/bin/python3
"""levelmeter on long recordings, `orvane run levelmeter FILE --json` as a whole process against
`sox FILE -n stats` reading the same file: ten minutes of mono speech (target 2.0 x sox), an hour
and three hours of stereo (target 2.5 x sox, peak memory at most the plug-in's own buffers plus
64 MB), how the time grows with the length up to three hours, the three hours measured whole
against the same recording measured in parts, and a recording longer than the memory a process
may have, which must end in the plug-in's out-of-memory message, never in a crash, and the
longest recording this machine can measure.
The first run of a size on a fresh virtual machine also pays for the host backing memory the
guest never touched before (seconds for gigabytes): the timings are the best of two or more."""
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
PART_MINUTES = 20  # the three hours are nine copies of one part
LEQ_LEFT, LEQ_RIGHT = 88, 132  # parameter-block offsets of the Leq of each channel


def sox(*args):
    subprocess.run(["sox"] + list(args), check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def noise(path, channels, seconds):
    sox("-n", "-r", str(RATE), "-c", str(channels), "-b", "16", path, "synth", str(seconds),
        "pinknoise", "vol", "0.3")


def levelmeter(path, extra=()):
    return [process_timing.ORVANE, "run", "levelmeter", path, "--json", "--quiet"] + list(extra)


def plugin_buffers_mb(frames, channels):
    """levelmeter's own blocks: the selection as read, one channel to work on, and five
    histories of one value per millisecond for each channel."""
    blocks = frames // (RATE // 1000)
    return (frames * channels * 4 + frames * 4 + 5 * channels * blocks * 4) / MB


def against_sox(label, path, frames, channels, scratch, target, times=TIMES):
    """Times the whole process against sox; returns (seconds, the run's report)."""
    run = process_timing.best(levelmeter(path), scratch, times)
    stats = process_timing.best(["sox", path, "-n", "stats"], scratch, times)
    ratio = run[0] / stats[0]
    print("  %s: orvane %.2f s, sox stats %.2f s: %.2f x (target <= %.1f x)%s"
          % (label, run[0], stats[0], ratio, target, "" if ratio <= target else "  OVER"))
    own = plugin_buffers_mb(frames, channels)
    if run[1] is not None:
        extra = run[1] - own
        print("    peak memory %.0f MB: the plug-in's buffers %.0f MB + %.0f MB (target <= 64 MB)%s"
              % (run[1], own, extra, "" if extra <= 64 else "  OVER"))
    return run[0], json.loads(run[2])


def leqs(report):
    return (process_timing.block_field(report, LEQ_LEFT),
            process_timing.block_field(report, LEQ_RIGHT))


def refused_beyond_memory(path, frames, scratch):
    """The whole file in a process allowed less address space than its buffers need."""
    limit = int(plugin_buffers_mb(frames, 2) * MB / 2)
    argv = ["prlimit", "--as=%d" % limit] + levelmeter(path)
    done = subprocess.run(argv, cwd=scratch, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          stdin=subprocess.DEVNULL)
    if done.returncode < 0:
        what = "CRASHED (signal %d)" % -done.returncode
    else:
        try:
            messages = json.loads(done.stdout)["messages"]
            what = "exit status %d, %s" % (done.returncode, repr(
                messages[0]["text"].split("\n")[0]) if messages else "no message box")
        except (ValueError, KeyError):
            what = "exit status %d: %s" % (done.returncode,
                                           done.stderr.decode(errors="replace").strip())
    expected = done.returncode == 3 and "cannot allocate" in what
    print("  in %.1f GB of address space: %s%s" % (limit / MB / 1024, what,
                                                   "" if expected else "  UNEXPECTED"))


def longest_here():
    """The longest 48 kHz recordings this machine measures: the meter's buffers within the
    memory available now, and the host's frame numbers (a stereo selection's samples must
    count in 32 bits)."""
    available = 0
    with open("/proc/meminfo") as f:
        for line in f:
            if line.startswith("MemAvailable:"):
                available = int(line.split()[1]) * 1024
    frame_limit = (2 ** 31 - 1) // 2
    print("  the longest recordings measured here (%.1f GB of memory available):"
          % (available / MB / 1024))
    for channels, label in ((2, "stereo"), (1, "mono")):
        per_frame = plugin_buffers_mb(RATE * 3600, channels) * MB / (RATE * 3600)
        frames = min(int(available / per_frame), frame_limit)
        print("    %s: %.2f h (%s)" % (label, frames / RATE / 3600.0,
                                       "the frame numbers" if frames == frame_limit
                                       else "the memory"))


def main():
    with tempfile.TemporaryDirectory() as scratch:
        print("\nlevelmeter on long recordings, whole processes (best of %d)" % TIMES)
        ten = os.path.join(scratch, "ten-minutes-mono.wav")
        sox(SPEECH, ten, "repeat", "47")  # 48 times 12.7 s
        ten_frames = int(subprocess.check_output(["soxi", "-s", ten]))
        against_sox("10 min mono speech", ten, ten_frames, 1, scratch, 2.0)
        os.remove(ten)

        part = os.path.join(scratch, "part-stereo.wav")
        noise(part, 2, PART_MINUTES * 60)
        hour = os.path.join(scratch, "hour-stereo.wav")
        sox(part, hour, "repeat", str(60 // PART_MINUTES - 1))
        against_sox("1 h stereo", hour, 3600 * RATE, 2, scratch, 2.5)
        os.remove(hour)
        three = os.path.join(scratch, "three-hours-stereo.wav")
        sox(part, three, "repeat", str(180 // PART_MINUTES - 1))
        frames = 3 * 3600 * RATE
        _, whole = against_sox("3 h stereo (%.1f GB of buffers)" % (plugin_buffers_mb(frames, 2)
                                                                   / 1024), three, frames, 2,
                               scratch, 2.5, times=2)

        print("  time and peak memory against length (stereo):")
        for minutes in (7.5, 15, 30, 60, 120, 180):
            length = int(minutes * 60 * RATE)
            seconds, rss, _ = process_timing.best(
                levelmeter(three, ["--select", "0:%d" % (length - 1)]), scratch, 2)
            print("    %5.1f min: %6.2f s, %.3f s per minute, peak %s"
                  % (minutes, seconds, seconds / minutes, process_timing.megabytes(rss)))

        # The same signal nine times over has the Leq of one copy: the whole three hours
        # against their first part and their last part, each measured alone.
        print("  3 h measured whole against its parts (Leq left, right in dB):")
        print("    whole        %.4f  %.4f" % leqs(whole))
        last_part = frames - PART_MINUTES * 60 * RATE
        for label, first in (("first part", 0), ("last part ", last_part)):
            report = json.loads(process_timing.run(
                levelmeter(three, ["--select", "%d:%d" % (first, first + PART_MINUTES * 60 * RATE
                                                         - 1)]), scratch)[2])
            left, right = leqs(report)
            differs = max(abs(left - leqs(whole)[0]), abs(right - leqs(whole)[1]))
            print("    %s   %.4f  %.4f  (%.4f dB from the whole)%s"
                  % (label, left, right, differs, "" if differs <= 0.01 else "  DIFFERS"))

        print("  more than memory allows:")
        refused_beyond_memory(three, frames, scratch)
        longest_here()


if __name__ == "__main__":
    main()
