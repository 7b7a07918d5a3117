#!/usr/bin/python3
"""Writes the .xlsx and .csv fixtures with real programs, and beside each one a JSON file of
the values it must hold, taken from the source data below (never from our reader).

Needs Debian's python3-xlsxwriter and python3-openpyxl, LibreOffice (soffice) and Gnumeric
(ssconvert).

    cd tests/data/xlsx && /usr/bin/python3 make_fixtures.py

Expected files: {"generator", "date1904", "sheets": [[name, type, state]],
"cells": [[sheet, row, col, kind, value, formula]]} with kind "number", "date" (value: the
serial in the 1900 system), "string", "bool" or "error"; formula is true for a formula's cached
result. Every cell that holds a value is listed.
"""
import datetime
import json
import os
import shutil
import subprocess
import tempfile

import openpyxl
import xlsxwriter

HERE = os.path.dirname(os.path.abspath(__file__))
EPOCH = datetime.datetime(1899, 12, 30)

NAMES = ["Șurub autofiletant ă â î ș ț", "Țeavă zincată Ș Ț", "Dibluri plastic", "Mâner ușă",
         "Îmbinare țeavă", "Ştift (cedilă ş ţ)", "Bandă izolatoare", "Cheie fixă nr. 13"]


def serial(d):
    return (d - EPOCH).total_seconds() / 86400.0


def price_rows(count=30):
    """(row, col, kind, value) of a small price list: codes, names, prices, dates, flags."""
    cells = [(0, 0, "string", "Cod"), (0, 1, "string", "Denumire"), (0, 2, "string", "Preț LEI"),
             (0, 3, "string", "Data"), (0, 4, "string", "Activ")]
    for i in range(count):
        r = i + 1
        code = "ART-%04d" % (i * 7 + 1) if i % 3 else 1000 + i
        cells.append((r, 0, "string" if isinstance(code, str) else "number", code))
        cells.append((r, 1, "string", "%s %d" % (NAMES[i % len(NAMES)], i)))
        if i % 11 != 5:
            cells.append((r, 2, "number", round(12.5 + i * 3.25, 2)))
        cells.append((r, 3, "date", datetime.datetime(2024, 1, 1) + datetime.timedelta(days=17 * i)))
        cells.append((r, 4, "bool", i % 4 != 0))
    return cells


# Formulas with a cached result of every type: (row, col, formula, kind, value).
FORMULAS = [(0, 0, "1+2", "number", 3), (0, 1, '"Pre"&"ț"', "string", "Preț"),
            (1, 0, "1>0", "bool", True), (1, 1, "1/0", "error", "#DIV/0!"),
            (2, 0, 'IF(1,"","x")', "string", ""), (2, 1, "NA()", "error", "#N/A")]

# What each program stores for them, where it differs from the result's own type:
# xlsxwriter writes an empty text result as <v></v> without a type (no value, by the
# standard); LibreOffice and Gnumeric recalculate it and store the empty text.
STORED = {"xlsxwriter": {(2, 0): None}, "LibreOffice": {}, "Gnumeric": {}}


def formula_cells(program):
    cells = []
    for r, c, formula, kind, value in FORMULAS:
        stored = STORED[program].get((r, c), (kind, value))
        if stored is not None:
            cells.append(expect_cell(1, r, c, stored[0], stored[1], True))
    return cells


def expect_cell(sheet, r, c, kind, value, formula=False):
    if kind == "date":
        return [sheet, r, c, "date", serial(value), formula]
    return [sheet, r, c, kind, value, formula]


def write_expected(name, generator, sheets, cells, date1904=False):
    with open(os.path.join(HERE, name + ".json"), "w", encoding="utf-8") as f:
        json.dump({"generator": generator, "date1904": date1904, "sheets": sheets,
                   "cells": sorted(cells)}, f, ensure_ascii=False, indent=0)


