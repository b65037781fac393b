# cmake -DLINKS=engine-links.txt -P check_engine_links.cmake
# Each line: "engine_target: everything it links, transitively". Fails on any
# GUI library of Qt.
file(STRINGS ${LINKS} lines)
if(NOT lines)
  message(FATAL_ERROR "no engine targets listed in ${LINKS}")
endif()
set(bad "")
foreach(line IN LISTS lines)
  if(line MATCHES "Qt6::(Gui|Widgets|OpenGL|OpenGLWidgets|GuiPrivate|WidgetsPrivate)")
    list(APPEND bad "${line}")
  endif()
endforeach()
if(bad)
  list(JOIN bad "\n" text)
  message(FATAL_ERROR "engine targets linking GUI libraries:\n${text}")
endif()
list(LENGTH lines n)
message(STATUS "${n} engine targets, none links QtGui or QtWidgets")
