// Peer reader for the benchmark: every cell of every sheet with SheetJS (npm package xlsx,
// found through NODE_PATH).
const XLSX = require('xlsx');

const book = XLSX.readFile(process.argv[2]);
let cells = 0;
for (const name of book.SheetNames) {
  const sheet = book.Sheets[name];
  for (const key in sheet) {
    if (key[0] !== '!' && sheet[key].v !== undefined) ++cells;
  }
}
console.log(cells + ' cells');
