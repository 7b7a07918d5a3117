#!/usr/bin/python3
"""Writes supplier_list.xls, a price list shaped like a real supplier's, with xlwt.

An empty-looking cover sheet comes first; the price sheet has a title block, a header row,
section rows between groups, empty rows, identifiers that are empty, all blanks, padded with
trailing blanks or broken over two lines, a Boolean price, an article listed twice and a notes
line at the bottom, then a formatted blank cell far below. Run from this folder:
    python3 make_supplier_list.py
"""
import xlwt

book = xlwt.Workbook()
cover = book.add_sheet("Coperta")
cover.write(0, 0, "Oferta de preturi")

prices = book.add_sheet("Preturi")
rows = {
    0: ["Furnizor Electro SRL"],
    1: ["Lista de preturi valabila din 01.12.2026"],
    3: ["Cod", "Pret", "Denumire"],
    4: ["Iluminat"],
    5: [1001, 12.5, "Bec LED"],
    6: ["1002  ", 7.25],
    8: ["", 99],
    9: ["   ", 98],
    10: [1003, True],
    11: ["Cod\r\nnou", 5],
    13: ["Prize"],
    14: [1004, "3.5"],
    15: [1006, 40],
    16: [1006, 41],
    17: ["Preturile nu contin TVA."],
}
for r, values in rows.items():
    for c, v in enumerate(values):
        prices.write(r, c, v)
prices.write(29, 0, "", xlwt.easyxf("pattern: pattern solid, fore_colour yellow"))
book.save("supplier_list.xls")
