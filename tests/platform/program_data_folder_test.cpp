#include "platform/program_data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace tessa {
namespace {

TEST(ProgramDataFolder, PrefersShareFolderBesideBinAndFallsBackToExecutableFolder) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.path() / "bin");
  EXPECT_EQ(ProgramDataFolderBeside(dir.file("bin")), dir.file("bin"));
  std::filesystem::create_directories(dir.path() / "share" / "tessaprint");
  EXPECT_EQ(ProgramDataFolderBeside(dir.file("bin")), dir.file("share/tessaprint"));
  EXPECT_EQ(ProgramDataFolderBeside(dir.file("bin") + "/"), dir.file("share/tessaprint"));
}

TEST(ProgramDataFolder, BuildTreeProgramFolderHoldsTheDemoFolders) {
  // Test programs run from <build>/bin like tessaprint itself.
  const std::filesystem::path folder = ProgramDataFolder();
  EXPECT_EQ(folder, std::filesystem::path(TESSA_BINARY_DIR "/share/tessaprint").lexically_normal());
  for (const char* sub : {"Demo Data", "Demo Conversion Jobs", "Demo Batch Files", "Languages"})
    EXPECT_TRUE(std::filesystem::is_directory(folder / sub)) << sub;
  EXPECT_TRUE(std::filesystem::exists(folder / "Demo Data" / "Three Pages.tif"));
}

}  // namespace
}  // namespace tessa
