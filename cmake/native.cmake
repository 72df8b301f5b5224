# Native build: the core with the headless backend, unit tests, companion tools, benchmarks.
find_package(GTest REQUIRED)
include(GoogleTest)

# The headless backend, with the POSIX files and picture decoders of the Linux program. It stands
# in for the system side of a program itself (it records pauses, programs run, report lines), so
# the POSIX layer's system side is left out.
trove_folder_library(trove_headless backends/headless)
trove_folder_library(trove_posix backends/posix posix_system.cpp)
find_package(JPEG REQUIRED)
include(${CMAKE_SOURCE_DIR}/cmake/picture_libraries.cmake)
target_link_libraries(trove_posix PUBLIC JPEG::JPEG PkgConfig::PICTURE_LIBRARIES)
trove_program(trove_native ${CORE_LIBRARIES} trove_headless trove_posix)

# Unit tests of the core against the headless backend, one binary per subsystem.
file(GLOB TEST_DIRS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/*)
foreach(dir ${TEST_DIRS})
  get_filename_component(name ${dir} NAME)
  if(NOT IS_DIRECTORY ${dir} OR name STREQUAL "e2e" OR name STREQUAL "win32" OR name STREQUAL "support")
    continue()
  endif()
  file(GLOB_RECURSE tests CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  if(NOT tests)
    continue()
  endif()
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
  add_executable(${name}_tests ${tests} ${support})
  if(name STREQUAL "tools")
    # The player's pure parts are tested here, without the media framework it plays with.
    target_sources(${name}_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools/spool/x11/player_text.cpp)
  endif()
  # The build's own file writers (tools/native) make test files too.
  target_include_directories(${name}_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/tools)
  target_compile_options(${name}_tests PRIVATE ${TROVE_WARNINGS})
  target_compile_definitions(${name}_tests PRIVATE
    TROVE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" TROVE_CORPORA_DIR="${CMAKE_SOURCE_DIR}/tests/data"
    TROVE_SAMPLES_TOOL="$<TARGET_FILE:make_samples>")
  # Tests draw the project's own sample pictures, written by the tool at test time.
  add_dependencies(${name}_tests make_samples)
  target_link_libraries(${name}_tests PRIVATE trove_native GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name}_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS core
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1")
endforeach()

# The Linux backend's own decisions (key translation) are tested here too.
if(TARGET x11_tests)
  target_sources(x11_tests PRIVATE ${CMAKE_SOURCE_DIR}/src/backends/x11/x11_keys.cpp)
endif()

# Companion programs that run on the build machine.
trove_require_sources("the game's assets and the sample pictures in dist/"
  tools/native/make_assets.cpp tools/native/make_samples.cpp)
# The drawings of the game's assets, one source file per family, for make_assets and the tests.
file(GLOB ASSET_ART_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/native/art/*.cpp)
add_library(asset_art STATIC ${ASSET_ART_SOURCES})
target_compile_options(asset_art PRIVATE ${TROVE_WARNINGS})
target_include_directories(asset_art PUBLIC ${CMAKE_SOURCE_DIR}/src)
if(TARGET pictures_tests)
  target_link_libraries(pictures_tests PRIVATE asset_art)
endif()
set(TOOLS_USING_ART make_assets make_icon)
set(TOOLS_USING_CORE font_sheet)
# Tools that write JPEG files themselves, and those that write the other formats.
set(TOOLS_USING_JPEG make_samples make_photos)
set(TOOLS_USING_PICTURE_LIBRARIES make_format_samples)
file(GLOB TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/native/*.cpp)
foreach(src ${TOOL_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_compile_options(${name} PRIVATE ${TROVE_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  # Tools that draw with the core's own code link the core and the headless backend.
  if(name IN_LIST TOOLS_USING_CORE)
    target_link_libraries(${name} PRIVATE trove_native)
  endif()
  if(name IN_LIST TOOLS_USING_ART)
    target_link_libraries(${name} PRIVATE asset_art)
  endif()
  if(name IN_LIST TOOLS_USING_JPEG)
    target_link_libraries(${name} PRIVATE JPEG::JPEG)
  endif()
  if(name IN_LIST TOOLS_USING_PICTURE_LIBRARIES)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tools)
    target_link_libraries(${name} PRIVATE PkgConfig::PICTURE_LIBRARIES)
  endif()
endforeach()

if(TROVE_BENCH)
  find_package(benchmark REQUIRED)
  file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
  add_executable(trove_bench ${BENCH_SOURCES})
  target_link_libraries(trove_bench PRIVATE trove_native benchmark::benchmark)
  target_include_directories(trove_bench PRIVATE ${CMAKE_SOURCE_DIR}/bench ${CMAKE_SOURCE_DIR}/tools)
  # Folders the benchmarks make once and keep (a folder of 100,000 files for the listing).
  target_compile_definitions(trove_bench PRIVATE TROVE_BENCH_DATA="${CMAKE_BINARY_DIR}/bench-data")
endif()

if(TROVE_FUZZ)
  # Coverage feedback from the core itself, not only from the fuzz targets.
  foreach(library ${CORE_LIBRARIES} trove_posix)
    target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link)
  endforeach()
  file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
  foreach(src ${FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE trove_native)
  endforeach()
endif()

# The set-up scripts the tests and the tour stand on.
find_program(PYTHON3 python3 REQUIRED)
add_test(NAME scripts.with_xvfb COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/scripts/test_with_xvfb.py)
set_tests_properties(scripts.with_xvfb PROPERTIES LABELS scripts TIMEOUT 300)

# The include graph against the layering of scripts/checks/layers.txt, which the README quotes.
add_test(NAME layers COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/scripts/checks/check-layers.py ${CMAKE_SOURCE_DIR})
set_tests_properties(layers PROPERTIES LABELS core)
add_test(NAME scripts.check_layers COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/scripts/test_check_layers.py)
set_tests_properties(scripts.check_layers PROPERTIES LABELS scripts TIMEOUT 120)
