#!/usr/bin/python3
"""Writes the reader's fixture workbooks with real spreadsheet programs, and next to each one a
JSON file of the values it must hold, taken from the source data below (never from our reader).

Needs: python3-xlwt; LibreOffice (libreoffice-calc-nogui); Gnumeric (ssconvert); the ro_RO.UTF-8
locale (so that ssconvert writes BIFF5 in code page 1250); node with the npm package xlsx
(SheetJS), found through NODE_PATH or ./node_modules.

    cd tests/data/reader && NODE_PATH=/path/to/node_modules /usr/bin/python3 make_fixtures.py

Expected files: {"generator", "sheets": [names], "cells": [[sheet, row, col, kind, value]]} with
kind "number" (dates are their serial numbers), "string" (texts and error texts), "bool" or
"blank". Blank cells are listed only where the program is known to write them.
"""
import datetime
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from ods_source import escape as xml_escape, gnumeric_to_xls, libreoffice_to_xls, write_ods  # noqa: E402
EPOCH = datetime.date(1899, 12, 30)

ERRORS = {"#NULL!": 0x00, "#DIV/0!": 0x07, "#VALUE!": 0x0F, "#REF!": 0x17, "#NAME?": 0x1D,
          "#NUM!": 0x24, "#N/A": 0x2A}

# ---------------------------------------------------------------------------------------------
# Source data. A cell is (row, col, kind, value[, formula]); kinds: n number, d date
# (datetime.date), s string, b bool, e error text, blank. A formula gives a cached value.


def price_sheet(wide_text=True):
    names = ["Șurub autofiletant ă â î ș ț", "Țeavă zincată Ș Ț", "Dibluri plastic", "Mâner ușă",
             "Îmbinare țeava", "Ştift (cedilă ş ţ)", "Bandă izolatoare", "Cheie fixă nr. 13"]
    if not wide_text:
        names = ["Surub autofiletant", "Teava zincata", "Dibluri plastic", "Maner usa",
                 "Imbinare teava", "Stift", "Banda izolatoare", "Cheie fixa nr. 13"]
    cells = [(0, 0, "s", "Cod"), (0, 1, "s", "Denumire"), (0, 2, "s", "Preț LEI" if wide_text else "Pret LEI"),
             (0, 3, "s", "Preț VALUTA" if wide_text else "Pret VALUTA"), (0, 4, "s", "Data"),
             (0, 5, "s", "Activ")]
    prices = [12.5, 7, 1234.56, 0.01, 99999.99, -3.75, 100, 2.125, 123456789.123, 45]
    for i in range(40):
        r = i + 1
        code = "ART-%04d" % (i * 7 + 1) if i % 3 else 1000 + i
        cells.append((r, 0, "s" if isinstance(code, str) else "n", code))
        cells.append((r, 1, "s", "%s %d" % (names[i % len(names)], i)))
        if i % 11 != 5:  # some rows lack a price
            cells.append((r, 2, "n", prices[i % len(prices)] + i))
        cells.append((r, 3, "n", round((prices[(i + 3) % len(prices)] + i) / 4.97, 2)))
        cells.append((r, 4, "d", datetime.date(2024, 1, 1) + datetime.timedelta(days=17 * i)))
        cells.append((r, 5, "b", i % 4 != 0))
    return cells


def text_sheet(count=300, wide_every=9):
    # Enough unique text to run the shared-string table over several CONTINUE records.
    cells = []
    for i in range(count):
        t = "Text lung numărul %03d pentru tabela de șiruri" % i if i % wide_every == 0 else \
            "Long text number %03d for the shared string table" % i
        cells.append((i, 0, "s", t))
        cells.append((i, 1, "n", i * 1.5))
    return cells


def formula_sheet():
    return [(0, 0, "n", 21), (0, 1, "n", 42, "A1*2"),
            (1, 0, "s", "Total "), (1, 1, "s", "Total lei", 'CONCATENATE(A2;"lei")'),
            (2, 0, "b", True, "A1>1"), (2, 1, "b", False, "A1<1"),
            (3, 0, "e", "#DIV/0!", "1/0"), (3, 1, "e", "#N/A", "NA()"),
            (4, 0, "n", 0.5, "A1/42"), (4, 1, "s", "", 'LEFT("x";0)')]


def mixed_sheet():
    # Runs of numbers in one row (MULRK for most writers), booleans, errors, blanks.
    cells = []
    for r in range(6):
        for c in range(8):
            cells.append((r, c, "n", r * 100 + c))
    cells += [(7, 0, "b", True), (7, 1, "b", False), (8, 0, "e", "#N/A"), (8, 1, "e", "#DIV/0!"),
              (8, 2, "e", "#VALUE!"), (9, 0, "s", "după goluri")]
    return cells


