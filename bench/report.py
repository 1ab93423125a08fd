#!/usr/bin/env python3
"""Runs every benchmark figure in a fresh process and prints one table.

Usage: report.py BIN_DIR [--repetitions N] [FIGURE...]

Each row of FIGURES pairs our side with its baseline. Both run in one process,
the benchmark library interleaving their repetitions in random order, and the
table shows the median over the repetitions of each side.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile

# metric: "cpu" is the benchmark thread's CPU time per iteration (the GUI
# thread for the widget figures); "time" is the time the benchmark reports
# itself (manual time) or the wall time. "higher" marks throughput figures,
# where a larger number is better and the ratio is ours / baseline; for all
# others the ratio is ours / baseline time.
FIGURES = [
    ("1 typing, 1,000 words (CPU/key)", "bench_typing", "typing/ours/1000",
     "typing/baseline/1000", "cpu", "ms", "ratio <= 1", lambda ours, base, r: r <= 1.0),
    ("1 typing, 10,000 words (CPU/key)", "bench_typing", "typing/ours/10000",
     "typing/baseline/10000", "cpu", "ms", "ratio <= 1", lambda ours, base, r: r <= 1.0),
    ("1 typing, 100,000 words (CPU/key)", "bench_typing", "typing/ours/100000",
     "typing/baseline/100000", "cpu", "ms", "ratio <= 1, < 16 ms",
     lambda ours, base, r: r <= 1.0 and ours < 0.016),
    ("1 typing, 1,000,000 words (CPU/key)", "bench_typing", "typing/ours/1000000",
     "typing/baseline/1000000", "cpu", "ms", "ratio <= 1", lambda ours, base, r: r <= 1.0),
    ("1 3-letter prefix, 1,000,000 words (wall/key)", "bench_typing", "prefix3/ours/1000000",
     "prefix3/baseline/1000000", "time", "ms", "< 16 ms", lambda ours, base, r: ours < 0.016),
    ("1 3-letter prefix, 1,000,000 words (CPU/key)", "bench_typing", "prefix3/ours/1000000",
     "prefix3/baseline/1000000", "cpu", "ms", "ratio <= 1", lambda ours, base, r: r <= 1.0),
    ("1 key to popup, 100,000 matches (wall)", "bench_typing", "allmatch/ours/100000",
     "allmatch/baseline/100000", "time", "ms", "ratio <= 0.1, < 16 ms",
     lambda ours, base, r: r <= 0.1 and ours < 0.016),
    ("1 key to popup, 100,000 matches (CPU)", "bench_typing", "allmatch/ours/100000",
     "allmatch/baseline/100000", "cpu", "ms", "ratio <= 0.1", lambda ours, base, r: r <= 0.1),
    ("1 Ctrl+E, empty prefix, 100,000 words (wall)", "bench_typing", "shortcut/ours/100000",
     "shortcut/baseline/100000", "time", "ms", "ratio <= 0.1, < 16 ms",
     lambda ours, base, r: r <= 0.1 and ours < 0.016),
    ("1 Ctrl+E, empty prefix, 100,000 words (CPU)", "bench_typing", "shortcut/ours/100000",
     "shortcut/baseline/100000", "cpu", "ms", "ratio <= 0.1", lambda ours, base, r: r <= 0.1),
    ("1 memory for 1,000,000 words vs QStringList", "bench_typing", "memory/ours/1000000",
     "memory/list/1000000", "bytes", "MiB", "ratio <= 2", lambda ours, base, r: r <= 2.0),
    ("2 flow: 1,000 widgets, 800<->640 px (CPU)", "bench_flowlayout", "flow/rewrap/ours/1000",
     "flow/rewrap/plain/1000", "cpu", "ms", "ratio <= 1", lambda ours, base, r: r <= 1.0),
    ("2 flow: 10,000 widgets, 800<->640 px (CPU)", "bench_flowlayout", "flow/rewrap/ours/10000",
     "flow/rewrap/plain/10000", "cpu", "ms", "ratio <= 1", lambda ours, base, r: r <= 1.0),
    ("2 flow: 1,000 widgets, 1 px, lines kept (CPU)", "bench_flowlayout", "flow/kept/ours/1000",
     "flow/kept/plain/1000", "cpu", "ms", "ratio <= 1", lambda ours, base, r: r <= 1.0),
    ("2 flow: 10,000 widgets, 1 px, lines kept (CPU)", "bench_flowlayout", "flow/kept/ours/10000",
     "flow/kept/plain/10000", "cpu", "ms", "ratio <= 1", lambda ours, base, r: r <= 1.0),
    ("2 flow: heightForWidth asked again, 10,000", "bench_flowlayout", "flow/hfw/ours/10000",
     "flow/hfw/plain/10000", "cpu", "us", "ratio <= 0.01", lambda ours, base, r: r <= 0.01),
    ("2 flow: 10,000, 800<->640 vs QVBoxLayout", "bench_flowlayout", "flow/rewrap/ours/10000",
     "flow/vbox/10000", "cpu", "ms", "reported", None),
    ("3 mail: 16 MiB body (MiB/s)", "bench_mail", "mail/ours", "mail/baseline",
     "mib_per_s", "MiB/s", "ratio >= 1", lambda ours, base, r: r >= 1.0),
    ("3 mail: client CPU per MiB", "bench_mail", "mail/ours", "mail/baseline",
     "cpu_ms_per_mib", "ms/MiB", "reported", None),
    ("4 splash: 1,000 events (CPU)", "bench_splash", "splash/ours", "splash/baseline",
     "cpu", "us", "ratio <= 1.08", lambda ours, base, r: r <= 1.08),
    ("4 splash: floor, empty app filter", "bench_splash", "splash/emptyfilter",
     "splash/baseline", "cpu", "us", "reported", None),
    ("5 fixup: FixedDecimalsValidator", "bench_validators", "fixup/QxFixedDecimalsValidator", "fixup/baseline",
     "cpu", "ns", "ratio <= 2", lambda ours, base, r: r <= 2.0),
    ("5 fixup: SignificantDigitsValidator", "bench_validators", "fixup/QxSignificantDigitsValidator", "fixup/baseline",
     "cpu", "ns", "ratio <= 2", lambda ours, base, r: r <= 2.0),
    ("5 fixup: ExponentialNotationValidator", "bench_validators", "fixup/QxExponentialNotationValidator", "fixup/baseline",
     "cpu", "ns", "ratio <= 2", lambda ours, base, r: r <= 2.0),
    ("5 fixup: AutoRulesValidator", "bench_validators", "fixup/QxAutoRulesValidator", "fixup/baseline",
     "cpu", "ns", "ratio <= 2", lambda ours, base, r: r <= 2.0),
    ("5 fixup: FormatingStringValidator", "bench_validators", "fixup/QxFormatingStringValidator", "fixup/baseline",
     "cpu", "ns", "ratio <= 2", lambda ours, base, r: r <= 2.0),
    # (row label, program, our benchmark, baseline benchmark, metric, unit, goal, test)
    ("6 load: dlopen + entry (CPU)", "bench_load", "load/ours", "load/baseline",
     "time", "us", "ratio <= 0.25", lambda ours, base, r: r <= 0.25),
    ("6 load: file size", "bench_load", "load/ours", "load/baseline",
     "file_bytes", "KiB", "reported", None),
]


def run(program, names, repetitions):
    pattern = "^(" + "|".join(names) + ")(/|$)"
    with tempfile.NamedTemporaryFile(suffix=".json", delete=False) as out:
        path = out.name
    command = [program, "--benchmark_filter=" + pattern,
               "--benchmark_repetitions=%d" % repetitions,
               "--benchmark_enable_random_interleaving=true",
               "--benchmark_out=" + path, "--benchmark_out_format=json",
               "--benchmark_format=console"]
    try:
        done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                              text=True)
        if done.returncode != 0:
            sys.stderr.write(done.stderr)
            raise SystemExit("%s failed with status %d" % (program, done.returncode))
        with open(path) as f:
            return json.load(f)["benchmarks"]
    finally:
        os.unlink(path)


MAIL_MIB = 16.0  # the body size of bench_mail

SCALE = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def samples(results, name, metric):
    values = []
    for entry in results:
        if entry.get("run_type") != "iteration":
            continue
        if entry.get("error_occurred"):
            raise SystemExit("%s: %s" % (entry["name"], entry.get("error_message", "failed")))
        if entry["run_name"] != name and not entry["run_name"].startswith(name + "/"):
            continue
        if metric in ("cpu", "time"):
            key = "cpu_time" if metric == "cpu" else "real_time"
            values.append(entry[key] * SCALE[entry["time_unit"]])
        elif metric == "mib_per_s":
            values.append(MAIL_MIB / (entry["real_time"] * SCALE[entry["time_unit"]]))
        else:
            values.append(entry[metric])
    if not values:
        raise SystemExit("no results for " + name)
    return values


def show(value, unit):
    if unit in SCALE:
        value /= SCALE[unit]
        return "%.3g %s" % (value, unit) if value < 100 else "%.0f %s" % (value, unit)
    if unit == "KiB":
        return "%.0f KiB" % (value / 1024)
    if unit == "MiB":
        return "%.3g MiB" % (value / (1024 * 1024))
    return "%.3g %s" % (value, unit)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bindir")
    parser.add_argument("--repetitions", type=int, default=15)
    parser.add_argument("figures", nargs="*")
    args = parser.parse_intermixed_args()

    rows = [f for f in FIGURES if not args.figures or f[1] in args.figures
            or f[0].split()[0] in args.figures]
    # One fresh process per pair of benchmarks; rows that read other numbers
    # of the same pair share its run.
    cache = {}
    table = []
    missed = 0
    for label, program, ours, base, metric, unit, goal, test in rows:
        key = (program, ours, base)
        if key not in cache:
            print("running %s: %s vs %s" % (program, ours, base), file=sys.stderr)
            cache[key] = run(os.path.join(args.bindir, program), [ours, base],
                             args.repetitions)
        results = cache[key]
        o = statistics.median(samples(results, ours, metric))
        b = statistics.median(samples(results, base, metric))
        ratio = o / b if b else float("inf")
        verdict = "-" if test is None else ("met" if test(o, b, ratio) else "MISSED")
        missed += verdict == "MISSED"
        table.append((label, show(o, unit), show(b, unit), "%.3f" % ratio, goal, verdict))

    header = ("figure", "ours", "baseline", "ratio", "goal", "met")
    widths = [max(len(str(r[i])) for r in table + [header]) for i in range(len(header))]
    line = lambda r: "  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip()
    print(line(header))
    print(line(["-" * w for w in widths]))
    for r in table:
        print(line(r))
    print("\nmedians of %d interleaved repetitions; %d goal(s) missed"
          % (args.repetitions, missed))
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
