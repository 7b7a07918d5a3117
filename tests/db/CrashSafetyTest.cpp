// A writer killed in the middle of a series of posts: every post it completed is in the table
// for our engine and for pxlib.
#include <gtest/gtest.h>
#include <paradox.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "db/Catalogue.h"
#include "db/PxOracle.h"
#include "db/TestUtil.h"
#include "platform/File.h"
#include "platform/Formats.h"
#include "platform/db/TableFile.h"

namespace {

using db::KeyValue;

struct Done {
  int kind;  // 0 insert, 1 in-place update
  int art;
  int idx;
  int value;
};

// Runs in the child: posts until killed, reporting each completed post through `fd`.
[[noreturn]] void Writer(const std::filesystem::path& folder, int fd, unsigned seed) {
  try {
    db::Table m;
    dbtest::OpenTable(m, folder, "PRETM");
    std::mt19937 rng(seed);
    for (int i = 1;; ++i) {
      Done d{};
      if (i % 3 == 0) {
        d = {1, static_cast<int>(rng() % 3000), 1, i};
        if (!m.FindKey({KeyValue{std::int64_t{d.art}}, KeyValue{std::int64_t{1}}})) _exit(3);
        m.Edit();
        m.FieldByName("Valuta").SetAsFloat(i);
        m.Post();
      } else {
        d = {0, static_cast<int>(rng() % 3000), 2 + i, i};
        m.Append();
        m.Fields(0).SetAsInteger(d.art);
        m.Fields(1).SetAsInteger(d.idx);
        m.Fields(3).SetAsFloat(i);
        m.Post();
      }
      if (write(fd, &d, sizeof d) != static_cast<ssize_t>(sizeof d)) _exit(4);
    }
  } catch (...) {
    _exit(5);
  }
}

// A child that reports through a pipe: `body` runs in it with the write end and ends it with
// _exit; the parent keeps the pid and the read end.
struct Child {
  pid_t pid = -1;
  int fd = -1;
};

void StartChild(const std::function<void(int)>& body, Child& child) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  child.pid = fork();
  ASSERT_GE(child.pid, 0);
  if (child.pid == 0) {
    close(fds[0]);
    body(fds[1]);
    _exit(7);
  }
  close(fds[1]);
  child.fd = fds[0];
}

