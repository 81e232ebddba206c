// The context helper over a private session bus with the real tessaprint
// automation service: the Process object and its work queue run in this
// process (so the overwrite questions can be answered from a script), the
// test calls it over the bus as the file-manager extension does.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>

#include "support/child_process.h"
#include "contexthelper/helper_texts.h"
#include "contexthelper/qt/helper_service.h"
#include "contexthelper/qt/process_object.h"
#include "contexthelper/qt/progress_window.h"
#include "platform/bus_names.h"
#include "platform/ini_file.h"
#include "support/pdf_report.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa::ferrowick {
namespace {

namespace fs = std::filesystem;
const std::string kDemo = TESSA_BINARY_DIR "/share/tessaprint/Demo Data/";

void App() {
  static int argc = 1;
  static char name[] = "test_contexthelper";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Kept to the end of the process: destroyed among the static objects it
  // would outlive Qt's own.
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

// Lets events run until done() holds, at most two minutes.
template <typename Done>
bool PumpUntil(Done done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 120000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

// The kind of each page's picture, which tells the demo images apart.
std::vector<std::string> PageKinds(const std::string& pdf) {
  std::vector<std::string> kinds;
  for (const test::PdfImage& image : test::PdfImages(pdf)) kinds.push_back(image.color + "/" + image.encoding);
  return kinds;
}

int Pages(const std::string& pdf) {
  const std::string pages = test::InfoField(test::PdfInfo(pdf), "Pages");
  return pages.empty() ? -1 : std::stoi(pages);
}

QVariant Variant(const QVariant& v) { return QVariant::fromValue(QDBusVariant(v)); }

// A private session bus whose activation files are those of the build; the
// programs it starts draw off-screen.
class BusFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    home_ = std::make_unique<test::TempDir>();
    bus_ = std::make_unique<test::PrivateSessionBus>(
        home(), test::ChildEnvironment(home(), {{"QT_QPA_PLATFORM", "offscreen"}}));
    ASSERT_FALSE(bus_->address().empty()) << "dbus-run-session did not start";
  }
  void TearDown() override {
    bus_.reset();
    home_.reset();
  }
  std::string home() const { return home_->path().string(); }
  std::string work(const std::string& name) const { return home() + "/work/" + name; }
  std::string Copy(const std::string& demo, const std::string& name) const {
    fs::create_directories(fs::path(work(name)).parent_path());
    fs::copy_file(kDemo + demo, work(name));
    return work(name);
  }
  const std::string& address() const { return bus_->address(); }

 private:
  std::unique_ptr<test::TempDir> home_;
  std::unique_ptr<test::PrivateSessionBus> bus_;
};

// The helper in this process, its questions scripted, its results' opening
// recorded, and what each run left in its window.
class HelperBus : public BusFixture {
 protected:
  struct Run {
    QString errors;
    bool closeShown = false;
  };

  void SetUp() override {
    BusFixture::SetUp();
    ASSERT_FALSE(HasFailure());
    helperBus_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QString::fromStdString(address()), QStringLiteral("helper")));
    clientBus_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QString::fromStdString(address()), QStringLiteral("client")));
    service_ = std::make_unique<HelperService>(*helperBus_, ui_);
    service_->SetOpener([this](const std::string& path) { opened_.push_back(path); });
    process_ = std::make_unique<ProcessObject>(*service_);
    ASSERT_TRUE(process_->Publish(*helperBus_));
    QObject::connect(service_.get(), &HelperService::RunStarted, [this](ProgressWindow* w) { window_ = w; });
    QObject::connect(service_.get(), &HelperService::RunFinished, [this] {
      runs_.push_back({window_->findChild<QPlainTextEdit*>("txtErrors")->toPlainText(),
                       !window_->findChild<QPushButton*>("cmdClose")->isHidden()});
    });
  }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<ProgressWindow*>(w)) delete w;
    process_.reset();
    service_.reset();
    helperBus_.reset();
    clientBus_.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("helper"));
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    BusFixture::TearDown();
  }

  // Calls a Process method over the bus; its reply comes before any work.
  void Call(const QString& method, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(bus::kFerrowickService, bus::kFerrowickProcessPath,
                                                       bus::kFerrowickProcessInterface, method);
    call.setArguments(args);
    QDBusPendingCall pending = clientBus_->asyncCall(call);
    ASSERT_TRUE(PumpUntil([&] { return pending.isFinished(); }));
    ASSERT_FALSE(pending.isError()) << pending.error().message().toStdString();
  }
  void WaitForRuns(size_t count) { ASSERT_TRUE(PumpUntil([&] { return runs_.size() >= count; })); }

  QStringList Paths(std::initializer_list<std::string> paths) {
    QStringList list{QString()};
    for (const std::string& p : paths) list << QString::fromStdString(p);
    return list;
  }
  QString q(const std::string& s) { return QString::fromStdString(s); }

  test::ScriptedUserInterface ui_;
  std::unique_ptr<QDBusConnection> helperBus_, clientBus_;
  std::unique_ptr<HelperService> service_;
  std::unique_ptr<ProcessObject> process_;
  QPointer<ProgressWindow> window_;
  std::vector<Run> runs_;
  std::vector<std::string> opened_;
};

