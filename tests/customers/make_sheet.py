#!/usr/bin/env python3
"""Writes a spreadsheet for the import tests with programs other than Tawela:
.xlsx by XlsxWriter (shared strings, as spreadsheet programs write them),
.xls by xlwt, .ods as its plain XML in a zip, and NAME.plain.xlsx as its bare
XML the way other programs write it (prefixed element names, no cell
references, the sheet's part named only through the relationships, shared
strings in rich-text runs with phonetic runs, ISO dates).

  make_sheet.py OUT  < rows.json

rows.json is a list of rows, each a list of cells: a string, a number, null
(empty), {"date": "YYYY-MM-DD"} or, in .xls only, {"formula": "...", "cached":
text or number}: a formula with the result a spreadsheet program stored for it.
"""
import datetime
import json
import sys
import zipfile
from xml.sax.saxutils import escape

out = sys.argv[1]
rows = json.load(sys.stdin)


def value(cell):
    if isinstance(cell, dict) and "formula" in cell:
        return cell
    if isinstance(cell, dict):
        return datetime.datetime.strptime(cell["date"], "%Y-%m-%d")
    return cell


def write_cells(write, write_date, date_format):
    """Every filled cell through a library's writers; dates in date_format."""
    for r, row in enumerate(rows):
        for c, cell in enumerate(row):
            if cell is None:
                continue
            v = value(cell)
            if isinstance(v, datetime.datetime):
                write_date(r, c, v, date_format)
            else:
                write(r, c, v)


if out.endswith(".plain.xlsx"):
    strings = []
    xml_rows = []
    for row in rows:
        xml = []
        for cell in row:
            if cell is None:
                xml.append("<x:c/>")
            elif isinstance(cell, dict):
                xml.append('<x:c t="d"><x:v>%sT00:00:00</x:v></x:c>' % cell["date"])
            elif isinstance(cell, (int, float)):
                xml.append("<x:c><x:v>%s</x:v></x:c>" % cell)
            else:
                xml.append('<x:c t="s"><x:v>%d</x:v></x:c>' % len(strings))
                half = len(cell) // 2
                strings.append('<x:si><x:r><x:t>%s</x:t></x:r><x:r><x:t xml:space="preserve">%s'
                               '</x:t></x:r><x:rPh sb="0" eb="1"><x:t>ignored</x:t></x:rPh></x:si>'
                               % (escape(cell[:half]), escape(cell[half:])))
        xml_rows.append("<x:row>%s</x:row>" % "".join(xml))
    ns = 'xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml",
                   '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/'
                   '2006/content-types"><Default Extension="xml" ContentType="application/xml"/>'
                   "</Types>")
        z.writestr("xl/workbook.xml",
                   '<?xml version="1.0"?><x:workbook %s xmlns:r="%s"><x:sheets>'
                   '<x:sheet name="Data" sheetId="7" r:id="rId9"/></x:sheets></x:workbook>'
                   % (ns, rel))
        z.writestr("xl/_rels/workbook.xml.rels",
                   '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/'
                   'package/2006/relationships"><Relationship Id="rId2" Type="%s/sharedStrings" '
                   'Target="sharedStrings.xml"/><Relationship Id="rId9" Type="%s/worksheet" '
                   'Target="/xl/worksheets/data.xml"/></Relationships>' % (rel, rel))
        z.writestr("xl/sharedStrings.xml", '<?xml version="1.0"?><x:sst %s>%s</x:sst>'
                   % (ns, "".join(strings)))
        z.writestr("xl/worksheets/data.xml",
                   '<?xml version="1.0"?><x:worksheet %s><x:sheetData>%s</x:sheetData>'
                   "</x:worksheet>" % (ns, "".join(xml_rows)))
elif out.endswith(".xlsx"):
    import xlsxwriter

    book = xlsxwriter.Workbook(out)
    sheet = book.add_worksheet()
    write_cells(sheet.write, sheet.write_datetime, book.add_format({"num_format": "yyyy-mm-dd"}))
    book.close()
elif out.endswith(".xls"):
    import xlwt

    import struct
    from xlwt import Cell

    # xlwt leaves a formula's result empty for the program that opens the
    # file to compute; write the result as Excel stores it (a number in the
    # record, a text in the STRING record that follows).
    cached = {}

    def formula_record(self):
        result = cached[(self.rowx, self.colx)]
        rpn = self.frmla.rpn()
        number = 0xFFFF000000000000 if isinstance(result, str) else None
        head = struct.pack("<3H", self.rowx, self.colx, self.xf_idx)
        body = (struct.pack("<Q", number) if number is not None else struct.pack("<d", result))
        data = head + body + struct.pack("<HL", 0, 0) + rpn
        record = struct.pack("<HH", 0x0006, len(data)) + data
        if isinstance(result, str):
            text = result.encode("utf-16-le")
            string = struct.pack("<HB", len(result), 1) + text
            record += struct.pack("<HH", 0x0207, len(string)) + string
        return record

    Cell.FormulaCell.get_biff_data = formula_record

    def write(r, c, v):
        if isinstance(v, dict):
            cached[(r, c)] = v["cached"]
            sheet.write(r, c, xlwt.Formula(v["formula"]))
        else:
            sheet.write(r, c, v)

    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    write_cells(write, sheet.write, xlwt.easyxf(num_format_str="YYYY-MM-DD"))
    book.save(out)
elif out.endswith(".ods"):
    cells = []
    for row in rows:
        xml = []
        for cell in row:
            if cell is None:
                xml.append("<table:table-cell/>")
            elif isinstance(cell, dict):
                xml.append('<table:table-cell office:value-type="date" office:date-value="%s">'
                           "<text:p>%s</text:p></table:table-cell>" % (cell["date"], cell["date"]))
            elif isinstance(cell, (int, float)):
                xml.append('<table:table-cell office:value-type="float" office:value="%s">'
                           "<text:p>%s</text:p></table:table-cell>" % (cell, cell))
            else:
                xml.append('<table:table-cell office:value-type="string"><text:p>%s</text:p>'
                           "</table:table-cell>" % escape(cell))
        cells.append("<table:table-row>%s</table:table-row>" % "".join(xml))
    content = (
        '<?xml version="1.0" encoding="UTF-8"?>'
        '<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
        'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
        'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">'
        '<office:body><office:spreadsheet><table:table table:name="Sheet1">%s</table:table>'
        "</office:spreadsheet></office:body></office:document-content>" % "".join(cells))
    manifest = (
        '<?xml version="1.0" encoding="UTF-8"?>'
        '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" '
        'manifest:version="1.2">'
        '<manifest:file-entry manifest:full-path="/" '
        'manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
        '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
        "</manifest:manifest>")
    with zipfile.ZipFile(out, "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
        z.writestr("META-INF/manifest.xml", manifest, zipfile.ZIP_DEFLATED)
        z.writestr("content.xml", content, zipfile.ZIP_DEFLATED)
else:
    sys.exit("unknown kind: " + out)
