// A loadable module for the LoadDynLibrary tests, built three ways:
// LXITEST_ENTRY_RESULT=true or =false gives the entry that result; without it
// the module exports no "GetILxiModuleCtrlIfc" at all.
class ILxiModuleCtrlIfc;

// What the entry hands out; the tests look it up with dlsym to compare.
extern "C" {
int g_lxitestModuleObject = 0;
}

#ifdef LXITEST_ENTRY_RESULT
extern "C" bool GetILxiModuleCtrlIfc(ILxiModuleCtrlIfc*& pInterface)
{
    pInterface = reinterpret_cast<ILxiModuleCtrlIfc*>(&g_lxitestModuleObject);
    return LXITEST_ENTRY_RESULT;
}
#endif
