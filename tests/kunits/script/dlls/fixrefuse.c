/* Refuses to attach. */
__declspec(dllexport) int Nothing(void) { return 0; }
int __stdcall DllMain(void* instance, unsigned reason, void* reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return 0;
}
