#!/usr/bin/python3
"""Writes workbooks with formulas through real spreadsheet programs, and next to each one a JSON
file of the formula texts our decoder must give for them, taken from the table below.

Needs LibreOffice (libreoffice-calc-nogui), Gnumeric (ssconvert) and the ro_RO.UTF-8 locale.

    cd tests/data/formula && /usr/bin/python3 make_formula_fixtures.py

The source is an OpenDocument spreadsheet written here; each program converts it to .xls.
Expected texts are in the reader's notation: A1 references, "!" after a sheet name, no spaces,
"," between arguments, the program's decimal comma in numbers, multi-column array rows in braces.
Expected files: {"generator", "cells": [[sheet, row, col, text]]}.
"""
import json
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from ods_source import escape, gnumeric_to_xls, libreoffice_to_xls, write_ods  # noqa: E402

# (row, col, ODF formula, expected text) on the sheet "Formule". Column A holds 1..10, column B
# texts; the sheets "Date" and "Alta foaie" hold numbers.
FORMULAS = [
    (0, 2, "[.A1]*2+[.A2]", "A1*2+A2"),
    (1, 2, "SUM([.A1:.A9])", "SUM(A1:A9)"),
    (2, 2, "IF([.A1]>1;;2)", "IF(A1>1,,2)"),
    (3, 2, '"ăş "&[.B1]', '"ăş "&B1'),
    (4, 2, "[$Date.B2]+1", "Date!B2+1"),
    (5, 2, "SUM(['Alta foaie'.A1:.B3])", "SUM(Alta foaie!A1:B3)"),
    (6, 2, "Pret*2", "Pret*2"),
    (7, 2, "SUM({1;2;3})", "SUM({{1,2,3}})"),
    (8, 2, "SUM({1|2|3})", "SUM({1,2,3})"),
    (9, 2, "ROUND([.A1]/3;2)", "ROUND(A1/3,2)"),
    (10, 2, "-[.A1]%", "-A1%"),
    (11, 2, "([.A1]+[.A2])/2", "(A1+A2)/2"),
    (12, 2, "MID([.B1];2;3)", "MID(B1,2,3)"),
    (13, 2, "VLOOKUP([.A1];[.$A$1:.$B$10];2;0)", "VLOOKUP(A1,$A$1:$B$10,2,0)"),
    (14, 2, "1.5*[.A1]", "1,5*A1"),
    (15, 2, "PI()*[.A2]", "PI()*A2"),
    (16, 2, "[.$A$1]+[.A$2]+[.$A3]", "$A$1+A$2+$A3"),
    (17, 2, 'CONCATENATE([.B1];"-";[.B2])', 'CONCATENATE(B1,"-",B2)'),
    (18, 2, 'IF(AND([.A1]>0;[.A2]<5);"da";"nu")', 'IF(AND(A1>0,A2<5),"da","nu")'),
    (19, 2, 'COUNTIF([.A1:.A10];">3")', 'COUNTIF(A1:A10,">3")'),
    (20, 2, "SUM([$Date.B2:.B4];[.A1])", "SUM(Date!B2:B4,A1)"),
    (21, 2, "ISERROR(1/0)", "ISERROR(1/0)"),
    (22, 2, "[.A1]<>[.A2]", "A1<>A2"),
    (23, 2, "2^10-[.A1]", "2^10-A1"),
    (24, 2, "SUM([.A1];[.A2];[.A3])", "SUM(A1,A2,A3)"),
    (25, 2, "0.000001*[.A1]", "1E-6*A1"),
    (26, 2, "CHOOSE(2;[.A1];[.A2];[.A3])", "CHOOSE(2,A1,A2,A3)"),
    (27, 2, "LEN(\"Țară\")", 'LEN("Țară")'),
    (28, 2, 'COUNTA({1;"ab"|"ăc";2})', 'COUNTA({{1,"ab"},{"ăc",2}})'),
]
# A column filled down: writers may store it as one shared formula.
FILLED = [(r, 3, "[.A%d]*10" % (r + 1), "A%d*10" % (r + 1)) for r in range(10)]


def cell(value=None, formula=None):
    attrs = ""
    if formula:
        attrs += ' table:formula="of:=%s"' % escape(formula)
    if isinstance(value, str):
        attrs += ' office:value-type="string" office:string-value="%s"' % escape(value)
    elif value is not None:
        attrs += ' office:value-type="float" office:value="%r"' % float(value)
    return "<table:table-cell%s/>" % attrs


def table(name, rows):
    out = ['<table:table table:name="%s"><table:table-column table:number-columns-repeated="4"/>' % escape(name)]
    for row in rows:
        out.append("<table:table-row>%s</table:table-row>" % "".join(row))
    out.append("</table:table>")
    return "".join(out)


def write_source(path, formulas):
    grid = [[cell() for _ in range(4)] for _ in range(29)]
    for r in range(10):
        grid[r][0] = cell(r + 1)
        grid[r][1] = cell("Text %d" % (r + 1))
    for r, c, f, _ in formulas:
        grid[r][c] = cell(0, f)
    data = [[cell(), cell(10 * (r + 1))] for r in range(5)]
    other = [[cell(r + 1), cell(r + 2)] for r in range(3)]
    names = ('<table:named-expressions><table:named-range table:name="Pret" '
             'table:base-cell-address="$Formule.$A$1" table:cell-range-address="$Formule.$A$1"/>'
             "</table:named-expressions>")
    write_ods(path, table("Formule", grid) + table("Date", data) + table("Alta foaie", other) + names)


def write_expected(name, generator, formulas):
    rows = [[0, r, c, text] for r, c, _, text in formulas]
    with open(os.path.join(HERE, name + ".json"), "w", encoding="utf-8") as f:
        f.write('{"generator": %s,\n "cells": [\n' % json.dumps(generator))
        f.write(",\n".join(json.dumps(x, ensure_ascii=False) for x in rows))
        f.write("\n]}\n")


def biff5_text(formulas):
    # Code page 1250 lacks the comma-below letters; the writer puts "?" in their place.
    return [(r, c, f, t.replace("Ț", "?").replace("ț", "?")) for r, c, f, t in formulas]


def main():
    formulas = FORMULAS + FILLED
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "formule.ods")
        write_source(src, formulas)
        os.replace(libreoffice_to_xls(src, tmp), os.path.join(HERE, "libreoffice_biff8.xls"))
        write_expected("libreoffice_biff8", "LibreOffice", formulas)

        gnumeric_to_xls(src, os.path.join(HERE, "gnumeric_biff8.xls"))
        write_expected("gnumeric_biff8", "Gnumeric", formulas)
        gnumeric_to_xls(src, os.path.join(HERE, "gnumeric_biff5.xls"), biff5=True)
        write_expected("gnumeric_biff5", "Gnumeric BIFF5", biff5_text(formulas))


if __name__ == "__main__":
    main()