TEST_F(HelperBus, OnePdfPerFileQueuedRequestsClashesAndOwnOutputs) {
  const std::string pics = work("pics/");
  Copy("Sunrise.jpg", "pics/a.jpg");
  Copy("Checkerboard.png", "pics/B.PNG");
  Copy("Rings.gif", "pics/sub/deep/c.gif");
  Copy("Sunrise.jpg", "pics/.hidden/d.jpg");
  Copy("Sunrise.jpg", "pics/photo.jpg");
  Copy("Checkerboard.png", "pics/photo.png");
  test::WriteFile(pics + "notes.txt", "not an image");
  const std::string report = test::WriteFile(work("report.PDF"), "%PDF-1.4 the user's own report\n");
  const std::string reportJpg = Copy("Sunrise.jpg", "report.jpg");

  // Two requests at once: the second waits for the first instead of taking
  // its place.
  Call("ProcessFiles", {Paths({work("pics")}), "ignored", true, true, true, false, q(work("pics"))});
  Call("ProcessFiles", {Paths({pics + "a.jpg", reportJpg, report}), "", true, false, false, true, q(pics + "a.jpg")});
  WaitForRuns(2);

  const std::string out = pics + "Vemo-Output/";
  for (const char* pdf : {"a.PDF", "B.PDF", "photo.PDF", "sub/deep/c.PDF"})
    EXPECT_TRUE(test::PdfIsSound(out + pdf)) << pdf;
  EXPECT_FALSE(fs::exists(out + "d.PDF")) << "hidden folders are not searched";
  EXPECT_EQ(runs_[0].errors.toStdString(), "Error: " + pics + "photo.png - Skipped: " + pics + "photo.jpg was converted to " +
                                               out + "photo.PDF in this run already.");
  EXPECT_EQ(opened_, (std::vector<std::string>{out + "a.PDF", out + "B.PDF", out + "photo.PDF", out + "sub/deep/c.PDF"}));

  EXPECT_EQ(Pages(pics + "a.PDF"), 1) << "saved beside the source";
  EXPECT_EQ(runs_[1].errors.toStdString(), "Error: " + reportJpg + " - Skipped: its output " + report +
                                               " is one of the chosen files.\nError: " + report +
                                               " - Skipped: the file would be its own output.");
  EXPECT_EQ(test::ReadFile(report), "%PDF-1.4 the user's own report\n");
  EXPECT_TRUE(runs_[1].closeShown);
}

// A name holding a backslash cannot go into a command, which reads it as
// "/": it is skipped with that reason.
TEST_F(HelperBus, AListedNameHoldingABackslashIsSkippedWithItsReason) {
  const std::string odd = Copy("Sunrise.jpg", "pics/..\\odd.jpg");
  Call("ProcessFiles", {Paths({work("pics")}), "", true, false, false, false, q(work("pics"))});
  WaitForRuns(1);
  EXPECT_EQ(runs_[0].errors.toStdString(), "Error: " + odd + " - Skipped: its name holds a backslash (\\), which "
                                           "tessaprint reads as a folder separator. Rename it to convert it.");
}

