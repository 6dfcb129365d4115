#include <QColorDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>

#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "dialogs/configform.h"
#include "dialogs/configpages.h"
#include "dialogs/configskininfo.h"
#include "skin/kskinload.h"

namespace kolvarin {

namespace {

QString ansiText(const std::string& text) { return QString::fromStdU16String(AnsiToUtf16(text)); }
std::string ansiOf(const QString& text) { return Utf16ToAnsi(text.toStdU16String()); }

QColor toQColor(TColor color) { return QColor(color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF); }

// Fills the list with names and selects the row holding Current, without
// telling anyone.
void fillQuietly(QListWidget* list, const std::vector<std::string>& names, const QString& current)
{
    const QSignalBlocker block(list);
    list->clear();
    for (const std::string& name : names)
        list->addItem(ansiText(name));
    const QList<QListWidgetItem*> found = list->findItems(current, Qt::MatchFixedString);
    list->setCurrentItem(found.isEmpty() ? nullptr : found.front());
}

class TSkinPage : public TConfigPageWidget {
public:
    TSkinPage(MarkFunction mark, TfrmConfig& form) : TConfigPageWidget(TConfigPage::Skins, std::move(mark)), form_(form)
    {
        QGroupBox* g = AddGroup("gbSkin", 214);
        skins_ = new QListWidget(g);
        skins_->setObjectName(QStringLiteral("lbSkins"));
        skins_->setMinimumHeight(220);
        AddRow(g, {}, skins_);
        last_ = new QLabel(g);
        last_->setObjectName(QStringLiteral("lblLastSkin"));
        AddRow(g, {}, last_);

        g = AddGroup(nullptr, -1, 1);
        g->setTitle(QStringLiteral("Information"));
        info_ = new QPlainTextEdit(g);
        info_->setObjectName(QStringLiteral("memoSkinInfo"));
        info_->setReadOnly(true);
        info_->setFixedHeight(96);
        AddRow(g, {}, info_);

        g = AddGroup("gbSkinCB", 211, 1);
        alpha_ = AddTrack(
            g, "tbSkinCBAlpha", Text(212), TConfigArea::SkinColorBlend, 0, 255, 32,
            [](const TKConfig& c) { return int(c.SkinColorBlend.Strength); },
            [](TKConfig& c, int v) { c.SkinColorBlend.Strength = static_cast<uint8_t>(v); });
        NameLabel(alpha_, "lblSkinCBAlpha");
        color_ = new QPushButton(g);
        color_->setObjectName(QStringLiteral("shapeSkinCBColor"));
        color_->setFixedSize(64, 24);
        AddRow(g, Text(213), color_);
        NameLabel(color_, "lblSkinCBColor");
        AddBinding({color_,
                    TConfigArea::SkinColorBlend,
                    Text(213),
                    [this] { SetColor(toQColor(Config->SkinColorBlend.Color)); },
                    {},
                    [this] {
                        Config->SkinColorBlend.Color =
                            RGBColor(static_cast<uint8_t>(blend_.red()), static_cast<uint8_t>(blend_.green()),
                                     static_cast<uint8_t>(blend_.blue()));
                    }});
        FinishColumns();

        connect(skins_, &QListWidget::currentTextChanged, this, [this](const QString& name) { Choose(name); });
        connect(alpha_, &QSlider::valueChanged, this, [this] { BlendChanged(); });
        connect(color_, &QPushButton::clicked, this, [this] {
            const QColor chosen = QColorDialog::getColor(blend_, this, QStringLiteral("Skin colour blend"));
            if (chosen.isValid()) {
                SetColor(chosen);
                BlendChanged();
            }
        });
        Load();
    }

    void Load() override
    {
        fillQuietly(skins_, ListSkinNames(), ansiText(Config->Skin));
        info_->clear();
        TConfigPageWidget::Load();
        ShowLastSkin();
    }

    void ShowLastSkin()
    {
        last_->setText(QString::fromStdU16String(WideFormat(Language.Texts[130], AnsiToUtf16(Config->Skin))));
    }

private:
    void Choose(const QString& name)
    {
        if (name.isEmpty())
            return;
        info_->clear();
        const std::string skin = ansiOf(name).substr(0, 60);
        if (skin == kDefaultSkinName) {
            info_->setPlainText(QStringLiteral("Base Kolvarin Skin (default)\nby the Kolvarin developers\n"
                                               "https://www.kolvarin.org/\ninfo@kolvarin.org"));
        } else {
            QStringList lines;
            for (const std::u16string& line : ReadSkinInfo(skin, form_.Zip))
                lines << QString::fromStdU16String(line);
            info_->setPlainText(lines.join(QLatin1Char('\n')));
        }
        info_->moveCursor(QTextCursor::Start);
        form_.SelectedSkinName = skin;
        form_.UpdateApplyButton();
    }

