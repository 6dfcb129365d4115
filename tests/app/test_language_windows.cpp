// A language file that marks every text, chosen in the configuration
// dialog and applied to the program's real windows: every component the
// assignment table names shows its text, and so does the status line.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "app/kforms.h"
#include "core/settings/kconfig.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/ktemplates.h"
#include "dialogs/configform.h"
#include "forms/mainform.h"
#include "temphome.h"

namespace kolvarin {
namespace {

// Which text goes where, by section and number: the window and its
// component, "(the window caption)" for the window's own title, and tree
// nodes and list columns by index.
constexpr char kAssignments[] = R"(
MainPopupMenu: 001 frmMain.AboutKolvarin1; 002 frmMain.Configuration1; 003 frmMain.Main1;
    004 frmMain.Mediacontrols1; 005 frmMain.Playlistwindow1; 006 frmMain.Close1; 007 frmMain.Restore1;
    008 frmMain.Minimize1; 009 frmMain.Helpcenter1; 010 frmMain.Video1; 011 frmMain.Audio1
MainPopupMenu_Help: 001 frmMain.Tellafriend1; 002 frmMain.Homepage1; 003 frmMain.OnlineFAQ1;
    004 frmMain.Onlinefeedback1; 005 frmMain.LiveUpdate1; 006 frmMain.News1
MainPopupMenu_Audio: 001 frmMain.AudioLiveStream
MainAudioLivestream: 001 frmMain.AudioLiveStreamRecord; 002 frmMain.AudioLiveStreamStop
PlaylistPopupMenu: 001 frmPlaylist.Addfiles1; 002 frmPlaylist.Adddirectory1; 003 frmPlaylist.AddDVD1;
    004 frmPlaylist.AddURL1; 005 frmPlaylist.Playitems1; 006 frmPlaylist.Edititem1;
    007 frmPlaylist.RemoveItems1; 008 frmPlaylist.CropItems1; 009 frmPlaylist.Sort1; 010 frmPlaylist.Finditem1;
    011 frmPlaylist.Selectall1; 012 frmPlaylist.Selectnone1; 013 frmPlaylist.Invertselection1;
    014 frmPlaylist.Clearplaylist1; 015 frmPlaylist.Loadplaylist1; 016 frmPlaylist.Saveplaylist1;
    017 frmPlaylist.Removefilesfromharddisk1; 018 frmPlaylist.RefreshID3Tag1
PlaylistPopupMenu_Sort: 001 frmPlaylist.Caption1; 002 frmPlaylist.FileName1; 003 frmPlaylist.Time1;
    004 frmPlaylist.Track1; 005 frmPlaylist.Audio1; 006 frmPlaylist.Video1; 007 frmPlaylist.Random1;
    008 frmPlaylist.Reverse1
Configuration: 001 frmConfig.btnClose; 002 frmConfig.btnApply; 003 frmConfig.btnOK;
    004 frmConfig.btnSetTotalDefault
ConfigurationTreeview: 001 frmConfig.tvConfigNodes node [0]; 002 frmConfig.tvConfigNodes node [1];
    003 frmConfig.tvConfigNodes node [2]; 017 frmConfig.tvConfigNodes node [3];
    004 frmConfig.tvConfigNodes node [4]; 005 frmConfig.tvConfigNodes node [5];
    006 frmConfig.tvConfigNodes node [6]; 007 frmConfig.tvConfigNodes node [7];
    008 frmConfig.tvConfigNodes node [8]; 009 frmConfig.tvConfigNodes node [9];
    010 frmConfig.tvConfigNodes node [10]; 011 frmConfig.tvConfigNodes node [11];
    012 frmConfig.tvConfigNodes node [12]; 013 frmConfig.tvConfigNodes node [13];
    014 frmConfig.tvConfigNodes node [14]; 015 frmConfig.tvConfigNodes node [15];
    016 frmConfig.tvConfigNodes node [16]; 018 frmConfig.tvConfigNodes node [17]
ConfigurationGeneral: 002 frmConfig.rgG_ShowKolvarin; 006 frmConfig.gbTJ; 007 frmConfig.lblTJCount;
    008 frmConfig.rgScolllabel; 012 frmConfig.gbLiveUpdate; 013 frmConfig.cbLUAutoDownloadIfKolvStars;
    014 frmConfig.gbGOther; 015 frmConfig.cbRememberLastPlayedIndex; 016 frmConfig.gbSystemMemoryMgmt;
    017 frmConfig.cbSwapMemoryMngt; 018 frmConfig.gbGNews; 019 frmConfig.cbGNewsShowOnStartup;
    020 frmConfig.cbHKeyMediakeys; 021 frmConfig.cbGNewsShowOnlyFreshNews; 022 frmConfig.gbLogging;
    023 frmConfig.cbWriteLogFile; 024 frmConfig.cbEnableHistory; 025 frmConfig.cbShowSplashScreen
ConfigurationFiletypes: 001 frmConfig.rbRegFiletypes; 002 frmConfig.rbUnregFiletypes;
    003 frmConfig.rbNoneFiletypes; 004 frmConfig.btnRefreshFiletypes; 005 frmConfig.btnFTSelectNone;
    006 frmConfig.btnFTSelectAll; 007 frmConfig.cbGeneralEnableContextMenu;
    008 frmConfig.cbGeneralEnableContextMenuDVD
ConfigurationPlaylist: 001 frmConfig.gbOnFileAdd; 002 frmConfig.cbOFAReadID3Tag; 003 frmConfig.cbOFAReadTime;
    004 frmConfig.cbOFACheckIsValidFile; 005 frmConfig.gbOnFilePlaying; 006 frmConfig.cbOFPReadID3Tag;
    007 frmConfig.cbOFPReadTime; 008 frmConfig.gbPLListbox; 009 frmConfig.cbPLDrawNumbers;
    010 frmConfig.cbPLDrawTime; 011 frmConfig.cbPLDrawFileTypeIcons; 012 frmConfig.gbSearch;
    013 frmConfig.cbSearchHideOnPlay; 014 frmConfig.rgPLSB; 019 frmConfig.cbOFAReadPlaylistFiles;
    020 frmConfig.rgPLOnDragDrop; 024 frmConfig.cbPLEnableDirectMove
ConfigurationAcceptFileExt: 001 frmConfig.gbAcceptedFileExtensions; 002 frmConfig.cbAddAllFileExtensions;
    003 frmConfig.btnIncludeExtSetDefault
ConfigurationSkin: 001 frmConfig.gbSkinCB; 002 frmConfig.lblSkinCBAlpha; 003 frmConfig.lblSkinCBColor;
    004 frmConfig.gbSkin
ConfigurationAudio: 001 frmConfig.gbFader; 002 frmConfig.cbFader; 003 frmConfig.lblFaderCount;
    004 frmConfig.gbVFader; 005 frmConfig.cbVFader; 006 frmConfig.lblVFaderCount;
    007 frmConfig.gbAudioPlaybackPrio; 008 frmConfig.lblAudioBufferPrio;
    009 frmConfig.cbAudioUseMulticoreSupport
ConfigurationAudioOutput: 001 frmConfig.gbBassoutputdevice; 002 frmConfig.gbAudioSpeakers
ConfigurationAudioLS: 001 frmConfig.gbNetRadioConnRetries; 002 frmConfig.lblMaxEntrys;
    003 frmConfig.lblTimeBetweenRetry; 004 frmConfig.gbLSAS; 005 frmConfig.cbLSASAutoChangeTitle;
    006 frmConfig.cbLSASAutoRecord; 007 frmConfig.lblLSASFormatMask; 008 frmConfig.lblLSASOutputPath;
    009 frmConfig.gbNetRadioPreBuffer; 010 frmConfig.lblNetPreBuffering
ConfigurationSystem: 001 frmConfig.rgPlaymode; 007 frmConfig.gbAnalyzer; 008 frmConfig.rbAnalyzerLines;
    009 frmConfig.rbAnalyzerBars; 010 frmConfig.cbAnalyzerShowPeaks; 011 frmConfig.cbAnalyzerShowSpectrum;
    012 frmConfig.cbAnalyzerMotionBlur; 013 frmConfig.lblPeaksFallsOff; 014 frmConfig.lblLinesFallsOff;
    002 frmMain.None1; 003 frmMain.Repeat1; 004 frmMain.Random1; 005 frmMain.Jumptonextuntilend1;
    006 frmMain.JumptonextuntilendLoop1
ConfigurationVideo: 001 frmConfig.gbOnFilePlay; 002 frmConfig.cbAutoFS; 003 frmConfig.cbAutoVideoResize;
    004 frmConfig.cbCenterVideo; 005 frmConfig.gbOnPlaying; 006 frmConfig.cbScreensaverDisabled;
    007 frmConfig.cbHideCursor; 008 frmConfig.gbColorControls; 009 frmConfig.btnSetColorControlsDefault;
    010 frmConfig.lblColorControlsBrightness; 011 frmConfig.lblColorControlsContrast;
    012 frmConfig.lblColorControlsHue; 013 frmConfig.lblColorControlsSaturation;
    014 frmConfig.lblColorControlsSharpness; 015 frmConfig.lblColorControlsGamma; 016 frmConfig.gbRatio
ConfigurationVideoFilter: 001 frmConfig.gbFilterDVDGraph; 002 frmConfig.gbFilterDSGraphs;
    003 frmConfig.lvDSGraphTypeList column [0]; 004 frmConfig.lvDSGraphTypeList column [1];
    005 frmConfig.lvDSGraphTypeList column [2]; 006 frmConfig.cbDSActualGraphScriptAsk;
    007 frmConfig.btnResetAllFilters
ConfigurationVideoOSD: 001 frmConfig.lblOSDPosition; 002 frmConfig.lblOSDFontCaption;
    003 frmConfig.lblOSDFontColor; 004 frmConfig.lblOSDFontSize; 005 frmConfig.lblOSDPreviewCaption;
    007 frmConfig.cbShowOSD
ConfigurationVideoDefault: 001 frmConfig.gbDefaultLanguage; 002 frmConfig.gbDefaultSubtitle;
    003 frmConfig.cbVideoDefaultSubtitleDefaultFailed
ConfigurationVideoFullscreen: 001 frmConfig.gbVideoFSControlOptions; 002 frmConfig.gbVideoFSControl_Enable
ConfigurationMouse: 001 frmConfig.gbMouseWheelControlOnFocus
VideoPopupMenu: 001 frmVideo.PreviosChapter1; 002 frmVideo.Previous1; 003 frmVideo.Pause1; 004 frmVideo.Play1;
    005 frmVideo.Stop1; 006 frmVideo.Next1; 007 frmVideo.NextChapter1; 008 frmVideo.Forwardspeed1;
    009 frmVideo.Backwardspeed1; 010 frmVideo.Mode1; 010 frmMain.Mode1; 011 frmVideo.Ratio1; 011 frmMain.Ratio1;
    012 frmVideo.DigitalZoom1; 013 frmVideo.Showmenu1; 014 frmVideo.Audio1; 015 frmVideo.Subtitles1;
    016 frmVideo.Jumpto1; 017 frmVideo.Close1; 018 frmVideo.screenshot1; 019 frmMain.MonitorOutput1;
    019 frmVideo.MonitorOutput1
VideoPopupMenu_Mode: 001 frmVideo.Fullscreen1; 001 frmMain.Fullscreen1; 002 frmVideo.Desktopmode1;
    002 frmMain.Desktop1; 003 frmVideo.Windowmode1; 003 frmMain.Window1
VideoPopupMenu_Ratio: 001 frmVideo.RatStretched; 001 frmMain.RatStretched; 002 frmVideo.RatLetterbox;
    002 frmMain.RatLetterbox; 003 frmVideo.RatCrop; 003 frmMain.RatCrop; 004 frmVideo.Rat43; 004 frmMain.Rat43;
    005 frmVideo.Rat54; 005 frmMain.Rat54; 006 frmVideo.Rat169; 006 frmMain.Rat169; 007 frmVideo.Rat1610;
    007 frmMain.Rat1610; 008 frmVideo.Rat2351; 008 frmMain.Rat2351; 009 frmVideo.RatUserdef;
    009 frmMain.RatUserDef
VideoPopupMenu_DigitalZoom: 001 frmVideo.Off1; 002 frmVideo.N4X3; 003 frmVideo.N9X1; 004 frmVideo.N1751;
    005 frmVideo.N2001
VideoPopupMenu_Showmenu: 001 frmVideo.Titlemenu1; 002 frmVideo.Mainmenu1; 003 frmVideo.Subtitlesmenu1;
    004 frmVideo.Audiomenu1; 005 frmVideo.Angelsmenu1; 006 frmVideo.Chaptermenu1
VideoPopupMenu_Screenshot: 001 frmVideo.Original1; 002 frmVideo.Angepasst1
PlaylistSearch: 001 frmSearch.(the window caption); 002 frmSearch.Label1; 003 frmSearch.Label2;
    004 frmSearch.btnCancel; 005 frmSearch.btnSelect
PlaylistSearch_For: 001 frmSearch.RadioGroup1
EditPlaylistEntry: 001 frmEditItem.(the window caption); 002 frmEditItem.lblFileName; 003 frmEditItem.lblIndex;
    004 frmEditItem.tabPlaylistEntry; 005 frmEditItem.lblPECaption; 006 frmEditItem.lblPETime;
    007 frmEditItem.lblPETrack; 008 frmEditItem.cbPEPlayed; 009 frmEditItem.cbPESelected;
    010 frmEditItem.btnEdit; 011 frmEditItem.btnCancel; 012 frmEditItem.btnReload;
    013 frmEditItem.gbPlaylistEntry; 014 frmEditItem.gbFileInfo
AddCDtoPlaylist: 001 frmAddDVDVCD.(the window caption); 002 frmAddDVDVCD.lblDrives; 003 frmAddDVDVCD.btnOK;
    004 frmAddDVDVCD.btnCancel
AddURLtoPlaylist: 001 frmAddURL.(the window caption); 002 frmAddURL.Label1; 004 frmAddURL.Button1;
    005 frmAddURL.Button2
EditID3Tag: 001 frmEditItem.tsID3v1; 002 frmEditItem.tsID3v2; 003 frmEditItem.cbID3V1_Exists;
    004 frmEditItem.cbID3V2_Exists; 005 frmEditItem.Label1; 005 frmEditItem.Label8; 006 frmEditItem.Label2;
    006 frmEditItem.Label9; 007 frmEditItem.Label3; 007 frmEditItem.Label10; 008 frmEditItem.Label4;
    008 frmEditItem.Label11; 009 frmEditItem.Label5; 009 frmEditItem.Label12; 010 frmEditItem.Label6;
    010 frmEditItem.Label13; 011 frmEditItem.Label7; 011 frmEditItem.Label14; 012 frmEditItem.Label15;
    013 frmEditItem.Label16; 014 frmEditItem.Label17; 015 frmEditItem.Label18; 016 frmEditItem.Label19;
    017 frmEditItem.btnID3Tagv1_Convert; 018 frmEditItem.btnID3Tagv2_Convert
ConfigurationShortCuts: 001 frmConfig.lvHotkeys column [0]; 002 frmConfig.lvHotkeys column [1];
    003 frmConfig.btnDefaultHotkey; 004 frmConfig.btnAddHotkey; 005 frmConfig.btnDelHotkey;
    006 frmConfig.btnEditHotkey; 008 frmConfig.lvHotkeys column [2]; 009 frmConfig.cbHKeySystemwide
MediaControlsPopupMenu: 001 frmMediaControls.DefaultPreset1; 002 frmMediaControls.LoadPreset1;
    003 frmMediaControls.SavePreset1; 004 frmMediaControls.Presets1
News: 001 frmNews.(the window caption); 002 frmNews.btnOK; 003 frmNews.cbDontShowWindow
ConfigurationNotifications: 001 frmConfig.gbNotifyOnMediaPlaying;
    002 frmConfig.btnNotifyOMP_ConfigMediaInfoBalloon; 003 frmConfig.cbNotifyOMP_ShowMediaInfoBalloon;
    004 frmConfig.btnNotifyOMP_ConfigMediaInfoOSD; 005 frmConfig.cbNotifyOMP_ShowMediaInfoOSD;
    006 frmConfig.gbNotifyOnMediaProblems; 007 frmConfig.lblOMProblemsAction;
    008 frmConfig.cbOMProblems_ShowMsgBox; 009 frmConfig.cbOMProblems_ShowBalloonInfo
ConfigurationLang: 001 frmConfig.gbLanguages
)";

struct TAssignment {
    QString Section;
    int Number;
    QString Window;
    QString Component; // empty: the window's caption
    QString Part; // "node", "column" or empty
    int Index;
};

std::vector<TAssignment> ReadAssignments()
{
    std::vector<TAssignment> all;
    const QString table = QString::fromLatin1(kAssignments);
    static const QRegularExpression section(QStringLiteral(R"(^(\w+):)"), QRegularExpression::MultilineOption);
    static const QRegularExpression entry(
        QStringLiteral(R"((\d{3}) (\w+)\.(?:\(the window caption\)|(\w+)(?: (node|column) \[(\d+)\])?))"));
    for (auto s = section.globalMatch(table); s.hasNext();) {
        const QRegularExpressionMatch head = s.next();
        const qsizetype end = table.indexOf(
            QRegularExpression(QStringLiteral("^\\w+:"), QRegularExpression::MultilineOption), head.capturedEnd());
        const QString body = table.mid(head.capturedEnd(), end < 0 ? -1 : end - head.capturedEnd());
        for (auto e = entry.globalMatch(body); e.hasNext();) {
            const QRegularExpressionMatch m = e.next();
            all.push_back({head.captured(1), m.captured(1).toInt(), m.captured(2), m.captured(3), m.captured(4),
                           m.captured(5).toInt()});
        }
    }
    return all;
}

const TLanguageSectionInfo* SectionNamed(const QString& name)
{
    for (const TLanguageSectionInfo& info : LanguageSections())
        if (name == QLatin1String(info.Name))
            return &info;
    return nullptr;
}

QString Marker(const char* section, int number)
{
    return QStringLiteral("{%1.%2}").arg(QLatin1String(section)).arg(number);
}

// Every text marked by its section and number, its own text kept after the
// mark so that formatted texts keep their conversions.
TKLanguage MarkedLanguage()
{
    TKLanguage texts;
    SetDefaultLanguage(texts);
    for (const TLanguageSectionInfo& info : LanguageSections())
        for (int n = 1; n <= info.Count; ++n) {
            std::u16string& text = texts.Texts[static_cast<size_t>(info.Position + n - 1)];
            text = (Marker(info.Name, n) + QLatin1Char(' ')).toStdU16String() + text;
        }
    return texts;
}

// What a component shows, read the way its kind shows text.
QString Shown(QObject& target)
{
    if (auto* menu = qobject_cast<QMenu*>(&target))
        return menu->title();
    if (auto* action = qobject_cast<QAction*>(&target))
        return action->text();
    if (auto* button = qobject_cast<QAbstractButton*>(&target))
        return button->text();
    if (auto* box = qobject_cast<QGroupBox*>(&target))
        return box->title();
    if (auto* label = qobject_cast<QLabel*>(&target))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(&target))
        return edit->text();
    auto* page = qobject_cast<QWidget*>(&target);
    auto* stack = page ? qobject_cast<QStackedWidget*>(page->parentWidget()) : nullptr;
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    return tabs ? tabs->tabText(tabs->indexOf(page)) : QStringLiteral("(no text)");
}

