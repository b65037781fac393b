# Settings every target of the project shares.

# AddressSanitizer and UndefinedBehaviorSanitizer over everything the project
# compiles (Qt itself stays uninstrumented). Any report ends the program, so a
# finding fails its test instead of scrolling past. scripts/sanitize builds this
# way in a build folder of its own.
option(VPX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VPX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

function(vpx_target_defaults target)
  # GCC 12 reports std::optional<QString> and friends as maybe-uninitialized
  # where they are not; the false positives would otherwise fail the build.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    $<$<CXX_COMPILER_ID:GNU>:-Wno-maybe-uninitialized>)
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
endfunction()

# vpx_library(name [SOURCES ...] [LIBS ...])
#   One library per subsystem folder; `src/` is the include root so code says
#   #include "notation/Notation.h". Without SOURCES every .cpp/.h of the folder
#   is taken. LIBS are linked PUBLIC; a library that links Qt gets moc.
function(vpx_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SOURCES)
    file(GLOB ARG_SOURCES CONFIGURE_DEPENDS
      ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/generated)
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
  if("${ARG_LIBS}" MATCHES "Qt6::")
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
  endif()
  vpx_target_defaults(${name})
endfunction()

# vpx_gtest(name [SOURCES ...] LIBS ... [QT_MAIN])
#   One GoogleTest executable per subsystem; without SOURCES every .cpp of the
#   folder is taken. QT_MAIN uses the shared main that
#   creates a QApplication on the offscreen platform. Every test runs with the
#   local address pinned to loopback and its own config folder.
function(vpx_gtest name)
  cmake_parse_arguments(ARG "QT_MAIN" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SOURCES)
    file(GLOB ARG_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  set(main_src ${CMAKE_SOURCE_DIR}/tests/support/gtest_main.cpp)
  if(ARG_QT_MAIN)
    set(main_src ${CMAKE_SOURCE_DIR}/tests/support/qt_gtest_main.cpp)
  endif()
  add_executable(${name} ${ARG_SOURCES} ${main_src})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  if(ARG_QT_MAIN)
    target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  target_compile_definitions(${name} PRIVATE
    VPX_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
  vpx_target_defaults(${name})
  set(cfg ${CMAKE_CURRENT_BINARY_DIR}/${name}-config)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      TIMEOUT 300
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VORPEX_LOCAL_ADDRESS=127.0.0.1;XDG_CONFIG_HOME=${cfg};XDG_STATE_HOME=${cfg}/state")
endfunction()

# vpx_split_library(ENGINE name [ENGINE_LIBS ...] UI name UI_FILES base ... [UI_LIBS ...])
#   A subsystem folder as two targets: the engine (every source of the folder but
#   the named widget files; QtCore at most) and the widgets on top of it. UI_FILES
#   are base names: "SendCommands" takes SendCommands.cpp and SendCommands.h.
#   Engine targets are recorded so that a test can prove they stay free of the
#   GUI libraries (tests/cli).
function(vpx_split_library)
  cmake_parse_arguments(ARG "" "ENGINE;UI" "ENGINE_LIBS;UI_FILES;UI_LIBS" ${ARGN})
  file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(ui)
  foreach(base IN LISTS ARG_UI_FILES)
    foreach(ext cpp h)
      set(f ${CMAKE_CURRENT_SOURCE_DIR}/${base}.${ext})
      if(EXISTS ${f})
        list(APPEND ui ${f})
      endif()
    endforeach()
  endforeach()
  set(engine ${all})
  if(ui)
    list(REMOVE_ITEM engine ${ui})
  endif()
  vpx_library(${ARG_ENGINE} SOURCES ${engine} LIBS ${ARG_ENGINE_LIBS})
  vpx_library(${ARG_UI} SOURCES ${ui} LIBS ${ARG_ENGINE} ${ARG_UI_LIBS})
  vpx_engine_target(${ARG_ENGINE})
endfunction()

# Records a target that must never link QtGui or QtWidgets.
function(vpx_engine_target name)
  set_property(GLOBAL APPEND PROPERTY VPX_ENGINE_TARGETS ${name})
endfunction()
