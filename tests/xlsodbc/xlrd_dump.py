"""Reads a workbook with a third-party reader (xlrd) and prints it as JSON.

Usage: xlrd_dump.py IN.xls
{"sheets": [{"name", "rows": [[{"type": "text"|"number"|"empty"|"bool"|"error", "value",
 "styleFormat": whether the cell points at a style format instead of a cell format}]],
 "widths": {column: width}}]}
"""
import json
import sys
import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
kinds = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number", xlrd.XL_CELL_EMPTY: "empty",
         xlrd.XL_CELL_BLANK: "empty", xlrd.XL_CELL_BOOLEAN: "bool", xlrd.XL_CELL_ERROR: "error",
         xlrd.XL_CELL_DATE: "number"}
out = {"sheets": []}
for sheet in book.sheets():
    rows = []
    for r in range(sheet.nrows):
        rows.append([{"type": kinds[c.ctype], "value": c.value,
                      "styleFormat": bool(book.xf_list[c.xf_index].is_style)} for c in sheet.row(r)])
    widths = {str(col): info.width for col, info in sheet.colinfo_map.items()}
    out["sheets"].append({"name": sheet.name, "rows": rows, "widths": widths})
json.dump(out, sys.stdout, ensure_ascii=False)
