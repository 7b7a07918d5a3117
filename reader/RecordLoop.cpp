// The record loop of Read: version tracking, substreams, worksheet selection, progress and the
// per-record error policy.
#include <algorithm>

#include "reader/Impl.h"

namespace reader {

using detail::kEncryptedMessage;

void TXLSRead::Read() {
  if (FImpl->stream) return;
  Open();
  try {
    FImpl->RunLoop();
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void TXLSRead::Impl::ResetTables() {
  TXLSRead& r = self;
  r.FPalette.clear();
  r.FFonts.clear();
  r.FXFRecords.clear();
  r.FFormats.clear();
  FormatsCleared();
  r.FNames.assign(1, TNameEntry{"<Np0>", 0});
  r.FExternNames.assign(1, "<Ep0>");
  r.FSheetNames.clear();
  r.FFirstCol = r.FLastCol = r.FFirstRow = r.FLastRow = 0;
  r.FSheetIndex = -1;
  r.FFileCodepage = 0;
  sharedFormulas.clear();
  fctx.Reset();
  fctx.SupBooks.clear();
  fctx.ExternSheets.clear();
  fctx.Version = r.FVersion;
  fctx.BookVersion = r.FBookVersion;
  fctx.FuncArgSeparator = r.FuncArgSeparator;
  fctx.StrTRUE = r.StrTRUE;
  fctx.StrFALSE = r.StrFALSE;
  byteText.SetCodepage(1252);
  fctx.Codepage = byteText.Codepage();
}

void TXLSRead::Impl::RunLoop() {
  TXLSRead& r = self;
  ResetTables();
  const std::uint64_t step = std::max<std::uint64_t>(1, r.FStreamSize / 100);
  std::uint64_t threshold = step;
  buf.assign(static_cast<std::size_t>(r.FMaxRecordSize), 0);
  sst.Clear();
  recordCount = 0;
  faulted = false;
  sheetHeaders = 0;
  skipFrom = ~std::uint64_t{0};
  for (;;) {
    ++recordCount;
    try {
      std::uint16_t id = 0, len = 0;
      if (stream->Position() == skipFrom) {
        stream->SeekTo(skipTo);
        skipFrom = ~std::uint64_t{0};
      }
      if (!stream->ReadHeader(id, len)) break;
      recordId = id;
      bool inMemory = false;
      if (id != rec::kSst) {
        if (len <= r.FMaxRecordSize) {
          if (stream->Read(buf.data(), len) != len) throw EXLSError("Unexpected end of the stream");
          inMemory = true;
        } else {
          stream->SeekBy(len);
        }
      }
      if (r.OnRecord) r.OnRecord(r, id, len, inMemory ? buf.data() : nullptr);
      if (!Dispatch(id, len, inMemory)) {
        if (!faulted) break;
        // An error noted rather than raised is handled as a raised one: no progress for it.
        faulted = false;
        if (!RecordFault(faultText)) break;
        continue;
      }
      if (r.OnProgress) {
        const std::uint64_t pos = stream->Position();
        if (pos >= threshold) {
          threshold += step;
          r.OnProgress(r, static_cast<int>(pos / step));
        }
      }
    } catch (const std::exception& e) {
      faulted = false;
      if (!RecordFault(OwnMessage(e))) break;
    }
  }
  // Errors met again after the reader was told to go on: once each, with the count.
  for (const auto& [text, count] : repeats.Counts())
    ShowError(text + "\rRepeated " + std::to_string(count) + " more times");
  repeats.Clear();
  sst.Clear();
  buf.clear();
  buf.shrink_to_fit();
  if (r.OnProgress) r.OnProgress(r, 100);
  ApplyPalette();
  renumbering.ResolveAll(r.FXFRecords);  // the tables stay as the last BOF left them
}

bool TXLSRead::Impl::RecordFault(const std::string& what) {
  TXLSRead& r = self;
  if (r.ErrorLevel == xelException) {
    ShowError(what);
    return false;
  }
  return r.ErrorLevel != xelMessage || repeats.Seen(what) ||
         AskContinue(what + "\rRec# " + std::to_string(recordCount) + "\rContinue?");
}

bool TXLSRead::Impl::Dispatch(std::uint16_t id, std::uint16_t len, bool inMemory) {
  TXLSRead& r = self;
  if (rec::IsBof(id)) {
    if (!inMemory) throw EXLSError("BOF record is too long");
    return HandleBof(id, len) && !faulted;
  }
  switch (id) {
    case rec::kEof:
      if (r.FSheetIndex < 0) return true;
      return r.FSheetIndex < static_cast<int>(r.FSheetNames.size()) - 1;
    case rec::kFilePass:
      // Everything after it is ciphertext: reading stops here whatever the error level, and
      // the message is shown once, as an error rather than a question.
      encrypted = true;
      if (r.ErrorLevel != xelIgnore) ShowError(kEncryptedMessage);
      return false;
    case rec::kMsoDrawingGroup:
    case rec::kMsoDrawing: {
      // Drawing data runs on in CONTINUE records; none of it is used.
      std::uint16_t cid = 0, clen = 0;
      for (;;) {
        if (!stream->ReadHeader(cid, clen)) break;
        if (cid != rec::kContinue) {
          stream->SeekBy(-4);
          break;
        }
        stream->SeekBy(clen);
      }
      return true;
    }
    case rec::kSst:
      if (detail::ReadSharedStrings(*stream, len, r.FCodepage, sst, faultText)) return true;
      faulted = true;  // the table's message is in faultText
      return false;
    case rec::kExternSheet:
    case rec::kName2:
    case rec::kName:
    case rec::kExternName2:
    case rec::kExternName:
    case rec::kFont:
    case rec::kFont3:
    case rec::kCodepage:
    case rec::kBoundSheet:
    case rec::kPalette:
    case rec::kXf:
    case rec::kXf3:
    case rec::kXf4:
    case rec::kFormat:
    case rec::kSupBook:
    case rec::kFormat2:
      if (!inMemory) throw EXLSError("Record is longer than the record buffer");
      // A full table is the one error a file can repeat for every record it holds: handled
      // without an exception, so that such a file costs what reading its records costs.
      if (std::string full = TableFull(id); !full.empty()) return RecordFault(full);
      HandleGlobals(id, len);
      return !faulted;
    case rec::kSheetHeader4:
      if (!workbook4) {
        if (r.OnUnhandled) r.OnUnhandled(r, id, len, inMemory ? buf.data() : nullptr);
        return true;
      }
      if (!inMemory) throw EXLSError("Record is longer than the record buffer");
      // A full table is the one error a file can repeat for every record it holds: handled
      // without an exception, so that such a file costs what reading its records costs.
      if (std::string full = TableFull(id); !full.empty()) return RecordFault(full);
      HandleGlobals(id, len);
      return !faulted;
    case rec::kInteger2:
    case rec::kNumber2:
    case rec::kLabel2:
    case rec::kBoolErr2:
    case rec::kFormula:
    case rec::kColInfo:
    case rec::kRkLegacy:
    case rec::kRk:
    case rec::kShrFmla2:
    case rec::kShrFmla:
    case rec::kMulRk:
    case rec::kMulBlank:
    case rec::kRString:
    case rec::kLabelSst:
    case rec::kDimensions:
    case rec::kBlank:
    case rec::kNumber:
    case rec::kLabel:
    case rec::kBoolErr:
    case rec::kFormula3:
    case rec::kFormula4:
    case rec::kRow:
      if (!inMemory) throw EXLSError("Record is longer than the record buffer");
      HandleCell(id, len);
      return !faulted;
    default:
      if (r.OnUnhandled) r.OnUnhandled(r, id, len, inMemory ? buf.data() : nullptr);
      return true;
  }
}

bool TXLSRead::Impl::HandleBof(std::uint16_t id, std::uint16_t len) {
  TXLSRead& r = self;
  const platform::ByteView b = detail::RecordBody(id, buf.data(), len);
  if (Short(id, b, 4)) return true;
  const std::uint16_t version = b.U16(0);
  const std::uint16_t type = b.U16(2);
  if (version == rec::kBiff5) {
    r.FVersion = 5;
    r.FMaxRecordSize = 2080;
  } else if (version == rec::kBiff8) {
    r.FVersion = 6;
    r.FMaxRecordSize = 8224;
  }
  buf.resize(static_cast<std::size_t>(r.FMaxRecordSize), 0);
  fctx.Version = r.FVersion;
  if (type == rec::kGlobals) {
    r.FBookVersion = r.FVersion;
    fctx.BookVersion = r.FBookVersion;
    return true;
  }
  if (type == rec::kWorksheet) {
    sharedFormulas.clear();
    if (r.FVersion <= 3) {
      // BIFF2-BIFF4: a worksheet substream carries its own FORMAT and XF records after its BOF,
      // and its XF records name formats by position, so nothing is renumbered.
      r.FXFRecords.clear();
      r.FFormats.clear();
      FormatsCleared();
    }
    // Format numbers of the XF records point at Formats positions from here on.
    renumbering.Bof(r.FXFRecords, r.FFormats, stream->Position());
    ++r.FSheetIndex;
    bool readIt = r.FSheetIndex == 0;
    if (r.OnSheet) {
      if (static_cast<std::size_t>(r.FSheetIndex) >= r.FSheetNames.size())
        return Fault(detail::ListIndexError(r.FSheetIndex));
      text = r.FSheetNames[static_cast<std::size_t>(r.FSheetIndex)].Name;
      r.OnSheet(r, text, r.FSheetIndex, readIt);
    }
    if (readIt) return true;
    if (workbook4 && r.FSheetIndex < static_cast<int>(r.FSheetNames.size()) - 1) {
      // The next sheet's place is known only from its SHEETHDR, which follows this sheet.
      detail::SkipToSubstreamEnd(*stream);
      return true;
    }
    if (r.FSheetIndex < static_cast<int>(r.FSheetNames.size()) - 1) {
      // Sheets follow each other in the stream; an offset that points back would read the
      // same records again and again, so the reading ends there.
      const std::uint64_t next = r.FSheetNames[static_cast<std::size_t>(r.FSheetIndex) + 1].Offset;
      if (next < stream->Position()) return false;
      stream->SeekTo(next);
      return true;
    }
    return false;
  }
  // Chart, macro, module or workspace substream: passed over up to the next BOF.
  std::uint16_t sid = 0, slen = 0;
  while (stream->ReadHeader(sid, slen)) {
    if (rec::IsBof(sid)) {
      stream->SeekBy(-4);
      break;
    }
    stream->SeekBy(slen);
  }
  return true;
}

}  // namespace reader
