#include "forms/edititemform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/ksystemtypes.h"
#include "core/system/kerrors.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "forms/playlistform.h"
#include "playback/kid3v1.h"
#include "playback/kid3v2.h"
#include "playback/ksystem.h"

namespace kolvarin {

TfrmEditItem* frmEditItem = nullptr;

namespace {

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }
std::u16string U(const QLineEdit* edit) { return edit->text().toStdU16String(); }

QLineEdit* NewEdit(QWidget* parent, int maxLength = 0)
{
    auto* edit = new QLineEdit(parent);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

bool IsMp3(const std::u16string& fileName) { return WideLowerCase(ExtractFileExtW(fileName)) == u".mp3"; }

constexpr int kID3v1TrackMax = 255;
constexpr int kID3v2TrackMax = 65535;

} // namespace

int TrackFieldValue(const std::u16string& text, int max)
{
    if (text.empty())
        return 0;
    int64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return 0;
        value = std::min<int64_t>(value * 10 + (c - u'0'), int64_t{max} + 1);
    }
    return value > max ? -1 : static_cast<int>(value);
}

TfrmEditItem::TfrmEditItem(QWidget* parent) : TKPlaylistDialog("frmEditItem", parent)
{
    using S = TLanguageSection;
    frmEditItem = this;
    setWindowTitle(LanguageQText(S::EditPlaylistEntry, 1));
    ShowMessage = [this](const std::u16string& text) { QMessageBox::information(this, windowTitle(), Q(text)); };

    // A label of the design's name with its language text.
    auto label = [](S section, int number, const char* name, QWidget* owner) {
        return Named(new QLabel(LanguageQText(section, number), owner), name);
    };
    edtFileName = Named(NewEdit(this), "edtFileName");
    edtIndex = Named(NewEdit(this), "edtIndex");
    edtFileName->setReadOnly(true);
    edtIndex->setReadOnly(true);
    auto* top = new QFormLayout;
    top->addRow(label(S::EditPlaylistEntry, 2, "lblFileName", this), edtFileName);
    top->addRow(label(S::EditPlaylistEntry, 3, "lblIndex", this), edtIndex);

    PageControl1 = Named(new QTabWidget(this), "PageControl1");
    tabPlaylistEntry = Named(new QWidget, "tabPlaylistEntry");
    auto* entryGroup =
        Named(new QGroupBox(LanguageQText(S::EditPlaylistEntry, 13), tabPlaylistEntry), "gbPlaylistEntry");
    edtPECaption = Named(NewEdit(entryGroup, 255), "edtPECaption");
    edtPETime = Named(NewEdit(entryGroup, 8), "edtPETime");
    edtPETrack = Named(NewEdit(entryGroup, 2), "edtPETrack");
    cbPESelected = Named(new QCheckBox(LanguageQText(S::EditPlaylistEntry, 9), entryGroup), "cbPESelected");
    cbPEPlayed = Named(new QCheckBox(LanguageQText(S::EditPlaylistEntry, 8), entryGroup), "cbPEPlayed");
    for (QWidget* w : {static_cast<QWidget*>(edtPETime), static_cast<QWidget*>(edtPETrack),
                       static_cast<QWidget*>(cbPESelected), static_cast<QWidget*>(cbPEPlayed)})
        w->setEnabled(false);
    edtPETime->setReadOnly(true);
    edtPETrack->setReadOnly(true);
    auto* entryLayout = new QFormLayout(entryGroup);
    entryLayout->addRow(label(S::EditPlaylistEntry, 5, "lblPECaption", entryGroup), edtPECaption);
    entryLayout->addRow(label(S::EditPlaylistEntry, 6, "lblPETime", entryGroup), edtPETime);
    entryLayout->addRow(label(S::EditPlaylistEntry, 7, "lblPETrack", entryGroup), edtPETrack);
    auto* flags = new QHBoxLayout;
    flags->addWidget(cbPESelected);
    flags->addWidget(cbPEPlayed);
    entryLayout->addRow(flags);
    auto* infoGroup = Named(new QGroupBox(LanguageQText(S::EditPlaylistEntry, 14), tabPlaylistEntry), "gbFileInfo");
    memFileInfo = Named(new QPlainTextEdit(infoGroup), "memFileInfo");
    memFileInfo->setReadOnly(true);
    (new QVBoxLayout(infoGroup))->addWidget(memFileInfo);
    auto* entryPage = new QVBoxLayout(tabPlaylistEntry);
    entryPage->addWidget(entryGroup);
    entryPage->addWidget(infoGroup, 1);

    tsID3v1 = Named(new QWidget, "tsID3v1");
    cbID3V1_Exists = Named(new QCheckBox(LanguageQText(S::EditID3Tag, 3), tsID3v1), "cbID3V1_Exists");
    edtID3V1_Track = NewEdit(tsID3v1, 3);
    edtID3V1_Title = NewEdit(tsID3v1, 30);
    edtID3V1_Artist = NewEdit(tsID3v1, 30);
    edtID3V1_Album = NewEdit(tsID3v1, 30);
    edtID3V1_Year = NewEdit(tsID3v1, 4);
    cbID3V1_Genre = new QComboBox(tsID3v1);
    for (const char* genre : ID3v1Genres)
        cbID3V1_Genre->addItem(QString::fromLatin1(genre));
    edtID3V1_Comment = NewEdit(tsID3v1, 30);
    btnID3Tagv1_Convert = Named(new QPushButton(LanguageQText(S::EditID3Tag, 17), tsID3v1), "btnID3Tagv1_Convert");
    auto* v1 = new QFormLayout(tsID3v1);
    v1->addRow(cbID3V1_Exists);
    // Each field's text and the label's design name.
    struct TRow {
        int Text;
        const char* Label;
        QWidget* Field;
    };
    const TRow v1Rows[] = {{5, "Label1", edtID3V1_Track},   {6, "Label2", edtID3V1_Title},
                           {7, "Label3", edtID3V1_Artist},  {8, "Label4", edtID3V1_Album},
                           {9, "Label5", edtID3V1_Year},    {10, "Label6", cbID3V1_Genre},
                           {11, "Label7", edtID3V1_Comment}};
    for (const TRow& row : v1Rows)
        v1->addRow(label(S::EditID3Tag, row.Text, row.Label, tsID3v1), row.Field);
    v1->addRow(btnID3Tagv1_Convert);

    tsID3v2 = Named(new QWidget, "tsID3v2");
    cbID3V2_Exists = Named(new QCheckBox(LanguageQText(S::EditID3Tag, 4), tsID3v2), "cbID3V2_Exists");
    edtID3V2_Track = NewEdit(tsID3v2);
    edtID3V2_Title = NewEdit(tsID3v2);
    edtID3V2_Artist = NewEdit(tsID3v2);
    edtID3V2_Album = NewEdit(tsID3v2);
    edtID3V2_Year = NewEdit(tsID3v2);
    edtID3V2_Genre = NewEdit(tsID3v2);
    edtID3V2_Comment = NewEdit(tsID3v2, 30);
    edtID3V2_Composer = NewEdit(tsID3v2);
    edtID3V2_Language = NewEdit(tsID3v2);
    edtID3V2_Copyright = NewEdit(tsID3v2);
    edtID3V2_URL = NewEdit(tsID3v2);
    edtID3V2_Encoder = NewEdit(tsID3v2);
    btnID3Tagv2_Convert = Named(new QPushButton(LanguageQText(S::EditID3Tag, 18), tsID3v2), "btnID3Tagv2_Convert");
    auto* v2 = new QFormLayout(tsID3v2);
    v2->addRow(cbID3V2_Exists);
    const TRow v2Rows[] = {
        {5, "Label8", edtID3V2_Track},       {6, "Label9", edtID3V2_Title},      {7, "Label10", edtID3V2_Artist},
        {8, "Label11", edtID3V2_Album},      {9, "Label12", edtID3V2_Year},      {10, "Label13", edtID3V2_Genre},
        {11, "Label14", edtID3V2_Comment},   {12, "Label15", edtID3V2_Composer}, {13, "Label16", edtID3V2_Language},
        {14, "Label17", edtID3V2_Copyright}, {15, "Label18", edtID3V2_URL},      {16, "Label19", edtID3V2_Encoder}};
    for (const TRow& row : v2Rows)
        v2->addRow(label(S::EditID3Tag, row.Text, row.Label, tsID3v2), row.Field);
    v2->addRow(btnID3Tagv2_Convert);

    PageControl1->addTab(tabPlaylistEntry, LanguageQText(S::EditPlaylistEntry, 4));
    PageControl1->addTab(tsID3v1, LanguageQText(S::EditID3Tag, 1));
    PageControl1->addTab(tsID3v2, LanguageQText(S::EditID3Tag, 2));

    btnEdit = Named(new QPushButton(LanguageQText(S::EditPlaylistEntry, 10), this), "btnEdit");
    btnCancel = Named(new QPushButton(LanguageQText(S::EditPlaylistEntry, 11), this), "btnCancel");
    btnReload = Named(new QPushButton(LanguageQText(S::EditPlaylistEntry, 12), this), "btnReload");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(PageControl1, 1);
    AddButtonRow(*layout, {btnEdit, btnCancel, btnReload}, btnCancel);
    resize(420, 520);

    connect(btnEdit, &QPushButton::clicked, this, [this] { SaveClick(); });
    connect(btnReload, &QPushButton::clicked, this, [this] { LoadEntry(editIndex_); });
    connect(btnID3Tagv1_Convert, &QPushButton::clicked, this, [this] { ConvertID3v1ToID3v2(); });
    connect(btnID3Tagv2_Convert, &QPushButton::clicked, this, [this] { ConvertID3v2ToID3v1(); });
}

