# `cmake --install`: the library, its headers under include/lxibase, the CMake
# package (lxibase::lxibase) and lxibase.pc. Components: runtime (the shared
# library), dev (everything needed to build against it) and tools
# (lxi-errorlog and its manual page); each becomes one Debian package.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(LXIBASE_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/lxibase)

install(TARGETS lxibase EXPORT lxibaseTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
                NAMELINK_COMPONENT dev
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lxibase)
file(GLOB LXIBASE_HEADERS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/include/*.h)
install(FILES ${LXIBASE_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lxibase COMPONENT dev)

install(EXPORT lxibaseTargets NAMESPACE lxibase:: DESTINATION ${LXIBASE_INSTALL_CMAKEDIR}
        COMPONENT dev)
configure_package_config_file(cmake/lxibaseConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/lxibaseConfig.cmake
                              INSTALL_DESTINATION ${LXIBASE_INSTALL_CMAKEDIR})
# 1.x consumers accept any 1.y; the size of a pointer must match too, so an
# armhf tree is never picked up by an x86-64 build.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/lxibaseConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lxibaseConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/lxibaseConfigVersion.cmake
        DESTINATION ${LXIBASE_INSTALL_CMAKEDIR} COMPONENT dev)

# lxibase.pc holds absolute paths (what pkg-config sysroot handling expects),
# so it is written at install time from the prefix then in force: `cmake
# --install --prefix P` and the packages' /usr both end up in it.
foreach(kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
    set(LXIBASE_PC_${kind} "${CMAKE_INSTALL_${kind}}")
  else()
    set(LXIBASE_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
install(CODE "
  set(LXIBASE_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(LXIBASE_PC_LIBDIR [[${LXIBASE_PC_LIBDIR}]])
  set(LXIBASE_PC_INCLUDEDIR [[${LXIBASE_PC_INCLUDEDIR}]])
  set(PROJECT_VERSION ${PROJECT_VERSION})
  configure_file([[${CMAKE_CURRENT_SOURCE_DIR}/cmake/lxibase.pc.in]]
                 [[${CMAKE_CURRENT_BINARY_DIR}/lxibase.pc]] @ONLY)" COMPONENT dev)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lxibase.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

# lxibase_gzip(SOURCE OUTPUT TARGET): OUTPUT is SOURCE compressed the way
# Debian wants manual pages and changelogs (gzip -9n: best compression, no
# name or time stamp, so that every build gives the same bytes), made by the
# target TARGET of the default build.
function(lxibase_gzip source output target)
  add_custom_command(OUTPUT ${output} COMMAND gzip -9n --stdout ${source} > ${output}
                     DEPENDS ${source} VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