// The tree's items in order over the whole tree, parents before children.
std::vector<QTreeWidgetItem*> TreeNodes(QTreeWidget& tree)
{
    std::vector<QTreeWidgetItem*> nodes;
    std::function<void(QTreeWidgetItem*)> visit = [&](QTreeWidgetItem* item) {
        nodes.push_back(item);
        for (int i = 0; i < item->childCount(); ++i)
            visit(item->child(i));
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        visit(tree.topLevelItem(i));
    return nodes;
}

// Every text a window shows to the user, with where it is, read the same way
// for every kind of widget: titles, buttons, labels, group boxes, combo box
// items, tabs, list and tree items and headers, menu items.
std::vector<std::pair<QString, QString>> TextsShown(QWidget& window)
{
    std::vector<std::pair<QString, QString>> texts;
    auto add = [&](QObject& where, const QString& what, const QString& text) {
        QString path = where.objectName();
        for (QObject* p = where.parent(); p; p = p->parent())
            if (!p->objectName().isEmpty())
                path = p->objectName() + QLatin1Char('.') + path;
        texts.emplace_back(path + what, text);
    };
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* w : widgets) {
        if (w->isWindow())
            add(*w, QStringLiteral(" (title)"), w->windowTitle());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            add(*w, {}, button->text());
        else if (auto* label = qobject_cast<QLabel*>(w))
            add(*w, {}, label->text());
        else if (auto* box = qobject_cast<QGroupBox*>(w))
            add(*w, {}, box->title());
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                add(*w, QStringLiteral(" item %1").arg(i), combo->itemText(i));
        else if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(*w, QStringLiteral(" tab %1").arg(i), tabs->tabText(i));
        else if (auto* list = qobject_cast<QListWidget*>(w))
            for (int i = 0; i < list->count(); ++i)
                add(*w, QStringLiteral(" item %1").arg(i), list->item(i)->text());
        else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
            for (int c = 0; c < tree->columnCount(); ++c)
                add(*w, QStringLiteral(" column %1").arg(c), tree->headerItem()->text(c));
            for (QTreeWidgetItem* item : TreeNodes(*tree))
                for (int c = 0; c < tree->columnCount(); ++c)
                    add(*w, QStringLiteral(" item"), item->text(c));
        } else if (auto* menu = qobject_cast<QMenu*>(w))
            add(*w, QStringLiteral(" (menu)"), menu->title());
        for (QAction* action : w->actions())
            if (!action->isSeparator())
                add(*action, QStringLiteral(" (in %1)").arg(w->objectName()), action->text());
    }
    return texts;
}

class LanguageWindowsTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        UserPath = home().string() + "/";
        ApplicationPath = (dir().path() / "app").string() + "/";
        Config = new TKConfig();
        Config->SetDefaults();
        SetDefaultLanguage(Language);
        // The templates start-up loads, which the notification page edits.
        BalloonTemplate = &balloon_;
        OSDTemplate = &osd_;
        forms_.CreateAll();
        Forms = &forms_;
    }
    void TearDown() override
    {
        Forms = nullptr;
        forms_.DestroyAll();
        BalloonTemplate = OSDTemplate = nullptr;
        delete Config;
        Config = nullptr;
        SetDefaultLanguage(Language);
        TempHomeTest::TearDown();
    }
    QWidget* window(const QString& name) const
    {
        for (int i = 0; i < TKForms::Count; ++i)
            if (name == QLatin1String(TKForms::Name(static_cast<TKForms::Form>(i))))
                return forms_.Get(static_cast<TKForms::Form>(i));
        return nullptr;
    }
    // What the assignment's target shows, or why it cannot be read.
    QString shown(const TAssignment& a) const
    {
        QWidget* w = window(a.Window);
        if (!w)
            return QStringLiteral("(no window)");
        if (a.Component.isEmpty())
            return w->windowTitle();
        QObject* target = w->findChild<QObject*>(a.Component);
        if (!target)
            return QStringLiteral("(no component)");
        auto* tree = qobject_cast<QTreeWidget*>(target);
        if (a.Part == QLatin1String("node") && tree) {
            const std::vector<QTreeWidgetItem*> nodes = TreeNodes(*tree);
            return a.Index < static_cast<int>(nodes.size()) ? nodes[static_cast<size_t>(a.Index)]->text(0)
                                                            : QStringLiteral("(no node)");
        }
        if (a.Part == QLatin1String("column") && tree)
            return tree->headerItem()->text(a.Index);
        return Shown(*target);
    }

    TKTemplateLoader balloon_, osd_;
    TKForms forms_;
};

