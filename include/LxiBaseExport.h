/// \file
/// LXIBASE_API, the mark of what liblxibase.so exports.
#ifndef LXIBASE_LXIBASEEXPORT_H
#define LXIBASE_LXIBASEEXPORT_H

/// The library is built with hidden visibility, so only the classes carrying
/// this mark (and their members and static data) are seen by the modules
/// that link against it.
#define LXIBASE_API __attribute__((visibility("default")))

#endif
