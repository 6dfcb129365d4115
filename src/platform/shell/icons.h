#pragma once

#include <string>

#include <QImage>

namespace kolvarin::shell {

// The icon a file manager shows for a path, size x size pixels: an existing
// file or folder its own, any other path that of its file type (by name).
// A null image when the desktop's icon theme has none. Main thread only.
QImage FileIcon(const std::u16string& path, int size);

// The shell's stock icon of that number (0 unknown document, 1 document,
// 2 program, 3 folder, 4 open folder, 5 and 6 floppy drives, 7 removable
// drive, 8 hard disk, 9 network drive, 10 disconnected network drive, 11 CD
// drive, 12 RAM disk, 13 the world, 15 server, 16 printer, 17 network, 22
// search, 23 help, 29 link, 31 and 32 the waste basket empty and full) from
// the icon theme, size x size pixels. A null image for other numbers and
// where the theme has none. Main thread only.
QImage StockIcon(int index, int size);

} // namespace kolvarin::shell
