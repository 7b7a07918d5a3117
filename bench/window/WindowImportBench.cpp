// The import of one 100,000-row price list into a 100,000-article catalogue, run twice from the
// same pristine catalogue: by `imppret import` and by the main window's "&Start import" (the
// progress line, the processing of pending messages after every row and the summary included).
// Prints both processor times and their ratio.
//   window_import_bench [WORKDIR] [--xserver-pid PID]
// Under X11 (QT_QPA_PLATFORM=xcb) the X server's own processor time during the window's run is
// read from /proc when its process id is given.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "bench/BenchTools.h"
#include "bench/ImportFixture.h"
#include "import/DemoData.h"
#include "import/Settings.h"
#include "import/window/MainImportPret.h"
#include "import/window/PlanTableModel.h"
#include "platform/db/Session.h"
#include "ui/dialogs/MessageDlg.h"

namespace fs = std::filesystem;

namespace {

// User + system time of another process, from /proc (0 when unknown).
double ProcessCpuSeconds(long pid) {
  if (pid <= 0) return 0;
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream rest(stat.substr(close + 2));
  std::string f;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> f; ++i) {
    if (i == 14) utime = std::stol(f);
    if (i == 15) stime = std::stol(f);
  }
  return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

void FreshCompany(const fs::path& pristine, const fs::path& root) {
  fs::remove_all(root / "BENCH");
  fs::copy(pristine, root / "BENCH", fs::copy_options::recursive);
}

// `imppret import` as a child process; its processor time.
double ToolRun(const fs::path& root, const fs::path& book) {
  const std::string command = std::string("\"") + IMPPRET_TOOL +
                              "\" import --company BENCH --file \"" + book.string() +
                              "\" --id-col 1 --price-col 2 --start-row 2 --category 2 "
                              "--data-root \"" +
                              root.string() + "\" > /dev/null";
  const double before = bench::CpuSeconds(RUSAGE_CHILDREN);
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const double wall = bench::Seconds(start);
  const double cpu = bench::CpuSeconds(RUSAGE_CHILDREN) - before;
  std::printf("imppret import: %.3f s cpu, %.3f s wall%s\n", cpu, wall,
              status == 0 ? "" : "  (FAILED)");
  return cpu;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dir = fs::temp_directory_path() / ("window-bench-" + std::to_string(::getpid()));
  long xserver = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--xserver-pid" && i + 1 < argc)
      xserver = std::stol(argv[++i]);
    else
      dir = a;
  }
  const fs::path root = dir / "root", pristine = dir / "catalogue", book = dir / "preturi.xls";
  fs::create_directories(root);
  ::setenv("IMPPRET_HOME", (dir / "home").c_str(), 1);
  fs::create_directories(dir / "home");
  std::ofstream(db::AliasConfigPath()) << "[Tarvex]\r\nPATH=" << root.string() << "\r\n";
  if (!fs::exists(pristine / "Nart.DB")) bench::BuildCatalogue(pristine);
  if (!fs::exists(root / "Firme.DB")) imp::CreateCompanyList(root, {{"BENCH", "Firma de test"}});
  if (!fs::exists(book)) bench::WritePriceWorkbook(book, 2);

  FreshCompany(pristine, root);
  const double tool = ToolRun(root, book);

  FreshCompany(pristine, root);
  fs::remove(imp::SettingsPath());
  imp::WriteSetting("Generale", "FirmaCurenta", "BENCH");
  imp::WriteSetting("Generale", "ColCodArt", "1");
  imp::WriteSetting("Generale", "ColPret", "2");
  imp::WriteSetting("Generale", "RandStart", "2");
  imp::WriteSetting("BENCH", "FisierImport", book.string());
  imp::WriteSetting("BENCH", "CodCatPret", "2");
  QApplication app(argc, argv);
  std::string summary;
  ui::SetMessageDlgInterceptor([&](const ui::MessageDlgRequest& r) -> std::uint16_t {
    summary = r.Text;
    return 1;
  });
  imp::TEMainImportPret window;
  window.show();
  QApplication::processEvents();
  auto* files = window.findChild<imp::TFileListBox*>("FileListBox1");
  files->SetFileName(QString::fromStdString(book.string()));
  const double before = bench::CpuSeconds(), xBefore = ProcessCpuSeconds(xserver);
  const auto start = std::chrono::steady_clock::now();
  window.NiceButton1Click();
  const double wall = bench::Seconds(start);
  const double cpu = bench::CpuSeconds() - before, xCpu = ProcessCpuSeconds(xserver) - xBefore;
  std::printf("window import:  %.3f s cpu, %.3f s wall", cpu, wall);
  if (xserver > 0) std::printf(", X server %.3f s cpu", xCpu);
  std::printf("\n  summary: %s\n", summary.c_str());
  std::printf("ratio window/tool (cpu%s): %.2f\n", xserver > 0 ? " incl. X server" : "",
              (cpu + xCpu) / tool);

  // "&Verifica" over the same list, then the preview page with all its rows: shown, painted,
  // sorted by percent and painted again.
  auto* notebook = window.findChild<QTabWidget*>("TBN");
  auto* table = window.findChild<QTableView*>("GPlan");
  notebook->setCurrentIndex(imp::kSettingsPage);
  QApplication::processEvents();
  auto mark = std::chrono::steady_clock::now();
  window.BVerificaClick();
  QApplication::processEvents();
  table->viewport()->repaint();
  std::printf("Verifica (dry run, plan, page shown): %.3f s wall, %d rows in the table\n",
              bench::Seconds(mark), table->model()->rowCount());
  notebook->setCurrentIndex(imp::kSettingsPage);
  QApplication::processEvents();
  mark = std::chrono::steady_clock::now();
  notebook->setCurrentIndex(imp::kPreviewPage);
  QApplication::processEvents();
  table->viewport()->repaint();
  std::printf("preview page shown and painted: %.3f s wall\n", bench::Seconds(mark));
  mark = std::chrono::steady_clock::now();
  table->sortByColumn(imp::TPlanTableModel::colPercent, Qt::DescendingOrder);
  QApplication::processEvents();
  table->viewport()->repaint();
  std::printf("sorted by percent and painted: %.3f s wall\n", bench::Seconds(mark));
  return 0;
}
