// Translating a whole window when it loads: its title, the texts and tool
// tips of its widgets, menus and tool bars, and the font chosen for the
// language.
#pragma once

#include <QString>

class QWidget;

namespace tessa {

// Translates form and every widget and action inside it through Translate:
// buttons always; labels, check boxes, radio buttons, group boxes and line
// edits unless their "tag" property is "TranslateFalse"; menu entries unless
// they are separators or tagged so; tab titles; tool tips of every widget.
// Then applies the language's font: sLanguageFont when set, else
// "MS UI Gothic" for a Japanese user in a language other than English (when
// installed), else replaces a missing Tahoma by the nearest installed font.
void TranslateForm(QWidget* form);

// True when a font family of that name (any case) is installed.
bool bFontInstalled(const QString& sName);

// True when "MS Sans Serif" is installed.
bool bMSSansSerifInstalled();

// The family of the widget's font; "ERROR" for no widget.
QString GetControlFontName(const QWidget* control);

}  // namespace tessa
