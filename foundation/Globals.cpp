#include "Globals.h"

#include "platform/RegisteredMessage.h"

// Made in this order; none of their constructors uses another of them.
// The parameter set g_settings lives with the parameter model, and the grid
// layout tables with the windows that fill them.
CUxThemeLibrary g_uxTheme;
CResourceHandles g_resourceHandles;
CAppSettings g_appSettings;
const UINT WM_BACK_THREAD_COMMAND = RegisterWindowMessage("wm_back_thread_command");
const UINT WM_UPDATE_OBSERVER = RegisterWindowMessage("AVOCFG_wm_update_observer");
CResourceDatabase g_resourceDatabase;
const UINT WM_TIMER_THREAD_COMMAND = RegisterWindowMessage("wm_timer_thread_command");
std::optional<QFont> g_dialogFont;
std::optional<QFont> g_defaultGuiFont;
