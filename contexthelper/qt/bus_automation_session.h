// tessaprint's automation class reached over the session bus: one instance
// per run (CreateInstance, the bus starting tessaprint when needed), one
// DoCommandLine per file, Release at the end. A call waits in a local event
// loop, so the progress window stays responsive while a file converts.
#pragma once

#include <QDBusConnection>
#include <QString>

#include "contexthelper/automation_session.h"

class QDBusError;

namespace tessa::ferrowick {

class BusAutomationSession : public AutomationSession {
 public:
  // service: the bus name of the automation service (tessaprint's unless
  // another is named).
  explicit BusAutomationSession(QDBusConnection bus, QString service = {});
  ~BusAutomationSession() override;

  int Create() override;
  int DoCommandLine(const std::string& command, int32_t& result) override;
  void Release() override;

  // The error number of a failed call: 438 when the object lacks the method,
  // 429 for any other failure (no service, no answer).
  static int ErrorNumber(const QDBusError& error);

 private:
  QDBusConnection bus_;
  QString service_;
  QString instance_;  // object path of the instance; empty when none
};

}  // namespace tessa::ferrowick
