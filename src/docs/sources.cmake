list(APPEND ORVIK_SOURCES
  src/docs/THTMLInfo.cpp src/docs/THTMLInfo.h src/docs/EditingDocument.h
  src/docs/DocumentList.cpp src/docs/DocumentList.h
  src/docs/NewFileTemplate.cpp src/docs/NewFileTemplate.h
  src/docs/DocumentFiles.cpp src/docs/DocumentFiles.h
  src/docs/DocumentSave.cpp
  src/docs/FileStamp.cpp src/docs/FileStamp.h
  src/docs/RecoveryStore.cpp src/docs/RecoveryStore.h
  src/docs/PreviewFiles.cpp src/docs/PreviewFiles.h
)
