list(APPEND ORVIK_SOURCES
  src/app/unCommon.cpp src/app/unCommon.h
  src/app/Startup.cpp src/app/Startup.h
  src/app/CommandLine.cpp src/app/CommandLine.h
)