def xlsxwriter_book(path, inline):
    """Price sheet, formulas, a chart sheet, a hidden sheet and a rich string."""
    wb = xlsxwriter.Workbook(path, {"constant_memory": inline})
    date_fmt = wb.add_format({"num_format": "dd.mm.yyyy"})
    bold = wb.add_format({"bold": True})
    ws = wb.add_worksheet("Prețuri")
    cells = []
    for r, c, kind, value in price_rows():
        if kind == "date":
            ws.write_datetime(r, c, value, date_fmt)
        elif kind == "bool":
            ws.write_boolean(r, c, value)
        else:
            ws.write(r, c, value)
        cells.append(expect_cell(0, r, c, kind, value))
    fs = wb.add_worksheet("Formule")
    for r, c, formula, kind, value in FORMULAS:
        fs.write_formula(r, c, "=" + formula, None, value)
    if not inline:
        fs.write_rich_string(4, 0, "Preț ", bold, "nou", " ă")
        cells.append(expect_cell(1, 4, 0, "string", "Preț nou ă"))
    chart = wb.add_chart({"type": "column"})
    chart.add_series({"values": "='Prețuri'!$C$2:$C$10"})
    cs = wb.add_chartsheet("Grafic")
    cs.set_chart(chart)
    hs = wb.add_worksheet("Ascunsă")
    hs.write(0, 0, "ascuns")
    hs.write(2, 3, 42.5)
    hs.hide()
    cells += [expect_cell(3, 0, 0, "string", "ascuns"), expect_cell(3, 2, 3, "number", 42.5)]
    wb.close()
    sheets = [["Prețuri", "worksheet", "visible"], ["Formule", "worksheet", "visible"],
              ["Grafic", "chartsheet", "visible"], ["Ascunsă", "worksheet", "hidden"]]
    return sheets, cells


def openpyxl_1904(path):
    """1904 date system; formulas stored without a cached value (openpyxl writes none)."""
    wb = openpyxl.Workbook()
    wb.epoch = openpyxl.utils.datetime.CALENDAR_MAC_1904
    ws = wb.active
    ws.title = "Date 1904"
    cells = []
    for i, d in enumerate([datetime.datetime(1904, 1, 2), datetime.datetime(2024, 2, 29, 12, 0),
                           datetime.datetime(1999, 12, 31, 6, 30)]):
        ws.cell(row=i + 1, column=1, value=d).number_format = "yyyy-mm-dd hh:mm"
        cells.append(expect_cell(0, i, 0, "date", d))
    ws.cell(row=1, column=2, value="=A1+1")  # no cached value: an empty cell
    ws.cell(row=2, column=2, value="Țară")
    cells.append(expect_cell(0, 1, 1, "string", "Țară"))
    wb.save(path)
    return [["Date 1904", "worksheet", "visible"]], cells


def convert(src, fmt, out, sheet_filter=None):
    tmp = tempfile.mkdtemp()
    try:
        target = fmt if sheet_filter is None else fmt + ":" + sheet_filter
        subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + tmp + "/u",
                        "--convert-to", target, "--outdir", tmp, src], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        produced = [f for f in os.listdir(tmp) if f.endswith("." + fmt.split(":")[0])]
        shutil.move(os.path.join(tmp, produced[0]), out)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def main():
    os.chdir(HERE)
    sheets, cells = xlsxwriter_book("xlsxwriter_mixed.xlsx", False)
    write_expected("xlsxwriter_mixed", "xlsxwriter", sheets, cells + formula_cells("xlsxwriter"))
    sheets_i, cells_i = xlsxwriter_book("xlsxwriter_inline.xlsx", True)
    write_expected("xlsxwriter_inline", "xlsxwriter constant_memory (inline strings)", sheets_i,
                   cells_i + formula_cells("xlsxwriter"))
    sheets_o, cells_o = openpyxl_1904("openpyxl_1904.xlsx")
    write_expected("openpyxl_1904", "openpyxl", sheets_o, cells_o, True)
    # LibreOffice recalculates and stores every cached result itself.
    # It turns the chart sheet into a worksheet holding the chart, and stores Booleans as the
    # formulas TRUE() and FALSE().
    convert(os.path.join(HERE, "xlsxwriter_mixed.xlsx"), "xlsx", "libreoffice_mixed.xlsx")
    lo_sheets = [[n, "worksheet", st] for n, _, st in sheets]
    lo_cells = [c[:5] + [c[5] or c[3] == "bool"] for c in cells]
    write_expected("libreoffice_mixed", "LibreOffice", lo_sheets,
                   lo_cells + formula_cells("LibreOffice"))
    subprocess.run(["ssconvert", "--export-type=Gnumeric_Excel:xlsx2", "xlsxwriter_mixed.xlsx",
                    "gnumeric_mixed.xlsx"], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    # Gnumeric also turns the chart sheet into a worksheet, and writes no sheet states.
    gn_sheets = [[n, "worksheet", "visible"] for n, _, _ in sheets]
    write_expected("gnumeric_mixed", "Gnumeric ssconvert", gn_sheets,
                   cells + formula_cells("Gnumeric"))


if __name__ == "__main__":
    main()