def serial(d):
    return float((d - EPOCH).days)


def expected_value(kind, value):
    if kind == "d":
        return "number", serial(value)
    if kind == "n":
        return "number", float(value)
    if kind == "s":
        return "string", value
    if kind == "b":
        return "bool", bool(value)
    if kind == "e":
        return "string", value
    if kind == "blank":
        return "blank", None
    raise ValueError(kind)


def write_expected(name, generator, sheets, adjust=None, sheet_names=None):
    # A plain BIFF2-BIFF4 file has no sheet list: its one sheet has no name.
    if sheet_names is None:
        sheet_names = [s for s, _ in sheets]
    out = {"generator": generator, "sheets": sheet_names, "cells": []}
    for si, (_, cells) in enumerate(sheets):
        for cell in cells:
            r, c, kind, value = cell[:4]
            k, v = expected_value(kind, value)
            if adjust:
                k, v = adjust(cell, k, v)
                if k is None:
                    continue
            out["cells"].append([si, r, c, k, v])
    with open(os.path.join(HERE, name + ".json"), "w", encoding="utf-8") as f:
        f.write('{"generator": %s,\n "sheets": %s,\n "cells": [\n' % (
            json.dumps(generator), json.dumps(out["sheets"], ensure_ascii=False)))
        f.write(",\n".join(json.dumps(c, ensure_ascii=False) for c in out["cells"]))
        f.write("\n]}\n")


# ---------------------------------------------------------------------------------------------
# xlwt (BIFF8)


def make_xlwt():
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    date_style = xlwt.easyxf(num_format_str="DD.MM.YYYY")
    price_style = xlwt.easyxf(num_format_str="#,##0.00")
    sheets = [("Prețuri", price_sheet()), ("Texte", text_sheet()), ("Mixt", mixed_sheet())]
    blanks = [(10, c, "blank", None) for c in range(0, 5)] + [(11, 3, "blank", None)]
    sheets[2] = ("Mixt", sheets[2][1] + blanks)
    for name, cells in sheets:
        ws = book.add_sheet(name)
        for cell in cells:
            r, c, kind, value = cell[:4]
            if kind == "d":
                ws.write(r, c, value, date_style)
            elif kind == "n":
                ws.write(r, c, value, price_style if c in (2, 3) else xlwt.Style.default_style)
            elif kind in ("s", "b"):
                ws.write(r, c, value)
            elif kind == "e":
                ws.row(r).set_cell_error(c, ERRORS[value])
            elif kind == "blank":
                ws.write(r, c, None, price_style)
    book.add_sheet("Foaie goală")
    sheets.append(("Foaie goală", []))
    book.save(os.path.join(HERE, "xlwt_biff8.xls"))
    write_expected("xlwt_biff8", "xlwt", sheets)


# ---------------------------------------------------------------------------------------------
# An OpenDocument spreadsheet written here, then converted by LibreOffice and Gnumeric.


def ods_cell(cell):
    kind, value = cell[2], cell[3]
    formula = cell[4] if len(cell) > 4 else None
    if kind == "e" and not formula:  # an error value exists only as a formula result here
        formula = {"#N/A": "NA()", "#DIV/0!": "1/0", "#VALUE!": '"a"+1'}[value]
    attrs = ""
    if formula:
        f = formula
        for col in "AB":
            for row in range(1, 10):
                f = f.replace("%s%d" % (col, row), "[.%s%d]" % (col, row))
        attrs += ' table:formula="of:=%s"' % xml_escape(f)
    if kind == "n":
        attrs += ' office:value-type="float" office:value="%r"' % float(value)
        text = repr(value)
    elif kind == "d":
        attrs += ' table:style-name="cdate" office:value-type="date" office:date-value="%s"' % value.isoformat()
        text = value.isoformat()
    elif kind == "s":
        attrs += ' office:value-type="string" office:string-value="%s"' % xml_escape(value)
        text = value
    elif kind == "b":
        attrs += ' office:value-type="boolean" office:boolean-value="%s"' % ("true" if value else "false")
        text = "TRUE" if value else "FALSE"
    elif kind == "e":
        attrs += ' office:value-type="string" office:string-value=""'
        text = value
    else:
        raise ValueError(kind)
    return "<table:table-cell%s><text:p>%s</text:p></table:table-cell>" % (attrs, xml_escape(text))


