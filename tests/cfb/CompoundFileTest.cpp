// The compound-file reader on files written by the test writer, on a hand-made version 4 file,
// and on damaged files: every damage gives a CfbError, never a hang or a read outside the file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define IMPPRET_TEST_ASAN 1
#endif
#endif
#ifndef IMPPRET_TEST_ASAN
#define IMPPRET_TEST_ASAN 0
#endif

#include "platform/cfb/CompoundFile.h"
#include "platform/cfb/Layout.h"
#include "support/CompoundFileWriter.h"
#include "support/TempFile.h"

using platform::cfb::CfbError;
using platform::cfb::CompoundFile;
using platform::cfb::SeekOrigin;
using testbiff::Bytes;
namespace cfb = platform::cfb;
namespace hdr = platform::cfb::hdr;

namespace {

Bytes Pattern(std::size_t n, unsigned seed) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>((i * 31 + seed) ^ (i >> 8));
  return b;
}

std::uint32_t Get32(const Bytes& f, std::size_t at) {
  return f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) |
         (static_cast<std::uint32_t>(f[at + 3]) << 24);
}
void Put32(Bytes& f, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Version 3 layout helpers: sector n starts at (n + 1) * 512.
std::size_t SectorAt(std::uint32_t n) {
  return (static_cast<std::size_t>(n) + 1) * 512;
}
std::size_t FatEntry(const Bytes& f, std::uint32_t sector) {
  const std::uint32_t fatSector = Get32(f, hdr::kDifat + 4 * (sector / 128));
  return SectorAt(fatSector) + 4 * (sector % 128);
}
// The directory entry whose name (ASCII) is `name`.
std::size_t DirEntry(const Bytes& f, const std::string& name) {
  std::uint32_t s = Get32(f, hdr::kFirstDirSector);
  for (int guard = 0; guard < 100 && s < 0xFFFFFFF0u; ++guard) {
    for (std::size_t e = 0; e < 4; ++e) {
      const std::size_t at = SectorAt(s) + cfb::kDirEntrySize * e;
      std::string n;
      for (std::size_t i = 0; i < 32 && f[at + 2 * i]; ++i)
        n.push_back(static_cast<char>(f[at + 2 * i]));
      if (n == name) return at;
    }
    s = Get32(f, FatEntry(f, s));
  }
  ADD_FAILURE() << "no directory entry " << name;
  return 0;
}

Bytes ReadAll(platform::cfb::Stream& s) {
  Bytes out(static_cast<std::size_t>(s.Size()) + 16);
  const std::size_t n = s.Read(out.data(), out.size());
  out.resize(n);
  return out;
}

TEST(CompoundFile, ListsRootElementsAndReadsRegularAndMiniStreams) {
  const Bytes big = Pattern(10000, 1), small = Pattern(300, 2);
  testbiff::TempFile file(testbiff::WriteCompoundFile({{"Workbook", big}, {"Small", small}}));
  ASSERT_TRUE(CompoundFile::IsCompoundFile(file.path()));
  CompoundFile cf(file.path());
  ASSERT_EQ(cf.RootElements().size(), 2u);
  bool sawBig = false, sawSmall = false;
  for (const auto& e : cf.RootElements()) {
    if (e.Name == "Workbook") sawBig = e.Size == big.size() && e.IsStream;
    if (e.Name == "Small") sawSmall = e.Size == small.size() && e.IsStream;
  }
  EXPECT_TRUE(sawBig);
  EXPECT_TRUE(sawSmall);

  auto s = cf.OpenStream("Workbook");
  EXPECT_EQ(ReadAll(*s), big);
  EXPECT_EQ(s->Read(nullptr, 0), 0u);
  // Seeks from the start and from the current position, across sector boundaries.
  std::uint8_t b[700];
  EXPECT_EQ(s->Seek(500, SeekOrigin::Begin), 500u);
  ASSERT_EQ(s->Read(b, 700), 700u);
  EXPECT_EQ(0, std::memcmp(b, big.data() + 500, 700));
  EXPECT_EQ(s->Seek(-200, SeekOrigin::Current), 1000u);
  ASSERT_EQ(s->Read(b, 4), 4u);
  EXPECT_EQ(0, std::memcmp(b, big.data() + 1000, 4));
  EXPECT_THROW(s->Seek(-5000, SeekOrigin::Current), CfbError);
  s->Seek(20000, SeekOrigin::Begin);
  EXPECT_EQ(s->Read(b, 10), 0u);

  auto m = cf.OpenStream("Small");
  EXPECT_EQ(ReadAll(*m), small);
  EXPECT_THROW(cf.OpenStream("workbook"), CfbError);  // names compare exactly
}

TEST(CompoundFile, PlainAndMissingFilesAreNotCompoundFiles) {
  testbiff::TempFile plain(Bytes{0x09, 0x08, 0x08, 0x00, 1, 2, 3, 4, 5, 6, 7, 8});
  EXPECT_FALSE(CompoundFile::IsCompoundFile(plain.path()));
  EXPECT_FALSE(CompoundFile::IsCompoundFile("/nonexistent/book.xls"));
  EXPECT_THROW(CompoundFile{plain.path()}, CfbError);
}

TEST(CompoundFile, LargeStreamsNeedTheDifat) {
  // More than 109 FAT sectors: the FAT's own sector list continues in DIFAT sectors.
  const Bytes big = Pattern(109 * 128 * 512 + 4096, 3);
  testbiff::TempFile file(testbiff::WriteCompoundFile({{"Workbook", big}}));
  CompoundFile cf(file.path());
  auto s = cf.OpenStream("Workbook");
  ASSERT_EQ(s->Size(), big.size());
  EXPECT_TRUE(ReadAll(*s) == big);
}

// A good file with a regular and a mini stream; each test damages it in one place.
class DamagedCompoundFile : public ::testing::Test {
 protected:
  const Bytes good =
      testbiff::WriteCompoundFile({{"Workbook", Pattern(5000, 4)}, {"Small", Pattern(200, 5)}});
  const std::size_t wb = DirEntry(good, "Workbook");
  const std::uint32_t start = Get32(good, wb + cfb::dirent::kStart);
};

TEST_F(DamagedCompoundFile, AFatChainThatLoopsBackToItsStart) {
  // A FAT chain that loops back to its own start.
  Bytes f = good;
  Put32(f, FatEntry(f, start + 2), start);
  testbiff::TempFile t(f);
  CompoundFile cf(t.path());
  try {
    cf.OpenStream("Workbook");
    FAIL() << "a looping chain was accepted";
  } catch (const CfbError& e) {
    EXPECT_NE(std::string(e.what()).find("loop"), std::string::npos) << e.what();
  }
}

TEST_F(DamagedCompoundFile, AChainThatLeavesTheFile) {
  // A chain that leaves the file.
  Bytes f = good;
  Put32(f, FatEntry(f, start + 1), 0x00FFFFF0);
  testbiff::TempFile t(f);
  CompoundFile cf(t.path());
  EXPECT_THROW(cf.OpenStream("Workbook"), CfbError);
}

TEST_F(DamagedCompoundFile, ADirectoryTreeThatPointsBackAtItself) {
  // A directory whose tree points back at itself.
  Bytes f = good;
  Put32(f, wb + cfb::dirent::kLeft,
        static_cast<std::uint32_t>((wb - SectorAt(Get32(f, hdr::kFirstDirSector))) /
                                   cfb::kDirEntrySize));
  testbiff::TempFile t(f);
  EXPECT_THROW(CompoundFile{t.path()}, CfbError);
}

TEST_F(DamagedCompoundFile, AMiniChainThatLoops) {
  // A mini chain that loops.
  Bytes f = good;
  const std::size_t sm = DirEntry(f, "Small");
  const std::uint32_t mstart = Get32(f, sm + cfb::dirent::kStart);
  const std::uint32_t miniFat = Get32(f, hdr::kFirstMiniFatSector);
  Put32(f, SectorAt(miniFat) + 4 * (mstart + 1), mstart);
  testbiff::TempFile t(f);
  CompoundFile cf(t.path());
  EXPECT_THROW(cf.OpenStream("Small"), CfbError);
}

TEST_F(DamagedCompoundFile, ADeclaredSizeBeyondTheFileIsCutToTheChain) {
  // A declared size far beyond the file is cut to what the chain holds.
  Bytes f = good;
  Put32(f, wb + cfb::dirent::kSize, 0x7FFFFFF0);
  testbiff::TempFile t(f);
  CompoundFile cf(t.path());
  auto s = cf.OpenStream("Workbook");
  EXPECT_LE(s->Size(), f.size());
  EXPECT_GE(ReadAll(*s).size(), 5000u);
}

TEST_F(DamagedCompoundFile, AMiniCutoffAndA4GbSizeAllocateNoMore) {
  // A mini cutoff and a stream size of 4 GB: the stream is read from the mini stream as far
  // as its chain goes, without an allocation of the declared size.
  Bytes f = good;
  Put32(f, hdr::kMiniCutoff, 0xFFFFFFFF);
  Put32(f, DirEntry(f, "Small") + cfb::dirent::kSize, 0xFFFFFFF0);
  testbiff::TempFile t(f);
  // In a child whose address space is capped (not under the sanitizers, which reserve more).
  const pid_t child = fork();
  if (child == 0) {
#if !defined(__SANITIZE_ADDRESS__) && !IMPPRET_TEST_ASAN
    const rlimit cap{rlim_t{512} << 20, rlim_t{512} << 20};
    setrlimit(RLIMIT_AS, &cap);
#endif
    try {
      CompoundFile cf(t.path());
      const Bytes got = ReadAll(*cf.OpenStream("Small"));
      const bool ok = got.size() >= 200 && got.size() <= f.size() &&
                      Bytes(got.begin(), got.begin() + 200) == Pattern(200, 5);
      _exit(ok ? 0 : 1);
    } catch (...) {
      _exit(2);
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(DamagedCompoundFile, AFileCutInsideItsHeaderOrDirectory) {
  // A file cut short inside the header, and one cut inside its directory.
  testbiff::TempFile t(Bytes(good.begin(), good.begin() + 300));
  EXPECT_THROW(CompoundFile{t.path()}, CfbError);
  Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(
                                             SectorAt(Get32(good, hdr::kFirstDirSector))));
  testbiff::TempFile t2(cut);
  EXPECT_THROW(CompoundFile{t2.path()}, CfbError);
}

TEST_F(DamagedCompoundFile, AnOverstatedFatSectorCountIsBounded) {
  // An overstated FAT sector count is bounded by the file; the streams still read.
  Bytes f = good;
  Put32(f, hdr::kFatSectorCount, 1000000);
  testbiff::TempFile t(f);
  CompoundFile cf(t.path());
  EXPECT_EQ(ReadAll(*cf.OpenStream("Workbook")), Pattern(5000, 4));
}

TEST_F(DamagedCompoundFile, AFatSectorOutsideTheFileEndsItsChains) {
  // A FAT sector number outside the file: chains through it end there.
  Bytes f = good;
  Put32(f, hdr::kDifat, 0x00FFFFF0);
  testbiff::TempFile t(f);
  try {
    CompoundFile cf(t.path());
    EXPECT_LT(ReadAll(*cf.OpenStream("Workbook")).size(), 5000u);
  } catch (const CfbError&) {
    // refusing the file is as good
  }
}

// A version 4 file by hand: 4096-byte sectors; sector 0 FAT, 1 directory, 2-3 the stream.
TEST(CompoundFile, ReadsVersion4Files) {
  const std::size_t ss = 4096;
  Bytes f(ss * 5, 0);
  std::memcpy(f.data(), cfb::kSignature, sizeof cfb::kSignature);
  f[hdr::kMinorVersion] = 0x3E;
  f[hdr::kMajorVersion] = 4;
  f[hdr::kByteOrder] = 0xFE;
  f[hdr::kByteOrder + 1] = 0xFF;
  f[hdr::kSectorShift] = 12;
  f[hdr::kMiniSectorShift] = 6;
  Put32(f, hdr::kFatSectorCount, 1);
  Put32(f, hdr::kFirstDirSector, 1);
  Put32(f, hdr::kMiniCutoff, 4096);
  Put32(f, hdr::kFirstMiniFatSector, cfb::kEndOfChain);  // no mini FAT
  Put32(f, hdr::kFirstDifatSector, cfb::kEndOfChain);    // no DIFAT sectors
  for (int i = 0; i < hdr::kDifatEntries; ++i) Put32(f, hdr::kDifat + 4 * i, cfb::kFreeSect);
  Put32(f, hdr::kDifat, 0);
  const std::size_t fat = ss;
  for (std::size_t i = 0; i < ss / 4; ++i) Put32(f, fat + 4 * i, cfb::kFreeSect);
  Put32(f, fat + 0, cfb::kFatSect);
  Put32(f, fat + 4, cfb::kEndOfChain);
  Put32(f, fat + 8, 3);
  Put32(f, fat + 12, cfb::kEndOfChain);
  auto entry = [&](std::size_t index, const char* name, std::uint8_t type, std::uint32_t child,
                   std::uint32_t startSector, std::uint64_t size) {
    const std::size_t at = 2 * ss + cfb::kDirEntrySize * index;
    std::size_t n = 0;
    for (; name[n]; ++n) f[at + 2 * n] = static_cast<std::uint8_t>(name[n]);
    f[at + cfb::dirent::kNameLength] = static_cast<std::uint8_t>(2 * (n + 1));
    f[at + cfb::dirent::kType] = type;
    Put32(f, at + cfb::dirent::kLeft, cfb::kNoStream);
    Put32(f, at + cfb::dirent::kRight, cfb::kNoStream);
    Put32(f, at + cfb::dirent::kChild, child);
    Put32(f, at + cfb::dirent::kStart, startSector);
    Put32(f, at + cfb::dirent::kSize, static_cast<std::uint32_t>(size));
    Put32(f, at + cfb::dirent::kSizeHigh, static_cast<std::uint32_t>(size >> 32));
  };
  entry(0, "Root Entry", 5, 1, cfb::kEndOfChain, 0);
  const Bytes data = Pattern(6000, 6);
  entry(1, "Workbook", 2, cfb::kNoStream, 2, data.size());
  std::memcpy(&f[3 * ss], data.data(), data.size());
  testbiff::TempFile t(f);
  CompoundFile cf(t.path());
  EXPECT_EQ(cf.MajorVersion(), 4);
  ASSERT_EQ(cf.RootElements().size(), 1u);
  EXPECT_EQ(cf.RootElements()[0].Name, "Workbook");
  EXPECT_EQ(cf.RootElements()[0].Size, 6000u);
  auto s = cf.OpenStream("Workbook");
  EXPECT_EQ(ReadAll(*s), data);
}

}  // namespace
