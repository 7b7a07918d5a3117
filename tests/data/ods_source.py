"""The OpenDocument spreadsheet the fixture scripts write as their source, and the programs that
convert it to .xls (LibreOffice and Gnumeric)."""
import os
import subprocess
import zipfile

NAMESPACES = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "number": "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0",
    "of": "urn:oasis:names:tc:opendocument:xmlns:of:1.2",
}

MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">
<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>
<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
</manifest:manifest>
"""


def escape(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def write_ods(path, spreadsheet, prefixes=("office", "table", "text", "of"), styles=""):
    """Writes the package at `path`: `spreadsheet` is the XML inside <office:spreadsheet>,
    `prefixes` the namespaces it uses, `styles` the inside of <office:automatic-styles>."""
    declared = "\n ".join('xmlns:%s="%s"' % (p, NAMESPACES[p]) for p in prefixes)
    if styles:
        styles = "<office:automatic-styles>\n%s</office:automatic-styles>\n" % styles
    content = """<?xml version="1.0" encoding="UTF-8"?>
<office:document-content %s office:version="1.2">
%s<office:body><office:spreadsheet>%s</office:spreadsheet></office:body></office:document-content>
""" % (declared, styles, spreadsheet)
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
        z.writestr("content.xml", content, compress_type=zipfile.ZIP_DEFLATED)
        z.writestr("META-INF/manifest.xml", MANIFEST, compress_type=zipfile.ZIP_DEFLATED)


def libreoffice_to_xls(src, tmp):
    """Converts `src` to BIFF8 in the folder `tmp` (with a fresh profile there); returns the path
    of the .xls."""
    profile = "file://" + os.path.join(tmp, "lo-profile")
    subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to",
                    "xls:MS Excel 97", "--outdir", tmp, src], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(tmp, os.path.splitext(os.path.basename(src))[0] + ".xls")


def gnumeric_to_xls(src, dst, biff5=False):
    """Converts `src` to BIFF8, or to BIFF5 whose 8-bit text is in the code page of the writer's
    locale: 1250 under Romanian."""
    if not biff5:
        subprocess.run(["ssconvert", "-T", "Gnumeric_Excel:excel_biff8", src, dst], check=True,
                       stderr=subprocess.DEVNULL)
        return
    env = dict(os.environ, LANG="ro_RO.UTF-8", LC_ALL="ro_RO.UTF-8")
    subprocess.run(["ssconvert", "-T", "Gnumeric_Excel:excel_biff7", src, dst], check=True,
                   env=env, stderr=subprocess.DEVNULL)