def ods_table(name, cells):
    rows = {}
    for cell in cells:
        rows.setdefault(cell[0], {})[cell[1]] = cell
    out = ['<table:table table:name="%s">' % xml_escape(name)]
    ncols = max([c[1] for c in cells] + [0]) + 1
    out.append('<table:table-column table:number-columns-repeated="%d"/>' % ncols)
    last = -1
    for r in sorted(rows):
        if r > last + 1:
            out.append('<table:table-row table:number-rows-repeated="%d"><table:table-cell/></table:table-row>' % (r - last - 1))
        out.append("<table:table-row>")
        lastc = -1
        for c in sorted(rows[r]):
            if c > lastc + 1:
                out.append('<table:table-cell table:number-columns-repeated="%d"/>' % (c - lastc - 1))
            out.append(ods_cell(rows[r][c]))
            lastc = c
        out.append("</table:table-row>")
        last = r
    if not cells:
        out.append("<table:table-row><table:table-cell/></table:table-row>")
    out.append("</table:table>")
    return "".join(out)


# A day.month.year date style for the date cells.
DATE_STYLES = """<number:date-style style:name="ndate"><number:day number:style="long"/><number:text>.</number:text>
<number:month number:style="long"/><number:text>.</number:text><number:year number:style="long"/></number:date-style>
<style:style style:name="cdate" style:family="table-cell" style:data-style-name="ndate"/>
"""


def write_source(path, sheets):
    write_ods(path, "".join(ods_table(n, c) for n, c in sheets),
              ("office", "table", "text", "style", "number", "of"), DATE_STYLES)


def office_sheets():
    return [("Prețuri", price_sheet()), ("Texte", text_sheet()), ("Formule", formula_sheet()),
            ("Mixt", mixed_sheet())]


def make_libreoffice(tmp):
    sheets = office_sheets()
    src = os.path.join(tmp, "lo_source.ods")
    write_source(src, sheets)
    shutil.copy(libreoffice_to_xls(src, tmp), os.path.join(HERE, "libreoffice_biff8.xls"))
    write_expected("libreoffice_biff8", "LibreOffice", sheets, adjust=libreoffice_adjust)


def libreoffice_adjust(cell, kind, value):
    # LibreOffice stores Boolean formula results as the numbers 1 and 0, and a string formula
    # computed from a cell reference with no cached result (numeric 0): what its file holds,
    # checked with xlrd.
    if len(cell) > 4 and kind == "bool":
        return "number", 1.0 if value else 0.0
    if len(cell) > 4 and kind == "string" and value and "A2" in cell[4]:
        return "number", 0.0
    return kind, value


def make_gnumeric(tmp):
    sheets = office_sheets()
    src = os.path.join(tmp, "gn_source.ods")
    write_source(src, sheets)
    gnumeric_to_xls(src, os.path.join(HERE, "gnumeric_biff8.xls"))
    write_expected("gnumeric_biff8", "Gnumeric", sheets)
    gnumeric_to_xls(src, os.path.join(HERE, "gnumeric_biff5_cp1250.xls"), biff5=True)
    write_expected("gnumeric_biff5_cp1250", "Gnumeric BIFF5 cp1250", sheets, adjust=cp1250_adjust,
                   sheet_names=[cp1250_adjust(None, "string", n)[1] for n, _ in sheets])


def cp1250_adjust(cell, kind, value):
    # Code page 1250 has the cedilla letters but not the comma-below ones, which ssconvert
    # writes as "?".
    if kind == "string":
        value = value.replace("ș", "?").replace("ț", "?").replace("Ș", "?").replace("Ț", "?")
    return kind, value


# ---------------------------------------------------------------------------------------------
# SheetJS, every BIFF version it writes.

SHEETJS = r"""
const XLSX = require('xlsx');
const spec = JSON.parse(require('fs').readFileSync(process.argv[2], 'utf8'));
for (const target of spec.targets) {
  const wb = XLSX.utils.book_new();
  for (const sh of spec.sheets) {
    const ws = {};
    let maxr = 0, maxc = 0;
    for (const [r, c, t, v, z] of sh.cells) {
      const cell = {t: t, v: v};
      if (z) cell.z = z;
      ws[XLSX.utils.encode_cell({r: r, c: c})] = cell;
      maxr = Math.max(maxr, r); maxc = Math.max(maxc, c);
    }
    ws['!ref'] = XLSX.utils.encode_range({s: {r: 0, c: 0}, e: {r: maxr, c: maxc}});
    XLSX.utils.book_append_sheet(wb, ws, sh.name);
  }
  XLSX.writeFile(wb, target.file, {bookType: target.bookType});
}
"""


