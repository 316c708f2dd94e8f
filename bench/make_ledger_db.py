#!/usr/bin/env python3
"""Writes an accounting-like SQLite database of at least MIB mebibytes: python3 make_ledger_db.py PATH MIB.

Ledger rows with Persian dates, amounts and descriptions, an account table and the indexes such a database keeps;
what the backups of the suite's database hold, roughly. Deterministic (fixed seed)."""
import os
import random
import sqlite3
import sys

path, mib = sys.argv[1], int(sys.argv[2])
r = random.Random(1403)
words = ["فاکتور", "فروش", "خريد", "كالا", "پرداخت", "دريافت", "چك", "بانك", "ملت", "صادرات", "هزينه", "حمل",
         "اجاره", "حقوق", "پرسنل", "مشتري", "تامين", "كننده", "تخفيف", "مرجوعي", "انبار", "شعبه", "تهران", "اصفهان",
         "سند", "افتتاحيه", "اختتاميه", "بابت", "طبق", "قرارداد", "شماره", "مورخ", "نقدي", "اعتباري", "ماليات",
         "ارزش", "افزوده", "بيمه", "عوارض", "پيش", "دريافت", "تنخواه", "گردان", "سود", "زيان"]
names = ["احمدي", "محمدي", "رضايي", "حسيني", "كريمي", "موسوي", "جعفري", "صادقي", "رحيمي", "نوري", "شركت آرمان",
         "فروشگاه سپهر", "بازرگاني پارس", "صنايع نوين"]

if os.path.exists(path):
    os.remove(path)
db = sqlite3.connect(path)
db.executescript("""
PRAGMA page_size = 8192;
PRAGMA journal_mode = OFF;
PRAGMA synchronous = OFF;
CREATE TABLE Accounts (AccountId INTEGER PRIMARY KEY, Code TEXT NOT NULL, Title TEXT NOT NULL, Kind INTEGER);
CREATE TABLE Ledger (RowId INTEGER PRIMARY KEY, DocNo INTEGER NOT NULL, DocDate TEXT NOT NULL, AccountId INTEGER,
                     Debit INTEGER NOT NULL, Credit INTEGER NOT NULL, Descr TEXT, Branch INTEGER, UserName TEXT,
                     Created TEXT);
""")
db.executemany("INSERT INTO Accounts VALUES (?, ?, ?, ?)",
               [(i, "%d-%02d-%04d" % (r.randint(1, 9), r.randint(1, 40), i), " ".join(r.sample(words, 3)),
                 r.randint(1, 5)) for i in range(1, 3001)])


def rows(start, count):
    for i in range(start, start + count):
        doc = i // 4 + 1
        month = 1 + (doc // 9000) % 12
        amount = r.choice([r.randint(1, 999) * 1000, r.randint(1, 99999) * 10000, r.randint(1, 10**9)])
        debit = amount if i % 2 == 0 else 0
        descr = " ".join(r.sample(words, r.randint(3, 8))) + " " + r.choice(names) + " " + str(r.randint(1, 99999))
        yield (i, doc, "1403/%02d/%02d" % (month, 1 + doc % 30), r.randint(1, 3000), debit, amount - debit, descr,
               r.randint(1, 12), r.choice(["admin", "hesabdar", "anbar", "modir"]),
               "2024-%02d-%02d %02d:%02d:%02d" % (month, 1 + doc % 28, r.randint(8, 18), r.randint(0, 59),
                                                  r.randint(0, 59)))


n = 1
while True:
    db.executemany("INSERT INTO Ledger VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", rows(n, 200000))
    n += 200000
    db.commit()
    # Indexes take roughly a third again as much as the rows.
    if os.path.getsize(path) * 1.35 >= mib * 2**20:
        break
db.executescript("""
CREATE INDEX LedgerDate ON Ledger (DocDate, DocNo);
CREATE INDEX LedgerAccount ON Ledger (AccountId, DocDate);
CREATE INDEX LedgerDoc ON Ledger (DocNo);
""")
db.commit()
db.close()
if os.path.getsize(path) < mib * 2**20:  # never below the size asked for
    sys.exit("database came out smaller than asked: %d bytes" % os.path.getsize(path))
print(path, os.path.getsize(path))
