# One static library per folder, built from every .cpp in it that is not a test.
# The folder's test doubles sit in its testing/ subfolder: a library of their
# own, plovex_NAME_testing, that only tests and benchmarks link (it brings
# TESTING_LINKS, the doubles of the folders below).
# Beside it, one test executable for the folder's *_test.cpp files and, when the
# folder has any, one more for its *_agent_test.cpp files; the latter talk to the
# local SNMP agent, so their ctest names begin with "agent" and they require the
# agent fixture.
function(plovex_module NAME)
  cmake_parse_arguments(ARG "" "" "LINKS;TEST_LINKS;TESTING_LINKS" ${ARGN})
  file(GLOB _all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(_lib_sources "")
  set(_test_sources "")
  set(_agent_sources "")
  foreach(_f IN LISTS _all)
    string(REGEX REPLACE "_test\\.cpp$" ".cpp" _tested ${_f})
    if(_f MATCHES "_agent_test\\.cpp$" AND NOT EXISTS ${_tested})
      # x_agent_test.cpp talks to the agent, unless it is the unit test of an x_agent.cpp.
      list(APPEND _agent_sources ${_f})
    elseif(_f MATCHES "_test\\.cpp$")
      list(APPEND _test_sources ${_f})
    elseif(NOT _f MATCHES "/main\\.cpp$")
      list(APPEND _lib_sources ${_f})
    endif()
  endforeach()

  if(_lib_sources)
    add_library(plovex_${NAME} STATIC ${_lib_sources})
    target_include_directories(plovex_${NAME} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(plovex_${NAME} PUBLIC ${ARG_LINKS})
  else()
    add_library(plovex_${NAME} INTERFACE)
    target_include_directories(plovex_${NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(plovex_${NAME} INTERFACE ${ARG_LINKS})
  endif()

  set(_testing "")
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/testing)
    file(GLOB _testing_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/testing/*.cpp)
    if(_testing_sources)
      add_library(plovex_${NAME}_testing STATIC ${_testing_sources})
      target_link_libraries(plovex_${NAME}_testing PUBLIC plovex_${NAME} ${ARG_TESTING_LINKS})
    else()
      add_library(plovex_${NAME}_testing INTERFACE)
      target_link_libraries(plovex_${NAME}_testing INTERFACE plovex_${NAME} ${ARG_TESTING_LINKS})
    endif()
    set(_testing plovex_${NAME}_testing)
  endif()

  if(_test_sources)
    add_executable(${NAME}_tests ${_test_sources})
    target_link_libraries(${NAME}_tests PRIVATE plovex_${NAME} ${_testing} ${ARG_TEST_LINKS} GTest::gtest_main GTest::gmock)
    target_compile_definitions(${NAME}_tests PRIVATE
      PLOVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}" PLOVEX_BINARY_DIR="${PROJECT_BINARY_DIR}")
    gtest_discover_tests(${NAME}_tests TEST_PREFIX "${NAME}." DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "PLOVEX_AGENT_DIR=${PROJECT_BINARY_DIR}/agent")
  endif()
  if(_agent_sources)
    add_executable(${NAME}_agent_tests ${_agent_sources})
    target_link_libraries(${NAME}_agent_tests PRIVATE plovex_${NAME} ${_testing} ${ARG_TEST_LINKS} GTest::gtest_main GTest::gmock)
    target_compile_definitions(${NAME}_agent_tests PRIVATE
      PLOVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}" PLOVEX_BINARY_DIR="${PROJECT_BINARY_DIR}")
    gtest_discover_tests(${NAME}_agent_tests TEST_PREFIX "agent.${NAME}." DISCOVERY_TIMEOUT 60
      PROPERTIES FIXTURES_REQUIRED snmp_agent RESOURCE_LOCK snmp_agent
                 ENVIRONMENT "PLOVEX_AGENT_DIR=${PROJECT_BINARY_DIR}/agent")
  endif()
endfunction()
