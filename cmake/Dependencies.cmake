find_package(PkgConfig REQUIRED)
find_package(GTest REQUIRED)
include(GoogleTest)
if(ORVANTA_BENCH)
  find_package(benchmark REQUIRED)
endif()

pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(EGL REQUIRED IMPORTED_TARGET egl)