TfrmEditItem::~TfrmEditItem()
{
    if (frmEditItem == this)
        frmEditItem = nullptr;
}

bool TfrmEditItem::LoadEntry(int index)
{
    const TKPlaylistEntry* entry = PlaylistGetItem(index);
    if (!entry)
        return false;
    editIndex_ = index;
    QWidget* page = PageControl1->currentWidget();
    edtFileName->setText(Q(entry->FileName));
    edtIndex->setText(QString::number(index));
    edtPECaption->setText(Q(entry->Caption));
    edtPETime->setText(QString::fromStdString(entry->Time));
    edtPETrack->setText(QString::fromStdString(entry->Track));
    cbPEPlayed->setChecked(entry->PlayState);
    cbPESelected->setChecked(entry->Selected);
    memFileInfo->setPlainText(Q(MediaInformationText(entry->FileName)));
    const bool mp3 = IsMp3(entry->FileName);
    PageControl1->setTabVisible(1, mp3);
    PageControl1->setTabVisible(2, mp3);
    ClearTagFields();
    if (mp3)
        ReadTags(entry->FileName);
    PageControl1->setCurrentWidget(PageControl1->isTabVisible(PageControl1->indexOf(page)) ? page : tabPlaylistEntry);
    show();
    return true;
}

void TfrmEditItem::ClearTagFields()
{
    cbID3V1_Exists->setChecked(false);
    cbID3V2_Exists->setChecked(false);
    for (QLineEdit* e :
         {edtID3V1_Track, edtID3V1_Title, edtID3V1_Artist, edtID3V1_Album, edtID3V1_Year, edtID3V1_Comment,
          edtID3V2_Track, edtID3V2_Title, edtID3V2_Artist, edtID3V2_Album, edtID3V2_Year, edtID3V2_Genre,
          edtID3V2_Comment, edtID3V2_Composer, edtID3V2_Language, edtID3V2_Copyright, edtID3V2_URL, edtID3V2_Encoder})
        e->clear();
    cbID3V1_Genre->setCurrentIndex(-1);
}

