// The signatures of control and menu callbacks: what the panel API (ui.h)
// calls and the panel-resource parser (uir.h) resolves by name.
#pragma once

using CtrlCallbackPtr = int (*)(int panel, int control, int event, void* callbackData, int eventData1,
                                int eventData2);
using MenuCallbackPtr = void (*)(int menuBar, int menuItem, void* callbackData, int panel);
