#include "platform/db/CreateTable.h"

#include <cstring>
#include <ctime>
#include <set>

#include "platform/Codepage.h"
#include "platform/Files.h"
#include "platform/db/ParadoxFormat.h"
#include "platform/db/TableFile.h"

namespace db {
namespace {

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

}  // namespace

void CreateTable(const std::filesystem::path& folder, const std::string& name,
                 const std::vector<FieldDef>& fields, int keyFieldCount, int codepage, int level) {
  if (name.empty() || name.size() > 64 || name.find_first_of("/\\.") != std::string::npos)
    throw DbError("Nume de tabela invalid: \"" + name + "\"");
  if (level != 7 && level != 5) throw DbError("Se pot crea doar tabele de nivel 5 sau 7");
  if (fields.empty() || fields.size() > 255)
    throw DbError("Tabela trebuie sa aiba intre 1 si 255 de campuri");
  if (keyFieldCount < 0 || keyFieldCount > static_cast<int>(fields.size()))
    throw DbError("Numar de campuri cheie invalid");
  if (!platform::IsKnownCodepage(codepage) || codepage <= 0 || codepage > 65535)
    throw DbError("Pagina de cod necunoscuta: " + std::to_string(codepage));
  if (!platform::FindFileNoCase(folder, name + ".DB").empty())
    throw DbError("Tabela \"" + name + "\" exista deja in " + folder.string());

  const int version = level == 7 ? 0x0C : 0x0B;
  std::vector<px::FieldInfo> infos;
  std::set<std::string> names;
  int recordSize = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldDef& d = fields[i];
    px::FieldInfo f;
    f.name = d.name;
    f.type = d.type;
    f.code = px::CodeFromType(d.type);
    if (d.name.empty() || d.name.size() > 25 || !names.insert(Upper(d.name)).second)
      throw DbError("Nume de camp invalid sau repetat: \"" + d.name + "\"");
    switch (d.type) {
      case FieldType::Alpha:
      case FieldType::Bytes:
        if (d.size < 1 || d.size > 255)
          throw DbError("Lungime invalida pentru campul \"" + d.name + "\"");
        f.descriptorSize = d.size;
        break;
      case FieldType::Bcd:
        if (d.size < 0 || d.size > 32)
          throw DbError("Zecimale invalide pentru campul \"" + d.name + "\"");
        f.descriptorSize = d.size;
        break;
      case FieldType::Memo:
      case FieldType::Blob:
      case FieldType::FmtMemo:
      case FieldType::Ole:
      case FieldType::Graphic:
        if (d.size < 11 || d.size > 250)
          throw DbError("Lungime invalida pentru campul \"" + d.name + "\"");
        if (static_cast<int>(i) < keyFieldCount)
          throw DbError("Campul \"" + d.name + "\" nu poate face parte din cheie");
        f.descriptorSize = d.size;
        break;
      default: f.descriptorSize = px::RecordBytes(d.type, 0); break;
    }
    f.size = px::RecordBytes(d.type, f.descriptorSize);
    f.offset = recordSize;
    recordSize += f.size;
    infos.push_back(f);
  }
  int blockKB = 32;
  for (int kb : {2, 4, 8, 16, 32})
    if ((kb * 1024 - 6) / recordSize >= 10) {
      blockKB = kb;
      break;
    }
  if (recordSize > blockKB * 1024 - 6) throw DbError("Inregistrarea tabelei este prea lunga");

  // Variable part: descriptors, pointers, table name, field names, field numbers, sort order.
  std::vector<std::uint8_t> var;
  for (const auto& f : infos) {
    var.push_back(static_cast<std::uint8_t>(f.code));
    var.push_back(static_cast<std::uint8_t>(f.descriptorSize));
  }
  var.insert(var.end(), 4 + 4 * infos.size(), 0);
  std::string fileName = name + ".DB";
  std::vector<std::uint8_t> nameArea(static_cast<std::size_t>(level == 7 ? 261 : 79), 0);
  std::memcpy(nameArea.data(), fileName.data(), std::min(fileName.size(), nameArea.size() - 1));
  var.insert(var.end(), nameArea.begin(), nameArea.end());
  for (const auto& f : infos) {
    std::string bytes;
    if (!platform::FromUtf8(f.name, codepage, bytes) || bytes.find('\0') != std::string::npos)
      throw DbError("Numele campului \"" + f.name + "\" nu poate fi scris in pagina de cod " +
                    std::to_string(codepage));
    var.insert(var.end(), bytes.begin(), bytes.end());
    var.push_back(0);
  }
  for (std::size_t i = 0; i < infos.size(); ++i) {
    var.push_back(static_cast<std::uint8_t>((i + 1) & 0xFF));
    var.push_back(static_cast<std::uint8_t>((i + 1) >> 8));
  }
  static const char kSortOrder[] = "ANSIINTL";
  var.insert(var.end(), kSortOrder, kSortOrder + sizeof kSortOrder);

  const std::size_t used = px::kExtendedHeader + var.size();
  const std::size_t headerSize = (used + 0x7FF) / 0x800 * 0x800;
  if (headerSize > 0xF800) throw DbError("Antetul tabelei ar fi prea mare");
  std::vector<std::uint8_t> h(headerSize, 0);
  px::Put16(&h[px::kRecordSize], static_cast<std::uint32_t>(recordSize));
  px::Put16(&h[px::kHeaderSize], static_cast<std::uint32_t>(headerSize));
  h[px::kFileType] = keyFieldCount > 0 ? px::kKeyedData : px::kUnkeyedData;
  h[px::kBlockSizeKB] = static_cast<std::uint8_t>(blockKB);
  px::Put16(&h[px::kChangeCount], 1);
  px::Put16(&h[px::kNumFields], static_cast<std::uint32_t>(infos.size()));
  px::Put16(&h[px::kKeyFields], static_cast<std::uint32_t>(keyFieldCount));
  px::Put32(&h[px::kEncryption3], 0xFF00FF00u);
  h[px::kSortOrder] = 0x62;
  h[0x2D] = 2;
  h[0x2E] = 1;
  h[px::kVersion] = static_cast<std::uint8_t>(version);
  h[0x3E] = 0x1F;
  h[0x3F] = 0x0F;
  px::Put16(&h[px::kHeaderUsed], static_cast<std::uint32_t>(used));
  h[0x56] = 0x20;
  px::Put16(&h[0x58], 0x0100u + static_cast<std::uint32_t>(version));
  px::Put16(&h[0x5A], 0x0100u + static_cast<std::uint32_t>(version));
  px::Put32(&h[0x60], static_cast<std::uint32_t>(std::time(nullptr)));
  px::Put16(&h[px::kFieldsPlusOne], static_cast<std::uint32_t>(infos.size() + 1));
  px::Put16(&h[px::kCodepage], static_cast<std::uint32_t>(codepage));
  std::memcpy(&h[px::kExtendedHeader], var.data(), var.size());

  const std::filesystem::path path = folder / fileName;
  try {
    platform::WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(h.data()), h.size()));
  } catch (const std::exception& e) {
    throw DbError("Tabela \"" + name + "\" nu poate fi creata: " + e.what());
  }
  if (keyFieldCount > 0) {
    TableFile table(path);
    table.WritePrimaryIndex();
  }
}

}  // namespace db