TEST_F(HelperBus, OverwriteQuestionYesCoversTheRunNoSkipsExistingOnly) {
  const std::string a = Copy("Sunrise.jpg", "in/a.jpg"), b = Copy("Rings.gif", "in/b.gif");
  const std::string c = Copy("Stripes.bmp", "in/c.bmp");
  const QVariantList args{Paths({work("in")}), "", false, false, false, false, q(work("in"))};
  const std::string out = work("in/Vemo-Output/");
  test::WriteFile(out + "a.PDF", "old a");
  test::WriteFile(out + "b.PDF", "old b");

  ui_.Answer(vbNo);
  Call("ProcessFiles", args);
  WaitForRuns(1);
  EXPECT_EQ(test::ReadFile(out + "a.PDF"), "old a");
  EXPECT_EQ(test::ReadFile(out + "b.PDF"), "old b");
  EXPECT_TRUE(test::PdfIsSound(out + "c.PDF")) << "a missing output is still made";
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].prompt, "One or more files already exists. Would you like to overwrite them?");
  EXPECT_EQ(ui_.boxes[0].title, "Overwrite?");

  ui_.Answer(vbYes);
  Call("ProcessFiles", args);
  WaitForRuns(2);
  EXPECT_EQ(ui_.boxes.size(), 2u) << "Yes is asked once for the whole run";
  for (const char* pdf : {"a.PDF", "b.PDF", "c.PDF"}) EXPECT_TRUE(test::PdfIsSound(out + pdf)) << pdf;
  EXPECT_EQ(runs_[1].errors, "");
  EXPECT_TRUE(PumpUntil([&] { return window_.isNull(); })) << "a clean run's window closes by itself";
}

TEST_F(HelperBus, OneNewPdfThenAppendOverwriteCancelAndAppendFiles) {
  const std::string a = Copy("Sunrise.jpg", "in/a.jpg"), b = Copy("Rings.gif", "in/b.gif");
  const std::string c = Copy("Checkerboard.png", "in/c.png");
  const std::string vemo = work("in/Vemo-Output.PDF");
  const QVariantList args{Paths({a, b, c}), "\" /T \"x.pdf\" /F -1 /+", false, q(work("ignored.pdf")), true, false,
                          Variant(int(0)), q(a)};
  Call("ConvertAndAppendFiles", args);
  WaitForRuns(1);
  const test::PdfReport first = test::InspectPdf(vemo);
  EXPECT_TRUE(first.checkPassed);
  ASSERT_EQ(first.pages, 3);
  const std::vector<std::string> kinds = PageKinds(vemo);
  EXPECT_EQ(kinds, (std::vector<std::string>{"rgb/jpeg", "index/image", "rgb/image"})) << "pages in the order chosen";

  struct Step {
    int answer, pages;
  } steps[] = {{vbNo, 6}, {vbYes, 3}, {vbCancel, 3}};
  for (const Step& s : steps) {
    ui_.Answer(s.answer);
    Call("ConvertAndAppendFiles", args);
    WaitForRuns(runs_.size() + 1);
    EXPECT_EQ(Pages(vemo), s.pages) << s.answer;
    EXPECT_EQ(runs_.back().errors, "");
  }
  EXPECT_EQ(ui_.boxes.back().prompt,
            "File " + vemo + " already exists.\nClick YES to overwrite, NO to append or CANCEL to abort.");
  EXPECT_EQ(opened_, std::vector<std::string>(4, vemo)) << "opened after each run, the cancelled one too";
  EXPECT_EQ(PageKinds(vemo), kinds);

  const std::string target = work("kept/target.pdf");
  fs::create_directories(work("kept"));
  fs::copy_file(vemo, target);
  Call("AppendFiles", {Paths({b, a}), "", q(target), false, false, Variant(QStringLiteral("8"))});
  WaitForRuns(runs_.size() + 1);
  const test::PdfReport appended = test::InspectPdf(target);
  EXPECT_TRUE(appended.checkPassed);
  ASSERT_EQ(appended.pages, 5);
  EXPECT_EQ(PageKinds(target), (std::vector<std::string>{kinds[0], kinds[1], kinds[2], kinds[1], kinds[0]}));

  // Chosen itself, the old PDF is kept even with Always Overwrite: the
  // other inputs follow its pages.
  Call("ConvertAndAppendFiles", {Paths({c, vemo}), "", true, "", false, false, Variant(0), q(a)});
  WaitForRuns(runs_.size() + 1);
  EXPECT_EQ(Pages(vemo), 4);
  EXPECT_EQ(runs_.back().errors.toStdString(), "Error: " + vemo + " - Skipped: the file would be its own output.");
}

