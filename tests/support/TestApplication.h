#pragma once

#include <QApplication>
#include <QStyleFactory>

namespace tavrin::test {

// The one QApplication of the widget tests, made on first use (or the one another test file of
// this program made already), with the Fusion style the window uses.
inline QApplication& EnsureApplication() {
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_widgets";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }
    return *qobject_cast<QApplication*>(QApplication::instance());
}

}  // namespace tavrin::test

namespace tavrin::test {

// Declared as a test fixture's first member, so that the application exists before any widget.
struct UsesApplication {
    UsesApplication() { EnsureApplication(); }
};

}  // namespace tavrin::test
