// LXIBASE_API marks what liblxibase.so exports. The library is built with
// hidden visibility, so only the classes carrying this mark (and their
// members and static data) are seen by the modules that link against it.
#ifndef LXIBASE_LXIBASEEXPORT_H
#define LXIBASE_LXIBASEEXPORT_H

#define LXIBASE_API __attribute__((visibility("default")))

#endif
