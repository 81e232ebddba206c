// The dialogs and helpers that the main form's commands open: one function
// each, so that each can be replaced on its own.
#pragma once

#include <memory>
#include <string>

class QMenu;
class QWidget;

namespace tessa {

class MainFormWidget;
class SchedulerWindow;
struct TypeMismatchNotice;

// General options (the Options menu item), modal.
void ShowOptionsDialog(MainFormWidget& form);
// Advanced PDF options: edits record (format of the caret-separated
// options record); true when the user applied a change.
bool ShowAdvancedOptionsDialog(QWidget* parent, std::string& record);
// The language chooser (the Language menu item).
void ShowLanguageDialog(MainFormWidget& form);
// The about box, modal.
void ShowAboutBox(QWidget* parent);
// A notice with a "Never show this message again" box and Continue only;
// clickedCheckBox tells whether the box was clicked.
void ShowPromptWithDisableOption(QWidget* parent, const std::string& caption, const std::string& notice,
                                 bool& clickedCheckBox);
// The splash shown while the main window starts; the caller deletes it.
QWidget* ShowPleaseWaitSplash(const std::string& header, const std::string& line1, const std::string& line2);
// A help topic (context id) of the help file, or fallbackPage when given.
void ShowHelpTopic(QWidget* parent, int contextId, const std::string& fallbackPage);
// The type-mismatch notice, modal; false when there is no such dialog.
bool ShowTypeMismatchDialog(QWidget* parent, TypeMismatchNotice& notice);
// The scheduler window of the main form.
std::unique_ptr<SchedulerWindow> CreateSchedulerWindow(MainFormWidget& form);
// Fills the recent job files into menu (before its marker action), and
// records path as the newest one.
void FillRecentJobsMenu(MainFormWidget& form, QMenu& menu);
void RecordOpenedJobFile(MainFormWidget& form, const std::string& path);

}  // namespace tessa
