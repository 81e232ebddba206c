#include "apps/application_icon.h"

#include <QGuiApplication>

#include "platform/application_id.h"

namespace tessa {

QIcon ApplicationIcon() {
  // The compiled-in copies (see apps/CMakeLists.txt): the icon of a program
  // run from the build tree, or installed where the icon theme is not read.
  QIcon own;
  for (const char* size : {"48x48", "256x256"})
    own.addFile(QStringLiteral(":/tessaprint/icons/%1/%2.png").arg(QLatin1String(size), QLatin1String(kApplicationId)));
  return QIcon::fromTheme(QLatin1String(kApplicationId), own);
}

void SetApplicationIcon() { QGuiApplication::setWindowIcon(ApplicationIcon()); }

}  // namespace tessa
