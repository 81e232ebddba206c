#include "common/qt/translate_form.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include "common/translator.h"

namespace tessa {

namespace {

bool TaggedTranslateFalse(const QObject* o) { return o->property("tag").toString() == "TranslateFalse"; }

QString Tr(const QString& s) {
  if (s.isEmpty()) return s;
  return QString::fromStdString(Translate(s.toStdString()));
}

// Each action once, however many menus and bars show it.
class ActionTranslator {
 public:
  void Translate(QAction* a) {
    if (!a || done_.contains(a)) return;
    done_.insert(a);
    // A tip of its own, not the one Qt derives from the text (which follows
    // the translated text by itself).
    QAction derived;
    derived.setText(a->text());
    const QString tip = a->toolTip();
    const bool ownTip = !tip.isEmpty() && tip != derived.toolTip() && tip != a->text();
    if (!a->isSeparator() && a->text() != "-" && !TaggedTranslateFalse(a)) a->setText(Tr(a->text()));
    if (ownTip) a->setToolTip(Tr(tip));
    if (QMenu* menu = a->menu())
      for (QAction* inner : menu->actions()) Translate(inner);
  }

 private:
  QSet<QAction*> done_;
};

// A dialog among the form's children translates itself when it loads; its
// texts are translations by now.
bool InChildDialog(const QWidget* w, const QWidget* form) {
  for (const QWidget* p = w; p && p != form; p = p->parentWidget())
    if (qobject_cast<const QDialog*>(p)) return true;
  return false;
}

// Parts of compound widgets that show what their owner is translated with.
bool IsInnerPart(const QWidget* w) {
  const QWidget* parent = w->parentWidget();
  if (qobject_cast<const QTabBar*>(w)) return qobject_cast<const QTabWidget*>(parent) != nullptr;
  if (qobject_cast<const QToolButton*>(w)) return qobject_cast<const QToolBar*>(parent) != nullptr;
  if (qobject_cast<const QLineEdit*>(w))
    return qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent);
  return false;
}

void TranslateWidget(QWidget* w, ActionTranslator& actions) {
  if (IsInnerPart(w)) return;
  if (!w->toolTip().isEmpty()) w->setToolTip(Tr(w->toolTip()));
  if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
    for (int i = 0; i < tabs->count(); ++i) {
      tabs->setTabText(i, Tr(tabs->tabText(i)));
      tabs->setTabToolTip(i, Tr(tabs->tabToolTip(i)));
    }
  } else if (auto* bar = qobject_cast<QTabBar*>(w)) {
    for (int i = 0; i < bar->count(); ++i) {
      bar->setTabText(i, Tr(bar->tabText(i)));
      bar->setTabToolTip(i, Tr(bar->tabToolTip(i)));
    }
  } else if (qobject_cast<QToolBar*>(w) || qobject_cast<QMenuBar*>(w)) {
    for (QAction* a : w->actions()) actions.Translate(a);
  } else if (auto* menu = qobject_cast<QMenu*>(w)) {
    actions.Translate(menu->menuAction());
    for (QAction* a : menu->actions()) actions.Translate(a);
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    if (!TaggedTranslateFalse(edit)) edit->setText(Tr(edit->text()));
  } else if (auto* tool = qobject_cast<QToolButton*>(w)) {
    if (tool->defaultAction()) actions.Translate(tool->defaultAction());
    else tool->setText(Tr(tool->text()));
  } else if (auto* push = qobject_cast<QPushButton*>(w)) {
    push->setText(Tr(push->text()));
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    if (!TaggedTranslateFalse(button)) button->setText(Tr(button->text()));
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    if (!TaggedTranslateFalse(label)) label->setText(Tr(label->text()));
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    if (!TaggedTranslateFalse(group)) group->setTitle(Tr(group->title()));
  }
}

void ApplyLanguageFont(QWidget* w, bool tahomaInstalled, bool msSansInstalled, bool microsoftSansInstalled) {
  QString family;
  if (!sLanguageFont.empty()) {
    family = QString::fromStdString(sLanguageFont);
  } else if (sLanguage != "English" && iUserLCID == 1041 && bFontInstalled("MS UI Gothic")) {
    family = "MS UI Gothic";
  } else if (GetControlFontName(w) == "Tahoma" && !tahomaInstalled) {
    family = msSansInstalled ? "MS Sans Serif" : microsoftSansInstalled ? "Microsoft Sans Serif" : "MS Shell Dlg";
  }
  if (family.isEmpty()) return;
  QFont font = w->font();
  font.setFamily(family);
  w->setFont(font);
}

}  // namespace

bool bFontInstalled(const QString& sName) {
  return QFontDatabase::families().contains(sName, Qt::CaseInsensitive);
}

bool bMSSansSerifInstalled() { return bFontInstalled("MS Sans Serif"); }

QString GetControlFontName(const QWidget* control) {
  return control ? control->font().family() : QString("ERROR");
}

void TranslateForm(QWidget* form) {
  if (!form) return;
  static const bool tahoma = bFontInstalled("Tahoma");
  static const bool microsoftSans = bFontInstalled("Microsoft Sans Serif");
  static const bool msSans = bMSSansSerifInstalled();
  form->setWindowTitle(Tr(form->windowTitle()));
  ActionTranslator actions;
  for (QAction* a : form->actions()) actions.Translate(a);
  const QList<QWidget*> widgets = form->findChildren<QWidget*>();
  for (QWidget* w : widgets)
    if (!InChildDialog(w, form)) TranslateWidget(w, actions);
  ApplyLanguageFont(form, tahoma, msSans, microsoftSans);
  for (QWidget* w : widgets) ApplyLanguageFont(w, tahoma, msSans, microsoftSans);
}

}  // namespace tessa
