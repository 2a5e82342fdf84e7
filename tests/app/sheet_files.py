"""Third-party view of .xls files for the spreadsheet tests.

  sheet_files.py dump <file.xls>          prints the workbook as JSON (xlrd)
  sheet_files.py make <file.xls> <json>   writes a workbook described by JSON (xlwt):
      {"sheets": [{"name": "Sheet1", "rows": [[cell, ...], ...]}]}
      a cell is a text, a number, or null for no cell
"""
import json
import sys


def dump(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    sheets = []
    for sheet in book.sheets():
        rows = [[{"type": c.ctype, "value": c.value} for c in sheet.row(r)] for r in range(sheet.nrows)]
        widths = {str(k): v.width for k, v in sheet.colinfo_map.items()}
        sheets.append({"name": sheet.name, "rows": rows, "widths": widths})
    json.dump({"codepage": book.codepage, "sheets": sheets}, sys.stdout, ensure_ascii=False)


def make(path, description):
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    for sheet in json.loads(description)["sheets"]:
        target = book.add_sheet(sheet["name"])
        for r, row in enumerate(sheet["rows"]):
            for c, cell in enumerate(row):
                if cell is not None:
                    target.write(r, c, cell)
    book.save(path)


if __name__ == "__main__":
    if sys.argv[1] == "dump":
        dump(sys.argv[2])
    else:
        make(sys.argv[2], sys.argv[3])
