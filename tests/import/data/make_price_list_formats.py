#!/usr/bin/python3
"""Writes one price list as LibreOffice saves it in three formats: price_list.xls, .xlsx and
.csv (";" between fields, UTF-8, numbers as shown under the Romanian locale, "12,50").

The source is a flat OpenDocument spreadsheet written here (Romanian as the document's language,
prices with two decimals); LibreOffice (soffice, headless) converts it. Run from this folder:
    python3 make_price_list_formats.py
"""
import os
import shutil
import subprocess
import tempfile

ROWS = [
    ("Lista de preturi Electro SRL", None, None),
    ("Cod", "Pret", "Denumire"),
    (1001, 12.5, "Bec LED ă"),
    ("1002", 7.25, "Priză dublă ș"),
    (None, None, None),
    (1004, 3.5, "Întrerupător ț"),
    (9999, 5, "Articol nou Î"),
    (1006, 41, "Cablu; 3x1,5 \"plat\""),
]


def cell(v, price=False):
    if v is None:
        return "<table:table-cell/>"
    if isinstance(v, str):
        text = v.replace("&", "&amp;").replace("<", "&lt;").replace('"', "&quot;")
        return ('<table:table-cell office:value-type="string"><text:p>%s</text:p>'
                "</table:table-cell>" % text)
    style = ' table:style-name="pret"' if price else ""
    return ('<table:table-cell%s office:value-type="float" office:value="%r"><text:p>%s</text:p>'
            "</table:table-cell>" % (style, v, v))


def fods():
    rows = "".join("<table:table-row>%s</table:table-row>" %
                   "".join(cell(v, price=(c == 1)) for c, v in enumerate(r)) for r in ROWS)
    return """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:styles>
 <style:default-style style:family="table-cell">
  <style:text-properties fo:language="ro" fo:country="RO"/>
 </style:default-style>
 <number:number-style style:name="N2" number:language="ro" number:country="RO">
  <number:number number:decimal-places="2" number:min-integer-digits="1"/>
 </number:number-style>
</office:styles>
<office:automatic-styles>
 <style:style style:name="pret" style:family="table-cell" style:data-style-name="N2"/>
</office:automatic-styles>
<office:body><office:spreadsheet><table:table table:name="Preturi">%s</table:table>
</office:spreadsheet></office:body></office:document>
""" % rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    tmp = tempfile.mkdtemp()
    try:
        src = os.path.join(tmp, "price_list.fods")
        with open(src, "w", encoding="utf-8") as f:
            f.write(fods())
        for target in ["xls:MS Excel 97", "xlsx:Calc MS Excel 2007 XML",
                       "csv:Text - txt - csv (StarCalc):59,34,76,1"]:
            subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + tmp + "/u",
                            "--convert-to", target, "--outdir", tmp, src], check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            ext = target.split(":")[0]
            shutil.copy(os.path.join(tmp, "price_list." + ext), os.path.join(here, "price_list." + ext))
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
