#pragma once

#include <exception>
#include <string>

#include <QApplication>

namespace kolvarin {

// The program's application object. An exception that escapes an event
// handler is reported as error 9999 (module "TKUnknownException [class ,
// size]", text CR LF + its message) and the program goes on, where Qt would
// end it. Main thread.
class TKApplication : public QApplication {
public:
    TKApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override;
};

// The error report of an exception that reached the application.
void ReportUnhandledException(const std::exception& e);

} // namespace kolvarin
