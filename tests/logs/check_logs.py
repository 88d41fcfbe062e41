#!/usr/bin/env python3
"""orvacct logs against a generated corpus (make_log_corpus.py): what export, summary and report
give is checked against the records and the damage that made the corpus.

usage: check_logs.py corpus TOOL                          export, summary and filters; exit codes;
                                                          two code pages
       check_logs.py browser TOOL PNG NODE CHROMIUM       the report in headless Chromium, saving a
                                                          screenshot
       check_logs.py monitor TOOL PROMTOOL NODE_EXPORTER PROMETHEUS
                                                          logs metrics served by node_exporter and
                                                          scraped by Prometheus; logs check's states
Prints "N passed, N failed" and exits non-zero on any failure.
"""
import collections
import csv
import datetime
import html
import io
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
FIELDS = ["app", "file", "line", "time", "number", "description", "module", "procedure", "version", "machine",
          "timestamp"]
KINDS = {"cut": "cut short", "missing": "without its", "number": "not a 32-bit number",
         "unexpected": "unexpected text", "stray": "stray line", "binary": "not an error log"}
# Every corpus holds a file under a log's name with no record in it, which makes the exit status 1.
CORPUS_EXIT = 1

passed = failed = 0


def check(name, ok, detail=""):
    global passed, failed
    if ok:
        passed += 1
    else:
        failed += 1
        print(f"FAIL {name}" + (f": {detail}" if detail else ""))


def same(name, actual, expected):
    if actual == expected:
        check(name, True)
        return
    detail = f"got {actual!r:.600}, expected {expected!r:.600}"
    if isinstance(actual, list) and isinstance(expected, list):
        extra = [x for x in actual if x not in expected][:3]
        lacking = [x for x in expected if x not in actual][:3]
        detail = f"{len(actual)} vs {len(expected)} items; unexpected {extra}; missing {lacking}"
    check(name, False, detail)


def csv_cell(text):
    """A cell as the tool writes it for a spreadsheet: a formula shown as text, numbers kept."""
    if text[:1] in ("=", "+", "-", "@", "\t", "\r") and not re.fullmatch(r"-?\d+(\.\d+)?", text):
        return "'" + text
    return text


def run(tool, *args, env=None, cwd=None):
    environment = dict(os.environ, **(env or {}))
    result = subprocess.run([tool, *args], capture_output=True, env=environment, cwd=cwd, timeout=300)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


def make_corpus(work, *options):
    subprocess.run([sys.executable, os.path.join(HERE, "make_log_corpus.py"), work, *options], check=True)
    root = os.path.join(work, "corpus")
    records = [json.loads(line) for line in open(os.path.join(work, "records.jsonl"), encoding="utf-8")]
    problems = [json.loads(line) for line in open(os.path.join(work, "problems.jsonl"), encoding="utf-8")]
    for item in records + problems:
        item["file"] = os.path.join(root, item["file"])
    return root, records, problems


def file_day(path):
    date = re.search(r"-(\d\d)(\d\d)(\d{4})\.log$", path, re.IGNORECASE)
    return f"{date[3]}-{date[1]}-{date[2]}"


def file_app(path):
    return re.sub(r"-\d{8}\.log$", "", os.path.basename(path), flags=re.IGNORECASE)


def problems_told(stderr):
    told = []
    for line in stderr.splitlines():
        match = re.fullmatch(r"(.*):(\d+): (.*)", line)
        if not match:
            continue
        kinds = [kind for kind, words in KINDS.items() if words in match[3]]
        count = re.match(r"(\d+) stray", match[3])
        told.append(dict(file=match[1], line=int(match[2]), kind=kinds[0] if len(kinds) == 1 else match[3],
                         count=int(count[1]) if count else 0))
    return told


def expected_problems(problems):
    return [dict(file=p["file"], line=p["line"], kind=p["kind"], count=p["count"]) for p in problems]


def by_file_order(records):
    return sorted(records, key=lambda r: (r["file"], r["line"]))


def check_file_order(name, records):
    """Each file's records together, in the order of their lines."""
    seen, last = set(), None
    for record in records:
        if last is None or record["file"] != last["file"]:
            check(f"{name}: {record['file']} read once, whole", record["file"] not in seen)
            seen.add(record["file"])
        else:
            check(f"{name}: line order in {record['file']}", record["line"] > last["line"])
        last = record


KEYS = {
    "app": lambda r: r["app"], "machine": lambda r: r["machine"], "number": lambda r: r["number"],
    "module": lambda r: r["module"], "procedure": lambda r: r["procedure"], "version": lambda r: r["version"],
    "day": lambda r: r["time"][:10], "month": lambda r: r["time"][:7],
    "week": lambda r: "%04d-W%02d" % datetime.date.fromisoformat(r["time"][:10]).isocalendar()[:2],
}
FILE_KEYS = {"app", "machine", "day", "week", "month"}
TIME_KEYS = {"day", "week", "month"}


