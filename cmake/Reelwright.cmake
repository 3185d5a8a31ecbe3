# Helpers shared by every folder's CMakeLists.

# Warnings for Reelwright's own code.
function(rw_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(RW_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# rw_library(NAME rw_render [QT] [EXCLUDE main.cpp ...] DEPS rw_base ...): one static library
# from every .cpp of the calling folder (not its subfolders), less the ones excluded. Headers are
# included as "folder/Name.h" from the repository root. QT: the folder uses Qt, moc runs over its
# headers.
function(rw_library)
  cmake_parse_arguments(ARG "QT" "NAME" "EXCLUDE;DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(x ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${x})
  endforeach()
  if(NOT sources)
    # A folder whose code has not been written yet still takes part in the link order.
    add_library(${ARG_NAME} INTERFACE)
    target_include_directories(${ARG_NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${ARG_NAME} INTERFACE ${ARG_DEPS})
    return()
  endif()
  if(ARG_QT)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    list(APPEND sources ${headers})
  endif()
  add_library(${ARG_NAME} STATIC ${sources})
  set_target_properties(${ARG_NAME} PROPERTIES AUTOMOC ${ARG_QT})
  target_include_directories(${ARG_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${ARG_NAME} PUBLIC ${ARG_DEPS})
  rw_warnings(${ARG_NAME})
endfunction()

# rw_test(NAME test_render DEPS rw_render ...): one GoogleTest executable from every .cpp of the
# calling folder, registered with CTest test by test.
function(rw_test)
  cmake_parse_arguments(ARG "" "NAME" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${ARG_NAME} ${sources})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_DEPS} rw_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  rw_warnings(${ARG_NAME})
  gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
endfunction()

# rw_qt_tests(DEPS rw_app ...): one QtTest executable per .cpp of the calling folder, each run by
# CTest offscreen with silent sound. Screenshots go to the build folder's screenshots/.
function(rw_qt_tests)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp)
  foreach(src ${sources})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Test)
    target_compile_definitions(${name} PRIVATE RW_SCREENSHOT_DIR="${PROJECT_BINARY_DIR}/screenshots")
    rw_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy")
  endforeach()
endfunction()
