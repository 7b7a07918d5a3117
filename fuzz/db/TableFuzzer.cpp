// Opens a table file made of the input and walks it every way a caller can: every record and
// field as text and number, each field made the current index with a key search, a filter, and
// an insert. Input bytes past the size the table's header gives become its primary index file
// (.PX), which is checked against the blocks and then written by the insert. Damaged input must
// raise DbError, never crash or hang.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/db/Table.h"
#include "platform/db/TableFile.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto p =
        std::filesystem::temp_directory_path() / ("imppret-fuzz-db-" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return folder;
}

void Walk(db::Table& t) {
  int fields = t.FieldCount();
  for (t.First(); !t.Eof(); t.Next())
    for (int f = 0; f < fields; ++f) {
      (void)t.Fields(f).AsString();
      try {
        (void)t.Fields(f).AsFloat();
      } catch (const db::DbError&) {
      }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto path = Folder() / "F.DB";
  std::size_t tableSize = size;
  if (size >= 0x12) {
    const std::size_t headerSize = data[2] | (data[3] << 8);
    const std::size_t blocks = data[0x0C] | (data[0x0D] << 8);
    tableSize = std::min(size, headerSize + blocks * std::size_t{data[5]} * 1024);
  }
  auto put = [](const std::filesystem::path& p, const std::uint8_t* bytes, std::size_t n) {
    if (std::FILE* f = std::fopen(p.c_str(), "wb")) {
      std::fwrite(bytes, 1, n, f);
      std::fclose(f);
    }
  };
  put(path, data, tableSize);
  std::filesystem::remove(Folder() / "F.PX");
  std::filesystem::remove(Folder() / "F.DB.JNL");
  if (tableSize < size) put(Folder() / "F.PX", data + tableSize, size - tableSize);
  try {
    db::TableFile file(path);
    (void)file.PrimaryIndexCurrent();
  } catch (const db::DbError&) {
  }
  try {
    db::Table t;
    t.TableName = "F";
    t.DatabaseName = Folder();
    t.Open();
    Walk(t);
    for (int f = 0; f < t.FieldCount() && f < 8; ++f) {
      try {
        t.SetIndexName(t.Fields(f).FieldName());
        t.FindKey({db::KeyValue{std::string("A")}});
        t.SetRange({db::KeyValue{std::int64_t{1}}}, {db::KeyValue{std::int64_t{5}}});
        (void)t.RecordCount();
        t.Last();
        t.CancelRange();
      } catch (const db::DbError&) {
      }
    }
    t.SetIndexName("");
    if (t.FieldCount() > 0) {
      t.SetFilter(t.Fields(0).FieldName().find_first_of("[]") == std::string::npos
                      ? "[" + t.Fields(0).FieldName() + "] = 'x'"
                      : "A = 'x'");
      try {
        t.SetFiltered(true);
        Walk(t);
        t.SetFiltered(false);
      } catch (const db::DbError&) {
      }
    }
    if (t.RecordCount() < 64) {
      t.Append();
      t.Post();
      Walk(t);
    }
  } catch (const db::DbError&) {
  }
  return 0;
}
