// The Process object on the session bus (names in platform/bus_names.h):
// ProcessFiles, AppendFiles and ConvertAndAppendFiles copy their arguments
// into a request for the work queue and reply at once. The path list holds
// the chosen paths at 1..n; its element 0 is empty and not used.
#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QString>
#include <QStringList>

#include "platform/bus_names.h"

namespace tessa::ferrowick {

class HelperService;

class ProcessObject : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", TESSA_BUS_FERROWICK_PROCESS_INTERFACE)

 public:
  explicit ProcessObject(HelperService& service, QObject* parent = nullptr);

  // Exports the object on bus at its path and takes the helper's bus name;
  // false (with a line on stderr) when either fails.
  bool Publish(QDBusConnection bus);

 public Q_SLOTS:
  // One PDF per input, below "Vemo-Output/" of the root folder or beside
  // each input.
  Q_SCRIPTABLE void ProcessFiles(const QStringList& inFilesList, const QString& inParameters, bool inOverwrite,
                                 bool inOpenFile, bool inDoSubfolders, bool inSaveToOriginalFolder,
                                 const QString& sFileFromLowestBranch);
  // Every input appended to inOutFile. inSaveToOriginalFolder is a variant
  // read as a Boolean (a number is true when not 0).
  Q_SCRIPTABLE void AppendFiles(const QStringList& inFilesList, const QString& inParameters, const QString& inOutFile,
                                bool inOpenFile, bool inDoSubfolders, const QDBusVariant& inSaveToOriginalFolder);
  // Every input into one new "Vemo-Output.PDF" in the root folder;
  // inOutFile is not used.
  Q_SCRIPTABLE void ConvertAndAppendFiles(const QStringList& inFilesList, const QString& inParameters,
                                          bool inOverwrite, const QString& inOutFile, bool inOpenFile,
                                          bool inDoSubfolders, const QDBusVariant& inSaveToOriginalFolder,
                                          const QString& sFileFromLowestBranch);

 Q_SIGNALS:
  // Declared for clients of the interface; not sent.
  Q_SCRIPTABLE void FileDone(const QString& FileName);
  // Sent when a run has ended.
  Q_SCRIPTABLE void ConvertDone();

 private:
  HelperService& service_;
};

// The Boolean value of a variant argument: true, a number other than 0, or
// a text reading "true" or a number other than 0.
bool VariantToBool(const QVariant& value);

}  // namespace tessa::ferrowick
