// The record loop of Read: version tracking, substreams, worksheet selection, progress and the
// per-record error policy.
#include <algorithm>

#include "reader/Impl.h"

namespace reader {

using detail::U16;
using detail::U32;

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
  r.FNames.assign(1, TNameEntry{"<Np0>", 0});
  r.FExternNames.assign(1, "<Ep0>");
  r.FSheetNames.clear();
  r.FFirstCol = r.FLastCol = r.FFirstRow = r.FLastRow = 0;
  r.FSheetIndex = -1;
  r.FFileCodepage = 0;
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
      bool inMemory = false;
      if (id != 0x00FC) {
        if (len <= r.FMaxRecordSize) {
          if (stream->Read(buf.data(), len) != len) throw EXLSError("Unexpected end of the stream");
          inMemory = true;
        } else {
          stream->SeekBy(len);
        }
      }
      if (r.OnRecord) r.OnRecord(r, id, len, inMemory ? buf.data() : nullptr);
      if (!Dispatch(id, len, inMemory)) break;
      if (r.OnProgress) {
        const std::uint64_t pos = stream->Position();
        if (pos >= threshold) {
          threshold += step;
          r.OnProgress(r, static_cast<int>(pos / step));
        }
      }
    } catch (const std::exception& e) {
      if (r.ErrorLevel == xelException) {
        ShowError(e.what());
        break;
      }
      if (r.ErrorLevel == xelMessage && !AskContinue(std::string(e.what()) + "\rRec# " +
                                                     std::to_string(recordCount) + "\rContinue?"))
        break;
    }
  }
  sst.Clear();
  buf.clear();
  buf.shrink_to_fit();
  if (r.OnProgress) r.OnProgress(r, 100);
  ApplyPalette();
}

bool TXLSRead::Impl::Dispatch(std::uint16_t id, std::uint16_t len, bool inMemory) {
  TXLSRead& r = self;
  if ((id & 0xFF) == 0x09) {
    if (!inMemory) throw EXLSError("BOF record is too long");
    return HandleBof(id, len);
  }
  switch (id) {
    case 0x000A:  // EOF
      if (r.FSheetIndex < 0) return true;
      return r.FSheetIndex < static_cast<int>(r.FSheetNames.size()) - 1;
    case 0x002F: throw EXLSError("Can not read, file is encrypted");
    case 0x00EB:
    case 0x00EC: {
      // Drawing data runs on in CONTINUE records; none of it is used.
      std::uint16_t cid = 0, clen = 0;
      for (;;) {
        if (!stream->ReadHeader(cid, clen)) break;
        if (cid != 0x003C) {
          stream->SeekBy(-4);
          break;
        }
        stream->SeekBy(clen);
      }
      return true;
    }
    case 0x00FC: detail::ReadSharedStrings(*stream, len, r.FCodepage, sst); return true;
    case 0x0017:
    case 0x0018:
    case 0x0218:
    case 0x0023:
    case 0x0223:
    case 0x0031:
    case 0x0231:
    case 0x0042:
    case 0x0085:
    case 0x0092:
    case 0x00E0:
    case 0x0243:
    case 0x0443:
    case 0x041E:
    case 0x01AE:
    case 0x001E:
      if (!inMemory) throw EXLSError("Record is longer than the record buffer");
      HandleGlobals(id, len);
      return true;
    case 0x0002:
    case 0x0003:
    case 0x0004:
    case 0x0005:
    case 0x0006:
    case 0x007D:
    case 0x007E:
    case 0x027E:
    case 0x00BC:
    case 0x04BC:
    case 0x00BD:
    case 0x00BE:
    case 0x00D6:
    case 0x00FD:
    case 0x0200:
    case 0x0201:
    case 0x0203:
    case 0x0204:
    case 0x0205:
    case 0x0206:
    case 0x0406:
    case 0x0208:
      if (!inMemory) throw EXLSError("Record is longer than the record buffer");
      HandleCell(id, len);
      return true;
    default:
      if (r.OnUnhandled) r.OnUnhandled(r, id, len, inMemory ? buf.data() : nullptr);
      return true;
  }
}

bool TXLSRead::Impl::HandleBof(std::uint16_t id, std::uint16_t len) {
  TXLSRead& r = self;
  if (len < 4) detail::RecordTooShort(id, len);
  const std::uint16_t version = U16(&buf[0]);
  const std::uint16_t type = U16(&buf[2]);
  if (version == 0x0500) {
    r.FVersion = 5;
    r.FMaxRecordSize = 2080;
  } else if (version == 0x0600) {
    r.FVersion = 6;
    r.FMaxRecordSize = 8224;
  }
  buf.resize(static_cast<std::size_t>(r.FMaxRecordSize), 0);
  fctx.Version = r.FVersion;
  if (type == 0x0005) {
    r.FBookVersion = r.FVersion;
    fctx.BookVersion = r.FBookVersion;
    return true;
  }
  if (type == 0x0010) {
    if (r.FVersion <= 3) {
      // BIFF2-BIFF4: a worksheet substream carries its own FORMAT and XF records after its BOF,
      // and its XF records name formats by position, so nothing is renumbered.
      r.FXFRecords.clear();
      r.FFormats.clear();
    }
    // Format numbers of the XF records point at Formats positions from here on.
    for (auto& xf : r.FXFRecords) {
      for (std::size_t k = 0; k < r.FFormats.size(); ++k) {
        if (xf.FormatNumber() == static_cast<std::uint16_t>(r.FFormats[k].FormatIndex)) {
          const auto n = static_cast<std::uint16_t>(49 + k);
          xf.Data[2] = static_cast<std::uint8_t>(n & 0xFF);
          xf.Data[3] = static_cast<std::uint8_t>(n >> 8);
        }
      }
    }
    ++r.FSheetIndex;
    bool readIt = r.FSheetIndex == 0;
    if (r.OnSheet) {
      if (static_cast<std::size_t>(r.FSheetIndex) >= r.FSheetNames.size())
        throw EXLSError(detail::ListIndexError(r.FSheetIndex));
      text = r.FSheetNames[static_cast<std::size_t>(r.FSheetIndex)].Name;
      r.OnSheet(r, text, r.FSheetIndex, readIt);
    }
    if (readIt) return true;
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
    if ((sid & 0xFF) == 0x09) {
      stream->SeekBy(-4);
      break;
    }
    stream->SeekBy(slen);
  }
  return true;
}

}  // namespace reader
