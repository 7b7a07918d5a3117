// TXLSRead: construction, opening and classifying the file, the small public helpers and the
// message policy for record errors.
#include "reader/TXLSRead.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

#include "platform/AsciiCase.h"
#include "reader/Impl.h"
#include "reader/Messages.h"
#include "reader/formula/FormulaDecoder.h"

namespace reader {

namespace {

std::mutex& HookMutex() {
  static std::mutex m;
  return m;
}
TXLSMessageHook& GlobalHook() {
  static TXLSMessageHook hook;
  return hook;
}

// Without a window the messages go to stderr, one line each, and reading goes on.
bool DefaultMessage(const std::string& text, bool question) {
  std::string line = text;
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  std::fprintf(stderr, "%s%s\n", line.c_str(), question ? " [Yes]" : "");
  return true;
}

constexpr const char* kBuiltInFormats[50] = {
    "",
    "0",
    "0.00",
    "#,##0",
    "#,##0.00",
    "_($#,##0_);($#,##0)",
    "_($#,##0_);[Red]($#,##0)",
    "_($#,##0.00_);($#,##0.00)",
    "_($#,##0.00_);[Red]($#,##0.00)",
    "0%",
    "0.00%",
    "0.00E+00",
    "# ?/?",
    "# ?\?/??",
    "m/d/yy",
    "d-mmm-y",
    "d-mmm",
    "mmmm-yy",
    "h:mm AM/PM",
    "h:mm:ss AM/PM",
    "h:mm",
    "h:mm:SS",
    "m/d/yy h:mm",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "(#,##0_);(#,##0)",
    "(#,##0_);[Red](#,##0)",
    "(#,##0.00_);(#,##0.00)",
    "(#,##0.00_);[Red](#,##0.00)",
    "_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)",
    "_($* #,##0_);_($* (#,##0);_($* \"-\"_);_(@_)",
    "_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"??_);_(@_)",
    "_($* #,##0.00_);_($* (#,##0.00);_($* \"-\"??_);_(@_)",
    "mm:ss",
    "[h]:mm:ss",
    "mm:ss.0",
    "# #0.0E+0",
    "@",
};

}  // namespace

TXLSMessageHook SetXLSMessageHook(TXLSMessageHook Hook) {
  std::lock_guard<std::mutex> lock(HookMutex());
  TXLSMessageHook old = std::move(GlobalHook());
  GlobalHook() = std::move(Hook);
  return old;
}

std::string_view BuiltInFormat(int Number) {
  if (Number < 0 || Number >= 50) return {};
  return kBuiltInFormats[Number];
}

namespace detail {

void AppendLatin1Fast(std::string& out, const std::uint8_t* p, std::size_t n) {
  // Runs of ASCII go in one append; only the bytes above 0x7F need two UTF-8 bytes.
  std::size_t i = 0;
  while (i < n) {
    std::size_t j = i;
    while (j < n && p[j] < 0x80) ++j;
    out.append(reinterpret_cast<const char*>(p + i), j - i);
    if (j == n) break;
    out.push_back(static_cast<char>(0xC0 | (p[j] >> 6)));
    out.push_back(static_cast<char>(0x80 | (p[j] & 0x3F)));
    i = j + 1;
  }
}

void TooShortText(std::string& out, std::uint16_t id, std::size_t length) {
  // `out` is usually the reader's one fault text, so its buffer is reused record after record.
  out.assign("Record ");
  AppendRecordId(out, id);
  out.append(" is too short (");
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, length).ptr;
  out.append(digits, end);
  out.append(" bytes)");
}

void RecordTooShort(std::uint16_t id, std::size_t length) {
  std::string text;
  TooShortText(text, id, length);
  throw EXLSError(text);
}

std::string ListIndexError(long long index) {
  return "List index out of bounds (" + std::to_string(index) + ")";
}

}  // namespace detail

TXLSRead::TXLSRead() : FImpl(std::make_unique<Impl>(*this)) {
  FDefaultFont.Name = "Arial";
  FDefaultFont.Size = 10;
}

TXLSRead::~TXLSRead() {
  Close();
}

bool TXLSRead::IsOpen() const {
  return FImpl->stream != nullptr;
}

bool TXLSRead::IsSingleWorksheet() const {
  return FImpl->plainWorksheet;
}

