list(APPEND ORVIK_SOURCES
  src/util/FmxUtils.cpp src/util/FmxUtils.h
  src/util/HostError.h
  src/util/HugePages.cpp src/util/HugePages.h
  src/util/UserDirs.cpp src/util/UserDirs.h
)
