"""Tests of the parity suite's own parts (run_parity.py --self-test): the comparer must catch a
difference beyond the bound and must not be fooled by what differs by system."""

import os
import struct
import tempfile
import unittest
import zlib

import parity_png
import parity_scenarios
import parity_signals
import run_parity
from parity_compare import (RELATIVE_BOUND, SAME_BUILD_BOUND, Comparison, compare_files,
                            compare_json, compare_results, compare_text)
from parity_normalise import normalise_report, wine_from_posix

LINUX_OUT = "/work/build/parity/sc/linux"
WINDOWS_OUT = "/work/build/parity/sc/windows"


def report(out, plugin, leq=92.90727, handle=4126863376, history=1472685376,
           context="1472660080,-163909624,-4988616", pictures=("dialog-107.png",)):
    """A trimmed report.json as a host writes it into `out`, paths in the host's own form."""
    sep = "\\" if out.startswith("Z:") else "/"
    return {
        "results": [{"name": "Leq", "channel": "Left", "value": leq, "unit": "dB",
                     "text": "%.2f" % leq}],
        "plugin": {"file": plugin, "name": "Orvane\\levelmeter Time History Analysis"},
        "audio": {"file": "/work/build/parity/sc/signal.wav" if sep == "/"
                  else "Z:\\work\\build\\parity\\sc\\signal.wav"},
        "messages": [{"caption": "File Saved",
                      "text": f"Acoustic Levels succesfully saved to {out}{sep}results.txt"}],
        "dialogs": [{"resource": 107, "controls": [
            {"id": 1234, "kind": "static", "text": "%.2f" % leq},
            {"id": 120, "kind": "static", "text": context}]}],
        "block": [{"offset": 0, "type": "h", "value": handle},
                  {"offset": 48, "type": "l", "value": history},
                  {"offset": 88, "type": "f", "value": leq}],
        "files": [f"{out}{sep}display-1.csv"] + [f"{out}{sep}{p}" for p in pictures]
                 + [f"{out}{sep}report.json"],
        "displays": [{"repaints": 1, "curves": {"1": [47.69, 79.97, None]}}],
    }


def compared(linux, windows):
    cmp = Comparison()
    a = normalise_report(linux, {LINUX_OUT: "$OUT", "/b/linux32/levelmeter.xfm": "$PLUGIN"},
                         {48})
    b = normalise_report(windows, {WINDOWS_OUT: "$OUT", "/b/win32/levelmeter.xfm": "$PLUGIN"},
                         {48})
    compare_results(cmp, a.pop("results", []), b.pop("results", []))
    compare_json(cmp, a, b)
    return cmp


def linux_report(**kw):
    return report(LINUX_OUT, "/b/linux32/levelmeter.xfm", **kw)


def windows_report(**kw):
    return report(wine_from_posix(WINDOWS_OUT), "Z:\\b\\win32\\levelmeter.xfm", **kw)