def summary_expected(records, problems, by, top=None):
    """The summary's rows for --by BY (keys separated by commas), from the records that made the corpus."""
    keys = by.split(",")
    groups = {}

    def group_of(key):
        return groups.setdefault(key, dict(count=0, damaged=0, first=None, last=None, descriptions=collections.Counter()))

    for record in records:
        group = group_of(tuple(KEYS[k](record) for k in keys))
        group["count"] += 1
        moment = (record["time"][:10], record["time"][11:] or "")  # an unknown time comes first in its day
        group["first"] = min(group["first"] or moment, moment)
        group["last"] = max(group["last"] or moment, moment)
        group["descriptions"][record["description"]] += 1
    file_level = set(keys) <= FILE_KEYS
    if file_level:
        for problem in problems:
            if problem["lost"]:
                day = file_day(problem["file"])
                known = dict(app=file_app(problem["file"]), machine=problem["machine"], time=day)
                group_of(tuple(KEYS[k](known) for k in keys))["damaged"] += 1
    rows = []
    for key, group in groups.items():
        row = dict(zip(keys, key))
        row["count"] = group["count"]
        if file_level:
            row["damaged"] = group["damaged"]
        text = lambda moment: moment[0] + ("T" + moment[1] if moment[1] else "") if moment else None
        row["first"], row["last"] = text(group["first"]), text(group["last"])
        if "number" in keys:
            most = group["descriptions"].most_common()
            row["description"] = [d for d, n in most if n == most[0][1]]  # any of equals
        rows.append(row)
    rows.sort(key=lambda row: (-row["count"], *[row[k] for k in keys]))
    if top:
        rows = rows[:top]
    if set(keys) & TIME_KEYS:
        rows.sort(key=lambda row: tuple(row[k] for k in keys))
    return rows


def matches_summary(actual, expected):
    if len(actual) != len(expected):
        return False
    for got, want in zip(actual, expected):
        want = dict(want)
        if "description" in want:
            if got.get("description") not in want["description"]:
                return False
            want["description"] = got["description"]
        if got != want:
            return False
    return True


def check_export(tool, root, records, problems, label, env=None):
    code, out, err = run(tool, "logs", "export", root, env=env)
    exported = [json.loads(line) for line in out.splitlines()]
    same(f"{label} export exit status", code, CORPUS_EXIT)
    same(f"{label} export fields", sorted({tuple(r) for r in exported}), [tuple(FIELDS)])
    check_file_order(f"{label} export", exported)
    same(f"{label} export records", by_file_order(exported), by_file_order(records))
    told = problems_told(err)
    same(f"{label} damage on stderr", sorted(told, key=str), sorted(expected_problems(problems), key=str))
    same(f"{label} nothing else on stderr", len(err.splitlines()), len(told))
    return exported


def lnav(home, *args):
    """lnav run with the format the packages install, as its user's own."""
    formats = os.path.join(home, ".lnav", "formats", "orvacct")
    os.makedirs(formats, exist_ok=True)
    with open(os.path.join(HERE, "..", "..", "packaging", "lnav", "orvacct_log.json"), "rb") as source, \
            open(os.path.join(formats, "orvacct_log.json"), "wb") as installed:
        installed.write(source.read())
    return subprocess.run(["lnav", "-n", *args], capture_output=True, env=dict(os.environ, HOME=home), timeout=120)


def check_time_order(exported_file, records):
    """export --sort time: the corpus's records, each once, in the order of their time (an unknown
    time of day first in its day)."""
    exported = [json.loads(line) for line in open(exported_file, encoding="utf-8")]
    same("export --sort time: every record once", by_file_order(exported), by_file_order(records))
    moment = lambda r: (r["time"][:10], r["time"][11:] if len(r["time"]) > 10 else "")
    order = [(moment(r), r["file"], r["line"]) for r in exported]
    check("export --sort time: in time order", [o[0] for o in order] == sorted(o[0] for o in order))
    check("export --sort time: a file's records of one moment in line order",
          all(a[2] < b[2] for a, b in zip(order, order[1:]) if a[:2] == b[:2]))


def check_lnav(exported_file, records):
    """lnav, with the format the packages install, reads the export: every record once, its fields right."""
    with tempfile.TemporaryDirectory() as home:
        query = ("SELECT app, machine, number, module, procedure, version, description, file, line, time, log_level "
                 "FROM orvacct_log")
        result = lnav(home, "-c", ";" + query, "-c", ":write-json-to -", exported_file)
        rows = json.loads(result.stdout or b"[]")
    same("lnav: every record once", len(rows), len(records))
    fields = ["app", "machine", "number", "module", "procedure", "version", "file", "line", "time", "description"]
    key = lambda row: (row["file"], row["line"])
    got = sorted(({f: row[f] for f in fields} for row in rows), key=key)
    same("lnav: the fields", got, sorted(({f: r[f] for f in fields} for r in records), key=key))
    same("lnav: every record an error", {row["log_level"] for row in rows}, {"error"})


