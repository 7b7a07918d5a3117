// The lookup's pass over the workbook globals: the sheet list, the shared strings and the code
// page, kept as the decisions a fresh pass would take, so every lookup of one Open replays
// them instead of reading the globals again.
#include <algorithm>

#include "platform/ByteView.h"
#include "reader/CellRecord.h"
#include "reader/LookupPasses.h"
#include "reader/RecordIds.h"

namespace reader::detail {

std::unique_ptr<GlobalsPass> PassGlobals(RecordStream& s, int version, int maxRecordSize,
                                         int codepage, bool workbook4) {
  auto g = std::make_unique<GlobalsPass>();
  g->start = s.Position();
  g->version = version;
  g->maxRecordSize = maxRecordSize;
  g->codepage = codepage;
  g->effectiveVersion = version;
  g->effectiveMaxRecordSize = maxRecordSize;
  std::uint8_t head[8];
  // Sheets are named by 16-bit indexes: later BOUNDSHEET records cost no memory.
  constexpr std::size_t kMaxSheets = 0x10000;
  std::size_t sheets = 0;
  for (;;) {
    std::uint16_t id = 0, len = 0;
    if (!s.ReadHeader(id, len)) {
      g->events.push_back({GlobalsPass::Event::End, false, 0, s.Position(), 0});
      return g;
    }
    if (rec::IsBof(id) && len >= 2 && len <= maxRecordSize) {
      s.Read(head, 2);
      s.SeekBy(len - 2);
      if (platform::LoadU16(head) == rec::kBiff8) {
        g->effectiveVersion = 6;
        maxRecordSize = g->effectiveMaxRecordSize = 8224;
      }
    } else if (workbook4 && id == rec::kSheetHeader4) {
      // The sheet's BOF follows; its records belong to the sheet, not to the globals.
      s.SeekBy(len);
      const std::uint64_t at = s.Position();
      g->events.push_back({GlobalsPass::Event::Sheet, false,
                           static_cast<std::uint32_t>(std::min<std::uint64_t>(at, ~0u)), at, 0});
      std::uint16_t bid = 0, blen = 0;
      if (s.ReadHeader(bid, blen) && rec::IsBof(bid)) {
        s.SeekBy(blen);
        SkipToSubstreamEnd(s);
      } else {
        s.SeekTo(at);
      }
    } else if (workbook4 && id == rec::kBoundSheet) {
      s.SeekBy(len);  // a name only
    } else if (id == rec::kBoundSheet && sheets >= kMaxSheets) {
      s.SeekBy(len);  // no sheet index names it (the record loop keeps as many)
    } else if (id == rec::kBoundSheet) {
      ++sheets;
      // A BOUNDSHEET body longer than the buffer keeps the offset of nothing: take it as 0.
      std::uint32_t offset = 0;
      if (len <= maxRecordSize && len >= 4) {
        s.Read(head, 4);
        offset = platform::LoadU32(head);
        s.SeekBy(len - 4);
      } else {
        s.SeekBy(len);
      }
      g->events.push_back({GlobalsPass::Event::Sheet, false, offset, s.Position(), 0});
    } else if (id == rec::kSst) {
      bool failed = false;
      try {
        failed = !ReadSharedStrings(s, len, codepage, g->sst, g->error);
      } catch (const std::exception& e) {
        g->error = e.what();
        failed = true;
      }
      const std::size_t n = g->events.size();
      // The middle of a run of SST events is replaced; see GlobalsPass::events.
      if (n >= 2 && g->events[n - 1].kind == GlobalsPass::Event::Sst &&
          g->events[n - 2].kind == GlobalsPass::Event::Sst)
        g->events.pop_back();
      g->events.push_back({GlobalsPass::Event::Sst, failed, 0, s.Position(), g->sst.Count()});
      if (failed) return g;  // no lookup from this start gets past this point
    } else if (id == rec::kEof) {
      g->events.push_back({GlobalsPass::Event::Eof, false, 0, s.Position(), 0});
      g->globalsEnd = s.Position();
      return g;
    } else if (id == rec::kCodepage && len >= 2 && len <= maxRecordSize) {
      s.Read(head, 2);
      g->byteText.SetCodepage(TextCodepage(platform::LoadU16(head)));
      s.SeekBy(len - 2);
    } else {
      s.SeekBy(len);
    }
  }
}

}  // namespace reader::detail
