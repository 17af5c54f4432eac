// Every callback that the panel resources may name, registered once.
#pragma once

void RegisterAllCallbacks();
