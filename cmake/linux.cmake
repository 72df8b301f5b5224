# Linux build: the program itself from the core and the X11 backend, its player, and
# the end-to-end tests that drive it on Xvfb.
set(OpenGL_GL_PREFERENCE GLVND)

# Debian's hardening flags, as dpkg-buildflags gives them with hardening=+all: fortified library
# calls, the stack protector and stack clash protection, format checks, relocations read-only
# and bound at start, and position-independent executables.
add_compile_options(-D_FORTIFY_SOURCE=2 -fstack-protector-strong -fstack-clash-protection
  -fcf-protection -Wformat -Werror=format-security)
add_link_options(-Wl,-z,relro -Wl,-z,now)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
find_package(X11 REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)
find_package(JPEG REQUIRED)
include(${CMAKE_SOURCE_DIR}/cmake/picture_libraries.cmake)

# The X11 backend over the POSIX layer (processes, report, pauses, files, picture decoders; the
# headless backend shares its files and pictures), with the GL calls it shares with the Windows
# backend.
trove_folder_library(trove_x11 backends/x11)
trove_folder_library(trove_gl backends/gl)
trove_folder_library(trove_posix backends/posix)
# The characters beyond the bitmap font come from the desktop's fonts.
pkg_check_modules(DESKTOP_FONTS REQUIRED IMPORTED_TARGET fontconfig freetype2)
target_link_libraries(trove_x11 PUBLIC X11::X11 X11::Xi X11::Xrandr PkgConfig::DESKTOP_FONTS)
target_link_libraries(trove_gl PUBLIC OpenGL::OpenGL OpenGL::GLX OpenGL::GLU)
target_link_libraries(trove_posix PUBLIC JPEG::JPEG PkgConfig::PICTURE_LIBRARIES)
trove_program(trove_linux ${CORE_LIBRARIES} trove_x11 trove_gl trove_posix)

add_executable(trove ${CMAKE_SOURCE_DIR}/src/backends/x11/x11_main.cpp)
target_compile_options(trove PRIVATE ${TROVE_WARNINGS})
target_link_libraries(trove PRIVATE trove_linux)

# The player: GStreamer's playbin drawing into the player's own X11 window.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GSTREAMER REQUIRED IMPORTED_TARGET gstreamer-1.0 gstreamer-video-1.0)
pkg_check_modules(XFT REQUIRED IMPORTED_TARGET xft)
trove_require_sources("the player spool" tools/spool/x11/spool.cpp tools/spool/x11/player_text.cpp)
add_executable(spool ${CMAKE_SOURCE_DIR}/tools/spool/x11/spool.cpp
  ${CMAKE_SOURCE_DIR}/tools/spool/x11/player_text.cpp)
target_compile_options(spool PRIVATE ${TROVE_WARNINGS})
target_link_libraries(spool PRIVATE X11::X11 PkgConfig::GSTREAMER PkgConfig::XFT)
# Without the compilers' names, as Debian's own packages are stripped.
foreach(program trove spool)
  add_custom_command(TARGET ${program} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment $<TARGET_FILE:${program}> VERBATIM)
endforeach()

include(${CMAKE_SOURCE_DIR}/cmake/install.cmake)

# End-to-end tests drive dist-linux/trove on Xvfb; the helper stands beside it. Each test has a
# display and folders of its own, and waits for what the program reports rather than for the
# clock, so they run side by side.
add_executable(x11_helper ${CMAKE_SOURCE_DIR}/tests/e2e/helper/x11_helper.cpp)
target_compile_options(x11_helper PRIVATE ${TROVE_WARNINGS})
target_link_libraries(x11_helper PRIVATE X11::X11)
# The end-to-end tests' pictures of the formats the native decoders add to BMP and JPEG.
add_executable(make_format_samples ${CMAKE_SOURCE_DIR}/tools/native/make_format_samples.cpp)
target_compile_options(make_format_samples PRIVATE ${TROVE_WARNINGS})
target_include_directories(make_format_samples PRIVATE ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(make_format_samples PRIVATE PkgConfig::PICTURE_LIBRARIES)

find_program(PYTHON3 python3 REQUIRED)
file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(t ${E2E_TESTS})
  get_filename_component(name ${t} NAME_WE)
  add_test(NAME e2e-linux.${name} COMMAND ${PYTHON3} ${t}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(e2e-linux.${name} PROPERTIES LABELS e2e-linux TIMEOUT 900
    ENVIRONMENT "TROVE_PROGRAM=linux;TROVE_DIST=${CMAKE_SOURCE_DIR}/dist-linux;TROVE_BUILD=${CMAKE_BINARY_DIR};PYTHONPATH=${CMAKE_SOURCE_DIR}/tools")
endforeach()

# The program folder is whole, and its script makes it whole or fails naming what is missing.
add_test(NAME dist-linux.layout COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/dist/test_dist.py
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
set_tests_properties(dist-linux.layout PROPERTIES LABELS dist TIMEOUT 600 ENVIRONMENT
  "TROVE_PROGRAM=linux;TROVE_DIST=${CMAKE_SOURCE_DIR}/dist-linux;TROVE_BUILD=${CMAKE_BINARY_DIR};TROVE_TOOLS=${CMAKE_SOURCE_DIR}/build/tools")

# What make package makes: the Debian package and the Windows zip, their fields and files.
add_test(NAME packages.contents COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/packages/test_packages.py
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
set_tests_properties(packages.contents PROPERTIES LABELS packages TIMEOUT 300 ENVIRONMENT
  "TROVE_PACKAGES=${TROVE_PACKAGE_DIR};TROVE_VERSION=${PROJECT_VERSION};TROVE_WIN32_DIST=${CMAKE_SOURCE_DIR}/dist")
