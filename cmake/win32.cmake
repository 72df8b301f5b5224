# Windows build: the program, its companion player and the tests that run under Wine.
set(WIN32_STATIC -static -static-libgcc -static-libstdc++)

# The Windows backend, with the GL calls it shares with the X11 backend.
trove_folder_library(trove_win32 backends/win32)
trove_folder_library(trove_gl backends/gl)
target_compile_definitions(trove_win32 PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_definitions(trove_gl PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
set(WIN32_LIBS opengl32 glu32 gdi32 ole32 oleaut32 uuid shell32 user32 kernel32)
target_link_libraries(trove_win32 PUBLIC ${WIN32_LIBS})
trove_program(trove_windows ${CORE_LIBRARIES} trove_win32 trove_gl)

add_executable(trove WIN32 ${CMAKE_SOURCE_DIR}/src/backends/win32/win_main.cpp)
target_compile_definitions(trove PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(trove PRIVATE trove_windows)
target_link_options(trove PRIVATE ${WIN32_STATIC} -Wl,--large-address-aware)

# Timing of thumbnail pages with the Windows picture loader (run under Wine by a script).
add_executable(page_timing ${CMAKE_SOURCE_DIR}/bench/win32/page_timing.cpp)
target_compile_options(page_timing PRIVATE ${TROVE_WARNINGS})
target_compile_definitions(page_timing PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_include_directories(page_timing PRIVATE ${CMAKE_SOURCE_DIR}/bench)
target_link_libraries(page_timing PRIVATE trove_windows)
target_link_options(page_timing PRIVATE ${WIN32_STATIC} -Wl,--large-address-aware)

# The stand-in player.
trove_require_sources("the stand-in player spool.exe" tools/spool/spool.cpp tools/spool/spool_args.h)
add_executable(spool WIN32 ${CMAKE_SOURCE_DIR}/tools/spool/spool.cpp)
target_compile_options(spool PRIVATE ${TROVE_WARNINGS})
target_compile_definitions(spool PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(spool PRIVATE gdi32 user32 kernel32)
target_link_options(spool PRIVATE ${WIN32_STATIC})

# GoogleTest built from Debian's sources with the cross compiler.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

file(GLOB_RECURSE WIN32_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*_test.cpp)
if(WIN32_TESTS)
  add_executable(win32_tests ${WIN32_TESTS})
  target_compile_definitions(win32_tests PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX
    TROVE_CORPORA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
  target_include_directories(win32_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(win32_tests PRIVATE trove_windows gtest gtest_main)
  target_link_options(win32_tests PRIVATE ${WIN32_STATIC} -Wl,--large-address-aware)
  gtest_discover_tests(win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS win32 RESOURCE_LOCK wineprefix)
endif()

# Runs files through DecodePicture one process per batch; the tests above start it.
add_executable(picture_probe ${CMAKE_SOURCE_DIR}/tests/win32/probe/picture_probe.cpp)
target_compile_options(picture_probe PRIVATE ${TROVE_WARNINGS})
target_compile_definitions(picture_probe PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(picture_probe PRIVATE trove_windows)
target_link_options(picture_probe PRIVATE ${WIN32_STATIC} -Wl,--large-address-aware)
if(TARGET win32_tests)
  add_dependencies(win32_tests picture_probe)
endif()

# End-to-end tests drive dist/trove.exe under Wine on Xvfb. They share the Wine prefix, whose
# server each of them ends when it is done: one at a time.
find_program(PYTHON3 python3 REQUIRED)
file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(t ${E2E_TESTS})
  get_filename_component(name ${t} NAME_WE)
  add_test(NAME e2e.${name} COMMAND ${PYTHON3} ${t}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(e2e.${name} PROPERTIES LABELS e2e RESOURCE_LOCK wineprefix TIMEOUT 900
    ENVIRONMENT "TROVE_DIST=${CMAKE_SOURCE_DIR}/dist;TROVE_BUILD=${CMAKE_BINARY_DIR};PYTHONPATH=${CMAKE_SOURCE_DIR}/tools")
endforeach()

# A helper program the end-to-end tests run beside Trove.
add_executable(e2e_helper WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/helper/e2e_helper.cpp)
target_compile_options(e2e_helper PRIVATE ${TROVE_WARNINGS})
target_link_libraries(e2e_helper PRIVATE gdi32 user32 shell32)
target_link_options(e2e_helper PRIVATE ${WIN32_STATIC})

# The program folder is whole, and its script makes it whole or fails naming what is missing.
add_test(NAME dist.layout COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/dist/test_dist.py
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
set_tests_properties(dist.layout PROPERTIES LABELS dist TIMEOUT 600 ENVIRONMENT
  "TROVE_DIST=${CMAKE_SOURCE_DIR}/dist;TROVE_BUILD=${CMAKE_BINARY_DIR};TROVE_TOOLS=${CMAKE_SOURCE_DIR}/build/tools")

# The Windows package: the whole program folder dist/ (make dist lays it out) as
# trove-VERSION-win32.zip, its files in a folder of the same name.
set(ZIP_NAME trove-${PROJECT_VERSION}-win32)
set(ZIP_STAGE ${CMAKE_BINARY_DIR}/zip)
add_custom_target(package_zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/dist ${ZIP_STAGE}/${ZIP_NAME}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TROVE_PACKAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TROVE_PACKAGE_DIR}/${ZIP_NAME}.zip
  COMMAND ${CMAKE_COMMAND} -E chdir ${ZIP_STAGE}
    ${CMAKE_COMMAND} -E tar cf ${TROVE_PACKAGE_DIR}/${ZIP_NAME}.zip --format=zip ${ZIP_NAME}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${ZIP_STAGE}
  COMMENT "Packing dist/ into ${ZIP_NAME}.zip" VERBATIM)
