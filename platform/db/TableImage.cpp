// Whole saved images of a table put back as one post of the engine.
#include "platform/db/DbError.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"

namespace db {

bool TableFile::ReplaceContents(const std::vector<std::uint8_t>& data,
                                const std::vector<std::uint8_t>& index,
                                const std::function<bool()>& unchanged) {
  const px::Header h = px::ParseHeader(data.data(), data.size(), path_.filename().string());
  if (h.fileType != header_.fileType || h.recordSize != header_.recordSize ||
      h.blockSize != header_.blockSize)
    throw DbError("Copia tabelei \"" + path_.filename().string() +
                  "\" nu este a acestei tabele si nu a fost pusa inapoi");
  BeginWrite();
  if (unchanged && !unchanged()) return false;
  WriteAt(0, data.data(), data.size());
  StageSize(kJournalData, data.size());
  if (Keyed() && !index.empty()) {
    StageIndex(0, index.data(), index.size());
    StageSize(kJournalIndex, index.size());
  }
  Commit();
  ReadIndexImage();
  Reload();
  return true;
}

bool ReplaceTableFiles(const std::filesystem::path& dbFile, const std::vector<std::uint8_t>& data,
                       const std::vector<std::uint8_t>& index,
                       const std::function<bool()>& unchanged) {
  TableFile table(dbFile);
  if (!table.ReplaceContents(data, index, unchanged)) return false;
  table.Flush();
  return true;
}

}  // namespace db
