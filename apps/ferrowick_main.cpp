// ferrowick: the context helper. Started by the session bus for the first
// call to its Process object; converts what it is handed through tessaprint's
// automation service, showing a progress window per run, and ends once no
// work is left and its windows have closed.
#include <QApplication>
#include <QDBusConnection>
#include <cstdio>

#include "apps/application_icon.h"
#include "contexthelper/qt/helper_service.h"
#include "contexthelper/qt/message_box_prompts.h"
#include "contexthelper/qt/process_object.h"
#include "platform/bus_names.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ferrowick"));
  QApplication::setQuitOnLastWindowClosed(false);
  tessa::SetApplicationIcon();
  tessa::ferrowick::MessageBoxPrompts prompts;
  QDBusConnection bus = QDBusConnection::sessionBus();
  tessa::ferrowick::HelperService service(bus, prompts);
  tessa::ferrowick::ProcessObject process(service);
  if (!process.Publish(bus)) return 1;
  QObject::connect(&service, &tessa::ferrowick::HelperService::Finished, &app, [&] {
    // Give the name up first: later callers start a new helper, and a call
    // that reached this one before is still served here.
    bus.unregisterService(QString::fromLatin1(tessa::bus::kFerrowickService));
    QCoreApplication::processEvents();
    if (service.bIdle()) QCoreApplication::quit();
  });
  return QApplication::exec();
}
