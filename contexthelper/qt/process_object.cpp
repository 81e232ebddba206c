#include "contexthelper/qt/process_object.h"

#include <QDBusConnection>
#include <QDBusError>
#include <cstdio>

#include "contexthelper/qt/helper_service.h"
#include "platform/bus_names.h"

namespace tessa::ferrowick {

namespace {

std::vector<std::string> PathList(const QStringList& list) {
  std::vector<std::string> paths;
  paths.reserve(list.size());
  for (const QString& p : list) paths.push_back(p.toStdString());
  return paths;
}

RunRequest Request(RunKind kind, const QStringList& files, const QString& parameters, bool openFile,
                   bool doSubfolders) {
  RunRequest r;
  r.kind = kind;
  r.files = PathList(files);
  r.parameters = parameters.trimmed().toStdString();
  r.openFile = openFile;
  r.doSubfolders = doSubfolders;
  return r;
}

}  // namespace

bool VariantToBool(const QVariant& value) {
  if (value.typeId() == QMetaType::QString) {
    const QString text = value.toString().trimmed();
    if (text.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) return true;
    bool number = false;
    const double d = text.toDouble(&number);
    return number && d != 0;
  }
  return value.toBool();
}

ProcessObject::ProcessObject(HelperService& service, QObject* parent) : QObject(parent), service_(service) {
  // The variant arguments are exported only once their type is known.
  qRegisterMetaType<QDBusVariant>();
  connect(&service_, &HelperService::RunFinished, this, &ProcessObject::ConvertDone);
}

bool ProcessObject::Publish(QDBusConnection bus) {
  if (!bus.isConnected()) {
    std::fprintf(stderr, "ferrowick: cannot reach the session bus: %s\n", qPrintable(bus.lastError().message()));
    return false;
  }
  if (!bus.registerObject(QString::fromLatin1(bus::kFerrowickProcessPath), this,
                          QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals)) {
    std::fprintf(stderr, "ferrowick: cannot export %s\n", bus::kFerrowickProcessPath);
    return false;
  }
  if (!bus.registerService(QString::fromLatin1(bus::kFerrowickService))) {
    std::fprintf(stderr, "ferrowick: cannot own the bus name %s: %s\n", bus::kFerrowickService,
                 qPrintable(bus.lastError().message()));
    return false;
  }
  return true;
}

void ProcessObject::ProcessFiles(const QStringList& inFilesList, const QString& inParameters, bool inOverwrite,
                                 bool inOpenFile, bool inDoSubfolders, bool inSaveToOriginalFolder,
                                 const QString& sFileFromLowestBranch) {
  RunRequest r = Request(RunKind::kConvert, inFilesList, inParameters, inOpenFile, inDoSubfolders);
  r.overwrite = inOverwrite;
  r.saveToOriginalFolder = inSaveToOriginalFolder;
  r.lowestBranch = sFileFromLowestBranch.toStdString();
  service_.Enqueue(std::move(r));
}

void ProcessObject::AppendFiles(const QStringList& inFilesList, const QString& inParameters, const QString& inOutFile,
                                bool inOpenFile, bool inDoSubfolders, const QDBusVariant& inSaveToOriginalFolder) {
  RunRequest r = Request(RunKind::kAppend, inFilesList, inParameters, inOpenFile, inDoSubfolders);
  r.outFile = inOutFile.toStdString();
  r.saveToOriginalFolder = VariantToBool(inSaveToOriginalFolder.variant());
  service_.Enqueue(std::move(r));
}

void ProcessObject::ConvertAndAppendFiles(const QStringList& inFilesList, const QString& inParameters,
                                          bool inOverwrite, const QString& inOutFile, bool inOpenFile,
                                          bool inDoSubfolders, const QDBusVariant& inSaveToOriginalFolder,
                                          const QString& sFileFromLowestBranch) {
  RunRequest r = Request(RunKind::kConvertAndAppend, inFilesList, inParameters, inOpenFile, inDoSubfolders);
  r.overwrite = inOverwrite;
  r.outFile = inOutFile.toStdString();
  r.saveToOriginalFolder = VariantToBool(inSaveToOriginalFolder.variant());
  r.lowestBranch = sFileFromLowestBranch.toStdString();
  service_.Enqueue(std::move(r));
}

}  // namespace tessa::ferrowick
