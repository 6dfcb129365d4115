#include "forms/addurlform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/playlist/kplaylistprocs.h"
#include "core/system/kerrors.h"
#include "core/text/kfunctions.h"
#include "core/text/klanguage.h"
#include "forms/playlistform.h"
#include "playback/ksystem.h"

namespace kolvarin {

TfrmAddURL* frmAddURL = nullptr;

namespace {

QString Text(int number) { return LanguageQText(TLanguageSection::AddURLtoPlaylist, number); }

} // namespace

TfrmAddURL::TfrmAddURL(QWidget* parent) : TKPlaylistDialog("frmAddURL", parent)
{
    frmAddURL = this;
    setWindowTitle(Text(1));
    Edit1 = Named(new QLineEdit(this), "Edit1");
    Edit1->setMinimumWidth(320);
    Button1 = Named(new QPushButton(Text(4), this), "Button1");
    Button2 = Named(new QPushButton(Text(5), this), "Button2");
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(Named(new QLabel(Text(2), this), "Label1"));
    row->addWidget(Edit1, 1);
    layout->addLayout(row);
    AddButtonRow(*layout, {Button1, Button2}, Button2);
    connect(Button1, &QPushButton::clicked, this, [this] { AddClick(); });
    connect(Edit1, &QLineEdit::returnPressed, this, [this] { AddClick(); });
}

TfrmAddURL::~TfrmAddURL()
{
    if (frmAddURL == this)
        frmAddURL = nullptr;
}

void TfrmAddURL::AddClick()
{
    const std::u16string url = Edit1->text().toStdU16String();
    if (!IsURL(url)) {
        ShowError(TKErrorCode::InvalidURL, u"TKURL", url, false);
        return;
    }
    PlaylistAdd(url, url, "00:00:00", false, "00");
    if (frmPlaylist)
        frmPlaylist->RefreshPlaylist();
    hide();
}

void TfrmAddURL::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Edit1->setText(Text(3));
    Edit1->setFocus();
}

} // namespace kolvarin
