#include "effects/util/themes.h"

#include "effects/util/platformstate_p.h"
#include "effects/util/themebinding_p.h"

OpenThemeDataProc OpenThemeData = nullptr;
CloseThemeDataProc CloseThemeData = nullptr;
DrawThemeBackgroundProc DrawThemeBackground = nullptr;
DrawThemeTextProc DrawThemeText = nullptr;
IsThemeActiveProc IsThemeActive = nullptr;
IsAppThemedProc IsAppThemed = nullptr;

bool UseThemeVar = false;
std::recursive_mutex ThemeLock;

namespace {

// Both guarded by ThemeLock.
bool ThemeModule = false;
int32_t ThemeUsers = 0;

void bindEntryPoints(bool bind)
{
    OpenThemeData = bind ? luxtheme::openThemeData : nullptr;
    CloseThemeData = bind ? luxtheme::closeThemeData : nullptr;
    DrawThemeBackground = bind ? luxtheme::drawThemeBackground : nullptr;
    DrawThemeText = bind ? luxtheme::drawThemeText : nullptr;
    IsThemeActive = bind ? luxtheme::isThemeActive : nullptr;
    IsAppThemed = bind ? luxtheme::isAppThemed : nullptr;
}

} // namespace

bool AcquireThemeModule()
{
    std::lock_guard lock(ThemeLock);
    ++ThemeUsers;
    if (!ThemeModule && luxtheme::styleEngineAvailable()) {
        ThemeModule = true;
        bindEntryPoints(true);
        luxplatform::isWinXP = true;
    }
    const bool loaded = ThemeModule;
    UseThemesSlow();
    return loaded;
}

void ReleaseThemeModule()
{
    std::lock_guard lock(ThemeLock);
    if (ThemeUsers > 0)
        --ThemeUsers;
    if (ThemeModule && ThemeUsers == 0) {
        ThemeModule = false;
        bindEntryPoints(false);
    }
}

bool UseThemesSlow()
{
    std::lock_guard lock(ThemeLock);
    // Both entry points are checked: a missing one counts as "not themed".
    bool use = ThemeModule && IsAppThemed && IsAppThemed() != 0;
    use = use && IsThemeActive && IsThemeActive() != 0;
    UseThemeVar = use;
    return use;
}

bool UseThemes()
{
    return UseThemeVar;
}

int themeModuleUsers()
{
    std::lock_guard lock(ThemeLock);
    return ThemeUsers;
}

bool themeModuleLoaded()
{
    std::lock_guard lock(ThemeLock);
    return ThemeModule;
}
