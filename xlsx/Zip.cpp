// The package's ZIP container through libzip, with the size checks of hostile files.
#include "xlsx/Zip.h"

#include <isa-l/igzip_lib.h>
#include <zip.h>

#include <memory>
#include <vector>

#include "xlsx/XlsxError.h"

namespace xlsx {

std::string NormalisePartName(std::string_view name, bool keepCase) {
  std::vector<std::string> parts;
  std::string cur;
  auto flush = [&] {
    if (cur == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!cur.empty() && cur != ".") {
      parts.push_back(cur);
    }
    cur.clear();
  };
  for (char ch : name) {
    if (ch == '/' || ch == '\\') {
      flush();
    } else {
      cur += (!keepCase && ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
  }
  flush();
  std::string out;
  for (const std::string& p : parts) {
    if (!out.empty()) out += '/';
    out += p;
  }
  return out;
}

ZipPackage::ZipPackage(const std::filesystem::path& file) {
  std::error_code ec;
  fileSize_ = std::filesystem::file_size(file, ec);
  if (ec) throw XlsxError(FailReason::NotAPackage, "Can not open the file");
  budget_ = kFloor + kRatio * fileSize_;
  int err = 0;
  zip_ = zip_open(file.string().c_str(), ZIP_RDONLY, &err);
  if (!zip_) {
    const FailReason reason = err == ZIP_ER_NOZIP ? FailReason::NotAPackage : FailReason::Damaged;
    throw XlsxError(reason, "The package is no readable ZIP file");
  }
  const zip_int64_t n = zip_get_num_entries(zip_, 0);
  for (zip_int64_t i = 0; i < n; ++i) {
    const char* name = zip_get_name(zip_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
    // Of two entries with one name the later one wins, as the common ZIP readers decide.
    if (!name) continue;
    names_[NormalisePartName(name)] = i;
    exactNames_[NormalisePartName(name, true)] = i;
  }
}

ZipPackage::~ZipPackage() {
  if (zip_) zip_discard(zip_);
}

long long ZipPackage::Index(std::string_view name) const {
  auto exact = exactNames_.find(NormalisePartName(name, true));
  if (exact != exactNames_.end()) return exact->second;
  auto it = names_.find(NormalisePartName(name));
  return it == names_.end() ? -1 : it->second;
}

std::uint64_t ZipPackage::ClaimedSize(std::string_view name) const {
  const long long index = Index(name);
  zip_stat_t st;
  zip_stat_init(&st);
  if (index < 0 || zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &st) != 0 ||
      !(st.valid & ZIP_STAT_SIZE))
    return 0;
  return st.size;
}

// A deflated entry (nearly every part) is inflated here from its raw bytes by ISA-L, which
// inflates about three times faster than zlib and sums the CRC as it goes; the sizes and the
// CRC are checked as libzip checks them. Other methods go through libzip.
namespace {
// The inflater may leave the upper halves of the wide vector registers in use; the XML reader's
// 16-byte scans that follow would then run many times slower. Clearing them costs nothing.
void ClearWideRegisters() {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool avx = __builtin_cpu_supports("avx");
  if (avx) __asm__ volatile("vzeroupper" ::: "memory");
#endif
}
}  // namespace

void ZipPackage::ReadDeflated(std::uint64_t index, std::uint64_t size, std::uint32_t crc,
                              std::string_view name, const Sink& sink) {
  const auto damaged = [&](const char* what) {
    return XlsxError(FailReason::Damaged, "The part " + std::string(name) + what);
  };
  std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> f(
      zip_fopen_index(zip_, index, ZIP_FL_COMPRESSED), zip_fclose);
  if (!f) throw XlsxError(FailReason::Damaged, "Can not read the part " + std::string(name));
  auto state = std::make_unique<inflate_state>();
  isal_inflate_init(state.get());
  state->crc_flag = ISAL_GZIP_NO_HDR;  // raw deflate, the CRC of the output kept in state->crc
  std::vector<unsigned char> in(1 << 16), out(1 << 16);
  std::uint64_t total = 0;
  for (;;) {
    if (state->avail_in == 0) {
      const zip_int64_t got = zip_fread(f.get(), in.data(), in.size());
      if (got <= 0) throw damaged(" is damaged");  // unreadable, or cut before its end
      state->next_in = in.data();
      state->avail_in = static_cast<std::uint32_t>(got);
    }
    const std::uint32_t before = state->avail_in;
    state->next_out = out.data();
    state->avail_out = static_cast<std::uint32_t>(out.size());
    if (isal_inflate(state.get()) != ISAL_DECOMP_OK) throw damaged(" is damaged");
    ClearWideRegisters();
    const std::size_t produced = out.size() - state->avail_out;
    if (produced == 0 && state->avail_in == before && state->block_state != ISAL_BLOCK_FINISH)
      throw damaged(" is damaged");  // no step forward: never loop on it
    total += produced;
    if (total > size) throw damaged(" is longer than its directory says");
    if (produced > 0) sink(reinterpret_cast<const char*>(out.data()), produced);
    if (state->block_state == ISAL_BLOCK_FINISH) break;
  }
  if (total != size) throw damaged(" is shorter than its directory says");
  if (state->crc != crc) throw damaged(" is damaged");
}

void ZipPackage::Read(std::string_view name, const Sink& sink) {
  const long long index = Index(name);
  if (index < 0)
    throw XlsxError(FailReason::Damaged, "The package has no part " + std::string(name));
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &st) != 0 ||
      !(st.valid & ZIP_STAT_SIZE))
    throw XlsxError(FailReason::Damaged, "The package's directory is damaged");
  if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
    throw XlsxError(FailReason::Encrypted, kEncryptedText);
  if (st.size > budget_)
    throw XlsxError(FailReason::Limit, "The package inflates to more than " +
                                           std::to_string(kRatio) +
                                           " times its size: refused as a ZIP bomb");
  const unsigned need = ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
  if ((st.valid & need) == need && st.comp_method == ZIP_CM_DEFLATE) {
    ReadDeflated(static_cast<zip_uint64_t>(index), st.size, st.crc, name, sink);
    budget_ -= st.size;
    return;
  }
  std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> f(
      zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0), zip_fclose);
  if (!f) throw XlsxError(FailReason::Damaged, "Can not read the part " + std::string(name));
  std::vector<char> buf(1 << 16);
  std::uint64_t total = 0;
  for (;;) {
    const zip_int64_t got = zip_fread(f.get(), buf.data(), buf.size());
    if (got < 0)
      throw XlsxError(FailReason::Damaged, "The part " + std::string(name) + " is damaged");
    if (got == 0) break;
    total += static_cast<std::uint64_t>(got);
    if (total > st.size)
      throw XlsxError(FailReason::Damaged,
                      "The part " + std::string(name) + " is longer than its directory says");
    sink(buf.data(), static_cast<std::size_t>(got));
  }
  if (total != st.size)
    throw XlsxError(FailReason::Damaged,
                    "The part " + std::string(name) + " is shorter than its directory says");
  budget_ -= total;
}

}  // namespace xlsx
