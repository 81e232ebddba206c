#include "engine/form_options.h"

#include "common/settings_file.h"
#include "common/vb_conversions.h"
#include "engine/main_form.h"

namespace tessa {

void ReadMainFormOptions(MainForm& frm) {
  constexpr const char* kSection = "frmMain";
  frm.bContinueFileListingOnError = ReadSettingBool(kSection, "bContinueFileListingOnError", true);
  frm.bSkipProcessedFiles = ReadSettingBool(kSection, "bSkipProcessedFiles", false);
  frm.bRetainInputFileTimeStamp = ReadSettingBool(kSection, "bRetainInputFileTimeStamp", false);
  frm.bMoveOriginalFileAfterProcessing = ReadSettingBool(kSection, "bMoveOriginalFileAfterProcessing", false);
  frm.sMoveFileToFolder = ReadSetting(kSection, "sMoveFileToFolder", "");
  frm.bDeleteOriginalFileAfterProcessing = ReadSettingBool(kSection, "bDeleteOriginalFileAfterProcessing", false);
  frm.bTryAutodetectIfFailed = ReadSettingBool(kSection, "bTryAutodetectIfFailed", true);
  frm.sLogFile = ReadSetting(kSection, "sLogFile", "");
  frm.frmTypeMatchNotification.bDontShowFileMismatchAgain =
      CBoolText(ReadSetting("frmTypeMatchNotification", "bDontShowFileMismatchAgain", "False")).value_or(false);
  frm.sQuirepaneAdvancedOptions = ReadSetting(kSection, "sQuirepaneAdvancedOptions", kDefaultAdvancedOptions);
  frm.lConversionMethod = static_cast<int32_t>(ReadSettingLong(kSection, "lConversionMethod", 1));
  frm.sActionToDo = ReadSetting(kSection, "sActionToDO", "C");
}

}  // namespace tessa
