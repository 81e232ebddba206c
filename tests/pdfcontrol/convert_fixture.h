// A control with its temporary folder pointed into a test folder, so each
// test can see that no working file is left behind.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "image_factory.h"
#include "pdfcontrol/quirepane.h"
#include "support/temp_dir.h"

namespace quirepane::test {

class ConvertFixture : public ::testing::Test {
 protected:
  ConvertFixture() {
    std::filesystem::create_directories(tmp_);
    env_ = std::make_unique<tessa::test::ScopedEnv>("TMPDIR", tmp_);
    control_.Done = [this](CR_Result status) { results_.push_back(status); };
  }
  ~ConvertFixture() override {
    EXPECT_TRUE(LeftoverWorkFiles(tmp_).empty()) << "a working file was left in the temporary folder";
  }

  std::string File(const std::string& name) const { return dir_.file(name); }

  // Sets every property and converts; expects exactly one Done.
  CR_Result Convert(const std::string& source, const std::string& destination, long type = -1, bool append = false,
                    const std::string& title = "") {
    control_.SetAppendToExisting(append);
    control_.SetFileType(type);
    control_.SetSourceFile(source);
    control_.SetDestinationFile(destination);
    control_.SetPDFTitle(title);
    control_.SetPDFAuthor("");
    control_.SetPDFSubject("");
    control_.SetPDFCreator("");
    control_.SetPDFKeyword("");
    results_.clear();
    control_.Convert();
    EXPECT_EQ(results_.size(), 1u) << "Done must be raised exactly once";
    return results_.empty() ? CR_Failure_General : results_.back();
  }

  tessa::test::TempDir dir_;
  std::string tmp_ = dir_.file("tmp");
  std::unique_ptr<tessa::test::ScopedEnv> env_;
  Quirepane control_;
  std::vector<CR_Result> results_;
};

}  // namespace quirepane::test
