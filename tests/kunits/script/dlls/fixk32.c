/* Imports from a system library, which cannot be resolved here. */
__declspec(dllimport) unsigned __stdcall GetTickCount(void);
__declspec(dllexport) unsigned Ticks(void) { return GetTickCount(); }
int __stdcall DllMain(void* instance, unsigned reason, void* reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return 1;
}