void TfrmEditItem::ReadTags(const std::u16string& fileName)
{
    TID3v1 v1;
    if (v1.ReadFromFile(fileName) && v1.Exists()) {
        const auto ansi = [](const std::string& text) { return Q(AnsiToUtf16(text)); };
        cbID3V1_Exists->setChecked(true);
        edtID3V1_Track->setText(QString::number(v1.Track()));
        edtID3V1_Title->setText(ansi(v1.Title()));
        edtID3V1_Artist->setText(ansi(v1.Artist()));
        edtID3V1_Album->setText(ansi(v1.Album()));
        edtID3V1_Year->setText(ansi(v1.Year()));
        edtID3V1_Comment->setText(ansi(v1.Comment()));
        cbID3V1_Genre->setCurrentIndex(v1.GenreID() < ID3v1Genres.size() ? v1.GenreID() : -1);
    }
    TID3v2 v2;
    if (v2.ReadFromFile(fileName) && v2.Exists()) {
        cbID3V2_Exists->setChecked(true);
        edtID3V2_Track->setText(Q(v2.TrackString()));
        edtID3V2_Title->setText(Q(v2.Title()));
        edtID3V2_Artist->setText(Q(v2.Artist()));
        edtID3V2_Album->setText(Q(v2.Album()));
        edtID3V2_Year->setText(Q(v2.Year()));
        edtID3V2_Genre->setText(Q(v2.Genre()));
        edtID3V2_Comment->setText(Q(v2.Comment()));
        edtID3V2_Composer->setText(Q(v2.Composer()));
        edtID3V2_Language->setText(Q(v2.Language()));
        edtID3V2_Copyright->setText(Q(v2.Copyright()));
        edtID3V2_URL->setText(Q(v2.Link()));
        edtID3V2_Encoder->setText(Q(v2.Encoder()));
    }
}

bool TfrmEditItem::CheckTrackFields()
{
    if (cbID3V1_Exists->isChecked() && TrackFieldValue(U(edtID3V1_Track), kID3v1TrackMax) < 0) {
        ShowMessage(u"The ID3v1 track must be a number from 0 to 255.");
        return false;
    }
    if (cbID3V2_Exists->isChecked() && TrackFieldValue(U(edtID3V2_Track), kID3v2TrackMax) < 0) {
        ShowMessage(u"The ID3v2 track must be a number from 0 to 65535.");
        return false;
    }
    return true;
}

