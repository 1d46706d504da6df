# Every source folder is one library; its files are picked up by glob so that
# adding a class pair needs no build change.
function(quillon_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
  if(NOT _src)
    return()
  endif()
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# One test executable per test folder, each test case registered with CTest
# and run on Qt's offscreen platform.
function(_quillon_test_executable name dir main)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  add_executable(${name} ${_src} ${main})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  include(GoogleTest)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600
               SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endfunction()

function(quillon_test name dir)
  _quillon_test_executable(${name} ${dir} "")
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
endfunction()

# Widget tests: a main() that creates one QApplication for all tests (and
# runs parts of tests in processes of their own, tests/support/ChildRuns.h).
function(quillon_gui_test name dir)
  _quillon_test_executable(${name} ${dir} ${PROJECT_SOURCE_DIR}/tests/support/gui/GuiTestMain.cpp)
  target_link_libraries(${name} PRIVATE ${ARGN} quillon_testsupport Qt6::Widgets Qt6::Test GTest::gtest)
endfunction()

# Tests that need an event loop without widgets: a main() that creates one
# QCoreApplication for all tests.
function(quillon_core_test name dir)
  _quillon_test_executable(${name} ${dir} ${PROJECT_SOURCE_DIR}/tests/support/core/CoreTestMain.cpp)
  target_link_libraries(${name} PRIVATE ${ARGN} quillon_testsupport GTest::gtest)
endfunction()
