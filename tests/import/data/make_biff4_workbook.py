#!/usr/bin/python3
"""Writes biff4_workbook.xls byte by byte: a BIFF4 workbook with a cover sheet and two price
sheets. Its globals name the sheets (BOUNDSHEET records holding only the name) and the position
of the first sheet (SHEETSOFFSET); each sheet's BOF follows a SHEETHDR record that gives the
sheet's name and the length of its substream, and the globals' EOF comes after the last sheet. The codes follow
the demo catalogue of company ALFA (article n: external code 1000 + n). Run from this folder:
    python3 make_biff4_workbook.py
"""
import struct


def record(rid, body=b""):
    return struct.pack("<HH", rid, len(body)) + body


def bof(kind):
    return record(0x0409, struct.pack("<HHH", 0, kind, 0))


def label(row, col, text):
    data = text.encode("cp1252")
    return record(0x0204, struct.pack("<HHHH", row, col, 0, len(data)) + data)


def number(row, col, value):
    return record(0x0203, struct.pack("<HHHd", row, col, 0, value))


def rk_integer(row, col, value):
    return record(0x027E, struct.pack("<HHHI", row, col, 0, (value << 2) | 2))


def sheet(cells):
    rows = [r for r, _, _ in cells]
    cols = [c for _, c, _ in cells]
    out = bof(0x0010)
    out += record(0x0200, struct.pack("<HHHHH", min(rows), max(rows) + 1, min(cols),
                                      max(cols) + 1, 0))
    out += record(0x0443, bytes(12))  # the one cell format, general, font 0
    for r, c, v in cells:
        if isinstance(v, str):
            out += label(r, c, v)
        elif isinstance(v, int):
            out += rk_integer(r, c, v)
        else:
            out += number(r, c, v)
    return out + record(0x000A)


sheets = [
    ("Coperta", [(0, 0, "Oferta de preturi")]),
    ("Electrice", [(0, 0, "Cod"), (0, 1, "Pret"), (1, 0, "1011"), (1, 1, 17.5),
                   (2, 0, 1012), (2, 1, 3), (4, 0, "1013"), (4, 1, "8.75")]),
    ("Sanitare", [(0, 0, "Cod"), (0, 1, "Pret"), (1, 0, 1014), (1, 1, 120.4),
                  (2, 0, "Z-9"), (2, 1, 1.0)]),
]
bodies = [sheet(cells) for _, cells in sheets]


def sheet_header(name, body):
    data = name.encode("cp1252")
    return record(0x008F, struct.pack("<IB", len(body), len(data)) + data)


def globals_head(first_sheet):
    out = bof(0x0100) + record(0x0042, struct.pack("<H", 1252))
    out += record(0x008E, struct.pack("<I", first_sheet))
    for name, _ in sheets:
        data = name.encode("cp1252")
        out += record(0x0085, struct.pack("<B", len(data)) + data)
    return out


head = globals_head(0)
head = globals_head(len(head))
with open("biff4_workbook.xls", "wb") as f:
    f.write(head)
    for (name, _), body in zip(sheets, bodies):
        f.write(sheet_header(name, body) + body)
    f.write(record(0x000A))
