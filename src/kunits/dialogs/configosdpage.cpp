#include <QCheckBox>
#include <QColorDialog>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>

#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "dialogs/configpages.h"

namespace kolvarin {

namespace {

QColor toQColor(TColor color) { return QColor(color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF); }
TColor fromQColor(const QColor& color)
{
    return RGBColor(static_cast<uint8_t>(color.red()), static_cast<uint8_t>(color.green()),
                    static_cast<uint8_t>(color.blue()));
}

// The black preview with "OSD Preview" at the chosen one of nine places.
class TOSDPreview : public QWidget {
public:
    explicit TOSDPreview(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("imgOSDPreview"));
        setMinimumSize(220, 124);
    }
    bool Shown = true;
    int Position = 0;
    QFont Font;
    QColor Color;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        if (!Shown)
            return;
        painter.setFont(Font);
        painter.setPen(Color);
        const QString text = QString::fromStdU16String(Language.Texts[278]);
        const QSize size = painter.fontMetrics().size(Qt::TextSingleLine, text);
        const int w = width(), h = height(), column = Position % 3, row = Position / 3;
        const int x = column == 0 ? 0 : column == 1 ? w / 2 - size.width() / 2 : w - size.width();
        const int y = row == 0 ? 0 : row == 1 ? h / 2 - size.height() / 2 : h - size.height();
        painter.drawText(QRect(QPoint(x, y), size), Qt::AlignLeft | Qt::AlignTop, text);
    }
};

// Each font's name in that font at 10 points, one pixel in from the top
// left; a row is as high as a line of it (as "Wg" measures), plus 2.
class TFontNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();
        plain.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
        const QString family = index.data().toString();
        painter->save();
        painter->setFont(fontOf(family));
        painter->setPen(plain.palette.color(option.state.testFlag(QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                          : QPalette::Text));
        painter->drawText(option.rect.adjusted(1, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, family);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QFontMetrics metrics(fontOf(index.data().toString()));
        return {std::max(option.rect.width(), metrics.horizontalAdvance(index.data().toString()) + 2),
                metrics.height() + 2};
    }

private:
    static QFont fontOf(const QString& family)
    {
        QFont font(family);
        font.setPointSize(10);
        return font;
    }
};

