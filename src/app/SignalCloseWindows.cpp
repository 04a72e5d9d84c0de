// SPDX-License-Identifier: GPL-3.0-or-later
// On Windows the system closes the window with the messages Qt turns into its close event; a
// console's Ctrl+C, Ctrl+Break or closing reaches the program as a console event, which is
// handed to the GUI thread as the signals are on POSIX systems.
#include "app/SignalClose.h"

#include <windows.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

namespace tavrin {

namespace {

QPointer<SignalClose> watcher;
std::function<void()>* onEvent = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    if (watcher && onEvent && *onEvent)
        QMetaObject::invokeMethod(watcher.data(), *onEvent, Qt::QueuedConnection);
    return TRUE;
}

}  // namespace

SignalClose::SignalClose(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    watcher = this;
    onEvent = &onSignal_;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

SignalClose::~SignalClose() {
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    onEvent = nullptr;
    watcher = nullptr;
}

}  // namespace tavrin
