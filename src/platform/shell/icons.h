#pragma once

#include <string>

#include <QImage>

namespace kolvarin::shell {

// The icon a file manager shows for a path, size x size pixels: an existing
// file or folder its own, any other path that of its file type (by name).
// A null image when the desktop's icon theme has none. Main thread only.
QImage FileIcon(const std::u16string& path, int size);

} // namespace kolvarin::shell
