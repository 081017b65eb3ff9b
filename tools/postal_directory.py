#!/usr/bin/env python3
"""Writes resources/postal_codes.tsv, the postal-code directory of Thailand that a
new shop's customer database is filled from.

Source: the npm package thai-address-database 0.0.30 (ISC licence), file
database/backup/geodb.json: every sub-district with its district, province,
postal code and the sub-district's code, in a compact form (a word list and a
lookup list stand for repeated text). Run once when the source changes:

    npm pack thai-address-database@0.0.30 && tar xzf thai-address-database-0.0.30.tgz
    tools/postal_directory.py package/database/backup/geodb.json resources/postal_codes.tsv
"""
import json
import re
import sys


def expand(data):
    words = data["words"].split("|")
    lookup = data["lookup"].split("|")

    def text(value):
        if isinstance(value, int):
            value = lookup[value]
        return re.sub(r"[A-Za-z]",
                      lambda m: words[ord(m.group(0)) - 65 if ord(m.group(0)) < 97
                                      else 26 + ord(m.group(0)) - 97],
                      value)

    rows = []
    for province in data["data"]:
        for district in province[2]:
            for sub in district[2]:
                codes = sub[2] if isinstance(sub[2], list) else [sub[2]]
                for code in codes:
                    rows.append((str(sub[1]) if sub[1] else "", text(province[0]), text(district[0]),
                                 text(sub[0]), str(code)))
    return rows


def main():
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8") as f:
        rows = sorted(set(expand(json.load(f))), key=lambda r: (r[1], r[2], r[3], r[4], r[0]))
    with open(target, "w", encoding="utf-8", newline="\n") as f:
        f.write("location_code\tProvince\tDistrict\tSub_district\tPost_code\n")
        for row in rows:
            f.write("\t".join(row) + "\n")
    print(f"{len(rows)} rows, {len({r[1] for r in rows})} provinces")


if __name__ == "__main__":
    main()
