#!/usr/bin/env python3
"""Runs every benchmark figure in a fresh process and prints one table.

Usage: report.py BIN_DIR [--repetitions N] [FIGURE...]

Each row of FIGURES pairs our side with its baseline. Both run in one process,
the benchmark library interleaving their repetitions in random order, and the
table shows the median over the repetitions of each side.
"""

import argparse
import base64
import json
import os
import random
import socket
import statistics
import subprocess
import sys
import tempfile
import time

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
    ("1 contains, 100,000 words (wall/key)", "bench_typing", "contains/ours/100000",
     "contains/baseline/100000", "time", "ms", "ratio <= 0.1, < 16 ms",
     lambda ours, base, r: r <= 0.1 and ours < 0.016),
    ("1 contains, 100,000 words (CPU/key)", "bench_typing", "contains/ours/100000",
     "contains/baseline/100000", "cpu", "ms", "ratio <= 0.1", lambda ours, base, r: r <= 0.1),
    ("1 word start, 100,000 words (wall/key)", "bench_typing", "wordstart/ours/100000",
     "contains/baseline/100000", "time", "ms", "ratio <= 0.1, < 16 ms",
     lambda ours, base, r: r <= 0.1 and ours < 0.016),
    ("1 word start, 100,000 words (CPU/key)", "bench_typing", "wordstart/ours/100000",
     "contains/baseline/100000", "cpu", "ms", "ratio <= 0.1", lambda ours, base, r: r <= 0.1),
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
    ("2 flow: 10,000, 800<->640, centred vs left", "bench_flowlayout", "flow/rewrap/centred/10000",
     "flow/rewrap/ours/10000", "cpu", "ms", "reported", None),
    ("2 flow: 10,000, 800<->640, justified vs left", "bench_flowlayout", "flow/rewrap/justified/10000",
     "flow/rewrap/ours/10000", "cpu", "ms", "reported", None),
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


# Mail against real sinks: ours (bench_mail --client), msmtp, Python's smtplib
# and Postfix's smtp-source, each a fresh process per run, client CPU (user +
# system, from wait4) per workload; clients in a new random order every round.
MAIL_WORKLOADS = [("16 MiB", 1, 16 * 1024 * 1024), ("200 x 2 KiB", 200, 2048)]
HERE = os.path.dirname(os.path.abspath(__file__))


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for(port, process):
    for _ in range(200):
        if process.poll() is not None:
            raise SystemExit("a mail sink ended: %s" % process.args)
        try:
            socket.create_connection(("127.0.0.1", port), 0.2).close()
            return
        except OSError:
            time.sleep(0.05)
    raise SystemExit("a mail sink does not listen: %s" % process.args)


