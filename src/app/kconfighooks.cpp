#include "kconfighooks.h"

#include <QMessageBox>

#include "core/settings/kconfig.h"
#include "core/text/klanguage.h"
#include "dialogs/configform.h"
#include "forms/applylanguage.h"
#include "forms/appstates.h"
#include "kapp.h"
#include "kforms.h"
#include "playback/ksystem.h"
#include "skin/kskinchange.h"

namespace kolvarin {

void InstallConfigHooks(TfrmConfig& form)
{
    TKConfigHooks& hooks = form.Hooks;
    hooks.AnalyzerChanged = [] { ApplySpectrumSettings(); };
    hooks.BufferChanged = [] {
        if (PlaySystem)
            PlaySystem->SetBassBuffer();
    };
    hooks.ApplySkin = [](const std::string& name) {
        std::string shown = Forms ? ChangeSkin(GUI, name, Forms->ZipHandler, Forms->SkinWindows()) : name;
        ApplySpectrumSettings();
        SetApplicationState("SKINCHANGE");
        if (Forms && Forms->SkinnedWindowsOverlap())
            Forms->ShowSkinnedWindows();
        return shown.empty() ? name : shown;
    };
    hooks.ArrangeWindows = [] {
        if (Forms)
            Forms->ArrangeSkinnedWindows();
    };
    hooks.ApplyLanguage = [] { ApplyLanguage(Language); };
    hooks.ShowMessage = [&form](const QString& text) {
        QMessageBox::information(&form, QStringLiteral("Kolvarin"), text);
    };
}

} // namespace kolvarin
