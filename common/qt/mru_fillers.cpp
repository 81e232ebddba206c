#include "common/qt/mru_fillers.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

#include "common/mru_list.h"

namespace tessa {

namespace {

constexpr const char* kEntryName = "mnuMRU";

// Sets the flag for its lifetime and then puts back what it was.
class FlagWhile {
 public:
  explicit FlagWhile(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~FlagWhile() { flag_ = old_; }
  FlagWhile(const FlagWhile&) = delete;
  FlagWhile& operator=(const FlagWhile&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace

void FillMenuFromMRU(QMenu* menu, QAction* before, const clsMRU& mru, bool& bGridUpdateByCode,
                     const std::function<void(int)>& onClick) {
  if (!menu) return;
  FlagWhile loading(bGridUpdateByCode);
  for (QAction* old : menu->actions()) {
    if (old->objectName() == kEntryName) {
      menu->removeAction(old);
      old->deleteLater();
    }
  }
  const std::vector<std::string> items = mru.NewestFirst();
  for (size_t i = 0; i < items.size(); ++i) {
    const int index = static_cast<int>(i + 1);
    // "&&" shows one "&" rather than making the next letter an access key.
    const QString text = "&" + QString::number(index) + " " + QString::fromStdString(items[i]).replace("&", "&&");
    auto* entry = new QAction(text, menu);
    entry->setObjectName(kEntryName);
    entry->setProperty("Index", index);
    entry->setProperty("tag", "TranslateFalse");
    if (onClick) QObject::connect(entry, &QAction::triggered, menu, [onClick, index] { onClick(index); });
    menu->insertAction(before, entry);
  }
}

void FillComboFromMRU(QComboBox* cbo, const clsMRU& mru, bool& bGridUpdateByCode) {
  if (!cbo) return;
  FlagWhile loading(bGridUpdateByCode);
  cbo->clear();
  for (const std::string& item : mru.NewestFirst()) cbo->addItem(QString::fromStdString(item));
  if (cbo->count() > 0) cbo->setCurrentIndex(0);
}

}  // namespace tessa
