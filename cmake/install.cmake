# The installed Linux program (make install, make package) and its Debian package. Under the
# install prefix the files lie as a Linux system lays them out, and the program finds its own
# again from where it lies itself (platform::DataFolder), whatever the prefix:
#   bin/trove                                  the program
#   lib/trove/spool                            the player
#   share/trove/bmp_*/                         the game's asset folders
#   share/applications/trove.desktop           the menu entry
#   share/icons/hicolor/64x64/apps/trove.png   the icon
#   share/man/man1/trove.1.gz                  the manual page
#   share/doc/trove/README.md.gz, changelog.gz, copyright
# The asset folders and the icon are drawn at build time by the repository's own generators,
# the same drawings make_assets puts into dist/ and dist-linux/.

file(GLOB INSTALL_ART_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/native/art/*.cpp)
add_library(asset_art STATIC ${INSTALL_ART_SOURCES})
target_compile_options(asset_art PRIVATE ${TROVE_WARNINGS})
target_include_directories(asset_art PUBLIC ${CMAKE_SOURCE_DIR}/src)
foreach(tool make_assets make_icon)
  add_executable(${tool} ${CMAKE_SOURCE_DIR}/tools/native/${tool}.cpp)
  target_compile_options(${tool} PRIVATE ${TROVE_WARNINGS})
  target_link_libraries(${tool} PRIVATE asset_art)
endforeach()

set(TROVE_DATA ${CMAKE_BINARY_DIR}/data)
add_custom_command(OUTPUT ${TROVE_DATA}/assets.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TROVE_DATA}/assets
  COMMAND make_assets ${TROVE_DATA}/assets
  COMMAND ${CMAKE_COMMAND} -E touch ${TROVE_DATA}/assets.stamp
  DEPENDS make_assets VERBATIM)
add_custom_command(OUTPUT ${TROVE_DATA}/trove.png
  COMMAND make_icon ${TROVE_DATA}/trove.png
  DEPENDS make_icon VERBATIM)
add_custom_target(installed_data ALL DEPENDS ${TROVE_DATA}/assets.stamp ${TROVE_DATA}/trove.png)
set(CPACK_PACKAGE_CONTACT "Trove maintainers <maintainers@users.noreply.c-seed-9fda4654.example>")
# The release day in the two forms the manual page and the changelog write it.
set(ENV{SOURCE_DATE_EPOCH} ${TROVE_RELEASE_EPOCH})
string(TIMESTAMP TROVE_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP TROVE_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
unset(ENV{SOURCE_DATE_EPOCH})
configure_file(${CMAKE_SOURCE_DIR}/packaging/trove.1.in ${TROVE_DATA}/trove.1 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${TROVE_DATA}/changelog @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/README.md ${TROVE_DATA}/README.md COPYONLY)
# The manual page and the documents are installed compressed, as Debian keeps them; -n leaves
# the name and time out, so the same sources give the same bytes.
set(TROVE_COMPRESSED)
foreach(file trove.1 README.md changelog)
  add_custom_command(OUTPUT ${TROVE_DATA}/${file}.gz
    COMMAND gzip -9nkf ${TROVE_DATA}/${file}
    DEPENDS ${TROVE_DATA}/${file} VERBATIM)
  list(APPEND TROVE_COMPRESSED ${TROVE_DATA}/${file}.gz)
endforeach()
add_custom_target(compressed_documents ALL DEPENDS ${TROVE_COMPRESSED})

install(TARGETS trove RUNTIME DESTINATION bin)
install(TARGETS spool RUNTIME DESTINATION lib/trove)
install(DIRECTORY ${TROVE_DATA}/assets/ DESTINATION share/trove)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/trove.desktop DESTINATION share/applications)
install(FILES ${TROVE_DATA}/trove.png DESTINATION share/icons/hicolor/64x64/apps)
install(FILES ${TROVE_DATA}/trove.1.gz DESTINATION share/man/man1)
install(FILES ${TROVE_DATA}/README.md.gz ${TROVE_DATA}/changelog.gz
  ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/trove)

# trove_VERSION_ARCH.deb, installed under /usr. Its Depends come from dpkg-shlibdeps, run on
# the programs as they are linked, and name the GStreamer plugin sets the player needs at run
# time: the demuxers, decoders and converters and the X11 picture sinks, which no program links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trove)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the Trove maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file, picture and media browser in one window")
# The summary above is the description's first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Trove lists a folder in coloured columns, shows its BMP and JPEG pictures as
thumbnail pages or one at a time, and hands files to an external player. It
draws everything itself into one borderless X11 window, and its keys and right
clicks work even while another program has the focus.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${TROVE_PACKAGE_DIR})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-x")
# F7 opens the browsed folder with xdg-open; names in East Asian scripts are drawn from a font
# that has their characters (the libraries' own dependencies bring fonts for the others).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-noto-cjk | fonts-droid-fallback")
set(CPACK_STRIP_FILES ON)
include(CPack)
