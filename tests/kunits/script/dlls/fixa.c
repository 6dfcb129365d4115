/* Library without imports: exports by name and by ordinal only, forwarders,
   and data reached through absolute addresses, so it needs its relocations. */
static int table[4] = {10, 20, 30, 40};
static int* volatile tablePointer = table;
static int attachReason = -1;
static unsigned attachInstance;
static int attachReserved = -1;

int Add(int a, int b) { return a + b; }
int TableAt(int i) { return tablePointer[i]; }
int Secret(void) { return 4242; }
int __stdcall Diff(int a, int b) { return a - b; }
int AttachReason(void) { return attachReason; }
unsigned AttachInstance(void) { return attachInstance; }
int AttachReserved(void) { return attachReserved; }

int __stdcall DllMain(void* instance, unsigned reason, void* reserved)
{
    if (reason == 1) {
        attachReason = (int)reason;
        attachInstance = (unsigned)instance;
        attachReserved = (int)reserved;
    }
    return 1;
}
