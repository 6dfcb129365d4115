#include "forms/searchform.h"

#include <unordered_set>

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/text/klanguage.h"
#include "forms/playlistform.h"
#include "playback/ksystem.h"

namespace kolvarin {

TfrmSearch* frmSearch = nullptr;

namespace {

bool PassesFilter(TSystemType type, TSearchFilter filter)
{
    switch (filter) {
    case TSearchFilter::Audio:
        return type == TSystemType::BassFile || type == TSystemType::BassStream || type == TSystemType::DirectXAudio ||
               type == TSystemType::CDTrack;
    case TSearchFilter::Video:
        return type == TSystemType::DirectXVideo || type == TSystemType::DirectXStream || type == TSystemType::DVD;
    default: return true;
    }
}

} // namespace

std::vector<std::u16string> SearchPlaylist(const std::u16string& keywords, TSearchFilter filter)
{
    // Case folding on the UTF-16 text, so captions in any script are found.
    const QStringList words =
        QString::fromStdU16String(keywords).toCaseFolded().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::vector<std::u16string> results;
    std::unordered_set<std::u16string> listed;
    for (int i = 0, count = PlaylistCount(); i < count; ++i) {
        const TKPlaylistEntry& entry = *PlaylistGetItem(i);
        const QString caption = QString::fromStdU16String(entry.Caption).toCaseFolded();
        bool match = true;
        for (const QString& word : words)
            match = match && caption.contains(word);
        if (!match || listed.count(entry.Caption))
            continue;
        if (filter != TSearchFilter::All &&
            !PassesFilter(PlaySystem ? PlaySystem->GetSystemTypFromFileName(entry.FileName) : TSystemType::None,
                          filter))
            continue;
        listed.insert(entry.Caption);
        results.push_back(entry.Caption);
    }
    return results;
}

TfrmSearch::TfrmSearch(QWidget* parent) : TKPlaylistDialog("frmSearch", parent)
{
    using S = TLanguageSection;
    frmSearch = this;
    setWindowTitle(LanguageQText(S::PlaylistSearch, 1));
    resize(258, 316);
    Label1 = Named(new QLabel(LanguageQText(S::PlaylistSearch, 2), this), "Label1");
    edtKeyword = Named(new QLineEdit(this), "edtKeyword");
    Label2 = Named(new QLabel(LanguageQText(S::PlaylistSearch, 3), this), "Label2");
    lbResults = Named(new QListWidget(this), "lbResults");
    RadioGroup1 = Named(new QGroupBox(LanguageQText(S::PlaylistSearch_For, 1), this), "RadioGroup1");
    rbAll = new QRadioButton(RadioGroup1);
    rbAudio = new QRadioButton(RadioGroup1);
    rbVideo = new QRadioButton(RadioGroup1);
    rbAll->setChecked(true);
    btnSelect = Named(new QPushButton(LanguageQText(S::PlaylistSearch, 5), this), "btnSelect");
    btnCancel = Named(new QPushButton(LanguageQText(S::PlaylistSearch, 4), this), "btnCancel");
    btnSelect->setEnabled(false);

    auto* groupLayout = new QHBoxLayout(RadioGroup1);
    for (QRadioButton* b : {rbAll, rbAudio, rbVideo}) {
        groupLayout->addWidget(b);
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                UpdateResults();
        });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(edtKeyword);
    layout->addWidget(Label2);
    layout->addWidget(lbResults, 1);
    layout->addWidget(RadioGroup1);
    AddButtonRow(*layout, {btnSelect, btnCancel}, btnCancel);

    connect(edtKeyword, &QLineEdit::textChanged, this, [this] { UpdateResults(); });
    connect(lbResults, &QListWidget::itemSelectionChanged, this,
            [this] { btnSelect->setEnabled(!lbResults->selectedItems().isEmpty()); });
    connect(lbResults, &QListWidget::itemDoubleClicked, this, [this] { SelectResult(); });
    connect(btnSelect, &QPushButton::clicked, this, [this] { SelectResult(); });
    edtKeyword->installEventFilter(this);
    lbResults->installEventFilter(this);
}

TfrmSearch::~TfrmSearch()
{
    if (frmSearch == this)
        frmSearch = nullptr;
}

void TfrmSearch::UpdateResults()
{
    const TSearchFilter filter = rbAudio->isChecked()   ? TSearchFilter::Audio
                                 : rbVideo->isChecked() ? TSearchFilter::Video
                                                        : TSearchFilter::All;
    lbResults->setUpdatesEnabled(false);
    lbResults->clear();
    for (const std::u16string& caption : SearchPlaylist(edtKeyword->text().toStdU16String(), filter))
        lbResults->addItem(QString::fromStdU16String(caption));
    lbResults->setUpdatesEnabled(true);
    btnSelect->setEnabled(!lbResults->selectedItems().isEmpty());
}

void TfrmSearch::SelectResult()
{
    const QListWidgetItem* item = lbResults->currentItem();
    if (!item)
        return;
    const int index = PlaylistIndexOfCaption(item->text().toStdU16String());
    if (index < 0)
        return;
    PlaylistDeselectAll();
    PlaylistGetItem(index)->Selected = true;
    PlaylistItemIndex = index;
    if (frmPlaylist)
        frmPlaylist->ScrollToIndex(index);
    if (PlaySystem)
        PlaySystem->StartPlay();
    if (Config && Config->SearchHideOnPlay)
        hide();
}

void TfrmSearch::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The filter's items are read where they are shown; the language
    // texts give only the group its caption.
    rbAll->setText(LanguageQText(TLanguageSection::PlaylistSearch_For, 2));
    rbAudio->setText(LanguageQText(TLanguageSection::PlaylistSearch_For, 3));
    rbVideo->setText(LanguageQText(TLanguageSection::PlaylistSearch_For, 4));
    edtKeyword->clear();
    UpdateResults();
    edtKeyword->setFocus();
}

bool TfrmSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape) {
        hide();
        return true;
    }
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || lbResults->count() == 0)
        return QWidget::eventFilter(watched, event);
    if (watched == edtKeyword || !lbResults->currentItem())
        lbResults->setCurrentRow(0);
    SelectResult();
    return true;
}

} // namespace kolvarin