class NormalisedReports(unittest.TestCase):
    def test_paths_handles_addresses_and_pictures_differ_only_by_system(self):
        w = windows_report(handle=65636, history=9043968, context="1,2,3",
                           pictures=("dialog-100.png", "dialog-107.png"))
        w["displays"][0]["repaints"] = 2
        cmp = compared(linux_report(), w)
        self.assertTrue(cmp.ok, cmp.listing())
        self.assertEqual(cmp.largest, 0.0)

    def test_value_beyond_the_bound_is_caught(self):
        cmp = compared(linux_report(), windows_report(leq=92.90727 * (1 + 5 * RELATIVE_BOUND)))
        self.assertFalse(cmp.ok)
        self.assertIn("report.block[2].value", [w for w, _ in cmp.mismatches])
        self.assertIn("result 'Leq Left'", [w for w, _ in cmp.mismatches])
        self.assertAlmostEqual(cmp.largest, 5 * RELATIVE_BOUND, delta=RELATIVE_BOUND / 100)

    def test_value_within_the_bound_is_measured(self):
        cmp = compared(linux_report(), windows_report(leq=92.90727 * (1 + RELATIVE_BOUND / 10)))
        self.assertTrue(cmp.ok, cmp.listing())
        self.assertAlmostEqual(cmp.largest, RELATIVE_BOUND / 10, delta=RELATIVE_BOUND / 1000)

    def test_a_handle_that_is_zero_on_one_side_only_is_caught(self):
        self.assertFalse(compared(linux_report(), windows_report(handle=0)).ok)
        self.assertFalse(compared(linux_report(), windows_report(history=0)).ok)
        self.assertFalse(compared(linux_report(), windows_report(context="")).ok)
        w = windows_report()
        w["displays"][0]["repaints"] = 0
        self.assertFalse(compared(linux_report(), w).ok)

    def test_durations_and_every_state_holder_differ_only_by_system(self):
        def run(elapsed, context):
            return {"block": [{"offset": 18, "type": "l", "value": elapsed}],
                    "results": [{"name": "Elapsed time", "channel": "", "unit": "s",
                                 "value": elapsed / 1000,
                                 "text": f"Elapsed time: 0.{elapsed} s"}],
                    "dialogs": [{"resource": 107, "controls": [
                        {"id": 1030, "kind": "static", "text": f"Elapsed time: 0.{elapsed} s"},
                        {"id": 1038, "kind": "static", "text": context, "visible": False},
                        {"id": 1033, "kind": "static", "text": "-28.94 dB", "visible": True}]}]}
        timings = ({18}, {(107, 1030)})
        a = normalise_report(run(34, "1465475920,-163237880,-6925592"), {}, (), timings)
        b = normalise_report(run(51, "1444248,10813444,9500824"), {}, (), timings)
        cmp = Comparison()
        compare_json(cmp, a, b)
        self.assertTrue(cmp.ok, cmp.listing())
        c = run(34, "1,2,3")
        c["dialogs"][0]["controls"][2]["text"] = "-28.99 dB"
        cmp = Comparison()
        compare_json(cmp, a, normalise_report(c, {}, (), timings))
        self.assertFalse(cmp.ok)

    def test_a_path_elsewhere_is_caught(self):
        w = windows_report()
        w["messages"][0]["text"] = "Acoustic Levels succesfully saved to Z:\\tmp\\results.txt"
        self.assertFalse(compared(linux_report(), w).ok)

    def test_a_missing_key_or_element_is_caught(self):
        w = windows_report()
        del w["audio"]
        self.assertFalse(compared(linux_report(), w).ok)
        w = windows_report()
        w["dialogs"][0]["controls"].pop()
        self.assertFalse(compared(linux_report(), w).ok)

    def test_missing_curve_point_is_caught(self):
        w = windows_report()
        w["displays"][0]["curves"]["1"][2] = 1.0
        self.assertFalse(compared(linux_report(), w).ok)


class Texts(unittest.TestCase):
    def check(self, a, b):
        cmp = Comparison()
        compare_text(cmp, a, b, "text")
        return cmp

    def test_last_digit_apart_across_a_rounding_boundary_is_accepted(self):
        cmp = self.check("Leq\t92.91\t-20.00\r\n", "Leq\t92.92\t-19.99\r\n")
        self.assertTrue(cmp.ok, cmp.listing())
        self.assertEqual(cmp.last_digit, 2)

    def test_two_units_apart_is_caught(self):
        self.assertFalse(self.check("92.91", "92.93").ok)

    def test_other_precision_is_caught(self):
        self.assertFalse(self.check("92.9", "92.91").ok)

    def test_many_printed_digits_are_held_to_the_bound(self):
        # Six decimals of a value near 12: three units apart is still within 1e-6.
        self.assertTrue(self.check("12.000000", "12.000003").ok)
        self.assertFalse(self.check("12.000000", "12.000100").ok)

    def test_words_must_be_equal(self):
        self.assertFalse(self.check("Impulsive Event ?\tyes", "Impulsive Event ?\tno").ok)
        self.assertFalse(self.check("a\r\nb", "a\nb").ok)

    def test_line_of_a_difference_is_named(self):
        cmp = self.check("x\n1.00\n2.00\n", "x\n1.00\n2.05\n")
        self.assertEqual(cmp.mismatches[0][0], "text line 3")


