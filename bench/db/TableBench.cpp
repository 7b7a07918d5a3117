// Speed of the table engine on a 100,000-article catalogue: making a secondary index current,
// a key search plus an in-place post of the price, and keyed appends to a multiple-price table.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "bench/BenchTools.h"
#include "platform/Formats.h"
#include "platform/db/CreateTable.h"
#include "platform/db/Table.h"
#include "tests/db/Catalogue.h"

namespace {

using bench::Clock;

std::string ExternCode(int i) {
  return "EX" + std::to_string(i * 7919 % 1000003);
}

}  // namespace

int main(int argc, char** argv) {
  platform::FixProgramFormats();
  const int articles = argc > 1 ? std::atoi(argv[1]) : 100000;
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("imppret-bench-db-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);

  db::CreateTable(dir, "NART", dbtest::NartFields(), 1);
  {
    Clock c;
    db::Table t;
    t.TableName = "NART";
    t.DatabaseName = dir;
    t.Open();
    for (int i = 1; i <= articles; ++i) {
      t.Append();
      t.Fields(0).SetAsInteger(i);
      t.Fields(1).SetAsString(ExternCode(i));
      t.Fields(2).SetAsString("IN" + std::to_string(i));
      t.Fields(3).SetAsString("Articol de test numarul " + std::to_string(i));
      t.Fields(4).SetAsFloat(i / 100.0);
      t.Fields(7).SetAsString("Producator " + std::to_string(i % 50));
      t.Post();
    }
    std::printf("build catalogue: %d articles, %.2f s wall, %.2f s cpu\n", articles, c.Wall(),
                c.CpuTime());
  }

  db::Table t;
  t.TableName = "Nart";
  t.DatabaseName = dir;
  t.Open();
  {
    Clock c;
    t.SetIndexName("CodExtern");
    std::printf("make index CodExtern current: %.3f s wall, %.3f s cpu (limit 0.3 s)\n", c.Wall(),
                c.CpuTime());
  }
  {
    std::mt19937 rng(1);
    const int searches = 10000;
    Clock c;
    int found = 0;
    for (int k = 0; k < searches; ++k) {
      int i = 1 + static_cast<int>(rng() % static_cast<unsigned>(articles));
      if (!t.FindKey({db::KeyValue{ExternCode(i)}})) continue;
      ++found;
      t.Edit();
      t.FieldByName("PretVanzare").SetAsFloat(k * 0.5);
      t.Post();
    }
    std::printf(
        "key search + in-place post: %d of %d found, %.2f us wall, %.2f us cpu on average (limit "
        "20 us)\n",
        found, searches, c.Wall() * 1e6 / searches, c.CpuTime() * 1e6 / searches);
  }
  t.Close();

  db::CreateTable(dir, "PRETM", dbtest::PretMFields(), 2);
  db::Table m;
  m.TableName = "PretM";
  m.DatabaseName = dir;
  m.Open();
  const int rows = articles;
  for (int r = 0; r < rows; ++r) {
    m.Append();
    m.Fields(0).SetAsInteger(r / 2 + 1);
    m.Fields(1).SetAsInteger(r % 2 + 1);
    m.Fields(2).SetAsInteger(r % 2 + 1);
    m.Fields(3).SetAsFloat(r);
    m.Post();
  }
  {
    std::mt19937 rng(2);
    const int appends = 10000;
    Clock c;
    for (int k = 0; k < appends; ++k) {
      m.Append();
      m.Fields(0).SetAsInteger(1 + static_cast<int>(rng() % static_cast<unsigned>(rows / 2)));
      m.Fields(1).SetAsInteger(3 + k);
      m.Fields(2).SetAsInteger(7);
      m.Fields(4).SetAsFloat(k);
      m.Post();
    }
    std::printf("%d keyed appends to a table of %d rows: %.2f s wall, %.2f s cpu (limit 2 s)\n",
                appends, rows, c.Wall(), c.CpuTime());
  }
  m.Close();
  std::filesystem::remove_all(dir);
  return 0;
}
