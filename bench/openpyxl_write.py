#!/usr/bin/env python3
"""The baseline for All2Excel: openpyxl (write-only mode) writing ROWS rows of
the 49 customer columns from a customer database.

  openpyxl_write.py DATABASE ROWS OUT
"""
import sqlite3
import sys

import openpyxl

db, rows, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
book = openpyxl.Workbook(write_only=True)
sheet = book.create_sheet()
con = sqlite3.connect(db)
names = [r[1] for r in con.execute("PRAGMA table_info(customer)")][1:50]
sheet.append(names)
for row in con.execute("SELECT %s FROM customer ORDER BY C_code DESC LIMIT ?" % ",".join(names),
                       (rows,)):
    sheet.append(list(row))
book.save(out)
