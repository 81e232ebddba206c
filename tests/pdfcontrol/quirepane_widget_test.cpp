#include "pdfcontrol/qt/quirepane_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include <memory>

#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

QApplication& App() {
  static tessa::test::ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

TEST(QuirepaneWidget, StaysThirtyTwoPixelsSquare) {
  App();
  QuirepaneWidget widget;
  widget.resize(200, 100);
  EXPECT_EQ(widget.size(), QSize(32, 32));
  EXPECT_TRUE(static_cast<bool>(widget.control().AboutBoxHandler));
}

TEST(QuirepaneWidget, AboutBoxShowsCaptionAndVersion) {
  App();
  std::unique_ptr<QDialog> box(CreateAboutBox());
  EXPECT_EQ(box->windowTitle(), "Quirepane - Corvane");
  auto* version = box->findChild<QLabel*>("lblVersion");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->text(), "Quirepane  v1.0.0");
}

}  // namespace
}  // namespace quirepane::test