def start_sinks(postfix):
    sinks = {}
    env = dict(os.environ, LD_LIBRARY_PATH=os.path.join(postfix, "usr/lib/postfix"))
    port = free_port()
    user = ["-u", "nobody"] if os.geteuid() == 0 else []
    sinks["smtp-sink"] = (port, subprocess.Popen(
        [os.path.join(postfix, "usr/sbin/smtp-sink")] + user + ["127.0.0.1:%d" % port, "100"],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    port = free_port()
    # The tests' aiosmtpd server, keeping nothing; it serves while its
    # standard input is open.
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "smtp_server.py")
    sinks["aiosmtpd"] = (port, subprocess.Popen(
        ["/usr/bin/python3", script, str(port), tempfile.mkdtemp(), "--discard"],
        stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    for port, process in sinks.values():
        wait_for(port, process)
    return sinks, env


def timed(command, env=None, stdin_path=None):
    before = os.times()
    stdin = open(stdin_path, "rb") if stdin_path else None
    try:
        out = subprocess.run(command, env=env, stdin=stdin, capture_output=True)
    finally:
        if stdin:
            stdin.close()
    after = os.times()
    if out.returncode != 0:
        raise SystemExit("%s failed: %s" % (command[0], out.stderr.decode(errors="replace")))
    cpu = (after.children_user - before.children_user) + (after.children_system
                                                          - before.children_system)
    return cpu, out.stdout.decode()


def message_file(directory, size):
    path = os.path.join(directory, "mail-%d.eml" % size)
    line = b"x" * 79 + b"\n"
    with open(path, "wb") as f:
        f.write(b"To: sink@example.com\nFrom: bench@example.com\nSubject: bench\n\n")
        f.write(line * (size // len(line)) + b"y" * (size % len(line)))
    return path


def mail_clients(bindir, postfix, env, directory):
    ours = os.path.join(bindir, "bench_mail")
    source = os.path.join(postfix, "usr/sbin/smtp-source")

    def run_ours(port, count, size):
        return timed([ours, "--client", str(port), str(count), str(size)])[0]

    def run_msmtp(port, count, size):
        path = message_file(directory, size)
        command = ["msmtp", "--host=127.0.0.1", "--port=%d" % port, "--domain=localhost",
                   "--auth=off", "--tls=off", "--from=bench@example.com", "sink@example.com"]
        return sum(timed(command, stdin_path=path)[0] for _ in range(count))

    def run_smtplib(port, count, size):
        return timed(["/usr/bin/python3", os.path.join(HERE, "smtplib_client.py"), str(port),
                      str(size), str(count)])[0]

    def run_source(port, count, size):
        return timed([source, "-m", str(count), "-l", str(size), "-f", "bench@example.com",
                      "-t", "sink@example.com", "127.0.0.1:%d" % port], env=env)[0]

    return {"ours": run_ours, "msmtp": run_msmtp, "smtplib": run_smtplib,
            "smtp-source": run_source}


ATTACHMENT = 100 * 1024 * 1024


def attachment_rows(bindir, port, rounds, directory):
    """A 100 MiB file attached by sendMessage(), which reads and encodes it as
    the connection takes it, against msmtp sending the same message made
    beforehand (the file already in base64): client CPU, memory growth and the
    time sendMessage() takes to return."""
    path = os.path.join(directory, "attachment.bin")
    with open(path, "wb") as f:
        for _ in range(ATTACHMENT // (1 << 20)):
            f.write(os.urandom(1 << 20))
    prepared = os.path.join(directory, "attachment.eml")
    with open(path, "rb") as source, open(prepared, "wb") as f:
        f.write(b"To: sink@example.com\nFrom: bench@example.com\nSubject: bench\n"
                b"MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b\n\n--b\n"
                b"Content-Type: text/plain\n\nThe file is attached.\n--b\n"
                b"Content-Type: application/octet-stream\nContent-Transfer-Encoding: base64\n\n")
        while True:
            chunk = source.read(57 * 1024)
            if not chunk:
                break
            encoded = base64.b64encode(chunk)
            f.write(b"".join(encoded[i:i + 76] + b"\n" for i in range(0, len(encoded), 76)))
        f.write(b"--b--\n")
    ours = os.path.join(bindir, "bench_mail")
    msmtp = ["msmtp", "--host=127.0.0.1", "--port=%d" % port, "--domain=localhost",
             "--auth=off", "--tls=off", "--from=bench@example.com", "sink@example.com"]
    cpu_ours, cpu_msmtp, returns, growths = [], [], [], []
    for _ in range(rounds):
        cpu, out = timed([ours, "--attach", str(port), path])
        cpu_ours.append(cpu)
        returns.append(float(out.split()[0]) * 1e-6)
        growths.append(int(out.split()[1]))
        cpu_msmtp.append(timed(msmtp, stdin_path=prepared)[0])
    o, b = statistics.median(cpu_ours), statistics.median(cpu_msmtp)
    r, g = statistics.median(returns), statistics.median(growths)
    return [("7 mail 100 MiB attachment -> smtp-sink: CPU vs msmtp", show(o, "ms"), show(b, "ms"),
             "%.3f" % (o / b), "ratio <= 1", "met" if o <= b else "MISSED"),
            ("7 mail 100 MiB attachment: peak memory growth", "%.1f MiB" % (g / 2**20),
             "100 MiB file", "%.3f" % (g / ATTACHMENT), "ratio < 1/16",
             "met" if g < ATTACHMENT / 16 else "MISSED"),
            ("7 mail 100 MiB attachment: sendMessage() returns", show(r, "us"), "-", "-",
             "< 1 ms", "met" if r < 1e-3 else "MISSED")]


def mail_table(bindir, rounds):
    postfix = os.environ.get("POSTFIX_ROOT")
    if not postfix:
        raise SystemExit("POSTFIX_ROOT (Postfix's smtp-sink and smtp-source) is not set")
    sinks, env = start_sinks(postfix)
    rows = []
    try:
        with tempfile.TemporaryDirectory() as directory:
            clients = mail_clients(bindir, postfix, env, directory)
            cpu = {}
            for round_ in range(rounds):
                print("mail round %d of %d" % (round_ + 1, rounds), file=sys.stderr)
                for workload, count, size in MAIL_WORKLOADS:
                    for sink, (port, _) in sinks.items():
                        names = list(clients)
                        random.shuffle(names)
                        for name in names:
                            cpu.setdefault((workload, sink, name), []).append(
                                clients[name](port, count, size))
            for workload, _, _ in MAIL_WORKLOADS:
                for sink in sinks:
                    median = {n: statistics.median(cpu[(workload, sink, n)]) for n in clients}
                    o = median["ours"]
                    for base, goal, limit in (("msmtp", "ratio <= 1", 1.0),
                                              ("smtp-source", "ratio <= 2", 2.0),
                                              ("smtplib", "reported", None)):
                        b = median[base]
                        ratio = o / b if b else float("inf")
                        verdict = "-" if limit is None else ("met" if ratio <= limit else "MISSED")
                        rows.append(("7 mail %s -> %s: CPU vs %s" % (workload, sink, base),
                                     show(o, "ms"), show(b, "ms"), "%.3f" % ratio, goal, verdict))
            # sendMail() return time and memory, one mail each, to smtp-sink.
            port = sinks["smtp-sink"][0]
            ours = os.path.join(bindir, "bench_mail")
            for label, size in (("2 KiB", 2048), ("16 MiB", 16 << 20), ("64 MiB", 64 << 20)):
                returns, growths = [], []
                for _ in range(rounds):
                    out = timed([ours, "--client", str(port), "1", str(size)])[1].split()
                    returns.append(float(out[0]) * 1e-6)
                    growths.append(int(out[1]))
                r = statistics.median(returns)
                rows.append(("7 mail %s: sendMail() returns" % label, show(r, "us"), "-", "-",
                             "< 1 ms", "met" if r < 1e-3 else "MISSED"))
                if size == 64 << 20:
                    g = statistics.median(growths)
                    rows.append(("7 mail 64 MiB: peak memory growth", "%.1f MiB" % (g / 2**20),
                                 "%.0f MiB body" % (size / 2**20), "%.3f" % (g / size),
                                 "ratio < 0.25", "met" if g < size / 4 else "MISSED"))
            rows += attachment_rows(bindir, sinks["smtp-sink"][0], rounds, directory)
    finally:
        for _, process in sinks.values():
            process.terminate()
            process.wait()
    return rows


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bindir")
    parser.add_argument("--repetitions", type=int, default=15)
    parser.add_argument("figures", nargs="*")
    args = parser.parse_intermixed_args()

    rows = [f for f in FIGURES if not args.figures or f[1] in args.figures
            or f[0].split()[0] in args.figures]
    with_mail = not args.figures or "7" in args.figures or "mail" in args.figures
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

    if with_mail:
        mail_rows = mail_table(args.bindir, int(os.environ.get("MAIL_ROUNDS", "3")))
        missed += sum(r[5] == "MISSED" for r in mail_rows)
        table += mail_rows

    header = ("figure", "ours", "baseline", "ratio", "goal", "met")
    widths = [max(len(str(r[i])) for r in table + [header]) for i in range(len(header))]
    line = lambda r: "  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip()
    print(line(header))
    print(line(["-" * w for w in widths]))
    for r in table:
        print(line(r))
    rounds = ("; mail figures (7): medians of %s rounds" % os.environ.get("MAIL_ROUNDS", "3")
              if with_mail else "")
    print("\nmedians of %d interleaved repetitions%s; %d goal(s) missed"
          % (args.repetitions, rounds, missed))
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
