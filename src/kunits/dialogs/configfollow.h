#pragma once

namespace kolvarin {

// The main window changed a setting the configuration dialog shows: its
// check box (Value 0 or 1) or radio button Value of its choice follows, and
// marks its area as a change by hand would. Nothing without frmConfig or
// before the control's page is built, as building loads it from Config.
void ConfigControlFollows(const char* name, int value);

} // namespace kolvarin
