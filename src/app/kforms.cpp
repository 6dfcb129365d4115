#include "kforms.h"

#include <QWidget>

#include "dialogs/aboutform.h"
#include "dialogs/newsform.h"

namespace kolvarin {

TKForms* Forms = nullptr;

TKForms::TKForms() = default;
TKForms::~TKForms() { DestroyAll(); }

const char* TKForms::Name(Form form)
{
    static constexpr const char* names[Count] = {
        "frmMain",           "frmVideo",  "frmPlaylist",  "frmConfig",   "frmMediaControls",          "frmSearch",
        "frmAbout",          "frmAddURL", "frmAddDVDVCD", "frmEditItem", "frmVideoFullscreenControl", "frmNews",
        "frmTemplateEditor",
    };
    return names[form];
}

void TKForms::CreateAll()
{
    for (int i = 0; i < Count; ++i) {
        std::unique_ptr<QWidget> form;
        if (i == frmAbout) {
            auto about = std::make_unique<TfrmAbout>();
            kolvarin::frmAbout = about.get();
            form = std::move(about);
        } else if (i == frmNews) {
            auto news = std::make_unique<TfrmNews>();
            kolvarin::frmNews = news.get();
            form = std::move(news);
        } else {
            form = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
            form->setObjectName(Name(static_cast<Form>(i)));
            form->setWindowTitle(QStringLiteral("Kolvarin"));
        }
        forms_[i] = std::move(form);
    }
    forms_[frmMain]->resize(275, 116);
}

void TKForms::DestroyAll()
{
    kolvarin::frmAbout = nullptr;
    kolvarin::frmNews = nullptr;
    for (auto& form : forms_)
        form.reset();
}

} // namespace kolvarin
