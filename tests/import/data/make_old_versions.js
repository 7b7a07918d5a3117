#!/usr/bin/env node
// Writes the price lists of the older .xls generations with SheetJS (npm package xlsx):
// plain BIFF2, BIFF3 and BIFF4 worksheet files, and a bare BIFF8 workbook stream taken out of
// SheetJS's own compound file. Codes and names follow the demo catalogue of company ALFA
// (article n: external code 1000 + n). Run from this folder:
//     NODE_PATH=/path/to/node_modules node make_old_versions.js
const fs = require('fs');
const XLSX = require('xlsx');
const CFB = require('cfb');

// Article 2 is typed as a number, article 3 as text; the row after article 3 is empty; the
// price sits in the third column, beyond the second column that only the header fills.
const rows = [
  ['Cod', 'Denumire', 'Pret'],
  [1002, 'Siguranță automată 16A (2)', 21.5],
  ['1003', 'Cablu MYF 2,5mm (3)', 30.25],
  [],
  [1004, 'Doză aparentă (4)', 44],
  [9999, 'Articol necunoscut', 1],
  [1006, 'Priză dublă Schuko (6)', 'la cerere'],
];

function book() {
  const wb = XLSX.utils.book_new();
  XLSX.utils.book_append_sheet(wb, XLSX.utils.aoa_to_sheet(rows), 'Lista');
  return wb;
}

for (const type of ['biff2', 'biff3', 'biff4']) {
  fs.writeFileSync('old_' + type + '.xls', XLSX.write(book(), {bookType: type, type: 'buffer'}));
}

// BIFF8 as a plain file: the workbook stream without its compound file.
const wb = book();
XLSX.utils.book_append_sheet(wb, XLSX.utils.aoa_to_sheet([['Cod', 'Denumire', 'Pret'],
                                                          [1010, 'Sifon chiuvetă (10)', 9.5]]),
                             'Doi');
const container = CFB.read(XLSX.write(wb, {bookType: 'biff8', type: 'buffer'}), {type: 'buffer'});
const stream = CFB.find(container, 'Workbook');
fs.writeFileSync('bare_biff8.xls', Buffer.from(stream.content));
