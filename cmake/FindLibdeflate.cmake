# Finds libdeflate, whose carry-less-multiply CRC-32 computes every block CRC.
# Debian packages it as libdeflate-dev (scripts/setup installs it); its 1.14
# ships neither a CMake package nor a config file, only the header, the
# library and a pkg-config file, so it is looked for by name.
#
# Defines Libdeflate::Libdeflate and LIBDEFLATE_FOUND.
find_path(LIBDEFLATE_INCLUDE_DIR NAMES libdeflate.h)
find_library(LIBDEFLATE_LIBRARY NAMES deflate libdeflate)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Libdeflate
  REQUIRED_VARS LIBDEFLATE_LIBRARY LIBDEFLATE_INCLUDE_DIR
  REASON_FAILURE_MESSAGE "install Debian's libdeflate-dev (scripts/setup does)")

if(LIBDEFLATE_FOUND AND NOT TARGET Libdeflate::Libdeflate)
  add_library(Libdeflate::Libdeflate UNKNOWN IMPORTED)
  set_target_properties(Libdeflate::Libdeflate PROPERTIES
    IMPORTED_LOCATION "${LIBDEFLATE_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${LIBDEFLATE_INCLUDE_DIR}")
endif()
mark_as_advanced(LIBDEFLATE_INCLUDE_DIR LIBDEFLATE_LIBRARY)
