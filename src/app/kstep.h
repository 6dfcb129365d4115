#pragma once

#include <exception>
#include <string>

#include "core/system/kdebug.h"

namespace kolvarin {

// Runs one guarded step: an exception is logged under procName as
// failurePrefix + its message, and the sequence goes on. Returns false when
// the step threw.
template <typename Step>
bool Guarded(const std::string& procName, const std::string& failurePrefix, Step&& step)
{
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        Log(procName, failurePrefix + e.what());
    } catch (...) {
        Log(procName, failurePrefix + "unknown exception");
    }
    return false;
}

} // namespace kolvarin
