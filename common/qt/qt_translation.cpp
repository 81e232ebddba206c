#include "common/qt/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tessa {

namespace {

constexpr const char* kTranslatorName = "tessaQtBaseTranslation";

// The language whose English name is name; AnyLanguage when Qt knows none.
QLocale::Language LanguageNamed(const QString& name) {
  for (int i = QLocale::AnyLanguage + 1; i <= QLocale::LastLanguage; ++i) {
    const auto language = static_cast<QLocale::Language>(i);
    if (QLocale::languageToString(language).compare(name, Qt::CaseInsensitive) == 0) return language;
  }
  return QLocale::AnyLanguage;
}

}  // namespace

void UseQtTranslation(const std::string& language) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  // The application owns the one translator installed here.
  delete app->findChild<QTranslator*>(kTranslatorName, Qt::FindDirectChildrenOnly);
  const QLocale::Language chosen = LanguageNamed(QString::fromStdString(language));
  if (chosen == QLocale::AnyLanguage || chosen == QLocale::English) return;
  auto* translator = new QTranslator(app);
  translator->setObjectName(kTranslatorName);
  if (translator->load(QLocale(chosen), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

}  // namespace tessa