TEST_F(HelperBus, ResultCodesBecomeEachRoutinesTextsAndFailuresKeepTheWindow) {
  const std::string good = Copy("Sunrise.jpg", "in/good.jpg");
  const std::string broken = test::WriteFile(work("in/broken.jpg"), "not a picture");
  const std::string missing = work("in/missing.jpg");
  const std::string letter = test::WriteFile(work("letter.pdf"), "a letter, not a PDF");
  fs::create_directories(work("empty"));
  test::WriteFile(work("in/Vemo-Output.PDF"), "no PDF either");

  Call("ProcessFiles", {Paths({broken, missing}), "", true, false, false, false, q(broken)});
  Call("AppendFiles", {Paths({broken, good}), "", q(letter), false, false, Variant(false)});
  ui_.Answer(vbNo);
  Call("ConvertAndAppendFiles", {Paths({good}), "", false, "", true, false, Variant(0), q(good)});
  Call("ProcessFiles", {Paths({work("empty")}), "", true, false, false, false, q(work("empty"))});
  // Overwriting outputs that then fail keeps the old files.
  const std::string oldOut = test::WriteFile(work("in/Vemo-Output/broken.PDF"), "old output");
  Call("ProcessFiles", {Paths({broken}), "", true, false, false, false, q(broken)});
  Call("ConvertAndAppendFiles", {Paths({broken}), "", true, "", false, false, Variant(0), q(broken)});
  WaitForRuns(6);
  EXPECT_EQ(test::ReadFile(oldOut), "old output");
  EXPECT_EQ(test::ReadFile(work("in/Vemo-Output.PDF")), "no PDF either");
  for (const char* folder : {"in", "in/Vemo-Output"})
    for (const auto& e : fs::directory_iterator(work(folder)))
      EXPECT_NE(e.path().filename().string()[0], '.') << "left aside: " << e.path();

  EXPECT_EQ(runs_[0].errors.toStdString(), "Error: " + broken + " - File is corrupt, or not a valid image file.\n" +
                                               "Error: " + missing + " - Missing command");
  EXPECT_EQ(runs_[1].errors.toStdString(), "Error: " + broken + " - File is corrupt, or not a valid image file.\n" +
                                               "Error: " + good + " - , Unknown Error: -6");
  EXPECT_EQ(runs_[2].errors.toStdString(),
            "Error: " + good + " - Unknown error occurred. Try 'Tessalumen' user interface.");
  EXPECT_TRUE(opened_.empty()) << "a failed single PDF is not opened";
  EXPECT_EQ(runs_[3].errors, "Warning: No files chosen.");
  for (const Run& run : runs_) EXPECT_TRUE(run.closeShown);

  // The last window stays, taller, with its errors and Close.
  ASSERT_TRUE(window_);
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(window_->windowTitle(), "Tessalumen Progress");
  EXPECT_TRUE(window_->findChild<QPushButton*>("cmdCancel")->isHidden());
  fs::create_directories(TESSA_BINARY_DIR "/test-screens");
  ProgressWindow* failed = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* p = qobject_cast<ProgressWindow*>(w); p && p->isVisible() &&
                                                     p->findChild<QPlainTextEdit*>("txtErrors")->toPlainText() ==
                                                         runs_[1].errors)
      failed = p;
  ASSERT_TRUE(failed);
  EXPECT_TRUE(failed->grab().save(TESSA_BINARY_DIR "/test-screens/ferrowick-progress-errors.png"));
  QTest::mouseClick(failed->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
  EXPECT_TRUE(PumpUntil([&] { return !failed->isVisible(); }));
}

