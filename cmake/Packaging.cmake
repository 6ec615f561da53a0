# CPack: the Debian packages lxibase (the shared library and lxi-errorlog) and
# lxibase-dev (headers, CMake package, lxibase.pc), for the architecture the
# build targets: amd64 natively, armhf with the arm-linux-gnueabihf toolchain.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lxibase)
set(CPACK_PACKAGE_VENDOR "lxibase")
set(CPACK_PACKAGE_CONTACT "lxibase maintainers <lxibase@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL runtime dev)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)

# dpkg names the target architecture; a cross build must not take the host's.
if(CMAKE_LIBRARY_ARCHITECTURE MATCHES "^arm-linux-gnueabihf")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armhf)
elseif(CMAKE_LIBRARY_ARCHITECTURE MATCHES "^aarch64-linux-gnu")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
elseif(CMAKE_LIBRARY_ARCHITECTURE MATCHES "^x86_64-linux-gnu")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
endif()

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME lxibase)
# First line: the synopsis; the rest: the long description.
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "Base library of the LXI instrument stack
UTF-16 strings, the operating-system layer, the error catalogue and logger,
and the notification and request contracts of the stack's modules.
lxi-errorlog prints the UTF-16 error log as UTF-8.")
# What the library needs at run time (symbol versions GLIBC_2.34,
# CXXABI_1.3.9, and GCC_3.5 on armhf). Fixed here rather than taken from
# dpkg-shlibdeps, which cannot inspect the cross toolchain's libraries.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.5), libstdc++6 (>= 5)")
# A shlibs file for modules packaged against us, and ldconfig on install.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME lxibase-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_DESCRIPTION "Development files of lxibase
Headers, the CMake package (find_package(lxibase)) and lxibase.pc.")
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "lxibase (= ${PROJECT_VERSION})")

include(CPack)
