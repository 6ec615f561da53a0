// The control interface that the example's module hands out. The library
// only names ILxiModuleCtrlIfc; each stack defines its members.
#ifndef LXIBASE_EXAMPLES_SAMPLEMODULEIFC_H
#define LXIBASE_EXAMPLES_SAMPLEMODULEIFC_H

class CStr;

class ILxiModuleCtrlIfc
{
public:
    virtual ~ILxiModuleCtrlIfc() = default;
    virtual void GetModuleName(CStr& name) const = 0;   // for the host's report
    virtual bool Start() = 0;                            // the module's own start-up
};

#endif
