// libqpdf and libtiff, loaded on the first call into them: first calls
// racing from many threads all arrive, what qpdf throws on its first call
// reaches the caller, and libtiff speaks to our handlers from its first call.
#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFSystemError.hh>
#include <tiffio.h>

#include <atomic>
#include <thread>
#include <vector>

#include "pdfcontrol/tiff_messages.h"

namespace quirepane {
namespace {

TEST(OnDemandEntries, FirstCallsFromManyThreadsArriveAndWhatTheyThrowIsCaught) {
  const std::string missing = "/nonexistent/on-demand/in";
  constexpr int kThreads = 8;
  std::atomic<bool> go{false};
  std::atomic<int> unopened{0}, caught{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back([&] {
      while (!go.load()) std::this_thread::yield();
      if (!TIFFOpen((missing + ".tif").c_str(), "r")) ++unopened;
      try {
        QPDF pdf;
        pdf.processFile((missing + ".pdf").c_str());
      } catch (const QPDFSystemError&) {
        ++caught;
      }
    });
  go = true;
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(unopened, kThreads);
  EXPECT_EQ(caught, kThreads);
  const std::string kept = TakeTiffMessages();  // not printed: the handlers went in as libtiff loaded
  size_t count = 0;
  for (size_t at = kept.find(missing); at != std::string::npos; at = kept.find(missing, at + 1)) ++count;
  EXPECT_EQ(count, size_t{kThreads}) << kept;
}

}  // namespace
}  // namespace quirepane