TEST_F(LanguageWindowsTest, AMarkedLanguageChosenInTheDialogReachesEveryComponentOfTheTable)
{
    std::filesystem::create_directories(LanguageFolder());
    SaveLanguageFile(MarkedLanguage(), LanguageFolder() + "marked.klang");
    TfrmConfig& dialog = forms_.ConfigDialog();
    dialog.show();
    dialog.ShowPage(TConfigPage::Languages);
    auto* languages = dialog.findChild<QListWidget*>(QStringLiteral("lbLanguages"));
    ASSERT_NE(languages, nullptr);
    languages->setCurrentItem(languages->findItems(QStringLiteral("marked"), Qt::MatchExactly).value(0));
    ASSERT_TRUE(dialog.Apply());
    EXPECT_EQ(Config->Language, "marked");
    // Pages are built when shown: every one, in the new language.
    for (int page = 0; page < kConfigPageCount; ++page)
        dialog.ShowPage(static_cast<TConfigPage>(page));

    const std::vector<TAssignment> assignments = ReadAssignments();
    std::set<QString> sections;
    for (const TAssignment& a : assignments) {
        const TLanguageSectionInfo* info = SectionNamed(a.Section);
        ASSERT_NE(info, nullptr) << a.Section.toStdString();
        ASSERT_GE(a.Number, 1);
        ASSERT_LE(a.Number, info->Count) << a.Section.toStdString();
        sections.insert(a.Section);
        const QString marker = Marker(info->Name, a.Number);
        const QString text = shown(a);
        EXPECT_TRUE(text.contains(marker))
            << a.Window.toStdString() << "." << a.Component.toStdString() << " " << a.Part.toStdString() << a.Index
            << ": \"" << text.toStdString() << "\", wanted " << marker.toStdString();
    }
    // The table covers every section the windows take their texts from.
    EXPECT_EQ(sections.size(), 40u);

    // The status line and the main window's title too, at once.
    EXPECT_TRUE(frmMain->StatusText() == (Marker("Status", 4) + QStringLiteral(" Ready")).toStdU16String());
    EXPECT_TRUE(frmMain->windowTitle().contains(Marker("Status", 4)));
}

