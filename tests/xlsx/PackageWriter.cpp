#include "xlsx/PackageWriter.h"

#include <zip.h>

#include <stdexcept>

namespace testxlsx {

testbiff::Bytes WriteZip(const std::vector<Part>& parts, bool deflate) {
  zip_error_t err;
  zip_error_init(&err);
  zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &err);
  if (!src) throw std::runtime_error("zip source");
  zip_source_keep(src);
  zip_t* z = zip_open_from_source(src, ZIP_TRUNCATE, &err);
  if (!z) throw std::runtime_error("zip open");
  for (const Part& p : parts) {
    zip_source_t* s = zip_source_buffer(z, p.second.data(), p.second.size(), 0);
    const zip_int64_t i = zip_file_add(z, p.first.c_str(), s, ZIP_FL_OVERWRITE);
    if (i < 0) throw std::runtime_error("zip add");
    zip_set_file_compression(z, static_cast<zip_uint64_t>(i),
                             deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
  }
  if (zip_close(z) != 0) throw std::runtime_error("zip close");
  zip_source_open(src);
  zip_source_seek(src, 0, SEEK_END);
  const zip_int64_t size = zip_source_tell(src);
  zip_source_seek(src, 0, SEEK_SET);
  testbiff::Bytes out(static_cast<std::size_t>(size));
  zip_source_read(src, out.data(), out.size());
  zip_source_close(src);
  zip_source_free(src);
  return out;
}

std::vector<Part> MinimalBook(const std::string& sheetData, const std::string& strings,
                              const std::string& nsIn) {
  const std::string ns =
      nsIn.empty() ? "http://schemas.openxmlformats.org/spreadsheetml/2006/main" : nsIn;
  const bool strict = ns.find("purl.oclc.org") != std::string::npos;
  const std::string rel =
      strict ? "http://purl.oclc.org/ooxml/officeDocument/relationships"
             : "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  const std::string pkg = "http://schemas.openxmlformats.org/package/2006/relationships";
  std::vector<Part> parts;
  parts.push_back(
      {"_rels/.rels", "<?xml version=\"1.0\"?><Relationships xmlns=\"" + pkg +
                          "\"><Relationship Id=\"rId1\" Type=\"" + rel +
                          "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
  parts.push_back({"xl/workbook.xml", "<?xml version=\"1.0\"?><workbook xmlns=\"" + ns +
                                          "\" xmlns:r=\"" + rel +
                                          "\"><sheets><sheet name=\"Foaie\" sheetId=\"1\" "
                                          "r:id=\"rId1\"/></sheets></workbook>"});
  std::string wbRels = "<?xml version=\"1.0\"?><Relationships xmlns=\"" + pkg +
                       "\"><Relationship Id=\"rId1\" Type=\"" + rel +
                       "/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
  if (!strings.empty())
    wbRels += "<Relationship Id=\"rId2\" Type=\"" + rel +
              "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
  wbRels += "</Relationships>";
  parts.push_back({"xl/_rels/workbook.xml.rels", wbRels});
  parts.push_back({"xl/worksheets/sheet1.xml", "<?xml version=\"1.0\"?><worksheet xmlns=\"" + ns +
                                                   "\"><sheetData>" + sheetData +
                                                   "</sheetData></worksheet>"});
  if (!strings.empty())
    parts.push_back({"xl/sharedStrings.xml",
                     "<?xml version=\"1.0\"?><sst xmlns=\"" + ns + "\">" + strings + "</sst>"});
  return parts;
}

}  // namespace testxlsx
