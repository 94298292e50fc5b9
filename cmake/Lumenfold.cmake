# One static library per source folder: every .cpp of the folder, so that tests link exactly the code they test.
function(lumenfold_folder_library name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# Adds every direct subfolder of the current folder that has a CMakeLists.txt, in name order.
function(lumenfold_add_subfolders)
  file(GLOB folders LIST_DIRECTORIES true "${CMAKE_CURRENT_SOURCE_DIR}/*")
  list(SORT folders)
  foreach(folder ${folders})
    if(IS_DIRECTORY "${folder}" AND EXISTS "${folder}/CMakeLists.txt")
      add_subdirectory("${folder}")
    endif()
  endforeach()
endfunction()

# One test program per test folder, every .cpp of it; each GoogleTest case becomes a ctest test run under Wine.
# PROPERTIES adds ctest properties to every case (for example a RESOURCE_LOCK for tests that must not overlap).
function(lumenfold_test_folder name)
  # LOCKED: a gtest filter of the tests that take the resource lock LOCK and never run beside another
  # test holding it.
  cmake_parse_arguments(ARG "" "LOCKED;LOCK" "LIBS;PROPERTIES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_options(${name} PRIVATE -municode)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} lumenfold_testsupport GTest::gmock)
  if(ARG_LOCKED)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER "-${ARG_LOCKED}"
                         PROPERTIES TIMEOUT 120 ${ARG_PROPERTIES})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER "${ARG_LOCKED}"
                         PROPERTIES TIMEOUT 120 RESOURCE_LOCK ${ARG_LOCK} ${ARG_PROPERTIES})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 120 ${ARG_PROPERTIES})
  endif()
endfunction()

# A resource-only library: strings, menus, accelerators and dialog templates, no code.
function(lumenfold_language_library name rc)
  add_library(${name} SHARED ${rc})
  set_target_properties(${name} PROPERTIES PREFIX "" LINKER_LANGUAGE C)
  target_link_options(${name} PRIVATE -nostdlib -Wl,--entry=0 -Wl,--no-insert-timestamp)
endfunction()
