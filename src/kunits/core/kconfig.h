#pragma once

namespace kolvarin {

// The settings object: one field per attribute of config.xml, named by its
// element and attribute (elements with several attributes are nested
// structs; an element whose only attribute is "Value" or "Show" is a plain
// field). Owned by the main thread; read and written directly.
class TKConfig {
public:
    TKConfig() { SetDefaults(); }
    void SetDefaults();

    struct {
        bool EnableTextFile;
        bool EnableHistory;
    } Logging;
    bool SplashScreen; // SplashScreen/Show
};

// The one settings object; created by the start-up sequence, freed at shutdown.
extern TKConfig* Config;

} // namespace kolvarin
