#!/usr/bin/env python3
"""Prints what an .xlsx holds, read by openpyxl (a reader independent of the
program): one line per fact, tab-separated, so tests compare with plain text.

  cell   A1  value                  (dates as YYYY-MM-DD)
  fill   A1  RRGGBB
  format A1  number-format
  merge  B23:C23
  comment G3 text
  width  A   12.33
  height 7   9.0
  sheet  gridlines|print_area|fit  value
  zip    sheet1.xml  fastest|normal|…   (the deflate option the part was written with)
"""
import sys
import zipfile

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
ws = book.active
out = []
for row in ws.iter_rows():
    for c in row:
        name = c.coordinate
        if c.value is not None:
            v = c.value
            if hasattr(v, "strftime"):
                v = v.strftime("%Y-%m-%d")
            out.append(("cell", name, str(v).replace("\n", "\\n")))
        if c.fill is not None and c.fill.fill_type == "solid":
            out.append(("fill", name, str(c.fill.fgColor.rgb)[-6:]))
        if c.number_format and c.number_format != "General":
            out.append(("format", name, c.number_format))
        if c.comment is not None:
            out.append(("comment", name, c.comment.text.replace("\n", "\\n")))
for m in ws.merged_cells.ranges:
    out.append(("merge", str(m), ""))
for letter, dim in ws.column_dimensions.items():
    if dim.width:
        out.append(("width", letter, "%g" % dim.width))
for number, dim in ws.row_dimensions.items():
    if dim.height:
        out.append(("height", str(number), "%g" % dim.height))
out.append(("sheet", "gridlines", str(ws.sheet_view.showGridLines)))
areas = [str(d.attr_text) for d in book.defined_names.definedName if d.name == "_xlnm.Print_Area"]
area = areas[0] if areas else ws.print_area
if isinstance(area, (list, tuple)):
    area = ",".join(area)
out.append(("sheet", "print_area", str(area)))
fit = ws.sheet_properties.pageSetUpPr is not None and ws.sheet_properties.pageSetUpPr.fitToPage
# 1 is the default the file may leave out.
out.append(("sheet", "fit", "%s %s %s" % (bool(fit), ws.page_setup.fitToWidth or 1,
                                          ws.page_setup.fitToHeight or 1)))
out.append(("sheet", "margins", "%g %g %g %g" % (ws.page_margins.left, ws.page_margins.right,
                                                  ws.page_margins.top, ws.page_margins.bottom)))
out.append(("sheet", "rows", str(ws.max_row)))
levels = {0: "normal", 2: "maximum", 4: "fast", 6: "fastest"}
with zipfile.ZipFile(sys.argv[1]) as z:
    for info in z.infolist():
        if info.filename.startswith("xl/worksheets/"):
            out.append(("zip", info.filename.rsplit("/", 1)[-1], levels[info.flag_bits & 6]))
for line in out:
    print("\t".join(line))
