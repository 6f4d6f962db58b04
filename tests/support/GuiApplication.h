#pragma once
// Makes sure the process has a (widgets) application object, for tests that draw text or
// use windows. The object lives until the process ends and is never destroyed: Qt's own
// globals are gone by the time static objects are, and destroying it then crashes.
#include <QApplication>

inline void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}
