#include "dialogs/configpage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "dialogs/confignumbers.h"
#include "gdi/canvas.h"

namespace kolvarin {

namespace {

QString fromUtf16(const std::u16string& text) { return QString::fromStdU16String(text); }

QFormLayout* formOf(QGroupBox* group) { return static_cast<QFormLayout*>(group->layout()); }

// Group captions end without a colon; a label in a message reads better without one too.
QString plainLabel(QString label)
{
    label.replace(QLatin1String("&&"), QLatin1String("&"));
    while (label.endsWith(QLatin1Char(':')) || label.endsWith(QLatin1Char(' ')))
        label.chop(1);
    return label;
}

// A number field marks its area only for the keys that type a number:
// digits, Backspace and Delete (a letter typed or a text pasted does not).
class TNumberKeys : public QObject {
public:
    TNumberKeys(QObject* parent, std::function<void()> mark) : QObject(parent), mark_(std::move(mark)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Backspace || key == Qt::Key_Delete)
                mark_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> mark_;
};

} // namespace

TListRowDelegate::TListRowDelegate(QObject* parent)
    : QStyledItemDelegate(parent), font_(gdi::ToQFont(gdi::Font{.name = u"Tahoma", .size = 8}))
{}

void TListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool chosen = option.state.testFlag(QStyle::State_Selected);
    const QVariant own = index.data(Qt::ForegroundRole);
    painter->save();
    painter->fillRect(option.rect, chosen ? QColor(0, 0, 128) : QColor(Qt::white));
    painter->setFont(font_);
    painter->setPen(chosen ? QColor(Qt::white) : own.isValid() ? own.value<QBrush>().color() : QColor(Qt::black));
    const QRect text = option.rect.adjusted(index.column() == 0 ? 5 : 0, 0, 0, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(index.data().toString(), Qt::ElideRight, text.width()));
    painter->restore();
}

QSize TListRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return {QStyledItemDelegate::sizeHint(option, index).width(), QFontMetrics(font_).height() + 2};
}

QString NumberMessage(const QString& label, const QString& text, int check, const QString& min, const QString& max)
{
    switch (static_cast<TNumberCheck>(check)) {
    case TNumberCheck::Empty: return QStringLiteral("%1: please enter a number from %2 to %3.").arg(label, min, max);
    case TNumberCheck::NotNumber:
        return QStringLiteral("%1: \"%2\" is not a number; enter one from %3 to %4.").arg(label, text, min, max);
    case TNumberCheck::OutOfRange:
        return QStringLiteral("%1: %2 is outside the range %3 to %4.").arg(label, text, min, max);
    case TNumberCheck::Ok: break;
    }
    return {};
}

TConfigPageWidget::TConfigPageWidget(TConfigPage page, MarkFunction mark, QWidget* parent)
    : QWidget(parent), page_(page), mark_(std::move(mark))
{
    setObjectName(QString::fromLatin1(ConfigPageInfo(page).Name));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    for (auto*& column : columns_) {
        column = new QVBoxLayout;
        column->setSpacing(8);
        layout->addLayout(column, 1);
    }
}

void TConfigPageWidget::Load()
{
    loading_ = true;
    for (const TConfigBinding& binding : bindings_)
        binding.Load();
    loading_ = false;
}

void TConfigPageWidget::Validate(const TConfigAreas& marked, std::vector<TFieldError>& errors) const
{
    for (const TConfigBinding& binding : bindings_) {
        if (!binding.Check || !marked.test(static_cast<size_t>(binding.Area)))
            continue;
        QString message = binding.Check();
        if (!message.isEmpty())
            errors.push_back({binding.Control, std::move(message)});
    }
}

void TConfigPageWidget::Store(TConfigArea area)
{
    for (const TConfigBinding& binding : bindings_)
        if (binding.Area == area)
            binding.Store();
}

void TConfigPageWidget::Mark(TConfigArea area)
{
    if (!loading_ && mark_)
        mark_(area);
}

QString TConfigPageWidget::Text(int position)
{
    // A single '&' marks the access key and goes; "&&" stays, as the
    // controls show it as the character itself.
    QString text = fromUtf16(Language.Texts[static_cast<size_t>(position)]);
    text.replace(QLatin1String("&&"), QString(QChar(1)));
    text.remove(QLatin1Char('&'));
    return text.replace(QChar(1), QLatin1String("&&"));
}

QGroupBox* TConfigPageWidget::AddGroup(const char* name, int caption, int column)
{
    auto* group = new QGroupBox(caption >= 0 ? Text(caption) : QString(), this);
    if (name)
        group->setObjectName(QString::fromLatin1(name));
    auto* form = new QFormLayout(group);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(4);
    columns_[column]->addWidget(group);
    ++groups_[column];
    return group;
}

