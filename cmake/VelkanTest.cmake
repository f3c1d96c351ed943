# GoogleTest is built from Debian's sources for every target, so the native,
# sanitizer and mingw builds all use the same framework compiled their way.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

add_library(velkan_test_main STATIC ${PROJECT_SOURCE_DIR}/tests/test_main.cpp)
target_link_libraries(velkan_test_main PUBLIC GTest::gtest GTest::gmock)

# What every test that runs Qt (test programs, the real program in the end-to-end tests)
# gives the checkers of the sanitizer builds: what the system libraries do themselves.
set(VELKAN_SANITIZER_ENV
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp"
    "TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp")

# velkan_test(<name> SOURCES ... LIBS ...): one test program, run by CTest
# (through Wine on the Windows builds, via CMAKE_CROSSCOMPILING_EMULATOR).
function(velkan_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE velkan_test_main ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
endfunction()

# velkan_user_test(<name> SOURCES ... LIBS ...): a test program worked by the test user
# of the build's driver (tests/winlib/user.h): on Qt real widgets on the offscreen
# platform, on Win32 the robot process beside the program.
function(velkan_user_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  velkan_test(${name} SOURCES ${T_SOURCES} LIBS velkan_test_user ${T_LIBS} TIMEOUT ${T_TIMEOUT})
  if(VELKAN_DRIVER STREQUAL "qt")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;${VELKAN_SANITIZER_ENV}")
  else()
    add_dependencies(${name} velkan_robot)
    # Linked again whenever the robot changes, so that the copy beside it is never stale.
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS $<TARGET_FILE:velkan_robot>)
    add_custom_command(TARGET ${name} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:velkan_robot>
              $<TARGET_FILE_DIR:${name}>)
  endif()
endfunction()
