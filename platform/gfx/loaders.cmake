# Libraries of the graphics loaders (pictures, DDS, meshes, effects), linked
# into platform_gfx. stb is used as Debian builds it (libstb: stb_image,
# stb_image_write, stb_dxt); zlib inflates compressed .X meshes.
pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)
find_package(ZLIB REQUIRED)
target_link_libraries(platform_gfx PRIVATE PkgConfig::STB ZLIB::ZLIB)
