// Qt's own texts (the Yes, No, Cancel and OK of message boxes, the file
// dialogs) in the interface language, from the translations Qt ships.
#pragma once

#include <string>

namespace tessa {

// Makes Qt's own texts follow language, an English language name such as
// "German" (the name part of the language files). English, a language Qt
// has no translation for, or a missing translation file leaves them
// English. A later call replaces the earlier choice.
void UseQtTranslation(const std::string& language);

}  // namespace tessa
