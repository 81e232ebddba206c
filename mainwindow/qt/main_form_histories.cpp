#include "mainwindow/qt/main_form_histories.h"

#include <QComboBox>
#include <QWidget>

#include "common/qt/mru_fillers.h"
#include "common/settings_file.h"

namespace tessa {

namespace {

QComboBox* Combo(QWidget& form, const char* name) { return form.findChild<QComboBox*>(name); }

// The field keeps its text: an empty one (not listed) would otherwise show
// the newest item, which nobody typed and the task does not hold.
void AddFromCombo(clsMRU& mru, QWidget& form, const char* name, bool& bGridUpdateByCode) {
  QComboBox* cb = Combo(form, name);
  if (!cb) return;
  const QString text = cb->currentText();
  mru.AddUniqueItemToCollection(text.toStdString());
  FillComboFromMRU(cb, mru, bGridUpdateByCode);
  if (cb->currentText() == text) return;
  const bool wasLoading = bGridUpdateByCode;
  bGridUpdateByCode = true;
  cb->setEditText(text);
  bGridUpdateByCode = wasLoading;
}

}  // namespace

void MainFormHistories::Setup(bool bWindow, QWidget& form, bool& bGridUpdateByCode) {
  bWindow_ = bWindow;
  if (bWindow) {
    mruSource.Setup(10, sIniFile, "mruSource", "-1");
    FillComboFromMRU(Combo(form, "cbOriginalFile"), mruSource, bGridUpdateByCode);
    mruCommandLine.Setup(5, sIniFile, "mruCommandLine", "-1");
    FillComboFromMRU(Combo(form, "cbCommandLine"), mruCommandLine, bGridUpdateByCode);
    mruCommandLineArguments.Setup(5, sIniFile, "mruCommandLineArguments", "-1");
    FillComboFromMRU(Combo(form, "cbCommandLineArguments"), mruCommandLineArguments, bGridUpdateByCode);
    mruTarget.Setup(10, sIniFile, "mruTarget", "-1");
    FillComboFromMRU(Combo(form, "cbTargetFile"), mruTarget, bGridUpdateByCode);
  }
  mruFileOpen.Setup(5, sIniFile, "mruFileOpen", "-1");
}

void MainFormHistories::WriteBack() {
  if (bWindow_) {
    mruSource.ShutDown();
    mruTarget.ShutDown();
    mruCommandLine.ShutDown();
    mruCommandLineArguments.ShutDown();
  }
  mruFileOpen.ShutDown();
}

void MainFormHistories::Update(const std::string& sActionToDo, QWidget& form, bool& bGridUpdateByCode) {
  if (!bWindow_) return;
  if (sActionToDo == "C") {
    AddFromCombo(mruSource, form, "cbOriginalFile", bGridUpdateByCode);
    AddFromCombo(mruTarget, form, "cbTargetFile", bGridUpdateByCode);
  } else if (sActionToDo == "S") {
    AddFromCombo(mruCommandLine, form, "cbCommandLine", bGridUpdateByCode);
    AddFromCombo(mruCommandLineArguments, form, "cbCommandLineArguments", bGridUpdateByCode);
  }
}

std::string MainFormHistories::JobFileAt(int index) const {
  const long at = mruFileOpen.Count() - index;
  return index < 1 || at < 0 ? "" : mruFileOpen.Items()[static_cast<size_t>(at)];
}

}  // namespace tessa