void TfrmEditItem::WriteTags(const std::u16string& fileName)
{
    const auto failed = [&fileName] { ShowError(TKErrorCode::TagNotSaved, u"TKID3Tag", fileName, false); };
    TID3v1 v1;
    v1.ReadFromFile(fileName);
    if (cbID3V1_Exists->isChecked()) {
        const auto ansi = [](const QLineEdit* e) { return Utf16ToAnsi(U(e)); };
        v1.SetTrack(static_cast<uint8_t>(TrackFieldValue(U(edtID3V1_Track), kID3v1TrackMax)));
        v1.SetTitle(ansi(edtID3V1_Title));
        v1.SetArtist(ansi(edtID3V1_Artist));
        v1.SetAlbum(ansi(edtID3V1_Album));
        v1.SetYear(ansi(edtID3V1_Year));
        v1.SetComment(ansi(edtID3V1_Comment));
        v1.SetGenreID(cbID3V1_Genre->currentIndex() >= 0 ? static_cast<uint8_t>(cbID3V1_Genre->currentIndex()) : 255);
        if (!v1.SaveToFile(fileName))
            failed();
    } else if (!v1.RemoveFromFile(fileName)) {
        failed();
    }
    TID3v2 v2;
    v2.ReadFromFile(fileName);
    if (cbID3V2_Exists->isChecked()) {
        v2.SetTrack(static_cast<uint16_t>(TrackFieldValue(U(edtID3V2_Track), kID3v2TrackMax)));
        v2.SetTitle(U(edtID3V2_Title));
        v2.SetArtist(U(edtID3V2_Artist));
        v2.SetAlbum(U(edtID3V2_Album));
        v2.SetYear(U(edtID3V2_Year));
        v2.SetGenre(U(edtID3V2_Genre));
        v2.SetComment(U(edtID3V2_Comment));
        v2.SetComposer(U(edtID3V2_Composer));
        v2.SetLanguage(U(edtID3V2_Language));
        v2.SetCopyright(U(edtID3V2_Copyright));
        v2.SetURL(U(edtID3V2_URL));
        v2.SetEncoder(U(edtID3V2_Encoder));
        if (!v2.SaveToFile(fileName))
            failed();
    } else if (v2.Exists() && !v2.RemoveFromFile(fileName)) {
        failed();
    }
}

bool TfrmEditItem::SaveClick()
{
    TKPlaylistEntry* entry = PlaylistGetItem(editIndex_);
    if (!entry)
        return false;
    if (edtPECaption->text().isEmpty() || edtPETime->text().isEmpty() || edtPETrack->text().isEmpty()) {
        ShowMessage(u"Caption, Time or Track can\u00B4t have a empty string !");
        return false;
    }
    const std::u16string fileName = U(edtFileName);
    if (IsMp3(fileName)) {
        if (!CheckTrackFields())
            return false;
        WriteTags(fileName);
        ClearTagFields();
        ReadTags(fileName);
    }
    entry->PlayState = cbPEPlayed->isChecked();
    entry->Selected = cbPESelected->isChecked();
    entry->FileName = fileName;
    entry->Caption = U(edtPECaption);
    entry->Time = edtPETime->text().left(8).toStdString();
    entry->Track = edtPETrack->text().left(2).toStdString();
    if (frmPlaylist)
        frmPlaylist->RefreshPlaylist();
    return true;
}

std::array<std::pair<QLineEdit*, QLineEdit*>, 6> TfrmEditItem::SharedTagFields() const
{
    return {{{edtID3V1_Track, edtID3V2_Track},
             {edtID3V1_Title, edtID3V2_Title},
             {edtID3V1_Artist, edtID3V2_Artist},
             {edtID3V1_Album, edtID3V2_Album},
             {edtID3V1_Year, edtID3V2_Year},
             {edtID3V1_Comment, edtID3V2_Comment}}};
}

void TfrmEditItem::ConvertID3v1ToID3v2()
{
    for (const auto& [v1, v2] : SharedTagFields())
        v2->setText(v1->text());
    edtID3V2_Genre->setText(cbID3V1_Genre->currentText());
}

void TfrmEditItem::ConvertID3v2ToID3v1()
{
    for (const auto& [v1, v2] : SharedTagFields())
        v1->setText(v2->text());
    cbID3V1_Genre->setCurrentIndex(std::max(cbID3V1_Genre->findText(edtID3V2_Genre->text()), 0));
}

} // namespace kolvarin
