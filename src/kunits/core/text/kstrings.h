#pragma once

// The text conversions every unit uses; they live with the code-page
// stand-in so the other stand-ins can share them.
#include "codepage/codepage.h"
