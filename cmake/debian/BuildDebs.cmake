# Run by CPack (External generator) once every component is staged in
# CPACK_TEMPORARY_DIRECTORY/<component>: gives each staged tree its control
# files and builds it into <package>_<version>_<architecture>.deb with
# dpkg-deb. The package data comes from the CPACK_LXIBASE_ variables of
# cmake/Packaging.cmake.
find_program(LXIBASE_DPKG_DEB dpkg-deb REQUIRED)
set(version ${CPACK_PACKAGE_VERSION})
set(architecture ${CPACK_LXIBASE_ARCHITECTURE})
if(NOT architecture)
  message(FATAL_ERROR "no Debian architecture is known for this target")
endif()

set(built)
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} COMPONENT)
  set(package ${CPACK_LXIBASE_${COMPONENT}_PACKAGE})
  set(root ${CPACK_TEMPORARY_DIRECTORY}/${component})
  set(control ${root}/DEBIAN)
  file(MAKE_DIRECTORY ${control})

  # md5sums lists the regular files; Installed-Size counts their KiB.
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${root}/usr/*)
  list(SORT files)
  set(md5sums "")
  set(kib 0)
  foreach(file IN LISTS files)
    if(NOT IS_SYMLINK ${root}/${file})
      file(MD5 ${root}/${file} sum)
      string(APPEND md5sums "${sum}  ${file}\n")
      file(SIZE ${root}/${file} bytes)
      math(EXPR kib "${kib} + (${bytes} + 1023) / 1024")
    endif()
  endforeach()
  file(WRITE ${control}/md5sums "${md5sums}")

  # The description: a synopsis line, then the long text indented by one blank.
  string(REPLACE "\n" "\n " description "${CPACK_LXIBASE_${COMPONENT}_DESCRIPTION}")
  file(WRITE ${control}/control
       "Package: ${package}\n"
       "Source: ${CPACK_PACKAGE_NAME}\n"
       "Version: ${version}\n"
       "Architecture: ${architecture}\n"
       "Multi-Arch: ${CPACK_LXIBASE_${COMPONENT}_MULTIARCH}\n"
       "Maintainer: ${CPACK_LXIBASE_MAINTAINER}\n"
       "Installed-Size: ${kib}\n"
       "Depends: ${CPACK_LXIBASE_${COMPONENT}_DEPENDS}\n"
       "Section: ${CPACK_LXIBASE_${COMPONENT}_SECTION}\n"
       "Priority: optional\n"
       "Description: ${description}\n")

  # The library: its shlibs file, and the ldconfig trigger in place of
  # maintainer scripts that would run ldconfig.
  if(component STREQUAL "runtime")
    file(WRITE ${control}/shlibs "${CPACK_LXIBASE_SHLIBS}\n")
    file(WRITE ${control}/triggers "activate-noawait ldconfig\n")
  endif()

  set(deb ${CPACK_TOPLEVEL_DIRECTORY}/${package}_${version}_${architecture}.deb)
  execute_process(COMMAND ${LXIBASE_DPKG_DEB} --root-owner-group --build ${root} ${deb}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  list(APPEND built ${deb})
endforeach()
# CPack copies these into the build directory.
set(CPACK_EXTERNAL_BUILT_PACKAGES ${built})
