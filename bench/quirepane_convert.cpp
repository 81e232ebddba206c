// Command-line front of the control for benchmarks:
//   quirepane_convert [--append] [--type N] SOURCE DEST     one conversion;
//       exit status is the CR_Result
//   quirepane_convert --batch DESTFOLDER SOURCE...           each source into
//       its own PDF in one process; prints "seconds images"
//   quirepane_convert --append-series N SOURCE DEST          appends SOURCE N
//       times to DEST; prints "k milliseconds" per append
//   quirepane_convert --append-files DEST SOURCE...          appends each
//       SOURCE to DEST in turn; prints "k milliseconds" per append
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "pdfcontrol/quirepane.h"
#include "platform/heap_reuse.h"

namespace {

using Clock = std::chrono::steady_clock;

int ConvertOne(quirepane::Quirepane& control, const std::string& source, const std::string& dest, bool append,
               long type) {
  control.SetSourceFile(source);
  control.SetDestinationFile(dest);
  control.SetAppendToExisting(append);
  control.SetFileType(type);
  control.SetPDFTitle("Benchmark");
  int result = -1;
  control.Done = [&result](quirepane::CR_Result status) { result = status; };
  control.Convert();
  if (result != 0) std::fprintf(stderr, "%s: result %d: %s\n", source.c_str(), result, control.LastError().c_str());
  return result;
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  tessa::KeepLargeBlocksForReuse();
  std::vector<std::string> args(argv + 1, argv + argc);
  quirepane::Quirepane control;
  if (args.size() >= 2 && args[0] == "--batch") {
    const auto start = Clock::now();
    int failures = 0;
    for (size_t i = 2; i < args.size(); ++i) {
      const std::string dest = args[1] + "/" + std::filesystem::path(args[i]).stem().string() + ".pdf";
      failures += ConvertOne(control, args[i], dest, false, -1) != 0;
    }
    std::printf("%.6f %zu\n", Seconds(start), args.size() - 2);
    return failures == 0 ? 0 : 1;
  }
  if (args.size() == 4 && args[0] == "--append-series") {
    const int n = std::atoi(args[1].c_str());
    std::filesystem::remove(args[3]);
    for (int k = 1; k <= n; ++k) {
      const auto start = Clock::now();
      if (ConvertOne(control, args[2], args[3], true, -1) != 0) return 1;
      std::printf("%d %.3f\n", k, Seconds(start) * 1000.0);
    }
    return 0;
  }
  if (args.size() >= 2 && args[0] == "--append-files") {
    std::filesystem::remove(args[1]);
    for (size_t i = 2; i < args.size(); ++i) {
      const auto start = Clock::now();
      if (ConvertOne(control, args[i], args[1], true, -1) != 0) return 1;
      std::printf("%zu %.3f\n", i - 1, Seconds(start) * 1000.0);
    }
    return 0;
  }
  bool append = false;
  long type = -1;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--append") append = true;
    else if (args[i] == "--type" && i + 1 < args.size()) type = std::atol(args[++i].c_str());
    else files.push_back(args[i]);
  }
  if (files.size() != 2) {
    std::fprintf(stderr, "usage: quirepane_convert [--append] [--type N] SOURCE DEST\n");
    return 64;
  }
  return ConvertOne(control, files[0], files[1], append, type);
}