def check_lnav_far_days(tool):
    """Records of a machine whose clock said 0100 or 9999, which lnav's own clock cannot hold,
    shown by lnav with their own dates."""
    with tempfile.TemporaryDirectory() as work:
        for date in ("01010100", "03052002", "12319999"):
            os.makedirs(os.path.join(work, "PC1"), exist_ok=True)
            with open(os.path.join(work, "PC1", f"billing-{date}.log"), "wb") as log:
                log.write(b"+" * 41 + f"\r\nError Description: on {date}\r\nError Number: 5\r\nModule Name: m\r\n"
                          "Procedure Name: p\r\nVersion Number: 1.2.3\r\nDate: 1/1/2000 2:07:09 PM\r\n\r\n".encode())
        exported = os.path.join(work, "far.jsonl")
        with open(exported, "wb") as out:
            subprocess.run([tool, "logs", "export", os.path.join(work, "PC1")], stdout=out, check=True)
        shown = lnav(work, exported).stdout.decode("utf-8").splitlines()
    same("lnav: far days shown with their own dates", [line for line in shown if " ERROR " in line],
         [f"{day}T14:07:09 ERROR PC1 billing 5 m.p: on {date}"
          for day, date in (("0100-01-01", "01010100"), ("2002-03-05", "03052002"), ("9999-12-31", "12319999"))])