// Walked the other way round: whatever any window shows, no text is left in
// the language that was there before.
TEST_F(LanguageWindowsTest, AfterALanguageChangeNoWindowShowsATextOfTheLanguageBefore)
{
    std::set<QString> english;
    TKLanguage defaults;
    SetDefaultLanguage(defaults);
    for (const std::u16string& text : defaults.Texts) {
        const QString plain = QString::fromStdU16String(text).remove(QLatin1Char('&')).trimmed();
        if (plain.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
            english.insert(plain);
    }
    std::filesystem::create_directories(LanguageFolder());
    SaveLanguageFile(MarkedLanguage(), LanguageFolder() + "marked.klang");
    TfrmConfig& dialog = forms_.ConfigDialog();
    dialog.show();
    for (int page = 0; page < kConfigPageCount; ++page)
        dialog.ShowPage(static_cast<TConfigPage>(page));
    dialog.ShowPage(TConfigPage::Languages);
    auto* languages = dialog.findChild<QListWidget*>(QStringLiteral("lbLanguages"));
    ASSERT_NE(languages, nullptr);
    languages->setCurrentItem(languages->findItems(QStringLiteral("marked"), Qt::MatchExactly).value(0));
    ASSERT_TRUE(dialog.Apply());
    // What the change replaced goes as the message loop goes on.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Texts that are no language texts, though an English text reads the
    // same: the skinned windows' own titles, the video menu's filter list,
    // the tag editor's genres and the about window's button.
    const std::pair<const char*, const char*> notLanguage[] = {
        {"frmPlaylist (title)", "Playlist"},   {"frmVideo (title)", "Video"}, {"frmVideo.popmVideo.Filter1", "Filter"},
        {"frmEditItem.PageControl1", "Other"}, {"frmAbout.", "OK"},
    };
    for (QWidget* window : QApplication::topLevelWidgets())
        for (const auto& [place, text] : TextsShown(*window)) {
            const QString& where = place;
            const QString plain = QString(text).remove(QLatin1Char('&')).trimmed();
            const bool exempt = std::any_of(std::begin(notLanguage), std::end(notLanguage), [&](const auto& n) {
                return where.startsWith(QLatin1String(n.first)) && plain == QLatin1String(n.second);
            });
            EXPECT_TRUE(exempt || !english.contains(plain))
                << where.toStdString() << " still shows \"" << text.toStdString() << "\"";
        }
}

} // namespace
} // namespace kolvarin