TEST(CrashSafety, KilledWriterLeavesEveryCompletedPost) {
  platform::FixProgramFormats();
  for (unsigned round = 0; round < 6; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    dbtest::TempDir dir;
    db::CreateTable(dir.path(), "PRETM", dbtest::PretMFields(), 2);
    {
      db::Table m;
      dbtest::OpenTable(m, dir.path(), "PRETM");
      for (int art = 0; art < 3000; ++art) {
        m.Append();
        m.Fields(0).SetAsInteger(art);
        m.Fields(1).SetAsInteger(1);
        m.Post();
      }
    }
    Child w;
    ASSERT_NO_FATAL_FAILURE(StartChild([&](int fd) { Writer(dir.path(), fd, round + 1); }, w));
    std::vector<Done> done;
    std::mt19937 rng(round);
    const std::size_t killAfter = 200 + rng() % 300;
    Done d;
    while (done.size() < killAfter && read(w.fd, &d, sizeof d) == static_cast<ssize_t>(sizeof d))
      done.push_back(d);
    usleep(static_cast<useconds_t>(rng() % 300));
    kill(w.pid, SIGKILL);
    int status = 0;
    waitpid(w.pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << WEXITSTATUS(status);
    while (read(w.fd, &d, sizeof d) == static_cast<ssize_t>(sizeof d)) done.push_back(d);
    close(w.fd);
    ASSERT_GE(done.size(), killAfter);

    std::set<std::pair<int, int>> inserted;
    std::map<int, int> lastUpdate;
    for (const Done& x : done) {
      if (x.kind == 0)
        inserted.insert({x.art, x.idx});
      else
        lastUpdate[x.art] = x.value;
    }
    auto check = [&](const char* when, bool withPxlib) {
      SCOPED_TRACE(when);
      // Our engine: every completed insert and update, in key order.
      db::Table m;
      dbtest::OpenTable(m, dir.path(), "PRETM");
      EXPECT_GE(m.RecordCount(), static_cast<int>(3000 + inserted.size()));
      EXPECT_LE(m.RecordCount(), static_cast<int>(3000 + inserted.size() + 1));
      for (const auto& [art, idx] : inserted)
        EXPECT_TRUE(m.FindKey({KeyValue{std::int64_t{art}}, KeyValue{std::int64_t{idx}}}))
            << art << "/" << idx;
      for (const auto& [art, value] : lastUpdate) {
        ASSERT_TRUE(m.FindKey({KeyValue{std::int64_t{art}}, KeyValue{std::int64_t{1}}}));
        EXPECT_GE(m.FieldByName("Valuta").AsFloat(), value);  // a later, unreported post may follow
      }
      if (!withPxlib) return;
      // pxlib through the primary index.
      pxo::Contents read;
      std::string error;
      ASSERT_TRUE(pxo::Read(dir.path() / "PRETM.DB", dir.path() / "PRETM.PX", read, error))
          << error;
      std::set<std::pair<int, int>> seen;
      long long prevArt = -1, prevIdx = 0;
      for (const auto& row : read.rows) {
        EXPECT_TRUE(row[0].i > prevArt || (row[0].i == prevArt && row[1].i > prevIdx));
        prevArt = row[0].i;
        prevIdx = row[1].i;
        seen.insert({static_cast<int>(row[0].i), static_cast<int>(row[1].i)});
      }
      for (const auto& key : inserted)
        EXPECT_TRUE(seen.count(key)) << key.first << "/" << key.second;
    };
    // The next open puts back whatever post the kill interrupted, before anything is read.
    check("after the killed writer, reopened", true);
    std::ifstream in(dir.path() / "PRETM.DB.JNL", std::ios::binary);
    const std::string head((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(
        db::JournalIsPending(reinterpret_cast<const std::uint8_t*>(head.data()), head.size()));
  }
}

// The sweeps: a run of posts that edits, inserts into full blocks (each a split), appends a
// new last block and deletes, stopped or failed at each of its writes in turn.
struct Step {
  char kind;  // 'e' edit, 'i' insert, 'd' delete
  int art, idx;
  double value;
};

std::vector<Step> SweepRun() {
  // 340 rows of 24 bytes fill four 2 KB blocks exactly: every insert below the last block's
  // keys splits a full block the first time.
  return {{'e', 10, 1, 1.5},  {'i', 3, 1, 2.5},    {'i', 173, 1, 3.5}, {'e', 500, 1, 4.5},
          {'i', 343, 1, 5.5}, {'i', 1001, 1, 6.5}, {'d', 200, 1, 0},   {'i', 513, 1, 7.5},
          {'e', 3, 1, 8.5},   {'i', 1, 1, 9.5},    {'i', 5, 1, 10.5},  {'d', 0, 1, 0}};
}

void Apply(db::Table& m, const Step& s) {
  if (s.kind == 'i') {
    m.Append();
    m.Fields(0).SetAsInteger(s.art);
    m.Fields(1).SetAsInteger(s.idx);
    m.Fields(2).SetAsInteger(1);
    m.Fields(4).SetAsFloat(s.value);
    m.Post();
    return;
  }
  if (!m.FindKey({KeyValue{std::int64_t{s.art}}, KeyValue{std::int64_t{s.idx}}}))
    throw std::runtime_error("missing row " + std::to_string(s.art));
  if (s.kind == 'd') {
    m.Delete();
    return;
  }
  m.Edit();
  m.Fields(4).SetAsFloat(s.value);
  m.Post();
}

std::string Bytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

using Snapshot = std::pair<std::string, std::string>;  // .DB and .PX

Snapshot Files(const std::filesystem::path& dir) {
  return {Bytes(dir / "PRETM.DB"), Bytes(dir / "PRETM.PX")};
}

void CopyTable(const std::filesystem::path& from, const std::filesystem::path& to) {
  for (const char* name : {"PRETM.DB", "PRETM.PX"})
    std::filesystem::copy_file(from / name, to / name,
                               std::filesystem::copy_options::overwrite_existing);
  std::filesystem::remove(to / "PRETM.DB.JNL");
}

// pxlib's view: the header's count equals the rows read through the index, keys ascending;
// and every index entry names its block with that block's first key and count.
void CheckWithPxlib(const std::filesystem::path& dir) {
  EXPECT_TRUE(db::TableFile(dir / "PRETM.DB").PrimaryIndexCurrent());
  pxo::Contents read;
  std::string error;
  ASSERT_TRUE(pxo::Read(dir / "PRETM.DB", dir / "PRETM.PX", read, error)) << error;
  EXPECT_EQ(read.records, static_cast<int>(read.rows.size()));
  for (std::size_t r = 1; r < read.rows.size(); ++r)
    EXPECT_TRUE(
        read.rows[r - 1][0].i < read.rows[r][0].i ||
        (read.rows[r - 1][0].i == read.rows[r][0].i && read.rows[r - 1][1].i < read.rows[r][1].i))
        << "row " << r;
}

// The base table, made by our engine or by pxlib, and the files after each post of the run.
struct Sweep {
  dbtest::TempDir base, ref;
  std::vector<Snapshot> after;  // [k]: after k posts
  std::uint64_t writes = 0;     // writes of the whole run

  explicit Sweep(bool pxlibMade) {
    if (pxlibMade) {
      std::vector<std::vector<pxo::Cell>> rows;
      for (int art = 0; art < 680; art += 2)
        rows.push_back({pxo::Int(art), pxo::Int(1), pxo::Int(1), pxo::Num(art), pxo::Num(1)});
      pxo::Create(base.path() / "PRETM.DB",
                  {{"CodArt", pxfLong, 4},
                   {"IndexLocal", pxfShort, 2},
                   {"CodPret", pxfShort, 2},
                   {"Lei", pxfNumber, 8},
                   {"Valuta", pxfNumber, 8}},
                  2, 1250, rows);
    } else {
      db::CreateTable(base.path(), "PRETM", dbtest::PretMFields(), 2);
      db::Table m;
      dbtest::OpenTable(m, base.path(), "PRETM");
      for (int art = 0; art < 680; art += 2) Apply(m, {'i', art, 1, 1.0});
    }
    CopyTable(base.path(), ref.path());
    db::Table m;
    dbtest::OpenTable(m, ref.path(), "PRETM");
    after.push_back(Files(ref.path()));
    platform::SetWriteFault(platform::WriteFault::None, 0);
    for (const Step& s : SweepRun()) {
      Apply(m, s);
      after.push_back(Files(ref.path()));
    }
    writes = platform::WritesSoFar();
  }
};

class PostSweep : public ::testing::TestWithParam<bool> {};

TEST_P(PostSweep, StoppedAfterEachWriteTheNextOpenRestoresTheLastWholePost) {
  platform::FixProgramFormats();
  Sweep sweep(GetParam());
  ASSERT_GT(sweep.writes, SweepRun().size());
  for (std::size_t k = 0; k < sweep.after.size(); ++k) {
    SCOPED_TRACE("reference after " + std::to_string(k) + " posts");
    dbtest::TempDir at;
    CopyTable(sweep.base.path(), at.path());
    std::filesystem::copy_file(sweep.base.path() / "PRETM.DB", at.path() / "PRETM.DB",
                               std::filesystem::copy_options::overwrite_existing);
    std::ofstream(at.path() / "PRETM.DB", std::ios::binary) << sweep.after[k].first;
    std::ofstream(at.path() / "PRETM.PX", std::ios::binary) << sweep.after[k].second;
    CheckWithPxlib(at.path());
  }
  for (std::uint64_t n = 1; n <= sweep.writes; ++n) {
    SCOPED_TRACE("stopped after write " + std::to_string(n));
    dbtest::TempDir dir;
    CopyTable(sweep.base.path(), dir.path());
    Child w;
    ASSERT_NO_FATAL_FAILURE(StartChild(
        [&](int fd) {
          platform::SetWriteFault(n % 2 ? platform::WriteFault::Kill : platform::WriteFault::Exit,
                                  n);
          try {
            db::Table m;
            dbtest::OpenTable(m, dir.path(), "PRETM");
            for (const Step& s : SweepRun()) {
              Apply(m, s);
              if (write(fd, "x", 1) != 1) _exit(4);
            }
          } catch (...) {
            _exit(5);
          }
          _exit(6);  // the run outlived its stop
        },
        w));
    std::size_t done = 0;
    char c;
    while (read(w.fd, &c, 1) == 1) ++done;
    close(w.fd);
    int status = 0;
    waitpid(w.pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0))
        << "status " << status;
    {
      db::Table m;  // opening for reading puts back the interrupted post
      dbtest::OpenTable(m, dir.path(), "PRETM");
    }
    const Snapshot now = Files(dir.path());
    const bool before = now == sweep.after[done];
    const bool whole = done + 1 < sweep.after.size() && now == sweep.after[done + 1];
    EXPECT_TRUE(before || whole) << done << " posts reported";
    CheckWithPxlib(dir.path());
  }
}

TEST_P(PostSweep, FailedWriteLeavesTheTableAsBeforeThePostWithoutReopening) {
  platform::FixProgramFormats();
  Sweep sweep(GetParam());
  const std::vector<Step> run = SweepRun();
  for (std::uint64_t n = 1; n <= sweep.writes; ++n) {
    for (auto fault : {platform::WriteFault::FailNoSpace, platform::WriteFault::FailIo}) {
      SCOPED_TRACE("write " + std::to_string(n) + " fails with " +
                   (fault == platform::WriteFault::FailIo ? "EIO" : "ENOSPC"));
      dbtest::TempDir dir;
      CopyTable(sweep.base.path(), dir.path());
      db::Table m;
      dbtest::OpenTable(m, dir.path(), "PRETM");
      platform::SetWriteFault(fault, n);
      std::size_t done = 0;
      std::string error;
      for (; done < run.size(); ++done) {
        try {
          Apply(m, run[done]);
        } catch (const db::DbError& e) {
          error = e.what();
          break;
        }
      }
      platform::SetWriteFault(platform::WriteFault::None, 0);
      ASSERT_LT(done, run.size()) << "no write failed";
      EXPECT_NE(error.find("\"PRETM.DB\""), std::string::npos) << error;
      // Still open: the failed post is already undone on disk.
      EXPECT_TRUE(Files(dir.path()) == sweep.after[done]) << done << " posts done";
      CheckWithPxlib(dir.path());
      // The same table object goes on where it stopped and ends as the run without a failure.
      for (std::size_t k = done; k < run.size(); ++k) Apply(m, run[k]);
      EXPECT_TRUE(Files(dir.path()) == sweep.after.back());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(OurAndPxlibTables, PostSweep, ::testing::Values(false, true));

}  // namespace
