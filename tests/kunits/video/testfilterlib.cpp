// A filter library for the registration tests: it registers one class whose
// objects are the framework's null renderer, and unregisters it again. Built
// once as it is and once with KTEST_HANG, whose registration never ends in
// time.

#include <chrono>
#include <thread>

#include "media/uuids.h"
#include "video/filterlibrary.h"

using namespace kolvarin;

namespace {

constexpr media::CLSID kTestClass{0x6B7C1F20, 0x3D44, 0x4B0E, {0x9A, 0x51, 0x0C, 0x2E, 0x77, 0x14, 0xA0, 0x01}};
media::HRESULT (*createInstance)(const media::CLSID*, const media::IID*, void**) = nullptr;

media::IBaseFilter* Create()
{
    void* filter = nullptr;
    createInstance(&media::CLSID_NullRenderer, &media::IBaseFilter::iid, &filter);
    return static_cast<media::IBaseFilter*>(filter);
}

} // namespace

extern "C" __attribute__((visibility("default"))) media::HRESULT
DllRegisterServer(const video::TKFilterRegistrar* registrar)
{
#ifdef KTEST_HANG
    std::this_thread::sleep_for(std::chrono::seconds(3));
#endif
    createInstance = registrar->CreateInstance;
    return registrar->RegisterClass(registrar->Context, &kTestClass, u"Test Library Renderer", 0x600000,
                                    &media::CLSID_LegacyAmFilterCategory, &media::MEDIATYPE_Video, &Create);
}

extern "C" __attribute__((visibility("default"))) media::HRESULT
DllUnregisterServer(const video::TKFilterRegistrar* registrar)
{
    return registrar->UnregisterClass(registrar->Context, &kTestClass);
}