void TConfigPageWidget::FinishColumns()
{
    for (auto* column : columns_)
        column->addStretch(1);
    // A page of one column takes the whole width.
    if (groups_[1] == 0)
        static_cast<QBoxLayout*>(layout())->setStretch(1, 0);
}

void TConfigPageWidget::AddRow(QGroupBox* group, const QString& label, QWidget* control, const QString& suffix)
{
    QWidget* field = control;
    if (!suffix.isEmpty()) {
        field = new QWidget(group);
        auto* row = new QHBoxLayout(field);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(control);
        row->addWidget(new QLabel(suffix, field));
        row->addStretch(1);
    }
    if (label.isEmpty())
        formOf(group)->addRow(field);
    else
        formOf(group)->addRow(label, field);
}

void TConfigPageWidget::NameLabel(QWidget* control, const char* name)
{
    QWidget* field = control;
    while (!qobject_cast<QGroupBox*>(field->parentWidget()))
        field = field->parentWidget();
    formOf(static_cast<QGroupBox*>(field->parentWidget()))
        ->labelForField(field)
        ->setObjectName(QString::fromLatin1(name));
}

QLabel* TConfigPageWidget::NameSuffix(QWidget* control, const char* name)
{
    auto* label = control->parentWidget()->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QCheckBox* TConfigPageWidget::AddCheck(QGroupBox* group, const char* name, int caption, TConfigArea area,
                                       std::function<bool&(TKConfig&)> field)
{
    auto* box = new QCheckBox(Text(caption), group);
    box->setObjectName(QString::fromLatin1(name));
    formOf(group)->addRow(box);
    connect(box, &QCheckBox::toggled, this, [this, area] { Mark(area); });
    AddBinding({box,
                area,
                plainLabel(box->text()),
                [box, field] { box->setChecked(field(*Config)); },
                {},
                [box, field] { field(*Config) = box->isChecked(); }});
    return box;
}

QButtonGroup* TConfigPageWidget::AddChoice(QGroupBox* group, const char* name, std::initializer_list<int> items,
                                           TConfigArea area, std::function<int(const TKConfig&)> get,
                                           std::function<void(TKConfig&, int)> set)
{
    auto* buttons = new QButtonGroup(group);
    int id = 0;
    for (int item : items) {
        auto* radio = new QRadioButton(Text(item), group);
        radio->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(id));
        buttons->addButton(radio, id++);
        formOf(group)->addRow(radio);
    }
    connect(buttons, &QButtonGroup::idToggled, this, [this, area](int, bool on) {
        if (on)
            Mark(area);
    });
    AddBinding({group,
                area,
                plainLabel(group->title()),
                [buttons, get] {
                    if (QAbstractButton* button = buttons->button(get(*Config)))
                        button->setChecked(true);
                },
                {},
                [buttons, set] { set(*Config, std::max(0, buttons->checkedId())); }});
    return buttons;
}

QComboBox* TConfigPageWidget::AddCombo(QGroupBox* group, const char* name, const QString& label,
                                       const QStringList& items, TConfigArea area,
                                       std::function<int(const TKConfig&)> get, std::function<void(TKConfig&, int)> set)
{
    auto* combo = new QComboBox(group);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems(items);
    AddRow(group, label, combo);
    connect(combo, &QComboBox::currentIndexChanged, this, [this, area] { Mark(area); });
    AddBinding({combo,
                area,
                plainLabel(label.isEmpty() ? group->title() : label),
                [combo, get] { combo->setCurrentIndex(get(*Config)); },
                {},
                [combo, set] { set(*Config, std::max(0, combo->currentIndex())); }});
    return combo;
}

QComboBox* TConfigPageWidget::AddTextCombo(QGroupBox* group, const char* name, const QString& label,
                                           const QStringList& items, TConfigArea area,
                                           std::function<std::string&(TKConfig&)> field)
{
    QComboBox* combo = AddCombo(group, name, label, items, area, {}, {});
    TConfigBinding& binding = bindings_.back();
    binding.Load = [combo, field] {
        const QString text = fromUtf16(AnsiToUtf16(field(*Config)));
        int index = combo->findText(text);
        if (index < 0) {
            combo->addItem(text);
            index = combo->count() - 1;
        }
        combo->setCurrentIndex(index);
    };
    binding.Store = [combo, field] { field(*Config) = Utf16ToAnsi(combo->currentText().toStdU16String()); };
    return combo;
}