    // A new blend re-applies the current skin unless another was chosen.
    void BlendChanged()
    {
        if (Loading())
            return;
        if (form_.SelectedSkinName.empty())
            form_.SelectedSkinName = Config->Skin;
        form_.UpdateApplyButton();
    }

    void SetColor(const QColor& color)
    {
        blend_ = color;
        color_->setStyleSheet(
            QStringLiteral("background-color: %1; border: 1px solid #343A46; border-radius: 4px;").arg(color.name()));
    }

    TfrmConfig& form_;
    QListWidget* skins_;
    QLabel* last_;
    QPlainTextEdit* info_;
    QSlider* alpha_;
    QPushButton* color_;
    QColor blend_;
};

class TLanguagePage : public TConfigPageWidget {
public:
    TLanguagePage(MarkFunction mark, TfrmConfig& form)
        : TConfigPageWidget(TConfigPage::Languages, std::move(mark)), form_(form)
    {
        QGroupBox* g = AddGroup("gbLanguages", 210);
        list_ = new QListWidget(g);
        list_->setObjectName(QStringLiteral("lbLanguages"));
        list_->setMinimumHeight(220);
        AddRow(g, {}, list_);
        last_ = new QLabel(g);
        last_->setObjectName(QStringLiteral("lblLastLanguage"));
        AddRow(g, {}, last_);
        auto* save = new QPushButton(QStringLiteral("Save current language to XML..."), g);
        save->setObjectName(QStringLiteral("pmiCurrentLanguageSaveToXML"));
        AddRow(g, {}, save);
        FinishColumns();
        connect(list_, &QListWidget::currentTextChanged, this, [this](const QString& name) { Choose(name); });
        connect(save, &QPushButton::clicked, this, [this] { SaveCurrent(); });
        Load();
    }

    void Load() override
    {
        fillQuietly(list_, ListLanguageNames(),
                    ansiText(Config->Language == "english" ? "english[default]" : Config->Language));
        last_->setText(QString::fromStdU16String(WideFormat(Language.Texts[131], AnsiToUtf16(Config->Language))));
    }

    void Validate(const TConfigAreas&, std::vector<TFieldError>& errors) const override
    {
        const std::string& name = form_.SelectedLanguageName;
        if (!name.empty() && name != "english[default]" && !IsLanguageFileReadable(LanguageFileOf(name)))
            errors.push_back({list_, QStringLiteral("Languages: the file of \"%1\" is damaged or missing; "
                                                    "the language stays as it is.")
                                         .arg(ansiText(name))});
    }

private:
    void Choose(const QString& name)
    {
        if (name.isEmpty())
            return;
        form_.SelectedLanguageName = ansiOf(name);
        form_.UpdateApplyButton();
    }

    void SaveCurrent()
    {
        const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Save current language"),
                                                          QString::fromStdString(LanguageFolder()),
                                                          QStringLiteral("Kolvarin XML Language file (*.klang)"));
        if (file.isEmpty())
            return;
        QString name = file;
        if (!name.endsWith(QLatin1String(".klang"), Qt::CaseInsensitive))
            name += QLatin1String(".klang");
        try {
            SaveLanguageFile(Language, name.toStdString());
            form_.Message(QStringLiteral("Language saved to:\r\n") + name);
        } catch (const std::exception& e) {
            form_.Message(
                QStringLiteral("The language could not be saved to %1: %2").arg(name, QString::fromUtf8(e.what())));
        }
    }

    TfrmConfig& form_;
    QListWidget* list_;
    QLabel* last_;
};

} // namespace

TConfigPageWidget* CreateSkinConfigPage(TConfigPage page, TConfigPageWidget::MarkFunction mark, TfrmConfig& form)
{
    if (page == TConfigPage::Skins)
        return new TSkinPage(std::move(mark), form);
    return new TLanguagePage(std::move(mark), form);
}

} // namespace kolvarin
