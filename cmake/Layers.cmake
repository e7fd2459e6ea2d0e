# The editor's layers as build targets: a forbidden include fails to compile.

# Only host/ includes the editing component, the browser engine, the modal dialogs and the
# clipboard. Their headers lie where every layer reaches them (the editing component's inside
# Qt's own directory), so the other layers find stand-ins in front of them that stop the compile.
set(ORVIK_HOST_ONLY_DIR ${CMAKE_BINARY_DIR}/layers/host-only)
set(qt_headers ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_HEADERS})
file(GLOB host_only LIST_DIRECTORIES false RELATIVE ${qt_headers}
     ${qt_headers}/QtWebEngineCore/* ${qt_headers}/QtWebEngineWidgets/*)
file(GLOB qsci_headers LIST_DIRECTORIES false RELATIVE ${QSCINTILLA_INCLUDE_DIR}
     ${QSCINTILLA_INCLUDE_DIR}/Qsci/*)
list(APPEND host_only ${qsci_headers})
foreach(class QtWidgets/QMessageBox QtWidgets/QFileDialog QtWidgets/QFontDialog QtGui/QClipboard)
  get_filename_component(module ${class} DIRECTORY)
  get_filename_component(name ${class} NAME)
  string(TOLOWER ${name} lower)
  list(APPEND host_only ${class} ${name} ${module}/${lower}.h ${lower}.h)
endforeach()
foreach(header ${host_only})
  file(CONFIGURE OUTPUT ${ORVIK_HOST_ONLY_DIR}/${header}
       CONTENT "#error \"Only host/ includes ${header}\"\n" @ONLY)
endforeach()

# The files a folder's sources.cmake lists in ORVIK_SOURCES; app/ lists the routines of unCommon
# apart, in ORVIK_COMMON_SOURCES.
function(orvik_layer_sources folder variable)
  set(ORVIK_SOURCES)
  include(src/${folder}/sources.cmake)
  set(${variable} ${ORVIK_SOURCES} PARENT_SCOPE)
  if(DEFINED ORVIK_COMMON_SOURCES)
    set(ORVIK_COMMON_SOURCES ${ORVIK_COMMON_SOURCES} PARENT_SCOPE)
  endif()
endfunction()

# A target's headers are reached as "folder/name.h" through forwarding headers in a directory of
# its own; linking the target is the only way to reach them.
function(orvik_layer_headers target)
  set(dir ${CMAKE_BINARY_DIR}/layers/${target})
  set(headers)
  foreach(source ${ARGN})
    if(source MATCHES "^src/(.+\\.h)$")
      list(APPEND headers ${CMAKE_MATCH_1})
      file(CONFIGURE OUTPUT ${dir}/${CMAKE_MATCH_1}
           CONTENT "#include \"${CMAKE_SOURCE_DIR}/${source}\"\n" @ONLY)
    endif()
  endforeach()
  file(GLOB_RECURSE existing RELATIVE ${dir} ${dir}/*.h)
  foreach(header ${existing})
    if(NOT header IN_LIST headers)
      file(REMOVE ${dir}/${header})
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${dir})
endfunction()

# A layer: a static library that reaches only the headers of the layers it links.
function(orvik_layer target)
  add_library(${target} STATIC ${ARGN})
  orvik_layer_headers(${target} ${ARGN})
  if(NOT target STREQUAL orvik_host)
    target_include_directories(${target} BEFORE PRIVATE ${ORVIK_HOST_ONLY_DIR})
  endif()
endfunction()
