# The API reference: Doxygen over include/, with README.md as its first page
# (preset docs; open build/docs/html/index.html). Every public member must be
# documented: an undocumented one, like any other warning, fails the build.
find_package(Doxygen REQUIRED)
set(DOXYGEN_PROJECT_NAME lxibase)
set(DOXYGEN_PROJECT_NUMBER ${PROJECT_VERSION})
set(DOXYGEN_PROJECT_BRIEF "Base library of the LXI instrument software stack")
set(DOXYGEN_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set(DOXYGEN_USE_MDFILE_AS_MAINPAGE ${PROJECT_SOURCE_DIR}/README.md)
set(DOXYGEN_STRIP_FROM_PATH ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/include)
set(DOXYGEN_JAVADOC_AUTOBRIEF YES)
set(DOXYGEN_DISTRIBUTE_GROUP_DOC YES)
# LXIBASE_API is an attribute, not part of the class names.
set(DOXYGEN_MACRO_EXPANSION YES)
set(DOXYGEN_EXPAND_ONLY_PREDEF YES)
set(DOXYGEN_PREDEFINED LXIBASE_API=)
set(DOXYGEN_HAVE_DOT NO)
set(DOXYGEN_QUIET YES)
set(DOXYGEN_WARN_IF_UNDOCUMENTED YES)
set(DOXYGEN_WARN_AS_ERROR FAIL_ON_WARNINGS)
doxygen_add_docs(docs ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/README.md
                 COMMENT "API reference: ${CMAKE_BINARY_DIR}/html/index.html")
