// The widgets of the item editor panel and where they lie: the action choice
// with the panel's command buttons on top, then the input and output frames,
// with the special-process frame in the same place in front of them when it
// is shown. Behaviour is bound to these widgets by their object names
// (control arrays are named name_index, such as rbActionToDo_0), so nothing
// here connects a signal.
#include "mainwindow/qt/item_editor_panel_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace tessa {

namespace {

template <class W>
W* Named(W* w, const char* name) {
  w->setObjectName(name);
  return w;
}

QComboBox* Combo(const char* name, bool editable) {
  auto* cb = Named(new QComboBox, name);
  cb->setEditable(editable);
  if (editable) {
    cb->setInsertPolicy(QComboBox::NoInsert);
    cb->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }
  if (editable) {
    cb->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cb->setMinimumContentsLength(20);
  } else {
    // A type list shows its whole entry: the code, the name and the masks.
    cb->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  }
  return cb;
}

// A push button that asks for room for a picture laid over its left end,
// whatever length its caption has once translated.
class PictureRoomButton : public QPushButton {
 public:
  using QPushButton::QPushButton;
  QSize sizeHint() const override { return QPushButton::sizeHint() + QSize(24, 0); }
  QSize minimumSizeHint() const override { return sizeHint(); }
};

// A browse button with its picture button laid over its left end (the
// button's caption leaves room for it).
QPushButton* BrowseButton(const char* name, const char* caption, const char* picture, QStyle::StandardPixmap icon) {
  auto* button = Named(new PictureRoomButton(caption), name);
  auto* pic = Named(new QToolButton(button), picture);
  pic->setAutoRaise(true);
  pic->setIcon(button->style()->standardIcon(icon));
  pic->setIconSize(QSize(14, 14));
  pic->setFocusPolicy(Qt::NoFocus);
  pic->setGeometry(4, 3, 20, 20);
  return button;
}

QPushButton* LaunchButton(const char* name, const char* tip) {
  auto* button = Named(new QPushButton, name);
  button->setIcon(button->style()->standardIcon(QStyle::SP_DialogOpenButton));
  button->setToolTip(tip);
  return button;
}

QLabel* Header(int index, const char* text) {
  auto* label = new QLabel(text);
  label->setObjectName(QStringLiteral("labelHeader_%1").arg(index));
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
  return label;
}

QGroupBox* Frame(const char* name) {
  auto* frame = Named(new QGroupBox, name);
  frame->setFlat(true);
  return frame;
}

QWidget* ActionFrame() {
  auto* frame = Frame("frameSelectAction");
  auto* row = new QHBoxLayout(frame);
  row->setContentsMargins(6, 2, 6, 2);
  row->addWidget(Header(0, "Action"));
  auto* convert = Named(new QRadioButton("(&C)onvert Files"), "rbActionToDo_0");
  auto* special = Named(new QRadioButton("(&S)pecial Processing on Files"), "rbActionToDo_1");
  convert->setChecked(true);
  row->addWidget(convert);
  row->addWidget(special);
  row->addStretch(1);
  for (auto [name, caption] : {std::pair{"cmdAdd", "&Add"}, {"cmdRemove", "&Delete"}, {"cmdUpdate", "&Update"},
                               {"cmdPause", "&Pause"}})
    row->addWidget(Named(new QPushButton(caption), name));
  return frame;
}

QWidget* InputFrame() {
  auto* frame = Frame("frameSelectOriginal");
  auto* grid = new QGridLayout(frame);
  grid->setContentsMargins(6, 2, 6, 2);
  grid->addWidget(Header(1, "Input File(s)"), 0, 0, 1, 5);
  grid->addWidget(Combo("cbOriginalFile", true), 1, 0);
  grid->addWidget(LaunchButton("cmdLaunchOriginal", "Open the input file or its folder"), 1, 1);
  grid->addWidget(BrowseButton("cmdSelectSourceFolder", "        Folder..", "picSelectSourceFolder", QStyle::SP_DirIcon), 1, 2);
  grid->addWidget(BrowseButton("cmdSelectSourceFile", "   File..", "picSelectSourceFile", QStyle::SP_FileIcon), 1, 3);
  auto* options = new QHBoxLayout;
  options->addWidget(Named(new QLabel("Input File Format"), "lblFileTypeOriginal"));
  options->addWidget(Combo("cbFileTypeOriginal", false));
  options->addSpacing(12);
  options->addWidget(Named(new QCheckBox("Do Subfolders"), "cbDoSubfolders"));
  options->addStretch(1);
  grid->addLayout(options, 2, 0, 1, 4);
  grid->setColumnStretch(0, 1);
  return frame;
}

QWidget* OutputFrame() {
  auto* frame = Frame("frameSelectTarget");
  auto* outer = new QVBoxLayout(frame);
  outer->setContentsMargins(6, 2, 6, 2);
  auto* head = new QHBoxLayout;
  head->addWidget(Header(2, "Output File(s)"));
  head->addSpacing(12);
  head->addWidget(Named(new QCheckBox("Save to Input folder"), "cbSaveToOriginalFolder"));
  head->addStretch(1);
  outer->addLayout(head);

  auto* target = Named(new QWidget, "frameTargetFile");
  auto* grid = new QGridLayout(target);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(Combo("cbTargetFile", true), 0, 0);
  grid->addWidget(LaunchButton("cmdLaunchTarget", "Open the output file or its folder"), 0, 1);
  grid->addWidget(BrowseButton("cmdSelectTargetFolder", "        Folder..", "picSelectTargetFolder", QStyle::SP_DirIcon), 0, 2);
  grid->addWidget(BrowseButton("cmdSelectTargetFile", "   File..", "picSelectTargetFile", QStyle::SP_FileIcon), 0, 3);
  auto* options = new QHBoxLayout;
  options->addWidget(Named(new QLabel("Output File Format"), "lblFileTypeTarget"));
  options->addWidget(Combo("cbFileTypeTarget", false));
  options->addSpacing(12);
  auto* advanced = BrowseButton("cmdPDFtoRTFAdvancedOptions", "   Advanced Options", "stpAdvancedOptions",
                                QStyle::SP_FileDialogDetailedView);
  options->addWidget(advanced);
  options->addStretch(1);
  grid->addLayout(options, 1, 0, 1, 4);
  grid->setColumnStretch(0, 1);
  outer->addWidget(target);
  return frame;
}

QWidget* SpecialFrame() {
  auto* frame = Frame("frameSpecializedAction");
  frame->setAutoFillBackground(true);  // covers the input and output frames when in front
  auto* outer = new QVBoxLayout(frame);
  outer->setContentsMargins(6, 2, 6, 2);
  auto* head = new QHBoxLayout;
  head->addWidget(Header(3, "Special Process"));
  head->addWidget(Combo("cbSpecialProcesses", false), 1);
  outer->addLayout(head);

  auto* commandLine = Named(new QWidget, "frameCommandLine");
  auto* grid = new QGridLayout(commandLine);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(new QLabel("Program"), 0, 0);
  grid->addWidget(Combo("cbCommandLine", true), 0, 1);
  grid->addWidget(LaunchButton("cmdLaunchCommandLine", "Start the program now"), 0, 2);
  grid->addWidget(BrowseButton("cmdCommandLineSelectApplication", "   File..", "picCommandLineSelectApplication",
                               QStyle::SP_FileIcon), 0, 3);
  grid->addWidget(new QLabel("Arguments"), 1, 0);
  grid->addWidget(Combo("cbCommandLineArguments", true), 1, 1, 1, 3);
  auto* options = new QHBoxLayout;
  options->addWidget(new QLabel("Window"));
  options->addWidget(Combo("cbCommandLineWindowState", false));
  options->addWidget(new QLabel("Priority"));
  options->addWidget(Combo("cbCommandLineThreadPriority", false));
  options->addWidget(new QLabel("Wait (seconds)"));
  auto* wait = Named(new QLineEdit("-1"), "txtCommandLineWaitTimeInSeconds");
  wait->setMaximumWidth(80);
  wait->setProperty("tag", "TranslateFalse");
  options->addWidget(wait);
  options->addStretch(1);
  grid->addLayout(options, 2, 0, 1, 4);
  grid->setColumnStretch(1, 1);
  outer->addWidget(commandLine);
  outer->addStretch(1);
  frame->hide();
  return frame;
}

}  // namespace

QWidget* BuildItemEditorPanel(QWidget* parent) {
  auto* panel = Named(new QWidget(parent), "itemEditorPanel");
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  column->addWidget(ActionFrame());
  // The special-process frame shares the place of the input and output
  // frames and lies in front of them while shown.
  auto* place = new QGridLayout;
  place->setContentsMargins(0, 0, 0, 0);
  auto* conversion = new QWidget;
  auto* files = new QVBoxLayout(conversion);
  files->setContentsMargins(0, 0, 0, 0);
  files->setSpacing(2);
  files->addWidget(InputFrame());
  files->addWidget(OutputFrame());
  place->addWidget(conversion, 0, 0);
  place->addWidget(SpecialFrame(), 0, 0);
  column->addLayout(place);
  return panel;
}

}  // namespace tessa
