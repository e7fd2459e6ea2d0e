list(APPEND ORVIK_SOURCES
  src/forms/fmEditor.cpp src/forms/fmEditor.h
  src/forms/fmEditorLayout.cpp
  src/forms/fmEditorFile.cpp
  src/forms/fmEditorTabs.cpp
  src/forms/fmEditorRecovery.cpp
  src/forms/fmEditorEdit.cpp
  src/forms/fmEditorPanel.cpp
  src/forms/fmEditorPreview.cpp
  src/forms/fmEditorHelp.cpp
  src/forms/fmEditorKeys.cpp
)
list(APPEND ORVIK_SOURCES
  src/forms/fmAbout.cpp src/forms/fmAbout.h
)
