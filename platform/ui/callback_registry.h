// The callbacks that panel resources name, resolved by name when a panel is
// loaded. A resource naming an unregistered callback fails to load.
#pragma once

#include <string>

#include "platform/ui/callback_types.h"

struct CallbackEntry {
    const char* name;
    CtrlCallbackPtr control;  // set for control callbacks
    MenuCallbackPtr menu;     // set for menu callbacks
    void* callbackData;       // handed to the callback
};
// Adds entries; a name registered twice is a programming error (aborts).
void RegisterCallbacks(const CallbackEntry* entries, int count);
// Looks a name up; nullptr when unknown.
const CallbackEntry* FindCallback(const std::string& name);
// Forgets every registered callback (a test that registers its own set).
void ClearCallbacks();
