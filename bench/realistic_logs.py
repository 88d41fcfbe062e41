#!/usr/bin/env python3
"""Writes a share of error logs shaped like those gathered from a real fleet, for measuring the
log commands beside grep (scripts/bench.sh logs):

  OUT/WS-NNNN/<App>/Logs/<app>-MMDDYYYY.log

About 255 MB by default: some 400 files of about 3,000 records each, records of about 200 bytes
(descriptions of 15 to 70 characters, some in code page 1252 with accented letters), CR LF line
ends, the Date line in the machine's regional form (German 01.09.2026 20:34:04 beside US
9/1/2026 8:34:04 PM), error numbers spread as real ones are (a few very common, a long tail),
a few damaged records and one file of binary data. The same seed gives the same bytes.

usage: realistic_logs.py OUT [--files N] [--records N] [--seed N]
"""
import argparse
import datetime
import os
import random

PLUS = "+" * 41

# (number, description); {n} takes a varying detail, as real descriptions name a file or a user.
ERRORS = [
    (91, "Object variable or With block variable not set"),
    (13, "Type mismatch"),
    (5, "Invalid procedure call or argument"),
    (53, "File not found: C:\\Data\\rates{n}.dat"),
    (3021, "Either BOF or EOF is True, or the current record has been deleted."),
    (-2147467259, "Unspecified error"),
    (-2147217843, "Login failed for user 'user{n}'."),
    (-2147217900, "Incorrect syntax near ','."),
    (75, "Path/File access error"),
    (52, "Bad file name or number: Übersicht {n}.xls"),
    (-2147024894, "The system cannot find the file specified."),
    (440, "Automation error"),
    (-2147217871, "Query timeout expired"),
    (3265, "Item cannot be found in the collection corresponding to the requested name or ordinal."),
    (429, "ActiveX component can't create object"),
    (70, "Permission denied"),
    (9, "Subscript out of range"),
    (6, "Overflow"),
    (11, "Division by zero"),
    (-2147220991, "Kundennummer {n} ungültig: Rechnungsprüfung fehlgeschlagen"),
    (-2147220992, "Échec de la connexion au serveur de données"),
]
APPS = [("Billing", "billing", "2.5.3"), ("Orders", "orders", "1.1.0"), ("Stock", "stock", "3.2.1"),
        ("Portal", "portal", "4.0.12")]
MODULES = [("modMain", "Sub Main()"), ("frmInvoice", "cmdSave_Click()"), ("clsDatabase", "Connect()"),
           ("modExport", "ExportRates()"), ("frmLogin", "cmdOK_Click()")]


def date_text(german, day, second):
    h, m, s = second // 3600, second // 60 % 60, second % 60
    if german:
        return f"{day.day:02}.{day.month:02}.{day.year} {h:02}:{m:02}:{s:02}"
    return f"{day.month}/{day.day}/{day.year} {h % 12 or 12}:{m:02}:{s:02} {'AM' if h < 12 else 'PM'}"


def record(rng, weights, german, day, second):
    number, description = rng.choices(ERRORS, weights)[0]
    description = description.replace("{n}", str(rng.randrange(1000)))
    module, procedure = rng.choice(MODULES)
    return (f"{PLUS}\r\nError Description: {description}\r\nError Number: {number}\r\n"
            f"Module Name: {module}\r\nProcedure Name: {procedure}\r\nVersion Number: {{version}}\r\n"
            f"Date: {date_text(german, day, second)}\r\n\r\n")


def log_file(rng, weights, german, day, version, count):
    seconds = sorted(rng.randrange(7 * 3600, 20 * 3600) for _ in range(count))
    parts = [record(rng, weights, german, day, s).replace("{version}", version) for s in seconds]
    if rng.random() < 0.05:  # a record cut off where its writer died
        cut = rng.randrange(len(parts))
        parts[cut] = parts[cut][: len(parts[cut]) // 2]
    return "".join(parts).encode("cp1252")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--files", type=int, default=400)
    parser.add_argument("--records", type=int, default=3000, help="records per file, on average")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    weights = [1 / (rank + 1) ** 1.1 for rank in range(len(ERRORS))]
    first_day = datetime.date(2026, 9, 1)
    machines = max(1, args.files // 10)
    written = 0
    for m in range(machines):
        machine = f"WS-{m + 1:04}"
        german = m % 3 == 0
        for f in range(args.files // machines):
            folder, app, version = APPS[(m + f) % len(APPS)]
            day = first_day + datetime.timedelta(days=f * 7 + m % 7)
            path = os.path.join(args.out, machine, folder, "Logs", f"{app}-{day:%m%d%Y}.log")
            os.makedirs(os.path.dirname(path), exist_ok=True)
            count = rng.randrange(args.records // 2, args.records * 3 // 2)
            with open(path, "ab") as out:
                out.write(log_file(rng, weights, german, day, version, count))
            written += count
    binary = os.path.join(args.out, "WS-0001", "Billing", "Logs", "billing-12012026.log")
    with open(binary, "wb") as out:
        out.write(random.Random(args.seed).randbytes(1 << 20))
    print(f"{written} records in {machines * (args.files // machines)} files, and one of binary data")


if __name__ == "__main__":
    main()