// A 35-byte GIF declaring 20000 x 20000 pixels, and a bitmap cut short, are
// refused by the automation they go through instead of converting.
TEST_F(HelperBus, FilesPromisingMoreThanTheyHoldAreCorrupt) {
  const std::string gif = test::WriteFile(work("in/wide.gif"), std::string("GIF89a\x20\x4E\x20\x4E\x80\0\0\0\0\0\xFF\xFF\xFF,"
                                                                           "\0\0\0\0\x20\x4E\x20\x4E\0\x02\x02\x44\x01\0;", 35));
  const std::string bmp = Copy("Stripes.bmp", "in/cut.bmp");
  fs::resize_file(bmp, fs::file_size(bmp) - 1000);
  Call("ProcessFiles", {Paths({gif, bmp}), "", true, false, false, false, q(gif)});
  WaitForRuns(1);
  EXPECT_EQ(runs_[0].errors.toStdString(), "Error: " + gif + " - File is corrupt, or not a valid image file.\nError: " +
                                               bmp + " - File is corrupt, or not a valid image file.");
  for (const char* pdf : {"wide.PDF", "cut.PDF"}) EXPECT_FALSE(fs::exists(work("in/Vemo-Output/") + pdf)) << pdf;
}

TEST_F(HelperBus, CancelStopsAfterTheCurrentFileAndTheWindowOutlivesTheLoop) {
  const std::string a = Copy("Sunrise.jpg", "in/a.jpg");
  Copy("Rings.gif", "in/b.gif");
  Copy("Stripes.bmp", "in/c.bmp");
  bool windowLivedThroughCancel = false;
  QObject::connect(service_.get(), &HelperService::RunStarted, [&](ProgressWindow* w) {
    auto* file = w->findChild<QLineEdit*>("txtFile");
    QObject::connect(file, &QLineEdit::textChanged, w, [w, &windowLivedThroughCancel] {
      fs::create_directories(TESSA_BINARY_DIR "/test-screens");
      w->grab().save(TESSA_BINARY_DIR "/test-screens/ferrowick-progress-running.png");
      QTest::keyClick(w, Qt::Key_Escape);
      w->close();
      windowLivedThroughCancel = w->isVisible();
    }, Qt::SingleShotConnection);
  });
  Call("ProcessFiles", {Paths({work("in")}), "", true, false, false, false, q(a)});
  WaitForRuns(1);
  EXPECT_TRUE(windowLivedThroughCancel);
  EXPECT_TRUE(fs::exists(work("in/Vemo-Output/a.PDF"))) << "the current file finishes";
  EXPECT_FALSE(fs::exists(work("in/Vemo-Output/b.PDF")));
  EXPECT_TRUE(PumpUntil([&] { return window_.isNull(); })) << "the window goes once the loop has ended";
}

TEST_F(HelperBus, AnAutomationServiceThatCannotServeGives429Or438) {
  const std::string a = Copy("Sunrise.jpg", "in/a.jpg");
  service_->SetAutomationService("com.brindlecove.Nowhere");
  Call("ProcessFiles", {Paths({a}), "", true, false, false, false, q(a)});
  WaitForRuns(1);
  // A service that is there but has no such object or method.
  service_->SetAutomationService(bus::kFerrowickService);
  Call("AppendFiles", {Paths({a}), "", q(work("x.pdf")), false, false, Variant(0)});
  WaitForRuns(2);
  EXPECT_EQ(runs_[0].errors, "Error (429) This feature is for administrators only.");
  EXPECT_EQ(runs_[1].errors, "Error (438) This feature is for administrators only.");
  ASSERT_EQ(ui_.boxes.size(), 2u);
  EXPECT_EQ(ui_.boxes[1].prompt, "Error (438) This feature is for administrators only.");
}

// The file-manager menu's hand-over, run by menuvane, fits the real Process.
TEST_F(HelperBus, MenuvaneVerbsReachTheProcessAndConvert) {
  const std::string a = Copy("Sunrise.jpg", "m/a.jpg"), b = Copy("Rings.gif", "m/b.gif");
  const auto env = test::ChildEnvironment(home(), {{"DBUS_SESSION_BUS_ADDRESS", address()}});
  for (const char* verb : {"CONVERTMULTITOMULTI", "CONVERTMULTITOSINGLE", "APPEND"}) {
    const pid_t pid = test::SpawnChild(TESSA_MENUVANE, {"invoke", verb, a, b}, env);
    // menuvane waits for the reply, which this process gives. (Another
    // handler may reap it first: its effect below is what counts.)
    ASSERT_TRUE(PumpUntil([&] { return waitpid(pid, nullptr, WNOHANG) != 0; })) << verb;
    if (std::string(verb) == "CONVERTMULTITOSINGLE") {
      WaitForRuns(1);  // appending needs the first PDF
      EXPECT_EQ(test::RunChild(TESSA_MENUVANE, {"invoke", "SOURCE", work("m/Vemo-Output/a.PDF")}, env).exitCode, 0);
    }
  }
  WaitForRuns(3);
  for (const Run& run : runs_) EXPECT_EQ(run.errors, "");
  EXPECT_EQ(Pages(work("m/Vemo-Output/a.PDF")), 3) << "a, then a and b appended";
  EXPECT_EQ(Pages(work("m/Vemo-Output/b.PDF")), 1);
  EXPECT_EQ(Pages(work("m/Vemo-Output.PDF")), 2);
}

