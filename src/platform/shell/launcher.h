#pragma once

#include <string>

#include <QUrl>

#include "shell/serviceslot.h"

namespace kolvarin::shell {

// Hands documents and links to the desktop's default application.
class Launcher {
public:
    virtual ~Launcher() = default;
    // True when the desktop accepted the request (not that a program ran).
    virtual bool open(const QUrl& url) = 0;
};

// The launcher in use: the desktop's own (xdg-open through Qt) unless a test
// installed another. Main thread only.
ServiceSlot<Launcher>& Launchers();

// A text with a scheme ("http://...", "file:///...", "mailto:...") as a URL;
// anything else as a local path.
QUrl UrlFromText(const std::u16string& text);

// Opens the document or link named by the text.
bool OpenDocument(const std::u16string& text);

} // namespace kolvarin::shell
