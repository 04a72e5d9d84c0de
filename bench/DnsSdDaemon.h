// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

#include "BenchSize.h"

// Runs a benchmark's measurement without and with the DNS-SD daemon (avahi-daemon), as an
// ordinary desktop runs it. A daemon that was running before is left alone and only the "with"
// figures are measured; one this starts (it needs the system message bus, started as well when
// missing) is stopped again. A smoke run measures once, as the machine is.
class DnsSdConditions {
public:
    // `measure` gets the condition's name: "with avahi-daemon" or "without avahi-daemon".
    static void Run(const std::function<void(const std::string&)>& measure) {
        if (SmokeRun()) {
            measure(Running() ? "with avahi-daemon" : "without avahi-daemon");
            return;
        }
        if (Running()) {
            std::printf("(avahi-daemon was already running: no figures without it)\n");
            measure("with avahi-daemon");
            return;
        }
        measure("without avahi-daemon");
        if (!Start()) {
            std::printf("(avahi-daemon could not be started: apt-get install avahi-daemon dbus)\n");
            return;
        }
        measure("with avahi-daemon");
        std::system("avahi-daemon -k >/dev/null 2>&1");
    }

private:
    static bool Running() { return std::system("avahi-daemon -c >/dev/null 2>&1") == 0; }

    static bool Start() {
        return std::system("'" TAVRIN_SOURCE_DIR "/tools/start-dnssd'") == 0 && Running();
    }
};