// A path the file manager hands over reaches the skip as the system names
// it: a name or folder holding a backslash, or a name ending in a blank, is
// reported, never read as another file or folder.
TEST_F(HelperBus, SelectedPathsReachTheSkipAsTheSystemNamesThem) {
  for (const char* decoy : {"victim.png", "s/x.jpg", "s/a/b/decoy.png", "s/q/p1.jpg"}) Copy("Checkerboard.png", decoy);
  const std::string odd = Copy("Sunrise.jpg", "s/t/..\\..\\victim.png"), folder = work("s/a\\b");
  const std::string cases[][3] = {{"CONVERTMULTITOMULTI", Copy("Sunrise.jpg", "s/x.jpg "), ""},
                                  {"CONVERTMULTITOMULTI", odd, ""},
                                  {"CONVERTMULTITOMULTI", folder, Copy("Sunrise.jpg", "s/a\\b/c.jpg")},
                                  {"CONVERTMULTITOSINGLE", folder, folder + "/Vemo-Output.PDF"},
                                  {"CONVERTMULTITOSINGLE", Copy("Sunrise.jpg", "s/q/p?.jpg"), ""}};
  const auto env = test::ChildEnvironment(home(), {{"DBUS_SESSION_BUS_ADDRESS", address()}});
  for (const auto& [verb, path, named] : cases) {
    const pid_t pid = test::SpawnChild(TESSA_MENUVANE, {"invoke", verb, path}, env);
    ASSERT_TRUE(PumpUntil([&] { return waitpid(pid, nullptr, WNOHANG) != 0; })) << verb;
    WaitForRuns(runs_.size() + 1);
    const std::string& shown = named.empty() ? path : named;
    EXPECT_EQ(runs_.back().errors.toStdString(), "Error: " + shown + " - " + CommandRefusal(shown));
  }
  EXPECT_EQ(ReadIniString(home() + "/.config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI", "Files", "RecentPDF", ""),
            work("s/t/Vemo-Output/..\\..\\victim.PDF"));
}

// The program itself, started by the bus for a plain command-line call.
TEST_F(BusFixture, GdbusCallStartsFerrowickWhichConvertsAndEnds) {
  Copy("Sunrise.jpg", "pics/a.jpg");
  Copy("Rings.gif", "pics/sub/b.gif");
  const std::string env = "DBUS_SESSION_BUS_ADDRESS=" + test::ShellQuote(address()) + " ";
  const auto called = test::RunCommand(
      env + "gdbus call --session --timeout 120 --dest " + bus::kFerrowickService + " --object-path " +
            bus::kFerrowickProcessPath + " --method " + bus::kFerrowickProcessInterface + ".ProcessFiles \"['', '" +
            work("pics") + "']\" '' true false "
            "true false " + test::ShellQuote(work("pics")));
  ASSERT_EQ(called.exitCode, 0);
  QDBusConnection watch = QDBusConnection::connectToBus(QString::fromStdString(address()), QStringLiteral("watch"));
  EXPECT_TRUE(PumpUntil([&] { return !watch.interface()->isServiceRegistered(bus::kFerrowickService).value(); }))
      << "ferrowick ends after its run";
  QDBusConnection::disconnectFromBus(QStringLiteral("watch"));
  EXPECT_EQ(Pages(work("pics/Vemo-Output/a.PDF")), 1);
  EXPECT_EQ(Pages(work("pics/Vemo-Output/sub/b.PDF")), 1);
}

}  // namespace
}  // namespace tessa::ferrowick