def check_corpus(tool):
    with tempfile.TemporaryDirectory() as work:
        root, records, problems = make_corpus(work)
        check("corpus has every kind of damage", {p["kind"] for p in problems} == set(KINDS))
        check("corpus has descriptions over several lines", any("\n" in r["description"] for r in records))
        check("corpus has times that cannot be read", any(len(r["time"]) == 10 for r in records))
        check_export(tool, root, records, problems, "cp1252")
        exported_file = os.path.join(work, "all.jsonl")
        with open(exported_file, "wb") as out:
            subprocess.run([tool, "logs", "export", "--sort", "time", root], stdout=out, stderr=subprocess.DEVNULL,
                           check=False)
        check_time_order(exported_file, records)
        check_lnav(exported_file, records)
        check_lnav_far_days(tool)

        # CSV: a header of the field names and RFC 4180 quoting, read back by Python's reader.
        code, out, err = run(tool, "logs", "export", "--format", "csv", root)
        rows = list(csv.reader(io.StringIO(out, newline="")))
        same("csv exit status", code, CORPUS_EXIT)
        same("csv header", rows[0], FIELDS)
        same("csv records", sorted(rows[1:]), sorted([csv_cell(str(r[f])) for f in FIELDS] for r in records))
        check("csv: the corpus has formulas to neutralise", any(csv_cell(r["description"]) != r["description"]
                                                                for r in records))
        breaks = sum(r["description"].count("\n") for r in records)
        check("csv rows end with CR LF, descriptions' line breaks are LF",
              out.count("\r\n") == len(records) + 1 and out.replace("\r\n", "").count("\n") == breaks)

        # Summaries in both machine formats, every grouping; --top.
        for by in ("app", "number", "module", "version", "day", "machine", "procedure", "week", "month",
                   "machine,number", "module,procedure", "app,month", "number,machine,version"):
            code, out, _ = run(tool, "logs", "summary", "--by", by, "--format", "jsonl", root)
            got = [json.loads(line) for line in out.splitlines()]
            check(f"summary --by {by} jsonl", code == CORPUS_EXIT and matches_summary(got, summary_expected(records, problems, by)),
                  f"{got[:3]} vs {summary_expected(records, problems, by)[:3]}")
            code, out, _ = run(tool, "logs", "summary", "--by", by, "--format", "csv", root)
            table = list(csv.DictReader(io.StringIO(out, newline="")))
            want = [{k: ("" if v is None else str(v)) if k != "description" else v for k, v in row.items()}
                    for row in summary_expected(records, problems, by)]
            check(f"summary --by {by} csv", code == CORPUS_EXIT and matches_summary(table, want), f"{table[:2]} vs {want[:2]}")
        code, out, _ = run(tool, "logs", "summary", "--by", "number", "--top", "3", "--format", "jsonl", root)
        got = [json.loads(line) for line in out.splitlines()]
        check("summary --top 3", matches_summary(got, summary_expected(records, problems, "number", top=3)))
        code, out, _ = run(tool, "logs", "summary", "--by", "app", root)
        lines = out.splitlines()
        table = {line.split()[0]: line.split()[1:3] for line in lines[1:-1]}
        want = {row["app"]: [str(row["count"]), str(row["damaged"])] for row in summary_expected(records, problems, "app")}
        same("summary table rows", table, want)
        lost = sum(p["lost"] for p in problems)
        same("summary table total", lines[-1], f"{len(records)} records, {lost} damaged, in {count_logs(root)} files")

        # Filters, on whole files (application, dates) and on records (numbers).
        everything = lambda _: True
        cases = [  # options, the files read, the records kept of them
            (["--since", "2002-03-01"], lambda f: file_day(f) >= "2002-03-01", everything),
            (["--until", "2002-02-28", "--since", "2002-02-20"], lambda f: "2002-02-20" <= file_day(f) <= "2002-02-28",
             everything),
            (["--app", "BILLING", "--app", "Übersicht"], lambda f: file_app(f).lower() in ("billing", "übersicht"),
             everything),
            (["--number", "0x80004005", "--number", "91"], everything, lambda r: r["number"] in (-2147467259, 91)),
            (["--machine", "pc01", "--machine", "PC04"], lambda f: os.path.relpath(f, root).split(os.sep)[0] in
             ("PC01", "PC04"), everything),
        ]
        for options, read, keep in cases:
            code, out, err = run(tool, "logs", "export", *options, root)
            got = [json.loads(line) for line in out.splitlines()]
            same(f"export {' '.join(options)}", by_file_order(got),
                 by_file_order([r for r in records if read(r["file"]) and keep(r)]))
            same(f"export {' '.join(options)}: damage of the files read", sorted(problems_told(err), key=str),
                 sorted(expected_problems([p for p in problems if read(p["file"])]), key=str))

        # Filters that match nothing are said to, with what was read.
        code, out, err = run(tool, "logs", "summary", "--number", "424242", root)
        same("no match: said on stderr", [line for line in err.splitlines() if "no record" in line],
             [f"orvacct: no record matches the filters (--number 424242): {len(records)} records were read in "
              f"{count_logs(root)} files"])
        code, out, err = run(tool, "logs", "summary", "--app", "nothing", root)
        same("no match by file: nothing read", err, "orvacct: no record matches the filters (--app nothing): "
                                                     "0 records were read in 0 files\n")

        # Read on several threads, exactly as on one: the same output, the same diagnostics in the same order.
        for args in (["export"], ["export", "--format", "csv"], ["summary"], ["summary", "--by", "machine,number",
                     "--format", "jsonl"], ["summary", "--by", "day", "--top", "5"]):
            one = run(tool, "logs", *args, "--threads", "1", root)
            several = run(tool, "logs", *args, "--threads", "4", root)
            check(f"logs {' '.join(args)}: four threads as one", one == several and len(one[1]) > 0,
                  f"{one[0]} vs {several[0]}")
        pages = []
        for threads in ("1", "3"):
            report = os.path.join(work, f"report{threads}.html")
            run(tool, "logs", "report", "--threads", threads, "--output", report, root)
            pages.append(re.sub(r"; made [^<]* by orvacct", "", open(report, encoding="utf-8").read()))
        check("report: three threads as one", pages[0] == pages[1])

        # Exit status: 1 when a path cannot be read (the rest still read), 2 for a wrong command line.
        one = records[0]["file"]
        code, out, err = run(tool, "logs", "export", one, os.path.join(root, "missing"), os.path.join(root, "PC01"))
        same("a missing path: exit 1", code, 1)
        check("a missing path: said once", err.count("cannot read") == 1 and "missing" in err, err)
        check("a missing path: the others read", sum(1 for r in records if r["file"] == one) +
              sum(1 for r in records if r["file"].startswith(os.path.join(root, "PC01") + os.sep)) == len(out.splitlines()))
        code, _, err = run(tool, "logs", "summary", os.path.join(root, "PC01", "Billing", "Logs", "readme.txt"))
        check("a file not named as a log: exit 1", code == 1 and "not named as a log file" in err, err)
        for args in (["export", "--since", "2002-02-30", root], ["export", "--number", "0x100000000", root],
                     ["summary", "--by", "weekday", root], ["export", "--format", "xml", root], ["report", root],
                     ["export"], ["summary", "--top", "0", root]):
            code, _, err = run(tool, "logs", *args)
            check(f"logs {' '.join(args[:2])}: exit 2", code == 2 and err.count("\n") == 1, f"{code} {err}")

        # The report: one file that needs nothing else; the browser test opens it.
        report = os.path.join(work, "report.html")
        code, _, err = run(tool, "logs", "report", "--output", report, root)
        page = open(report, encoding="utf-8").read()
        same("report exit status", code, CORPUS_EXIT)
        check("report: an inline SVG chart", "<svg" in page and "<rect" in page)
        # The one address in the page is a log's text, shown as text.
        check("report: nothing from elsewhere",
              not re.search(r"(src|href)=|url\(|@import|https?:", page.replace("http://evil.example/", "")))
        code, _, err = run(tool, "logs", "report", "--overwrite", "--output", report, "--app", "BILLING", "--since", "2002-03-01",
                           "--number", "0x80004005", root)
        scope = re.search(r'<p class="scope" id="scope">(.*?)</p>', open(report, encoding="utf-8").read())[1]
        check("report: what it covers", scope.startswith(f"Read from <code>{root}</code> (code page ") and
              "filters: <code>--since 2002-03-01</code> <code>--app BILLING</code> <code>--number 0x80004005</code>;"
              in scope and re.search(r"made \d{4}-\d\d-\d\d \d\d:\d\d by orvacct", scope), scope)
        code, _, err = run(tool, "logs", "report", "--overwrite", "--output", report, root)
        page = open(report, encoding="utf-8").read()
        check("report: markup from the logs shown as text",
              "<script>alert" not in page and "&lt;script&gt;alert(1)&lt;/script&gt; &amp; &lt;b&gt;" in page)
        check("report: a module's markup shown as text in every list of records",
              "<modWeb>" not in page and page.count("&lt;modWeb&gt;") >= 3)
        # Every file and folder not read is named on the page in the words of standard error.
        told = [line.removeprefix("orvacct: ") for line in err.splitlines()
                if (line.startswith("orvacct: ") and "report written" not in line) or KINDS["binary"] in line]
        notread = re.search(r'<div class="notread" id="notread">(.*?)</div>', page)
        shown = [html.unescape(item) for item in re.findall(r"<li>(.*?)</li>", notread[1])] if notread else []
        same("report: what was not read, named as on standard error", shown, told)
        check("report: the corpus has a file not read", len(told) > 0)

    # A double-byte code page: Japanese descriptions, file names and Date lines with 午後.
    with tempfile.TemporaryDirectory() as work:
        root, records, problems = make_corpus(work, "--codepage", "cp932", "--seed", "932", "--files", "40")
        check_export(tool, root, records, problems, "cp932", env={"ORVACCT_CODEPAGE": "932"})

    # Machines of two code pages in one run: each path read in the code page given before it.
    with tempfile.TemporaryDirectory() as work:
        jp, jp_records, jp_problems = make_corpus(os.path.join(work, "jp"), "--codepage", "cp932", "--seed", "9",
                                                  "--files", "30", "--machines", "JP")
        ru, ru_records, ru_problems = make_corpus(os.path.join(work, "ru"), "--codepage", "cp1251", "--seed", "7",
                                                  "--files", "30", "--machines", "RU")
        code, out, err = run(tool, "logs", "export", "--code-page", "932", jp, "--code-page", "WINDOWS-1251", ru)
        exported = [json.loads(line) for line in out.splitlines()]
        same("two code pages: records", by_file_order(exported), by_file_order(jp_records + ru_records))
        check("two code pages: Cyrillic and Japanese read", any("Несоответствие" in r["description"] for r in exported)
              and any("一致しません" in r["description"] for r in exported))
        same("two code pages: machines", sorted({r["machine"] for r in exported}),
             [f"{p}{n:02}" for p in ("JP", "RU") for n in range(1, 7)])
        code, _, err = run(tool, "logs", "export", "--code-page", "klingon", jp)
        check("an unknown code page: exit 2", code == 2 and "klingon" in err, err)
        code, out, err = run(tool, "logs", "export", "--code-page", "UTF-7", jp)
        check("UTF-7, which would read the logs as question marks: exit 2",
              code == 2 and not out and "UTF-7" in err and "ANSI" in err, err)
        code, _, err = run(tool, "logs", "export", jp, "--code-page", "932")
        check("a code page after every path: exit 2", code == 2 and "after every path" in err, err)


