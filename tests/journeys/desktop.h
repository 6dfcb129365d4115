#pragma once

// The private X server and window manager that a desktop test program's
// windows run on (the main kolvarin_desktop_test_main makes it), and the
// user's hands on it.

#include "xsession.h"

namespace ktest {

TXSession& Desktop();

} // namespace ktest
