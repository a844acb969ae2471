# Build helpers shared by the subsystem folders.
#   tg_portable(files...)         portable core (no <windows.h>): both builds
#   tg_win(files...)              Windows-only code: win build only
#   tg_host_only(files...)        host stand-ins for Windows pieces the core uses
#   tg_host_test(name files...)   GoogleTest program on the host, one ctest entry
#   tg_win_test(name files...)    GoogleTest program run under Wine, one ctest entry
# TG_FUZZ (the "fuzz" preset, clang) builds the portable core for libFuzzer
# targets only: tests/fuzz holds them, and no other test program is made.
option(TG_FUZZ "build the libFuzzer targets of tests/fuzz with clang" OFF)
if(TG_TARGET STREQUAL "win")
  set(TG_WIN ON)
else()
  set(TG_WIN OFF)
endif()

set(TG_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
if(TG_WIN)
  add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
  set(TG_STATIC_LINK -static -static-libgcc -static-libstdc++)
elseif(TG_FUZZ)
  # the core gets the fuzzer's coverage hooks; each target links the fuzzer itself
  set(TG_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(${TG_SANITIZE} -fsanitize=fuzzer-no-link)
  add_link_options(${TG_SANITIZE})
  # small search blocks let short inputs cross the block edges of the marker search
  if(TG_SEARCH_BLOCK)
    add_compile_definitions(TG_SEARCH_BLOCK=${TG_SEARCH_BLOCK})
  endif()
else()
  set(TG_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(${TG_SANITIZE})
  add_link_options(${TG_SANITIZE})
endif()

set_property(GLOBAL PROPERTY TG_CORE_SOURCES "")

set_property(GLOBAL PROPERTY TG_PORTABLE_SOURCES "")

function(tg_portable)
  foreach(f ${ARGN})
    set_property(GLOBAL APPEND PROPERTY TG_CORE_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    set_property(GLOBAL APPEND PROPERTY TG_PORTABLE_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
  endforeach()
endfunction()

function(tg_win)
  if(TG_WIN)
    foreach(f ${ARGN})
      set_property(GLOBAL APPEND PROPERTY TG_CORE_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    endforeach()
  endif()
endfunction()

function(tg_host_only)
  if(NOT TG_WIN)
    foreach(f ${ARGN})
      set_property(GLOBAL APPEND PROPERTY TG_CORE_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    endforeach()
  endif()
endfunction()

# GoogleTest from Debian's source package, built by whichever compiler this is.
if(NOT TARGET gtest_main)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  if(EXISTS /usr/src/googletest/googletest/CMakeLists.txt)
    add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    message(FATAL_ERROR "GoogleTest sources not found: install the Debian package googletest")
  endif()
  # GoogleTest itself is not what is tested: on the host it is built without the
  # sanitizers (the tests and the core keep them), on Windows at -O1 without
  # debug information; either halves its compile time.
  if(TG_WIN)
    set_property(TARGET gtest gtest_main PROPERTY COMPILE_OPTIONS -O1 -g0)
  else()
    set_property(TARGET gtest gtest_main PROPERTY COMPILE_OPTIONS "")
  endif()
endif()

function(tg_finish_libraries)
  get_property(core GLOBAL PROPERTY TG_CORE_SOURCES)
  add_library(tgcore STATIC ${core})
  target_include_directories(tgcore PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/src/resources)
  target_compile_options(tgcore PRIVATE ${TG_WARNINGS})
  # On Windows the one library holds the portable core and the Windows code
  # together, so neither side depends on link order.
  if(TG_WIN)
    # Parsing <windows.h> is most of the compile time of a Windows file: the
    # Windows files share one precompiled copy; the portable files never see it.
    get_property(portable GLOBAL PROPERTY TG_PORTABLE_SOURCES)
    target_precompile_headers(tgcore PRIVATE <windows.h>)
    set_source_files_properties(${portable} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    target_link_libraries(tgcore PUBLIC ole32 oleaut32 uuid shell32 advapi32 comctl32 comdlg32
                          version lz32 mpr netapi32 iphlpapi secur32 winspool wbemuuid ws2_32 user32 gdi32)
  endif()
  if(TG_FUZZ)
    return()
  endif()
  # Test programs are queued by the folders and made once the library exists.
  # Every test source is compiled with the same flags and one precompiled header
  # (GoogleTest, the common C++ headers and, on Windows, <windows.h>), made once
  # by tgtestpch. Windows test sources are compiled at -O0: the code under test
  # is the library's, built optimised; optimising the test bodies only doubled
  # their compile time.
  set(TG_TEST_OPTIONS ${TG_WARNINGS})
  set(TG_TEST_PCH <gtest/gtest.h> <string> <vector> <string.h> <stdlib.h>)
  if(TG_WIN)
    list(APPEND TG_TEST_OPTIONS -O0)
    list(PREPEND TG_TEST_PCH <windows.h>)
  endif()
  add_library(tgtestpch OBJECT ${PROJECT_SOURCE_DIR}/cmake/testpch.cpp)
  target_compile_options(tgtestpch PRIVATE ${TG_TEST_OPTIONS})
  target_link_libraries(tgtestpch PRIVATE tgcore gtest_main)
  target_include_directories(tgtestpch PRIVATE ${PROJECT_SOURCE_DIR}/src/resources)
  target_precompile_headers(tgtestpch PRIVATE ${TG_TEST_PCH})
  get_property(tests GLOBAL PROPERTY TG_PENDING_TESTS)
  foreach(t ${tests})
    get_property(srcs GLOBAL PROPERTY TG_TEST_${t}_SOURCES)
    get_property(kind GLOBAL PROPERTY TG_TEST_${t}_KIND)
    add_executable(${t} ${srcs})
    target_compile_options(${t} PRIVATE ${TG_TEST_OPTIONS})
    target_include_directories(${t} PRIVATE ${PROJECT_SOURCE_DIR}/src/resources)
    target_precompile_headers(${t} REUSE_FROM tgtestpch)
    if(kind STREQUAL "win")
      target_link_libraries(${t} PRIVATE tgcore gtest_main tgresobj ${TG_STATIC_LINK})
      set_target_properties(${t} PROPERTIES SUFFIX ".exe")
    else()
      target_link_libraries(${t} PRIVATE tgcore gtest_main ${TG_STATIC_LINK})
    endif()
    add_test(NAME ${t} COMMAND ${t} --gtest_brief=1)
  endforeach()
endfunction()

function(tg_host_test name)
  if(NOT TG_WIN)
    set(srcs "")
    foreach(f ${ARGN})
      list(APPEND srcs ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    endforeach()
    set_property(GLOBAL APPEND PROPERTY TG_PENDING_TESTS ${name})
    set_property(GLOBAL PROPERTY TG_TEST_${name}_SOURCES ${srcs})
    set_property(GLOBAL PROPERTY TG_TEST_${name}_KIND host)
  endif()
endfunction()

function(tg_win_test name)
  if(TG_WIN)
    set(srcs "")
    foreach(f ${ARGN})
      list(APPEND srcs ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    endforeach()
    set_property(GLOBAL APPEND PROPERTY TG_PENDING_TESTS ${name})
    set_property(GLOBAL PROPERTY TG_TEST_${name}_SOURCES ${srcs})
    set_property(GLOBAL PROPERTY TG_TEST_${name}_KIND win)
  endif()
endfunction()
