// Any bytes as header texts and as a workbook: the words are classified, then the layout is
// detected with a stand-in catalogue; a proposal must lie within the window's ranges.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/reader/FuzzInput.h"
#include "import/HeaderDetect.h"
#include "import/HeaderWords.h"
#include "reader/TXLSRead.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool quiet = [] {
    reader::SetXLSMessageHook([](const std::string&, bool) { return true; });
    return true;
  }();
  (void)quiet;
  const std::string text(reinterpret_cast<const char*>(data), size < 256 ? size : 256);
  std::vector<bool> boundaries;
  if (imp::FoldHeaderText(text, &boundaries).size() != boundaries.size()) std::abort();
  (void)imp::ClassifyHeader(text);

  if (!fuzzreader::WriteScratch(data, size)) return 0;
  std::unique_ptr<imp::PriceWorkbook> book = imp::MakeXlsWorkbook();
  try {
    book->Open(fuzzreader::ScratchPath());
  } catch (const std::exception&) {
    return 0;
  }
  const imp::LayoutProposal p =
      imp::DetectLayout(*book, [](int identification, const std::string& t) {
        return (t.size() + static_cast<std::size_t>(identification)) % 2 == 0;
      });
  if (p.Found &&
      (p.IdColumn < 1 || p.IdColumn > 100 || p.PriceColumn < 1 || p.PriceColumn > 100 ||
       p.StartRow <= p.HeaderRow || p.StartRow > 100 || p.HeaderRow > imp::kHeaderSearchRows ||
       p.Matched > p.Tried || p.Tried > imp::kIdentifiersTried))
    std::abort();
  (void)imp::ProposalMessage(p);
  try {
    book->Close();
  } catch (const std::exception&) {
  }
  return 0;
}