def is_log(name):
    """Named as the writer names logs: APPLICATION-MMDDYYYY.log with a date that exists."""
    digits = re.fullmatch(r".*-(\d\d)(\d\d)(\d{4})\.log", name, re.IGNORECASE)
    try:
        return bool(digits) and bool(datetime.date(int(digits[3]), int(digits[1]), int(digits[2])))
    except ValueError:
        return False


def count_logs(root):
    return sum(1 for _, _, files in os.walk(root) for name in files if is_log(name))


def moment_of(record):
    return (record["time"][:10], record["time"][11:] or "")


def check_drill_down(seen, records, root):
    """The opened error's lists and latest records, against the records that made the corpus."""
    drill = seen["drill"]
    same("drill-down: closed until clicked, open after", (drill["openBefore"], drill["openAfter"]), (False, True))
    number = int(drill["number"])
    mine = [r for r in records if r["number"] == number]
    counts = collections.Counter(r["number"] for r in records)
    same("drill-down: the most frequent error", counts[number], max(counts.values()))
    wanted = {
        "Modules and procedures": collections.Counter(f"{r['module']} \u00b7 {r['procedure']}" for r in mine),
        "Machines": collections.Counter(r["machine"] for r in mine),
        "Applications": collections.Counter(r["app"] for r in mine),
        "Versions": collections.Counter(r["version"] for r in mine),
    }
    for section in drill["lists"]:
        name = section["heading"].split(" (")[0]
        got = collections.Counter()
        for item in section["items"]:
            text, count = item.rsplit(" ", 1)
            got[text] = int(count.replace(",", ""))
        same(f"drill-down: {name} with their counts", got, wanted.get(name))
        same(f"drill-down: {name} counted", section["heading"], f"{name} ({len(wanted.get(name, {}))})")
    same("drill-down: four lists", len(drill["lists"]), 4)
    latest = sorted((moment_of(r) for r in mine), reverse=True)[:3]
    shown = []
    for item in drill["recent"]:
        file, line = item["at"].rsplit(":", 1)
        record = next((r for r in mine if r["file"] == os.path.join(os.path.dirname(root), file) and
                       r["line"] == int(line)), None)
        check(f"drill-down: {item['at']} is a record of {number}", record is not None)
        if record:
            shown.append(moment_of(record))
            when = record["time"].replace("T", " ")
            same(f"drill-down: {item['at']} shown whole",
                 (item["head"], item["description"]),
                 (when, record["description"]))
            check(f"drill-down: {item['at']} with its machine, application, module and procedure",
                  item["line"].endswith(f"{record['machine']} \u00b7 {record['app']} \u00b7 {record['module']} \u00b7 "
                                        f"{record['procedure']}"), item["line"])
    same("drill-down: the latest records, the latest first", shown, latest)
    check("drill-down: a bar for each day of the error", drill["bars"] == len({r["time"][:10] for r in mine}),
          drill["bars"])
    check("drill-down: shown on the page", drill["visible"])
    check("drill-down: across the whole row", drill["widthOfTable"] > 0.95, drill["widthOfTable"])
    # Its busiest day (the latest among equals) with its records, up to 20, the rest counted.
    per_day = collections.Counter(r["time"][:10] for r in mine)
    busiest, most = max(per_day.items(), key=lambda item: (item[1], item[0]))
    busy = drill["busiest"]
    same("drill-down: the busiest day named", busy["heading"],
         f"Records of its busiest day, {busiest} ({most:,} record{'s' if most != 1 else ''})")
    same("drill-down: the busiest day's records listed", len(busy["records"]), min(20, most))
    same("drill-down: the rest counted", busy["more"].split(" more")[0] if busy["more"] else "",
         f"and {most - 20:,}" if most > 20 else "")
    listed = []
    for item in busy["records"]:
        file, line = item["at"].rsplit(":", 1)
        record = next((r for r in mine if r["file"] == os.path.join(os.path.dirname(root), file) and
                       r["line"] == int(line)), None)
        check(f"drill-down: {item['at']} is a record of the busiest day", record and record["time"][:10] == busiest)
        if record:
            listed.append(moment_of(record))
            check(f"drill-down: {item['at']} shown with what the record says",
                  item["line"].endswith(f"{record['machine']} \u00b7 {record['app']} \u00b7 {record['module']} \u00b7 "
                                        f"{record['procedure']}") and item["description"] == record["description"])
    same("drill-down: the busiest day's records in time order", listed, sorted(listed))
    check("drill-down: its chart labels the busiest day", f"{busiest}: {most:,}" in drill["labels"], drill["labels"])
    same("drill-down: no label of its chart overlaps another", drill["overlaps"], [])