QLineEdit* TConfigPageWidget::AddNumber(QGroupBox* group, const char* name, const QString& label, const QString& suffix,
                                        TConfigArea area, int64_t min, int64_t max,
                                        std::function<int64_t(const TKConfig&)> get,
                                        std::function<void(TKConfig&, int64_t)> set)
{
    auto* edit = new QLineEdit(group);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaximumWidth(110);
    AddRow(group, label, edit, suffix);
    edit->installEventFilter(new TNumberKeys(edit, [this, area] { Mark(area); }));
    const QString field = plainLabel(label.isEmpty() ? group->title() : label);
    auto parse = [edit, min, max](int64_t& value) {
        return ParseWholeNumber(edit->text().toStdU16String(), min, max, value);
    };
    AddBinding({edit, area, field, [edit, get] { edit->setText(QString::number(get(*Config))); },
                [edit, field, parse, min, max] {
                    int64_t value = 0;
                    const TNumberCheck check = parse(value);
                    return NumberMessage(field, edit->text().trimmed(), static_cast<int>(check), QString::number(min),
                                         QString::number(max));
                },
                // The field shows what the setting now holds (a clamped value).
                [edit, parse, get, set] {
                    int64_t value = 0;
                    if (parse(value) == TNumberCheck::Ok) {
                        set(*Config, value);
                        edit->setText(QString::number(get(*Config)));
                    }
                }});
    return edit;
}

QLineEdit* TConfigPageWidget::AddDecimal(QGroupBox* group, const char* name, const QString& label, TConfigArea area,
                                         double min, double max, std::function<float&(TKConfig&)> field)
{
    auto* edit = new QLineEdit(group);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaximumWidth(110);
    AddRow(group, label, edit);
    edit->installEventFilter(new TNumberKeys(edit, [this, area] { Mark(area); }));
    const QString name16 = plainLabel(label);
    auto parse = [edit, min, max](double& value) {
        return ParseDecimalNumber(edit->text().toStdU16String(), min, max, value);
    };
    AddBinding({edit, area, name16,
                [edit, field] { edit->setText(QString::number(static_cast<double>(field(*Config)), 'g', 7)); },
                [edit, name16, parse, min, max] {
                    double value = 0;
                    const TNumberCheck check = parse(value);
                    return NumberMessage(name16, edit->text().trimmed(), static_cast<int>(check), QString::number(min),
                                         QString::number(max));
                },
                [edit, parse, field] {
                    double value = 0;
                    if (parse(value) == TNumberCheck::Ok) {
                        field(*Config) = static_cast<float>(value);
                        edit->setText(QString::number(static_cast<double>(field(*Config)), 'g', 7));
                    }
                }});
    return edit;
}

QLineEdit* TConfigPageWidget::AddText(QGroupBox* group, const char* name, const QString& label, TConfigArea area,
                                      size_t maxLength, std::function<std::string&(TKConfig&)> field)
{
    auto* edit = new QLineEdit(group);
    edit->setObjectName(QString::fromLatin1(name));
    AddRow(group, label, edit);
    connect(edit, &QLineEdit::textChanged, this, [this, area] { Mark(area); });
    const QString fieldName = plainLabel(label);
    AddBinding(
        {edit, area, fieldName, [edit, field] { edit->setText(fromUtf16(AnsiToUtf16(field(*Config)))); },
         [edit, fieldName, maxLength] {
             const std::u16string text = edit->text().toStdU16String();
             if (AnsiToUtf16(Utf16ToAnsi(text)) != text)
                 return QStringLiteral("%1: only Western European characters can be stored here.").arg(fieldName);
             if (maxLength > 0 && text.size() > maxLength)
                 return QStringLiteral("%1: at most %2 characters.").arg(fieldName).arg(maxLength);
             return QString();
         },
         [edit, field] { field(*Config) = Utf16ToAnsi(edit->text().toStdU16String()); }});
    return edit;
}

QSpinBox* TConfigPageWidget::AddSpin(QGroupBox* group, const char* name, const QString& label, TConfigArea area,
                                     int min, int max, std::function<int(const TKConfig&)> get,
                                     std::function<void(TKConfig&, int)> set)
{
    auto* spin = new QSpinBox(group);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(min, max);
    AddRow(group, label, spin);
    connect(spin, &QSpinBox::valueChanged, this, [this, area] { Mark(area); });
    AddBinding({spin,
                area,
                plainLabel(label),
                [spin, get] { spin->setValue(get(*Config)); },
                {},
                [spin, set] { set(*Config, spin->value()); }});
    return spin;
}

QSlider* TConfigPageWidget::AddTrack(QGroupBox* group, const char* name, const QString& label, TConfigArea area,
                                     int min, int max, int tickInterval, std::function<int(const TKConfig&)> get,
                                     std::function<void(TKConfig&, int)> set)
{
    auto* slider = new QSlider(Qt::Horizontal, group);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(min, max);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(tickInterval);
    slider->setPageStep(tickInterval);
    AddRow(group, label, slider);
    connect(slider, &QSlider::valueChanged, this, [this, area] { Mark(area); });
    AddBinding({slider,
                area,
                plainLabel(label),
                [slider, get] { slider->setValue(get(*Config)); },
                {},
                [slider, set] { set(*Config, slider->value()); }});
    return slider;
}

} // namespace kolvarin
