#!/usr/bin/env python3
"""Writes the sample supplier price lists of the demo data root.

The sheets are described here as a flat OpenDocument spreadsheet and saved as .xls by a real
spreadsheet program (LibreOffice writes the BIFF8 file; Gnumeric's ssconvert turns LibreOffice's BIFF8 copy of
the second list into BIFF5, which LibreOffice no longer writes). The article
codes follow the demo catalogue of company ALFA: article n (1..300) has the external code
1000 + n and the internal code "A" + n in five digits. Run from this folder:
    python3 make_workbooks.py
"""
import os
import shutil
import subprocess
import tempfile
from xml.sax.saxutils import escape

NAMES = ["Bec LED 9W E27", "Prelungitor 5 prize", "Siguranță automată 16A",
         "Cablu MYF 2,5mm", "Doză aparentă", "Întrerupător simplu", "Priză dublă Schuko",
         "Tub PVC 20mm", "Robinet colțar 1/2", "Baterie lavoar", "Sifon chiuvetă",
         "Țeavă PPR 25mm", "Vopsea lavabilă albă", "Diluant nitro 1L", "Șurubelniță plată",
         "Ciocan 500g", "Bandă izolatoare", "Dibluri 8mm", "Silicon sanitar", "Lampă de veghe"]


def price_of(n):
    return round(4.5 + (n * 37) % 480 + (n % 100) / 100.0, 2)


def cell(value):
    if isinstance(value, (int, float)):
        return ('<table:table-cell office:value-type="float" office:value="%r">'
                '<text:p>%s</text:p></table:table-cell>' % (value, value))
    return ('<table:table-cell office:value-type="string"><text:p>%s</text:p>'
            '</table:table-cell>' % escape(value))


def sheet(name, rows):
    out = ['<table:table table:name="%s">' % escape(name)]
    if not rows:
        out.append('<table:table-row><table:table-cell/></table:table-row>')
    for row in rows:
        cells = ''.join(cell(v) for v in row) or '<table:table-cell/>'
        out.append('<table:table-row>%s</table:table-row>' % cells)
    out.append('</table:table>')
    return '\n'.join(out)


def document(sheets):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2" '
            'office:mimetype="application/vnd.oasis.opendocument.spreadsheet">\n'
            '<office:body><office:spreadsheet>\n%s\n</office:spreadsheet></office:body>'
            '</office:document>\n' % '\n'.join(sheets))


def lei_list():
    """Three sheets of local-currency prices by external code, header on row 1."""
    header = ["Cod", "Denumire", "Pret", "UM"]
    sheets = []
    for title, first, last in (("Electrice", 1, 60), ("Sanitare", 61, 110), ("Diverse", 111, 150)):
        rows = [header]
        for n in range(first, last + 1):
            code = 1000 + n
            ident = str(code) if n % 3 == 0 else code      # some codes typed as text
            price = price_of(n)
            if n % 7 == 0:
                price = "%.2f" % price                      # a price typed as text "12.50"
            rows.append([ident, "%s (%d)" % (NAMES[n % len(NAMES)], n), price, "buc"])
        sheets.append((title, rows))
    # Lines a supplier list really holds: unknown codes and prices that are no numbers.
    sheets[2][1].extend([[9999, "Articol nou furnizor", 15.0, "buc"],
                         ["X-100", "Cod necunoscut", "la cerere", "buc"],
                         [1000 + 141, "Pret cu puncte", "12.345.678", "buc"],
                         [1000 + 145, "Pret cu virgula", "1.234,56", "buc"]])
    return [sheet(t, r) for t, r in sheets]


def valuta_list():
    """One sheet of foreign-currency prices by internal code, prices from row 3."""
    rows = [["Lista preturi EUR", "", ""], ["Denumire", "Cod intern", "Pret EUR"]]
    for n in range(200, 241):
        rows.append(["%s (%d)" % (NAMES[n % len(NAMES)], n), "A%05d" % n,
                     round(price_of(n) / 4.97, 2)])
    rows.append(["Necunoscut", "Z00001", 3.5])
    return [sheet("Valuta", rows)]


def test_workbooks():
    """Small workbooks with known content for the import tests (tests/import/data)."""
    run_cases = [
        sheet("Pagina1", [["Cod", "Pret"],
                          [1001, 12.5],            # a number cell identifier
                          ["1002", "7.25"],        # a text price with a decimal point
                          ["9999", "12.345.678"],  # unknown article and a bad price
                          ["1003", "1.234,56"],    # a bad price only
                          [],                      # an empty row ends the sheet
                          ["1004", 5]]),
        sheet("Pagina2", [["Cod", "Pret"], ["1005", 100], ["1006", 200.75]]),
        sheet("Pagina3", [["Cod", "Pret"], ["X-1", 1], ["1007", "0,5"]]),
    ]
    empty_first = [sheet("Gol", []), sheet("Preturi", [["Cod", "Pret"], ["1001", 10]])]
    narrow_first = [sheet("Ingust", [["1001", 11], ["1002", 12]]),
                    sheet("Lat", [["a", "b", "1003", 13]])]
    return [("run_cases", run_cases, "run_cases.xls"),
            ("empty_first", empty_first, "empty_first_sheet.xls"),
            ("narrow_first", narrow_first, "narrow_first_sheet.xls")]


def convert(fods, target_dir, filter_name, out_name):
    profile = tempfile.mkdtemp(prefix="lo-profile-")
    try:
        subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless",
                        "--convert-to", "xls:" + filter_name, "--outdir", target_dir, fods],
                       check=True, stdout=subprocess.DEVNULL)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    produced = os.path.join(target_dir, os.path.splitext(os.path.basename(fods))[0] + ".xls")
    os.replace(produced, os.path.join(target_dir, out_name))


def to_biff5(xls, out_path):
    subprocess.run(["ssconvert", "--export-type=Gnumeric_Excel:excel_biff7", xls, out_path],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    work = tempfile.mkdtemp(prefix="demo-workbooks-")
    try:
        for name, sheets, out, biff5 in (
                ("lei", lei_list(), "Preturi furnizor.xls", False),
                ("valuta", valuta_list(), "Preturi valuta BIFF5.xls", True)):
            fods = os.path.join(work, name + ".fods")
            with open(fods, "w", encoding="utf-8") as f:
                f.write(document(sheets))
            convert(fods, work, "MS Excel 97", name + "-biff8.xls")
            produced = os.path.join(work, name + "-biff8.xls")
            if biff5:
                to_biff5(produced, os.path.join(here, out))
            else:
                shutil.copy(produced, os.path.join(here, out))
        tests = os.path.join(here, "..", "..", "import", "data")
        os.makedirs(tests, exist_ok=True)
        for name, sheets, out in test_workbooks():
            fods = os.path.join(work, name + ".fods")
            with open(fods, "w", encoding="utf-8") as f:
                f.write(document(sheets))
            convert(fods, work, "MS Excel 97", name + "-biff8.xls")
            shutil.copy(os.path.join(work, name + "-biff8.xls"), os.path.join(tests, out))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
