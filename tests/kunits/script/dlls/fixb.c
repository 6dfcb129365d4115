/* Target of fixa's forwarder. */
int Sub(int a, int b) { return a - b; }
int __stdcall DllMain(void* instance, unsigned reason, void* reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return 1;
}
