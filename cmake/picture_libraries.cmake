# The libraries the native picture decoders use beside libjpeg-turbo, one per format: libspng
# (PNG), giflib (GIF), libwebp with its demuxer (WebP), libavif (AVIF), libheif (HEIF) and
# libjxl (JPEG XL). Debian's -dev packages install them (scripts/setup/ensure-deps.sh).
find_package(PkgConfig REQUIRED)
pkg_check_modules(PICTURE_LIBRARIES REQUIRED IMPORTED_TARGET
  spng libgif libwebp libwebpdemux libavif libheif libjxl)
