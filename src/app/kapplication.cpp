#include "kapplication.h"

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include <cxxabi.h>

#include "core/system/kdebug.h"
#include "core/system/kerrors.h"
#include "core/text/kstrings.h"
#include "core/text/kwideformat.h"

namespace kolvarin {

namespace {

std::string ClassName(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    return status == 0 && name ? name.get() : type.name();
}

} // namespace

void ReportUnhandledException(const std::exception& e)
{
    // C++ keeps no instance size of a class at run time; 0 stands for it.
    const std::u16string module = WideFormat(u"TKUnknownException [%s , %d]", Utf8ToUtf16(ClassName(typeid(e))), 0);
    Log("TKApplication", module + u": " + Utf8ToUtf16(e.what()));
    ShowError(TKErrorCode::UnexpectedException, module, u"\r\n" + Utf8ToUtf16(e.what()), false);
}

bool TKApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportUnhandledException(e);
    }
    return false;
}

} // namespace kolvarin
