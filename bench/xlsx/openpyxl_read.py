"""Peer reader for the benchmark: every cell of every sheet with openpyxl in read-only mode."""
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1], read_only=True, data_only=True)
cells = 0
for sheet in book.worksheets:
    for row in sheet.iter_rows(values_only=True):
        for v in row:
            if v is not None:
                cells += 1
print(cells, "cells")
