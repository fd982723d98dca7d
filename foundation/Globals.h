#pragma once
// Program-wide objects, made at static initialisation and kept to exit.
#include "CAppSettings.h"
#include "CResourceDatabase.h"
#include "CResourceHandles.h"
#include "CUxThemeLibrary.h"
#include "platform/WinTypes.h"

extern CUxThemeLibrary g_uxTheme;
extern CResourceHandles g_resourceHandles;
extern CAppSettings g_appSettings;
extern CResourceDatabase g_resourceDatabase;

// Registered message numbers.
extern const UINT WM_BACK_THREAD_COMMAND;  // "wm_back_thread_command"
extern const UINT WM_UPDATE_OBSERVER;      // "AVOCFG_wm_update_observer"
extern const UINT WM_TIMER_THREAD_COMMAND; // "wm_timer_thread_command"

#include <QFont>
#include <optional>
// The dialog font, made when first needed, and the default GUI font.
extern std::optional<QFont> g_dialogFont;
extern std::optional<QFont> g_defaultGuiFont;
