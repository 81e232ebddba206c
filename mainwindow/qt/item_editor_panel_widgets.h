// The item editor panel's widgets, placed as the main form's layout wants
// them; each carries its control name as object name.
#pragma once

class QWidget;

namespace tessa {

// Builds the panel inside parent and returns it.
QWidget* BuildItemEditorPanel(QWidget* parent);

}  // namespace tessa
