#pragma once

#include <QIcon>

namespace kolvarin {

// The program's icon with every size it is drawn at (core/system/kprogramicon.h),
// for the windows (QApplication::setWindowIcon) and the tray. Needs the
// application object.
QIcon ProgramIcon();

} // namespace kolvarin
