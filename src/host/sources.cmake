list(APPEND ORVIK_SOURCES
  src/host/Guard.cpp src/host/Guard.h
  src/host/Dialogs.cpp src/host/Dialogs.h
  src/host/QtDialogs.cpp src/host/QtDialogs.h
  src/host/MessageBox.cpp src/host/MessageBox.h
  src/host/EditSurface.cpp src/host/EditSurface.h
  src/host/SyntaxColouring.cpp src/host/SyntaxColouring.h
  src/host/SurfaceMarks.cpp src/host/SurfaceMarks.h
  src/host/SurfaceAccessibility.cpp src/host/SurfaceAccessibility.h
  src/host/LoadProgress.cpp src/host/LoadProgress.h
  src/host/LineBreaks.cpp src/host/LineBreaks.h
  src/host/LinesTextWriter.cpp src/host/LinesTextWriter.h
  src/host/Windows1252.cpp src/host/Windows1252.h
  src/host/TabStrip.cpp src/host/TabStrip.h
  src/host/PageControl.cpp src/host/PageControl.h
  src/host/MenuItem.cpp src/host/MenuItem.h
  src/host/FileDrop.cpp src/host/FileDrop.h
  src/host/Icons.cpp src/host/Icons.h
)
list(APPEND ORVIK_SOURCES
  src/host/SettingsStore.cpp src/host/SettingsStore.h
  src/host/FilePanel.cpp src/host/FilePanel.h
  src/host/BrowserView.cpp src/host/BrowserView.h src/host/BrowserEngine.h
  src/host/PreviewFileType.cpp src/host/PreviewFileType.h
)
list(APPEND ORVIK_SOURCES
  src/host/Application.cpp src/host/Application.h
)
list(APPEND ORVIK_SOURCES
)
list(APPEND ORVIK_SOURCES
  src/host/DirectoryScan.cpp src/host/DirectoryScan.h
  src/host/Volumes.cpp src/host/Volumes.h
  src/host/DirectoryListBox.cpp
  src/host/FileListBox.cpp
)
list(APPEND ORVIK_SOURCES
  src/host/FindDialog.cpp src/host/FindDialog.h
  src/host/FoldedSearch.cpp src/host/FoldedSearch.h
  src/host/Clipboard.cpp src/host/Clipboard.h
)
list(APPEND ORVIK_SOURCES
  src/host/EditorStyle.cpp src/host/EditorStyle.h
)
list(APPEND ORVIK_SOURCES
  src/host/FileRead.cpp src/host/FileRead.h
)