class TOSDPage : public TConfigPageWidget {
public:
    TOSDPage(MarkFunction mark, QWidget* parent) : TConfigPageWidget(TConfigPage::VideoOSD, std::move(mark), parent)
    {
        using A = TConfigArea;
        QGroupBox* g = AddGroup(nullptr, -1);
        show_ = AddCheck(g, "cbShowOSD", 279, A::OnScreenText, [](TKConfig& c) -> bool& { return c.OSD.Enabled; });
        font_ = new QFontComboBox(g);
        font_->setObjectName(QStringLiteral("cbOSDFontName"));
        font_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        font_->setMinimumContentsLength(12);
        font_->setEditable(false);
        font_->setItemDelegate(new TFontNameDelegate(font_));
        AddRow(g, Text(274), font_);
        NameLabel(font_, "lblOSDFontCaption");
        size_ = AddSpin(
            g, "seOSDFontSize", Text(276), TConfigArea::OnScreenText, 4, 50,
            [](const TKConfig& c) { return c.OSD.Font.Size; }, [](TKConfig& c, int v) { c.OSD.Font.Size = v; });
        NameLabel(size_, "lblOSDFontSize");
        color_ = new QPushButton(g);
        color_->setObjectName(QStringLiteral("shapeOSDFontColor"));
        color_->setFixedSize(64, 24);
        AddRow(g, Text(275), color_);
        NameLabel(color_, "lblOSDFontColor");

        positions_ = AddGroup("lblOSDPosition", 273);
        positions_->setStyleSheet(
            QStringLiteral("QPushButton { min-width: 0px; padding: 0px; background: #C0C0C0; border-color: #C0C0C0; }"
                           "QPushButton:checked { background: #FFFFFF; border-color: #FFFFFF; }"));
        auto* grid = new QGridLayout;
        grid->setSpacing(4);
        static constexpr const char* names[9] = {"TopLeft", "Top",        "TopRight", "Left",       "Center",
                                                 "Right",   "BottomLeft", "Bottom",   "BottomRight"};
        for (int i = 0; i < 9; ++i) {
            auto* shape = new QPushButton(positions_);
            shape->setObjectName(QStringLiteral("shapeOSDPos%1").arg(QLatin1String(names[i])));
            shape->setCheckable(true);
            shape->setFixedSize(40, 24);
            grid->addWidget(shape, i / 3, i % 3);
            connect(shape, &QPushButton::clicked, this, [this, i] { SetPosition(i, true); });
            shapes_[i] = shape;
        }
        auto* holder = new QWidget(positions_);
        holder->setLayout(grid);
        AddRow(positions_, {}, holder);

        QGroupBox* previewGroup = AddGroup("lblOSDPreviewCaption", 277, 1);
        preview_ = new TOSDPreview(previewGroup);
        AddRow(previewGroup, {}, preview_);
        FinishColumns();

        connect(font_, &QFontComboBox::currentFontChanged, this, [this] {
            fontChosen_ = fontChosen_ || !Loading();
            Changed();
        });
        connect(size_, &QSpinBox::valueChanged, this, [this] { UpdatePreview(); });
        connect(show_, &QCheckBox::toggled, this, [this] { UpdatePreview(); });
        connect(color_, &QPushButton::clicked, this, [this] {
            const QColor chosen = QColorDialog::getColor(color_value_, this, QStringLiteral("OSD font colour"));
            if (chosen.isValid()) {
                SetColor(chosen);
                Changed();
            }
        });
        AddBinding(
            {font_, TConfigArea::OnScreenText, Text(274),
             [this] {
                 // A font this machine lacks keeps its stored name until another is chosen.
                 font_->setCurrentFont(QFont(QString::fromStdU16String(AnsiToUtf16(Config->OSD.Font.Name))));
                 fontChosen_ = false;
                 SetColor(toQColor(Config->OSD.Font.Color));
                 SetPosition(Config->OSD.Position <= 8 ? Config->OSD.Position : 0, false);
             },
             [this] {
                 if (!fontChosen_)
                     return QString();
                 const std::u16string name = font_->currentFont().family().toStdU16String();
                 if (AnsiToUtf16(Utf16ToAnsi(name)).size() != name.size() || name.size() > 60)
                     return QStringLiteral("%1: this font's name cannot be stored; choose another.").arg(Text(274));
                 return QString();
             },
             [this] {
                 Config->OSD.Position = static_cast<uint8_t>(position_);
                 if (fontChosen_)
                     Config->OSD.Font.Name = Utf16ToAnsi(font_->currentFont().family().toStdU16String());
                 Config->OSD.Font.Color = fromQColor(color_value_);
             }});
    }

    void Load() override
    {
        TConfigPageWidget::Load();
        UpdatePreview();
    }

    void SetPosition(int position, bool byUser)
    {
        position_ = position;
        for (int i = 0; i < 9; ++i)
            shapes_[i]->setChecked(i == position);
        if (byUser)
            Changed();
        else
            UpdatePreview();
    }

private:
    void SetColor(const QColor& color)
    {
        color_value_ = color;
        color_->setStyleSheet(
            QStringLiteral("background-color: %1; border: 1px solid #343A46; border-radius: 4px;").arg(color.name()));
    }
    void Changed()
    {
        Mark(TConfigArea::OnScreenText);
        UpdatePreview();
    }
    void UpdatePreview()
    {
        const bool on = show_->isChecked();
        for (QWidget* control : {static_cast<QWidget*>(font_), static_cast<QWidget*>(size_),
                                 static_cast<QWidget*>(color_), static_cast<QWidget*>(positions_)})
            control->setEnabled(on);
        preview_->Shown = on;
        preview_->Position = position_;
        QFont font = font_->currentFont();
        font.setPointSize(size_->value());
        preview_->Font = font;
        preview_->Color = color_value_;
        preview_->update();
    }

    QCheckBox* show_;
    QFontComboBox* font_;
    QSpinBox* size_;
    QPushButton* color_;
    QColor color_value_;
    QGroupBox* positions_;
    QPushButton* shapes_[9] = {};
    TOSDPreview* preview_;
    int position_ = 0;
    bool fontChosen_ = false;
};

} // namespace

TConfigPageWidget* CreateOSDConfigPage(TConfigPageWidget::MarkFunction mark, QWidget* parent)
{
    auto* page = new TOSDPage(std::move(mark), parent);
    page->Load();
    return page;
}

} // namespace kolvarin
