// The programs' own icon: the one the icon theme has under the application's
// name, else the copy compiled into the program.
#pragma once

#include <QIcon>

namespace tessa {

QIcon ApplicationIcon();

// Makes ApplicationIcon() every window's icon; needs the Qt application.
void SetApplicationIcon();

}  // namespace tessa
