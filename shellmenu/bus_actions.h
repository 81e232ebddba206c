// The menu's commands on a real desktop: ferrowick's Process methods over the
// session bus (GIO, so that a file-manager process loads no other toolkit),
// tessaprint started as a child, and warnings shown as desktop notifications
// (written to stderr when no notification service answers).
#pragma once

#include <string>

#include "shellmenu/context_menu.h"

typedef struct _GDBusConnection GDBusConnection;
typedef struct _GVariant GVariant;

namespace tessa {

class BusContextMenuActions : public ContextMenuActions {
 public:
  // sTessaprint: the program started for "Advanced Options". bWait: wait for
  // ferrowick's reply (a command line does; a file manager must not block).
  BusContextMenuActions(std::string sTessaprint, bool bWait);
  ~BusContextMenuActions() override;
  BusContextMenuActions(const BusContextMenuActions&) = delete;
  BusContextMenuActions& operator=(const BusContextMenuActions&) = delete;

  void ProcessFiles(const std::vector<std::string>& files, const std::string& sParameters, bool bOverwrite,
                    bool bOpenFile, bool bDoSubfolders, bool bSaveToOriginalFolder,
                    const std::string& sFileFromLowestBranch) override;
  void AppendFiles(const std::vector<std::string>& files, const std::string& sParameters, const std::string& sOutFile,
                   bool bOpenFile, bool bDoSubfolders, long lSaveToOriginalFolder) override;
  void ConvertAndAppendFiles(const std::vector<std::string>& files, const std::string& sParameters, bool bOverwrite,
                             const std::string& sOutFile, bool bOpenFile, bool bDoSubfolders,
                             long lSaveToOriginalFolder, const std::string& sFileFromLowestBranch) override;
  void StartTessaprint(const std::vector<std::string>& arguments) override;
  // A desktop notification with sTitle as its summary; without a service
  // that takes it, "sTitle: sText" on stderr.
  void ShowWarning(const std::string& sText, const std::string& sTitle) override;

  // The last call's failure ("" when it went through or was not waited for).
  const std::string& LastError() const { return lastError_; }

 private:
  bool Connect();
  GVariant* Call(const char* method, GVariant* args);

  std::string sTessaprint_;
  bool bWait_;
  GDBusConnection* bus_ = nullptr;
  std::string lastError_;
};

}  // namespace tessa
