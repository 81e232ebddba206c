// The automation class on the session bus: the factory object (CreateInstance;
// names in platform/bus_names.h) and one object per instance
// with DoCommandLine, Release and the OnError signal. A thin adaptor over
// clsTessalumen; it also owns the process lifetime of an automation start.
#pragma once

#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <map>
#include <memory>

#include "engine/program/automation.h"
#include "platform/bus_names.h"

class QDBusServiceWatcher;

namespace tessa {

class MainForm;

class AutomationFactory;

// One automation instance, owned by the bus client that created it.
class AutomationInstance : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", TESSA_BUS_TESSAPRINT_INSTANCE_INTERFACE)

 public:
  AutomationInstance(AutomationFactory& factory, MainForm& frm, QString owner, QString path);

  const QString& owner() const { return owner_; }
  const QString& path() const { return path_; }

 public Q_SLOTS:
  // Runs sCommand; sCommandBack is the command as it comes back, without
  // the shell-extension marker. Calls are served one at a time.
  Q_SCRIPTABLE int DoCommandLine(const QString& sCommand, QString& sCommandBack);
  // Ends this instance; the program ends after its last instance.
  Q_SCRIPTABLE void Release();

 Q_SIGNALS:
  Q_SCRIPTABLE void OnError(int lErr, const QString& sErr);

 private:
  AutomationFactory& factory_;
  QString owner_;
  QString path_;
  clsTessalumen core_;
};

// The bus object that creates instances and ends the program when none is
// left (or none was ever created within the start-up limit).
class AutomationFactory : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", TESSA_BUS_TESSAPRINT_FACTORY_INTERFACE)

 public:
  AutomationFactory(MainForm& frm, std::chrono::milliseconds firstInstanceLimit);
  ~AutomationFactory() override;

  // Takes the bus name and exports the factory; false (with a line on
  // stderr) when the session bus or the name is not available.
  bool Publish();

  // Ends the instance at path (from Release or when its owner left).
  void Drop(const QString& path);

 public Q_SLOTS:
  // Creates an instance for the calling client and returns its object path.
  Q_SCRIPTABLE QDBusObjectPath CreateInstance();

 private Q_SLOTS:
  void OwnerLeft(const QString& service);

 private:
  void QuitSoonWhenUnused();
  // Gives up the bus name first, so that later clients start a new copy,
  // answers what already reached this one, then ends.
  void LeaveBusAndQuit();

  MainForm& frm_;
  std::map<QString, std::unique_ptr<AutomationInstance>> instances_;
  QDBusServiceWatcher* watcher_ = nullptr;
  QTimer firstInstanceTimer_;
  QTimer quitTimer_;
  quint64 nextId_ = 1;
  bool bLeaving_ = false;
};

// Serves automation on the session bus until the program is done; returns
// the process exit code (0, or 1 when the bus could not be used).
int ServeAutomation(MainForm& frm, std::chrono::milliseconds firstInstanceLimit);

}  // namespace tessa
