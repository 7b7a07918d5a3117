/* Peer reader for the benchmark: reads every cell of every worksheet with FreeXL and prints
   how many it saw, so the work cannot be skipped. */
#include <freexl.h>
#include <stdio.h>

int main(int argc, char** argv) {
  const void* handle = NULL;
  unsigned int sheets = 0, s, rows, r;
  unsigned short cols, c;
  unsigned long long cells = 0, bytes = 0;
  if (argc != 2) return 2;
  if (freexl_open(argv[1], &handle) != FREEXL_OK) {
    fprintf(stderr, "freexl cannot open %s\n", argv[1]);
    freexl_close(handle);
    return 1;
  }
  freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets);
  for (s = 0; s < sheets; ++s) {
    if (freexl_select_active_worksheet(handle, (unsigned short)s) != FREEXL_OK) continue;
    if (freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK) continue;
    for (r = 0; r < rows; ++r) {
      for (c = 0; c < cols; ++c) {
        FreeXL_CellValue v;
        if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK) continue;
        if (v.type == FREEXL_CELL_NULL) continue;
        ++cells;
        if (v.type == FREEXL_CELL_TEXT || v.type == FREEXL_CELL_SST_TEXT) bytes += v.value.text_value[0];
      }
    }
  }
  freexl_close(handle);
  printf("%llu cells %llu\n", cells, bytes);
  return 0;
}
