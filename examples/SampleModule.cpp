// A loadable module of the example stack: a shared object that exports
// "GetILxiModuleCtrlIfc" and hands out its control interface.
#include "SampleModuleIfc.h"
#include "Str.h"

namespace {

class CSampleModule : public ILxiModuleCtrlIfc
{
public:
    void GetModuleName(CStr& name) const override { name.Assign("sample mDNS responder"); }
    bool Start() override { return true; }
};

CSampleModule s_module;

}  // namespace

extern "C" __attribute__((visibility("default"))) bool GetILxiModuleCtrlIfc(ILxiModuleCtrlIfc*& pInterface)
{
    pInterface = &s_module;
    return true;
}