bool TXLSRead::IsEncrypted() {
  Impl& m = *FImpl;
  if (!m.stream || m.encrypted || m.encryptionChecked) return m.encrypted;
  m.encryptionChecked = true;
  // The encryption record stands at the start of the globals, before any sheet or string.
  detail::RecordStream& s = *m.stream;
  const std::uint64_t here = s.Position();
  s.SeekTo(0);
  std::uint16_t id = 0, len = 0;
  for (int k = 0; s.ReadHeader(id, len); ++k) {
    if (id == rec::kFilePass) {
      m.encrypted = true;
      break;
    }
    if ((k > 0 && rec::IsBof(id)) || id == rec::kEof || id == rec::kBoundSheet || id == rec::kSst ||
        id == rec::kSheetHeader4)
      break;
    s.SeekBy(len);
  }
  s.SeekTo(here);
  return m.encrypted;
}

void TXLSRead::Close() {
  FImpl->CloseFile();
}

void TXLSRead::Impl::CloseFile() {
  stream.reset();
  storage.reset();
  globals.reset();
  sheetDir.reset();
}

void TXLSRead::Open() {
  std::size_t a = FileName.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) throw EXLSError(msg::kFilenameMissing);
  Impl& m = *FImpl;
  // A second Open replaces whatever the first one left open.
  m.CloseFile();
  m.encrypted = m.encryptionChecked = false;
  const std::filesystem::path path(FileName);
  try {
    if (platform::cfb::CompoundFile::IsCompoundFile(path)) {
      m.storage = std::make_unique<platform::cfb::CompoundFile>(path);
      bool book = false, workbook = false;
      std::string bookName = "Book", workbookName = "Workbook";
      for (const auto& e : m.storage->RootElements()) {
        if (e.Name == "Book")
          book = true;
        else if (e.Name == "Workbook")
          workbook = true;
      }
      if (!book && !workbook) {
        // Compound-file names compare without regard to case on their home platform, and some
        // writers spell the stream "WORKBOOK" or "book": take those when no exact name exists.
        for (const auto& e : m.storage->RootElements()) {
          if (!e.IsStream) continue;
          if (platform::EqualsNoCase(e.Name, "workbook")) {
            workbook = true;
            workbookName = e.Name;
          } else if (platform::EqualsNoCase(e.Name, "book") && !book) {
            book = true;
            bookName = e.Name;
          }
        }
      }
      if (!book && !workbook) throw EXLSError(msg::kNotAWorkbook);
      FVersion = workbook ? 6 : 5;
      FMaxRecordSize = workbook ? 8224 : 2080;
      FBookVersion = FVersion;
      auto s = m.storage->OpenStream(workbook ? workbookName : bookName);
      FStreamSize = s->Size();
      m.plain = false;
      m.plainWorksheet = false;
      m.workbook4 = false;
      m.stream = std::make_unique<detail::RecordStream>(std::move(s), false);
      return;
    }
    auto file = std::make_unique<platform::cfb::FileStream>(path);
    const std::uint64_t size = file->Size();
    m.plain = true;
    m.stream = std::make_unique<detail::RecordStream>(std::move(file), true);
    std::uint16_t id = 0, len = 0;
    // The first header of a plain workbook must be a BOF; a file too short for one is not a
    // workbook either.
    std::uint8_t hdr[4] = {};
    const bool got = m.stream->Read(hdr, 4) == 4;
    id = platform::LoadU16(hdr);
    len = platform::LoadU16(hdr + 2);
    int version = 0;
    if (got && rec::IsBof(id)) {
      switch (id >> 8) {
        case 0x00: version = 1; break;
        case 0x02: version = 2; break;
        case 0x04: version = 3; break;
        case 0x08: version = 4; break;
        default: break;
      }
    }
    if (version == 0) throw EXLSError(msg::kNotAnExcelFile);
    std::uint8_t bof[4] = {};
    const bool typed = len >= 4 && m.stream->Read(bof, 4) == 4;
    const std::uint16_t type = typed ? platform::LoadU16(bof + 2) : 0;
    // A plain file that starts with a worksheet BOF holds that one sheet and no sheet list; one
    // of BIFF2-BIFF4 whose BOF opens workbook globals is a BIFF4 workbook.
    m.plainWorksheet = typed && type == rec::kWorksheet;
    m.workbook4 = typed && version <= 3 && type == rec::kWorkbook4;
    m.stream->SeekTo(4 + static_cast<std::uint64_t>(len));
    FMaxRecordSize = 2080;
    // A bare BIFF8 workbook stream says so in its first BOF, which the record loop never sees:
    // its texts are UTF-16 and its records may be longer.
    if (version == 4 && typed && platform::LoadU16(bof) == rec::kBiff8) {
      version = 6;
      FMaxRecordSize = 8224;
    }
    FVersion = version;
    FStreamSize = size;
    FBookVersion = FVersion;
  } catch (const platform::cfb::CfbError& e) {
    // A failed Open leaves nothing open, so a later Read or Open starts clean.
    m.CloseFile();
    throw EXLSError(e.what());
  } catch (const std::bad_alloc&) {
    m.CloseFile();
    throw EXLSError("Not enough memory to open the workbook stream");
  } catch (...) {
    m.CloseFile();
    throw;
  }
}

