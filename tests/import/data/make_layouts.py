#!/usr/bin/python3
"""Writes the supplier-shaped price lists of the layout tests, each by a real program.

The catalogue they match is the import tests' own: articles 1..7 with the external codes
1001..1007, the internal codes A1..A7 and the names below. LibreOffice writes the lists
described as flat OpenDocument, Gnumeric's ssconvert writes one from a CSV file, xlwt writes
the one with a hidden first sheet and a cover sheet. Run from this folder:
    /usr/bin/python3 make_layouts.py
"""
import csv
import os
import shutil
import subprocess
import tempfile
from xml.sax.saxutils import escape

import xlwt

NAMES = ["Bec LED", "Cheie fixă", "Priză", "Doză", "Robinet", "Sifon", "Bandă"]
PRICES = [12.5, 7.25, 100.0, 3.4, 58.9, 19.99, 4.05]


def cell(value, span=1):
    extra = ' table:number-columns-spanned="%d"' % span if span > 1 else ''
    if isinstance(value, (int, float)):
        return ('<table:table-cell%s office:value-type="float" office:value="%r">'
                '<text:p>%s</text:p></table:table-cell>' % (extra, value, value))
    if value is None:
        return '<table:table-cell/>'
    return ('<table:table-cell%s office:value-type="string"><text:p>%s</text:p>'
            '</table:table-cell>' % (extra, escape(value)))


def row(cells):
    out = []
    for c in cells:
        if isinstance(c, tuple):  # (text, span): a merged cell and the cells it covers
            out.append(cell(c[0], c[1]))
            out.append('<table:covered-table-cell/>' * (c[1] - 1))
        else:
            out.append(cell(c))
    return '<table:table-row>%s</table:table-row>' % (''.join(out) or '<table:table-cell/>')


def document(sheets):
    body = ''.join('<table:table table:name="%s">%s</table:table>'
                   % (escape(name), ''.join(row(r) for r in rows)) for name, rows in sheets)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2" '
            'office:mimetype="application/vnd.oasis.opendocument.spreadsheet">'
            '<office:body><office:spreadsheet>%s</office:spreadsheet></office:body>'
            '</office:document>\n' % body)


def libreoffice(sheets, out_path, work):
    fods = os.path.join(work, "list.fods")
    with open(fods, "w", encoding="utf-8") as f:
        f.write(document(sheets))
    profile = tempfile.mkdtemp(prefix="lo-profile-")
    try:
        subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless",
                        "--convert-to", "xls:MS Excel 97", "--outdir", work, fods],
                       check=True, stdout=subprocess.DEVNULL)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    os.replace(os.path.join(work, "list.xls"), out_path)


def title_block():
    """A title block with a merged title above the header on row 5; codes by external code."""
    rows = [[("SC FEROMETAL SRL - Lista de preturi", 5)], ["Valabila din 01.03.2026"],
            [None], ["Nr. crt", "Cod articol", "Denumire", "UM", "Preț vânzare (lei)"]]
    rows.insert(3, [None])
    for n in range(7):
        rows.append([n + 1, str(1001 + n), NAMES[n], "buc", PRICES[n]])
    return [("Lista", rows)]


def supplier_codes():
    """The supplier's own codes, which the catalogue does not know, beside the names."""
    rows = [["Cod furnizor", "Denumire produs", "Pret lista", "Pret unitar"]]
    for n in range(7):
        rows.append(["FX-%03d" % n, NAMES[n], PRICES[n], round(PRICES[n] * 0.9, 2)])
    return [("Oferta", rows)]


def no_header():
    return [("Date", [[str(1001 + n), NAMES[n], PRICES[n]] for n in range(7)])]


def gnumeric_capitals(out_path, work):
    """Capitals with diacritics, two price columns (without and with VAT), internal codes."""
    path = os.path.join(work, "capitals.csv")
    with open(path, "w", encoding="utf-8", newline="") as f:
        w = csv.writer(f)
        w.writerow(["COD PRODUS", "DENUMIRE", "PREȚ FĂRĂ TVA", "PREȚ CU TVA"])
        for n in range(7):
            w.writerow(["A%d" % (n + 1), NAMES[n], PRICES[n], round(PRICES[n] * 1.19, 2)])
    subprocess.run(["ssconvert", "--export-type=Gnumeric_Excel:excel_biff8", path, out_path],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def xlwt_english(out_path):
    """A hidden first sheet, a cover sheet, then English headers with a list price."""
    book = xlwt.Workbook(encoding="utf-8")
    hidden = book.add_sheet("Setari")
    hidden.visibility = 1
    for c, v in enumerate(["moneda", "RON", "curs", 4.97, "tva"]):
        hidden.write(0, c, v)
    cover = book.add_sheet("Coperta")
    cover.write(0, 0, "Oferta de pret 2026")
    cover.write(2, 0, "Contact: vanzari@example.com")
    prices = book.add_sheet("Prices")
    prices.write(1, 0, "Price list")
    for c, v in enumerate(["Item", "Description", "Unit price", "List price", "Stock"]):
        prices.write(2, c, v)
    for n in range(7):
        prices.write(3 + n, 0, 1001 + n)  # codes as numbers
        prices.write(3 + n, 1, NAMES[n])
        prices.write(3 + n, 2, round(PRICES[n] * 0.8, 2))
        prices.write(3 + n, 3, PRICES[n])
        prices.write(3 + n, 4, 10 + n)
    book.save(out_path)


def rule_cases():
    """Prices that round half-way, a zero and a negative price, for the price rule."""
    rows = [["Cod", "Pret"], ["1001", 12.345], ["1002", 10.025], ["1003", 0],
            ["1004", -5], ["1005", 9.995], ["1006", 0.3], ["1007", 12.5]]
    return [("Reguli", rows)]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    work = tempfile.mkdtemp(prefix="layout-workbooks-")
    try:
        libreoffice(title_block(), os.path.join(here, "layout_title_block.xls"), work)
        libreoffice(supplier_codes(), os.path.join(here, "layout_supplier_codes.xls"), work)
        libreoffice(no_header(), os.path.join(here, "layout_no_header.xls"), work)
        libreoffice(rule_cases(), os.path.join(here, "rule_cases.xls"), work)
        gnumeric_capitals(os.path.join(here, "layout_capitals.xls"), work)
        xlwt_english(os.path.join(here, "layout_english.xls"))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
