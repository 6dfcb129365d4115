#include "core/kconfig.h"

namespace kolvarin {

TKConfig* Config = nullptr;

void TKConfig::SetDefaults()
{
    Logging.EnableTextFile = false;
    Logging.EnableHistory = true;
    SplashScreen = true;
}

} // namespace kolvarin