class SameBuild(unittest.TestCase):
    """One build for two ABIs: the last bits of a double may differ, a float may not."""

    def compare(self, a, b):
        cmp = Comparison(SAME_BUILD_BOUND, exact_text=True)
        compare_json(cmp, a, b)
        return cmp

    def test_a_double_a_unit_in_the_last_place_apart_is_counted_not_failed(self):
        x = 92.90727
        cmp = self.compare([x, 1.0], [x + x * 2.0 ** -52, 1.0])
        self.assertTrue(cmp.ok, cmp.listing())
        self.assertEqual(cmp.inexact, 1)

    def test_a_float_a_unit_apart_and_a_last_digit_are_caught(self):
        x = struct.unpack("<f", struct.pack("<f", 92.90727))[0]
        y = struct.unpack("<f", struct.pack("<I", struct.unpack("<I", struct.pack("<f", x))[0] + 1))[0]
        self.assertFalse(self.compare({"leq": x}, {"leq": y}).ok)
        self.assertFalse(self.compare("Leq\t92.91", "Leq\t92.92").ok)


class Files(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.dir.cleanup()

    def files(self, name, a, b):
        paths = []
        for side, content in (("a", a), ("b", b)):
            os.makedirs(os.path.join(self.dir.name, side), exist_ok=True)
            paths.append(os.path.join(self.dir.name, side, name))
            if isinstance(content, bytes):
                with open(paths[-1], "wb") as f:
                    f.write(content)
            else:
                parity_signals.write_wav(paths[-1], content, 48000, 2, "float32")
        cmp = Comparison()
        compare_files(cmp, paths[0], paths[1], name)
        return cmp

    def test_waveform_near_a_zero_crossing_is_measured_against_the_channel(self):
        a = [0.5, -0.5, 1e-7, 0.25]
        b = [0.5, -0.5, 1.1e-7, 0.25]  # 10 % of the sample, 2e-8 of the channel's peak
        self.assertTrue(self.files("waveform.wav", a, b).ok)
        self.assertFalse(self.files("waveform.wav", a, [0.5, -0.5, 1e-7, 0.2501]).ok)

    def test_csv_columns(self):
        a = b"x,curve1\n0,47.69007873535156\n0.5,-200\n"
        self.assertTrue(self.files("display-1.csv", a, b"x,curve1\n0,47.690078\n0.5,-200\n").ok)
        self.assertFalse(self.files("display-1.csv", a, b"x,curve1\n0,47.7\n0.5,-200\n").ok)
        self.assertFalse(self.files("display-1.csv", a, b"x,curve1\n0,47.69007873535156\n").ok)

    def test_exported_text(self):
        a = b"Time (ms)\tSlow\r\n0.000000\t-80.000\r\n"
        self.assertTrue(self.files("slow.txt", a, a).ok)
        self.assertFalse(self.files("slow.txt", a, a.replace(b"\r\n", b"\n")).ok)


class Signals(unittest.TestCase):
    def test_names_give_the_same_samples_every_time(self):
        wanted = parity_signals.parse("noise:seed7:-30dBFS:10ms:44100:stereo")
        self.assertEqual(parity_signals.generate(wanted), parity_signals.generate(wanted))
        self.assertEqual(len(parity_signals.generate(wanted)), 2 * 441)

    def test_levels_channels_and_gate(self):
        s = parity_signals.generate(parity_signals.parse("sine:1000Hz:-20dBFS:1s:48000:stereo"))
        self.assertAlmostEqual(max(s[0::2]), 0.1, places=6)
        self.assertAlmostEqual(max(s[1::2]), 0.05, places=6)
        n = parity_signals.generate(parity_signals.parse("noise:seed3:-20dBFS:1s"))
        rms = (sum(v * v for v in n) / len(n)) ** 0.5
        self.assertAlmostEqual(rms, 0.1, delta=0.002)
        g = parity_signals.generate(parity_signals.parse("sine:1000Hz:0dBFS:1s:gate250ms+10ms"))
        sounding = [i for i, v in enumerate(g) if v != 0.0]
        self.assertGreaterEqual(sounding[0], 12000)
        self.assertLess(sounding[-1], 12480)

    def test_wave_files_read_back(self):
        with tempfile.TemporaryDirectory() as d:
            for fmt, tolerance in (("pcm16", 1 / 32767), ("float32", 1e-7)):
                path = os.path.join(d, fmt + ".wav")
                samples = [0.0, 0.5, -0.25, 1.0]
                parity_signals.write_wav(path, samples, 44100, 2, fmt)
                w = parity_signals.read_wav(path)
                self.assertEqual((w.channels, w.rate), (2, 44100))
                for x, y in zip(samples, w.samples):
                    self.assertAlmostEqual(x, y, delta=tolerance)

    def test_bad_names_are_refused(self):
        for name in ("sine:2s", "sine:1000Hz", "noise:seed1:-3dBFS:1s", "square:1s",
                     "sine:1000Hz:1s:loud"):
            with self.assertRaises(parity_signals.SignalError, msg=name):
                parity_signals.parse(name)


class Scenarios(unittest.TestCase):
    def test_the_suite_parses(self):
        s = parity_scenarios.load(os.path.join(os.path.dirname(__file__), "scenarios.txt"))
        self.assertGreaterEqual(len(s.runs), 15)
        self.assertIn(48, s.addresses["levelmeter"])
        self.assertIn(87, s.addresses["levelmeter"])
        self.assertIn(18, s.timings["crossanalyser"][0])
        self.assertIn((107, 1030), s.timings["crossanalyser"][1])
        self.assertEqual({r.plugin for r in s.runs if r.name in s.presets},
                         {"levelmeter", "crossanalyser", "inversefilter"})

    def test_bad_lines_are_refused(self):
        for text in ("a | levelmeter | sine:1000Hz:1s", "a b | levelmeter | sine:1000Hz:1s |",
                     "a | levelmeter | sine:1s |", "a | levelmeter | sine:1000Hz:1s | --out x",
                     "a | p | sine:1000Hz:1s |\na | p | sine:1000Hz:1s |", "@addresses p 9-3",
                     "@unknown", "@presets nowhere"):
            with self.assertRaises(parity_scenarios.ScenarioError, msg=text):
                parity_scenarios.parse(text)

    def test_output_folder_in_options_is_the_hosts_own(self):
        host = run_parity.Host("windows", "true", "/tmp", True)
        self.assertEqual(run_parity.host_options(["--save-as", "{out}/slow.txt"], host, "/x/w"),
                         ["--save-as", "Z:\\x\\w\\slow.txt"])


class Descriptions(unittest.TestCase):
    LINUX = ("levelmeter  (/b/linux32/levelmeter.xfm)\n"
             "  1006   edit      \"120.00\"                          \n"
             "  120    static    \"1481679808,-158216184,-4418984\"  hidden\n")
    WINDOWS = ("levelmeter  (Z:\\b\\win32\\levelmeter.xfm)\n"
               "  1006   edit      \"120.00\"                      \n"
               "  120    static    \"1444248,10813444,9500824\"  hidden\n")

    def normalised(self, text):
        return run_parity.describe_text(text, ["/b/linux32/levelmeter.xfm",
                                               "/b/win32/levelmeter.xfm"])

    def test_paths_context_and_padding_differ_only_by_system(self):
        self.assertEqual(self.normalised(self.LINUX), self.normalised(self.WINDOWS))

    def test_a_different_value_is_kept(self):
        other = self.WINDOWS.replace("120.00", "94.00")
        self.assertNotEqual(self.normalised(self.LINUX), self.normalised(other))


def png(width, height, rows):
    raw = b"".join(b"\x00" + rows(y) for y in range(height))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw))
            + chunk(b"IEND", b""))


class Screenshots(unittest.TestCase):
    def check(self, data):
        with tempfile.NamedTemporaryFile(suffix=".png") as f:
            f.write(data)
            f.flush()
            return parity_png.problem(f.name)

    def test_a_drawn_dialog_passes(self):
        colours = [b"\xc0\xc0\xc0", b"\x00\x00\x00", b"\xff\xff\xff"]
        self.assertIsNone(self.check(png(300, 200, lambda y: colours[y % 3] * 300)))

    def test_blank_tiny_and_foreign_files_fail(self):
        self.assertIn("colour", self.check(png(300, 200, lambda y: b"\x00\x00\x00" * 300)))
        self.assertIn("size", self.check(png(20, 10, lambda y: b"\x00\x01\x02" * 20)))
        self.assertEqual(self.check(b"GIF89a"), "not a PNG file")


if __name__ == "__main__":
    unittest.main()