def check_days(seen, records):
    """Clicks on bars of the chart: each shows its day's top errors and machines below the chart."""
    same("days: none shown before a click", seen["days"]["before"], [])
    for shown in seen["days"]["clicked"]:
        check("days: a click shows one day", len(shown) == 1, shown)
        if len(shown) != 1:
            continue
        day = shown[0]
        date, _ = day["heading"].split(": ")
        mine = [r for r in records if r["time"][:10] == date]
        same(f"days: {date} with its records", day["heading"], f"{date}: {len(mine):,} records")
        check(f"days: {date} shown below the chart", day["visible"] and day["belowChart"])
        # The 100 busiest days in full (the latest among equals), the others counted.
        per_day = collections.Counter(r["time"][:10] for r in records)
        if date not in sorted(per_day, key=lambda d: (per_day[d], d), reverse=True)[:100]:
            same(f"days: {date} counted, not detailed", (day["lists"], "Only the 100 busiest" in day["note"]), ([], True))
            continue
        for heading, key in (("Top errors", lambda r: r["number"]), ("Machines", lambda r: r["machine"])):
            counts = collections.Counter(key(r) for r in mine)
            want = sorted(counts.items(), key=lambda item: (-item[1], item[0]))[:10]
            section = next((s for s in day["lists"] if s["heading"] == heading), {"items": []})
            got = []
            for item in section["items"]:
                name, count = item.split(" ", 1)[0] if heading == "Top errors" else item.rsplit(" ", 1)[0], \
                    item.rsplit(" ", 1)[1]
                got.append((int(name) if heading == "Top errors" else name, int(count.replace(",", ""))))
            same(f"days: {date}: {heading.lower()} with their records", got, want)


