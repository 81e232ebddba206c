// The notice shown before a task whose input file's extension contradicts its
// chosen input type: continue or cancel, and never show it again. It keeps
// its texts as designed (it is not translated).
#pragma once

#include <QDialog>

#include "engine/task/type_mismatch_notice.h"

class QCheckBox;

namespace tessa {

class frmTypeMatchNotification : public QDialog {
  Q_OBJECT

 public:
  // notice holds the public answers; the box shows its never-show flag.
  explicit frmTypeMatchNotification(TypeMismatchNotice& notice, QWidget* parent = nullptr);

  TypeMismatchNotice& notice;

  void chkDontShowAgain_Click();
  void cmdContinue_Click();
  void cmdCancel_Click();
};

// Shows the notice modally. Each showing starts from "not agreed", so closing
// the window any other way than Continue answers no. Returns
// notice.bContinueWithMismatchedTypes.
bool ShowTypeMismatchNotice(QWidget* parent, TypeMismatchNotice& notice);

}  // namespace tessa