// One table of error texts serves cells and formulas alike.
std::string TXLSRead::ErrorText(int Code) const {
  return formula::ErrorText(static_cast<std::uint8_t>(Code));
}

double TXLSRead::DecodeRK(std::uint32_t Value) {
  const std::uint32_t p = Value & ~3u;
  double d;
  if (Value & 0x02) {
    const auto i = static_cast<std::int32_t>(p);
    d = (Value & 0x01) ? static_cast<double>(i) / 400.0 : static_cast<double>(i) / 4.0;
  } else {
    const std::uint64_t bits = static_cast<std::uint64_t>(p) << 32;
    std::memcpy(&d, &bits, sizeof d);
    if (Value & 0x01) d /= 100.0;
  }
  return d;
}

bool TFormatEntry::ParseDate() const {
  date_ = masks::TExcelMask(Mask).IsDateMask() ? 1 : 0;
  return date_ == 1;
}

bool TXLSRead::IsDateTimeXF(int XFIndex) const {
  if (XFIndex < 0 || static_cast<std::size_t>(XFIndex) >= FXFRecords.size())
    throw EXLSError(detail::ListIndexError(XFIndex));
  return FImpl->IsDateXf(static_cast<std::size_t>(XFIndex));
}

std::size_t TXFRecordList::size() const {
  return r_->FXFRecords.size();
}

const TXFRecord& TXFRecordList::operator[](std::size_t i) const {
  r_->FImpl->renumbering.Resolve(r_->FXFRecords, i);
  return r_->FXFRecords[i];
}

std::string TXLSRead::CellRefText(int Col, int Row, bool AbsCol, bool AbsRow) {
  std::string s;
  if (AbsCol) s.push_back('$');
  if (Col < 0) Col = 0;
  if (Col < 26) {
    s.push_back(static_cast<char>('A' + Col));
  } else if (Col < 702) {
    s.push_back(static_cast<char>(Col / 26 + 64));
    s.push_back(static_cast<char>(Col % 26 + 65));
  } else {
    // Past "ZZ" the letters go on as a third digit instead of leaving the alphabet.
    std::string letters;
    for (int c = Col + 1; c > 0; c = (c - 1) / 26)
      letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    s += letters;
  }
  if (AbsRow) s.push_back('$');
  s += std::to_string(static_cast<long long>(Row) + 1);
  return s;
}

std::string TXLSRead::Impl::OwnMessage(const std::exception& e) const {
  if (dynamic_cast<const std::bad_alloc*>(&e) == nullptr) return e.what();
  char b[64];
  std::snprintf(b, sizeof b, "Not enough memory for record %.4X", static_cast<unsigned>(recordId));
  return b;
}

void TXLSRead::Impl::ShowError(const std::string& text) {
  if (self.MessageHook) {
    self.MessageHook(text, false);
    return;
  }
  TXLSMessageHook hook;
  {
    std::lock_guard<std::mutex> lock(HookMutex());
    hook = GlobalHook();
  }
  if (hook)
    hook(text, false);
  else
    DefaultMessage(text, false);
}

bool TXLSRead::Impl::AskContinue(const std::string& text) {
  if (self.MessageHook) return self.MessageHook(text, true);
  TXLSMessageHook hook;
  {
    std::lock_guard<std::mutex> lock(HookMutex());
    hook = GlobalHook();
  }
  return hook ? hook(text, true) : DefaultMessage(text, true);
}

}  // namespace reader