def check_browser(tool, screenshot, node, chromium):
    with tempfile.TemporaryDirectory() as work:
        root, records, problems = make_corpus(work, "--files", "5600", "--machine-count", "18")
        report = os.path.join(work, "report.html")
        code, _, _ = run(tool, "logs", "report", "--output", report, "corpus", cwd=work)  # "corpus" in its footer
        same("report exit status", code, CORPUS_EXIT)
        size = os.path.getsize(report)
        print(f"report of {len(records)} records: {size} bytes")
        check("report under 2 MB", size < 2_000_000, size)
        result = subprocess.run([node, os.path.join(HERE, "report_in_browser.js"), report, screenshot, chromium],
                                capture_output=True, timeout=180)
        if result.returncode != 0:
            check("the browser ran", False, result.stderr.decode()[-2000:])
            return
        seen = json.loads(result.stdout)
        print(f"report opened in {seen['loadMilliseconds']} ms")
        same("requests: the page alone", seen["requests"], ["file://" + report])
        same("no errors in the console", seen["problems"], [])
        check("chart: one bar piece per day and application drawn", seen["bars"] >= 30, seen["bars"])
        same("totals: records, grouped", seen["totals"][0], f"{len(records):,}")
        same("totals: damaged records", seen["totals"][1], f"{sum(p['lost'] for p in problems):,}")
        counts = collections.Counter(r["number"] for r in records)
        top = sorted(counts.items(), key=lambda item: (-item[1], item[0]))
        same("errors: largest count first", [int(n) for n in seen["numbers"]["initial"]], [n for n, _ in top])
        # Numbers sort the largest first, then the other way.
        same("errors: a click on Number sorts by number", [int(n) for n in seen["numbers"]["afterClick"]],
             sorted(counts, reverse=True))
        check("errors: the click moved rows", seen["numbers"]["afterClick"] != seen["numbers"]["initial"])
        same("errors: a second click the other way", [int(n) for n in seen["numbers"]["afterSecondClick"]],
             sorted(counts))
        same("errors: the heading says how", seen["numbers"]["ariaSort"], ["descending", "ascending"])
        apps = {file_app(name) for _, _, files in os.walk(root) for name in files if is_log(name)}
        same("applications: a click on Application sorts by name", seen["apps"], sorted(apps, key=lambda app: (app.lower(), app)))
        check_drill_down(seen, records, root)
        check_days(seen, records)
        same("chart: no label overlaps another", seen["chartOverlaps"], [])
        days = sorted({r["time"][:10] for r in records if r["time"][:4] == "2002"})
        check("chart: the last day labelled", days[-1] in seen["chartLabels"], seen["chartLabels"])
        check("screenshot saved", os.path.getsize(screenshot) > 10000)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for(what, probe, bound=60):
    """probe() until it gives something, for at most `bound` seconds; None when it never did."""
    deadline = time.monotonic() + bound
    while time.monotonic() < deadline:
        try:
            found = probe()
            if found is not None:
                return found
        except OSError:
            pass
        time.sleep(0.2)
    check(f"{what} within {bound} s", False)
    return None


def fetch(url):
    with urllib.request.urlopen(url, timeout=10) as answer:
        return answer.read().decode("utf-8")


