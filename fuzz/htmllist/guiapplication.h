#pragma once

#include <QGuiApplication>

#include <cstdlib>

// Text and pictures go through Qt, which wants its application object on the
// offscreen platform before the first input.
inline void StartGuiApplication(int* argc, char*** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication application(*argc, *argv);
}
