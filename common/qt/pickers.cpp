// The pickers use Qt's own file dialog rather than the desktop's: its name
// filters match without regard to case, as the program's file masks do.
#include "common/qt/pickers.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include "common/file_filter.h"
#include "common/picker_paths.h"
#include "common/text_helpers.h"
#include "common/translator.h"

namespace tessa {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The pickers ask for any name: a file that does not exist yet may be named,
// and whoever reads the file reports its absence. A name saved without an
// extension gets that of the filter in use.
std::string RunFileDialog(QWidget* frm, const std::string& sTitle, const std::string& sFilter, long& lFilterIndex,
                          const std::string& initDir) {
  QFileDialog dialog(frm, Q(sTitle));
  dialog.setObjectName("CommonDialog1");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  const bool save = Q(sTitle).contains(Q(Translate("save")), Qt::CaseInsensitive);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  const std::vector<std::string> filters = DialogFiltersFromPairs(sFilter);
  if (!filters.empty()) {
    QStringList names;
    for (const std::string& f : filters) names << Q(f);
    dialog.setNameFilters(names);
    const std::string chosen = DialogFilterAt(filters, lFilterIndex);
    dialog.selectNameFilter(Q(chosen));
    if (save) {
      dialog.setDefaultSuffix(Q(DefaultExtensionOf(chosen)));
      QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(Q(DefaultExtensionOf(filter.toStdString())));
      });
    }
  }
  if (!initDir.empty()) dialog.setDirectory(Q(initDir));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
  if (const long index = FilterIndexOf(filters, dialog.selectedNameFilter().toStdString()); index > 0)
    lFilterIndex = index;
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace

std::string PickFile(QWidget* frm, const std::string& sTitle, const std::string& sFilter, long& lFilterIndex) {
  return RunFileDialog(frm, sTitle, sFilter, lFilterIndex, "");
}

std::string PickFileInitDir(QWidget* frm, const std::string& sTitle, const std::string& sFilter,
                            long& lFilterIndex, std::string& sCurrentPath) {
  sCurrentPath = GetNearestExistingPath(sCurrentPath);
  if (!sCurrentPath.empty()) sCurrentPath = GetFolderFromPath(sCurrentPath);
  return RunFileDialog(frm, sTitle, sFilter, lFilterIndex, sCurrentPath);
}

std::string BrowseForFolder(QWidget* frm, std::string& sStartFolder) {
  const std::string start = NearestExistingFolder(BrowseStartFolder(sStartFolder));
  QFileDialog dialog(frm, Q(Translate("Browse For Folder")));
  dialog.setObjectName("BrowseForFolder");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setFileMode(QFileDialog::Directory);
  if (!start.empty()) dialog.setDirectory(Q(start));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
  return BrowsedFolderText(dialog.selectedFiles().first().toStdString());
}

void CenterFormInWorkArea(QWidget* frm) {
  if (!frm) return;
  QScreen* screen = frm->screen() ? frm->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QSize size = frm->frameGeometry().size();
  frm->move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
}

}  // namespace tessa