def sheetjs_cells(cells):
    out = []
    for cell in cells:
        r, c, kind, value = cell[:4]
        if kind == "n":
            out.append([r, c, "n", value, None])
        elif kind == "d":
            out.append([r, c, "n", serial(value), "dd.mm.yyyy"])
        elif kind == "s":
            out.append([r, c, "s", value, None])
        elif kind == "b":
            out.append([r, c, "b", value, None])
        elif kind == "e":
            out.append([r, c, "e", ERRORS[value], None])
    return out


def run_sheetjs(tmp, sheets, targets):
    spec = {"sheets": [{"name": n, "cells": sheetjs_cells(c)} for n, c in sheets],
            "targets": targets}
    spec_path = os.path.join(tmp, "sheetjs.json")
    with open(spec_path, "w", encoding="utf-8") as f:
        json.dump(spec, f, ensure_ascii=False)
    script = os.path.join(tmp, "sheetjs.js")
    with open(script, "w") as f:
        f.write(SHEETJS)
    env = dict(os.environ)
    env.setdefault("NODE_PATH", os.path.join(os.getcwd(), "node_modules"))
    subprocess.run(["node", script, spec_path], check=True, env=env)


def make_sheetjs(tmp):
    # BIFF8 keeps every character; the older formats are single-sheet 8-bit files, so they get
    # the plain-text price list.
    sheets8 = [("Prețuri", price_sheet()), ("Texte", text_sheet()), ("Mixt", mixed_sheet())]
    run_sheetjs(tmp, sheets8, [{"file": os.path.join(HERE, "sheetjs_biff8.xls"), "bookType": "biff8"}])
    write_expected("sheetjs_biff8", "SheetJS", sheets8)
    sheets5 = [("Preturi", price_sheet(wide_text=False)), ("Mixt", mixed_sheet_ascii())]
    run_sheetjs(tmp, sheets5, [{"file": os.path.join(HERE, "sheetjs_biff5.xls"), "bookType": "biff5"}])
    write_expected("sheetjs_biff5", "SheetJS", sheets5)
    old = [("Preturi", price_sheet(wide_text=False)[:150])]
    for v in ("biff2", "biff3", "biff4"):
        run_sheetjs(tmp, old, [{"file": os.path.join(HERE, "sheetjs_%s.xls" % v), "bookType": v}])
        write_expected("sheetjs_" + v, "SheetJS", old, sheet_names=[])


def mixed_sheet_ascii():
    return [c if c[3] != "după goluri" else (c[0], c[1], c[2], "dupa goluri") for c in mixed_sheet()]


def check_with_xlrd():
    """Reads every fixture with xlrd and reports where it differs from the expected file."""
    import glob
    import xlrd
    bad = 0
    for path in sorted(glob.glob(os.path.join(HERE, "*.json"))):
        exp = json.load(open(path, encoding="utf-8"))
        book = xlrd.open_workbook(path[:-5] + ".xls")
        got = {}
        for si, sh in enumerate(book.sheets()):
            for r in range(sh.nrows):
                for c in range(sh.ncols):
                    cell = sh.cell(r, c)
                    kind = {1: "string", 2: "number", 3: "number", 4: "bool",
                            5: "string"}.get(cell.ctype)
                    value = cell.value
                    if cell.ctype == 5:
                        value = xlrd.error_text_from_code.get(value)
                    elif cell.ctype == 4:
                        value = bool(value)
                    if kind:
                        got[(si, r, c)] = [kind, value]
        names = [s.name for s in book.sheets()]
        if not exp["sheets"] and names == ["Sheet 1"]:  # xlrd's name for a plain file's sheet
            names = []
        problems = [] if names == exp["sheets"] else ["sheets %r" % names]
        for si, r, c, kind, value in exp["cells"]:
            if kind == "blank":
                continue
            g = got.pop((si, r, c), None)
            if g != [kind, value]:
                problems.append("%d/%d/%d: expected %r, xlrd %r" % (si, r, c, [kind, value], g))
        problems += ["%r: extra %r" % (k, v) for k, v in got.items()]
        print("%-28s %s" % (os.path.basename(path)[:-5], "ok" if not problems else
                            "%d differences" % len(problems)))
        for p in problems[:8]:
            print("    " + p)
        bad += bool(problems)
    return 1 if bad else 0


def main():
    if sys.argv[1:] == ["--check"]:
        return check_with_xlrd()
    with tempfile.TemporaryDirectory() as tmp:
        make_xlwt()
        make_sheetjs(tmp)
        make_libreoffice(tmp)
        make_gnumeric(tmp)
    return check_with_xlrd()


if __name__ == "__main__":
    sys.exit(main())
