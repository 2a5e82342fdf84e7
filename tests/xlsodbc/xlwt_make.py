"""Writes a workbook with a third-party writer (xlwt) for the driver's reading tests.

Usage: xlwt_make.py OUT.xls
Sheet "Data": headings 序号 姓名 身高 备注 and rows of numbers (integers, fractions),
Chinese texts, an empty cell and a boolean; sheet "Words": enough distinct texts
(ASCII and Chinese, some long) that the shared string table runs over several
CONTINUE records; sheet "Empty": nothing.
"""
import sys
import xlwt

book = xlwt.Workbook(encoding="utf-8")
data = book.add_sheet("Data")
for col, heading in enumerate(["序号", "姓名", "身高", "备注"]):
    data.write(0, col, heading)
rows = [
    (3, "张三", 170, "班长"),
    (3, "李四", 45.5, None),
    (7, "O'Neil [x]", -12.25, "a'b''c"),
    (8, "王五", 1e15, True),
]
for r, values in enumerate(rows, start=1):
    for c, v in enumerate(values):
        if v is not None:
            data.write(r, c, v)
data.col(1).width = 5000

words = book.add_sheet("Words")
words.write(0, 0, "编号")
words.write(0, 1, "文字")
for i in range(1, 1201):
    words.write(i, 0, i)
    if i % 3 == 0:
        text = "第%d行" % i + "汉字" * (i % 40)
    elif i % 3 == 1:
        text = "ascii text number %d " % i + "x" * (i % 300)
    else:
        text = "混合 mixed %d " % i + "字" * (i % 200)
    words.write(i, 1, text)

book.add_sheet("Empty")
book.save(sys.argv[1])
