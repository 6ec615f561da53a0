# CPack: the Debian packages of lxibase, laid out by Debian's policy for
# libraries, for the architecture the build targets (amd64 natively, armhf with
# the arm-linux-gnueabihf toolchain):
#   liblxibase1      the shared library (component runtime)
#   liblxibase-dev   headers, liblxibase.so, CMake package, lxibase.pc (dev)
#   lxi-errorlog     the log reader and its manual page (tools)
# CPack stages each component; cmake/debian/BuildDebs.cmake writes the control
# files and runs dpkg-deb. (CPack's own DEB generator can neither mark a
# package Multi-Arch nor leave out the ldconfig maintainer scripts that the
# trigger replaces.)
#
# The library packages are Multi-Arch: same, so amd64 and armhf install side by
# side; every file they share a path with (headers, copyright, changelog) is
# therefore byte for byte the same on both.
set(LXIBASE_DEB_MAINTAINER "lxibase maintainers <lxibase@example.org>" CACHE STRING
    "Maintainer of the Debian packages, as \"Name <address>\"")
# The short name of the licence in LICENSE, for the copyright files.
set(LXIBASE_LICENSE "all-rights-reserved")

set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/BuildDebs.cmake)
set(CPACK_PACKAGE_NAME lxibase)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Staged with DESTDIR, so that what is written at install time (lxibase.pc)
# holds the prefix /usr and not the staging directory.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL runtime dev)
if(LXIBASE_BUILD_TOOLS)
  list(APPEND CPACK_COMPONENTS_ALL tools)
endif()

# What BuildDebs.cmake reads (CPack hands every CPACK_ variable on).
set(CPACK_LXIBASE_MAINTAINER "${LXIBASE_DEB_MAINTAINER}")
# dpkg names the target architecture; a cross build must not take the host's.
if(CMAKE_LIBRARY_ARCHITECTURE MATCHES "^arm-linux-gnueabihf")
  set(CPACK_LXIBASE_ARCHITECTURE armhf)
elseif(CMAKE_LIBRARY_ARCHITECTURE MATCHES "^aarch64-linux-gnu")
  set(CPACK_LXIBASE_ARCHITECTURE arm64)
elseif(CMAKE_LIBRARY_ARCHITECTURE MATCHES "^x86_64-linux-gnu")
  set(CPACK_LXIBASE_ARCHITECTURE amd64)
endif()

# What the binaries need at run time (symbol versions GLIBC_2.34,
# CXXABI_1.3.9, and GCC_3.5 on armhf). Fixed here rather than taken from
# dpkg-shlibdeps, which cannot inspect the cross toolchain's libraries.
set(LXIBASE_DEB_SYSTEM_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.5), libstdc++6 (>= 5)")
# The library package is named after the SONAME, liblxibase.so.1. Its shlibs
# file tells dpkg-shlibdeps what a package built against it depends on.
set(LXIBASE_DEB_LIBRARY liblxibase${PROJECT_VERSION_MAJOR})
set(CPACK_LXIBASE_SHLIBS
    "liblxibase ${PROJECT_VERSION_MAJOR} ${LXIBASE_DEB_LIBRARY} (>= ${PROJECT_VERSION})")

set(CPACK_LXIBASE_RUNTIME_PACKAGE ${LXIBASE_DEB_LIBRARY})
set(CPACK_LXIBASE_RUNTIME_SECTION libs)
set(CPACK_LXIBASE_RUNTIME_MULTIARCH same)
set(CPACK_LXIBASE_RUNTIME_DEPENDS "${LXIBASE_DEB_SYSTEM_DEPENDS}")
# First line: the synopsis; the rest: the long description.
set(CPACK_LXIBASE_RUNTIME_DESCRIPTION "base library of the LXI instrument software stack
UTF-16 strings, the operating-system layer (memory, clocks, files with
byte-order marks, worker threads, loadable modules), the error catalogue and
logger, and the notification and request contracts of the stack's modules.")

set(CPACK_LXIBASE_DEV_PACKAGE liblxibase-dev)
set(CPACK_LXIBASE_DEV_SECTION libdevel)
set(CPACK_LXIBASE_DEV_MULTIARCH same)
set(CPACK_LXIBASE_DEV_DEPENDS "${LXIBASE_DEB_LIBRARY} (= ${PROJECT_VERSION})")
set(CPACK_LXIBASE_DEV_DESCRIPTION "development files of lxibase, the LXI stack's base library
The headers of lxibase, the link to the shared library, the CMake package
(find_package(lxibase) gives the target lxibase::lxibase) and the pkg-config
file lxibase.pc, for building the modules of the stack.")

set(CPACK_LXIBASE_TOOLS_PACKAGE lxi-errorlog)
set(CPACK_LXIBASE_TOOLS_SECTION utils)
set(CPACK_LXIBASE_TOOLS_MULTIARCH foreign)
set(CPACK_LXIBASE_TOOLS_DEPENDS
    "${LXIBASE_DEB_LIBRARY} (>= ${PROJECT_VERSION}), ${LXIBASE_DEB_SYSTEM_DEPENDS}")
set(CPACK_LXIBASE_TOOLS_DESCRIPTION "print the error log of the LXI instrument stack as UTF-8
The modules of the stack log errors in UTF-16 to ../Data/ErrorLog.log.
lxi-errorlog prints that log, or its last lines, as UTF-8, follows it as it
grows, and prints the texts of the stack's error catalogue.")

# Each package carries the copyright file (Debian's machine-readable format,
# the notice and licence taken from LICENSE) and the changelog, in
# /usr/share/doc/<package>. Only the packages install them, not a plain
# `cmake --install`.
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE LXIBASE_COPYRIGHT LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright " "" LXIBASE_COPYRIGHT "${LXIBASE_COPYRIGHT}")
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE LXIBASE_LICENSE_TEXT)
string(STRIP "${LXIBASE_LICENSE_TEXT}" LXIBASE_LICENSE_TEXT)
string(REPLACE "\n\n" "\n.\n" LXIBASE_LICENSE_TEXT "${LXIBASE_LICENSE_TEXT}")
string(REPLACE "\n" "\n " LXIBASE_LICENSE_TEXT " ${LXIBASE_LICENSE_TEXT}")
configure_file(cmake/debian/copyright.in debian/copyright @ONLY)
configure_file(cmake/debian/changelog.in debian/changelog @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
lxibase_gzip(${CMAKE_CURRENT_BINARY_DIR}/debian/changelog
             ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz lxibase_changelog)
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} COMPONENT)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/debian/copyright
                ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_LXIBASE_${COMPONENT}_PACKAGE}
          COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()

include(CPack)