def check_monitor(tool, promtool, node_exporter, prometheus):
    with tempfile.TemporaryDirectory() as work:
        root, records, problems = make_corpus(work)
        # Counted with everything read: the corpus's file of no record is not read as a log
        # (the corpus check has it), which would make every state UNKNOWN.
        for problem in [p for p in problems if p["kind"] == "binary"]:
            os.remove(os.path.join(root, problem["file"]))
        # A machine whose folder name holds what a label value must escape, and one that is no UTF-8.
        odd_machine = 'PC "7" \\ back\nslash'
        some_log = next(r["file"] for r in records if not any(p["file"] == r["file"] for p in problems))
        copied = [dict(r, machine=odd_machine) for r in records if r["file"] == some_log]
        for machine in (odd_machine.encode(), b"PC\xff\xfe"):
            os.makedirs(os.path.join(root.encode(), machine, b"Logs"))
            shutil.copy(some_log, os.path.join(root.encode(), machine, b"Logs").decode(errors="surrogateescape"))
        records = records + copied + copied

        textfiles = os.path.join(work, "textfiles")
        os.makedirs(textfiles)
        prom = os.path.join(textfiles, "orvacct.prom")
        old_umask = os.umask(0o022)
        try:
            code, _, err = run(tool, "logs", "metrics", "--output", prom, root)
        finally:
            os.umask(old_umask)
        same("metrics exit status", code, 0)
        # node_exporter commonly runs as a user of its own, so the file is made readable by others.
        same("the metrics file's mode under umask 022", oct(os.stat(prom).st_mode & 0o777), oct(0o644))
        before = open(some_log, "rb").read()
        code, _, err = run(tool, "logs", "metrics", "--output", some_log, root)
        same("a log the run reads is never replaced by its metrics", (code, open(some_log, "rb").read()), (1, before))
        checked = subprocess.run([promtool, "check", "metrics"], stdin=open(prom, "rb"), capture_output=True, timeout=60)
        same("promtool check metrics accepts the file", (checked.returncode, checked.stdout + checked.stderr), (0, b""))
        _, out, _ = run(tool, "logs", "summary", "--by", "app", "--format", "jsonl", root)
        counted = sum(json.loads(line)["count"] for line in out.splitlines())
        same("the summary counts the corpus's records", counted, len(records))

        exporter_port, prometheus_port = free_port(), free_port()
        config = os.path.join(work, "prometheus.yml")
        with open(config, "w") as file:
            file.write("global:\n  scrape_interval: 1s\n  evaluation_interval: 1s\nscrape_configs:\n"
                       f"  - job_name: orvacct\n    static_configs:\n      - targets: ['127.0.0.1:{exporter_port}']\n")
        logs = open(os.path.join(work, "servers.log"), "wb")
        servers = [
            subprocess.Popen([node_exporter, f"--web.listen-address=127.0.0.1:{exporter_port}",
                              "--collector.disable-defaults", "--collector.textfile",
                              f"--collector.textfile.directory={textfiles}"], stdout=logs, stderr=logs),
            subprocess.Popen([prometheus, f"--config.file={config}", f"--storage.tsdb.path={work}/tsdb",
                              f"--web.listen-address=127.0.0.1:{prometheus_port}"], stdout=logs, stderr=logs),
        ]
        try:
            wait_for("node_exporter serves the file", lambda: (
                True if "orvacct_log_records{" in fetch(f"http://127.0.0.1:{exporter_port}/metrics") else None))

            def query(promql):
                url = f"http://127.0.0.1:{prometheus_port}/api/v1/query?" + urllib.parse.urlencode({"query": promql})
                result = json.loads(fetch(url))["data"]["result"]
                return float(result[0]["value"][1]) if result else None

            same("Prometheus: sum(orvacct_log_records) is the summary's count",
                 wait_for("Prometheus scrapes node_exporter", lambda: query("sum(orvacct_log_records)")), counted)
            label = odd_machine.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
            same("Prometheus: a machine's name with a quote, backslash and line break",
                 query(f'sum(orvacct_log_records{{machine="{label}"}})'), len(copied))
            same("Prometheus: files read", query("orvacct_log_files_read"), count_logs(root))
        finally:
            for server in servers:
                server.terminate()
                server.wait(timeout=60)
            logs.close()
        if failed:
            print(open(os.path.join(work, "servers.log"), errors="replace").read()[-3000:])
        check_plugin(tool, root, records, work)


def check_plugin(tool, root, records, work):
    """logs check's exit codes as a plugin's states, the counts worked out from the corpus (the
    range forms are checked in-process, tests/unit/logs_monitor_tests.cpp)."""
    total = len(records)
    largest = max(collections.Counter(r["machine"] for r in records).values())
    missing = os.path.join(work, "missing")
    for arguments, status in [(["--warning", str(total), "--critical", str(total + 1), root], 0),
                              (["--warning", str(total - 1), "--critical", str(total + 1), root], 1),
                              (["--warning", str(total - 1), "--critical", str(total - 1), root], 2),
                              (["--by", "machine", "--warning", str(largest), root], 0),
                              (["--by", "machine", "--warning", str(largest - 1), root], 1),
                              (["--warning", "20:10", root], 3), (["--no-such-option", root], 3),
                              (["--warning", "10", root, missing], 3)]:
        code, out, _ = run(tool, "logs", "check", *arguments)
        state = ["OK", "WARNING", "CRITICAL", "UNKNOWN"][status]
        check(f"logs check {' '.join(arguments)}: {state}", code == status and out.startswith(
            f"ORVACCT LOGS {state} - ") and (status == 3 or f"records={total};" in out), f"{code}: {out!r:.300}")


def main():
    mode, tool = sys.argv[1], sys.argv[2]
    if mode == "corpus":
        check_corpus(tool)
    elif mode == "monitor":
        check_monitor(tool, *sys.argv[3:6])
    else:
        check_browser(tool, *sys.argv[3:6])
    print(f"{passed} passed, {failed} failed")
    sys.exit(1 if failed or not passed else 0)


if __name__ == "__main__":
    main()
