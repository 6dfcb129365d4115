#pragma once

#include <bitset>
#include <functional>
#include <vector>

#include <QFont>
#include <QString>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QWidget>

#include "core/settings/kconfig.h"
#include "dialogs/configtypes.h"

class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;

namespace kolvarin {

using TConfigAreas = std::bitset<kConfigAreaCount>;

// A field whose text Apply refuses, with the message shown at it.
struct TFieldError {
    QWidget* Control;
    QString Message;
};

// One control bound to settings: how it loads from Config, checks its text
// and stores into Config. Check is empty for controls that cannot hold a
// wrong value.
struct TConfigBinding {
    QWidget* Control;
    TConfigArea Area;
    QString Label; // names the field in messages
    std::function<void()> Load;
    std::function<QString()> Check; // empty text: accepted
    std::function<void()> Store;
};

// A page of the configuration dialog. Built when it is first shown; its
// controls load from Config when built and at every showing of the dialog,
// mark their area when the user changes them, and reach Config only through
// Store, which Apply calls area by area after Validate found nothing to
// refuse. Main thread only; Config must exist while a page does.
class TConfigPageWidget : public QWidget {
public:
    using MarkFunction = std::function<void(TConfigArea)>;

    TConfigPageWidget(TConfigPage page, MarkFunction mark, QWidget* parent = nullptr);

    TConfigPage Page() const { return page_; }
    const std::vector<TConfigBinding>& Bindings() const { return bindings_; }

    // Loads every control from Config without marking anything.
    virtual void Load();
    // Appends an error for every refused field of a marked area.
    virtual void Validate(const TConfigAreas& marked, std::vector<TFieldError>& errors) const;
    // Stores the controls of one area into Config; Validate accepted them.
    virtual void Store(TConfigArea area);

protected:
    // Marks an area unless the page is loading.
    void Mark(TConfigArea area);
    bool Loading() const { return loading_; }
    void AddBinding(TConfigBinding binding) { bindings_.push_back(std::move(binding)); }

    // A titled group in column 0 or 1 of the page; rows go below each other.
    // Name is the design's name of what shows the caption (or null).
    QGroupBox* AddGroup(const char* name, int caption, int column = 0);
    // A stretch under the groups of a column, so they stand at the top.
    void FinishColumns();
    // A row of a label and a control in a group.
    void AddRow(QGroupBox* group, const QString& label, QWidget* control, const QString& suffix = {});
    // Give the label of a control's row, or the unit text after the control,
    // the design's name, by which the language texts are found.
    static void NameLabel(QWidget* control, const char* name);
    static QLabel* NameSuffix(QWidget* control, const char* name);

    QCheckBox* AddCheck(QGroupBox* group, const char* name, int caption, TConfigArea area,
                        std::function<bool&(TKConfig&)> field);
    // Radio buttons of language texts, named Name_0, Name_1 ...; Get and
    // Set map the checked index.
    QButtonGroup* AddChoice(QGroupBox* group, const char* name, std::initializer_list<int> items, TConfigArea area,
                            std::function<int(const TKConfig&)> get, std::function<void(TKConfig&, int)> set);
    QComboBox* AddCombo(QGroupBox* group, const char* name, const QString& label, const QStringList& items,
                        TConfigArea area, std::function<int(const TKConfig&)> get,
                        std::function<void(TKConfig&, int)> set);
    // One of fixed names stored as text; a stored name the list lacks is
    // added, so storing keeps it.
    QComboBox* AddTextCombo(QGroupBox* group, const char* name, const QString& label, const QStringList& items,
                            TConfigArea area, std::function<std::string&(TKConfig&)> field);
    // A whole number Min..Max, refused otherwise with a message naming Label.
    QLineEdit* AddNumber(QGroupBox* group, const char* name, const QString& label, const QString& suffix,
                         TConfigArea area, int64_t min, int64_t max, std::function<int64_t(const TKConfig&)> get,
                         std::function<void(TKConfig&, int64_t)> set);
    QLineEdit* AddDecimal(QGroupBox* group, const char* name, const QString& label, TConfigArea area, double min,
                          double max, std::function<float&(TKConfig&)> field);
    // An 8-bit text of at most MaxLength characters: a character outside
    // Windows-1252 is refused, as the settings could not hold it.
    QLineEdit* AddText(QGroupBox* group, const char* name, const QString& label, TConfigArea area, size_t maxLength,
                       std::function<std::string&(TKConfig&)> field);
    QSpinBox* AddSpin(QGroupBox* group, const char* name, const QString& label, TConfigArea area, int min, int max,
                      std::function<int(const TKConfig&)> get, std::function<void(TKConfig&, int)> set);
    QSlider* AddTrack(QGroupBox* group, const char* name, const QString& label, TConfigArea area, int min, int max,
                      int tickInterval, std::function<int(const TKConfig&)> get,
                      std::function<void(TKConfig&, int)> set);

    // Language text at a record position.
    static QString Text(int position);

private:
    TConfigPage page_;
    MarkFunction mark_;
    bool loading_ = false;
    std::vector<TConfigBinding> bindings_;
    QBoxLayout* columns_[2] = {};
    int groups_[2] = {};
};

// The rows of the dialog's tables (graph types, hot keys) as the player
// draws them: the chosen row navy with white text, the others white with
// black text (or the row's own foreground colour, which marks a conflict),
// in Tahoma 8; the first column's text stands 5 pixels in, the others at
// their column's left edge.
class TListRowDelegate : public QStyledItemDelegate {
public:
    explicit TListRowDelegate(QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QFont font_;
};

// The message for a refused number field.
QString NumberMessage(const QString& label, const QString& text, int check, const QString& min, const QString& max);

} // namespace kolvarin
