#pragma once

#include <QIcon>

namespace kolvarin {

// The program's icon in the sizes up to 64 pixels (core/system/kprogramicon.h),
// for the windows (QApplication::setWindowIcon) and the tray. Needs the
// application object.
QIcon ProgramIcon();

} // namespace kolvarin
