# The shared routines, which the main window builds on.
list(APPEND ORVIK_COMMON_SOURCES
  src/app/unCommon.cpp src/app/unCommon.h src/app/EditorWindow.h
)
# The program entry, which builds on the main window.
list(APPEND ORVIK_SOURCES
  src/app/Startup.cpp src/app/Startup.h
  src/app/CommandLine.cpp src/app/CommandLine.h
)
