#pragma once

#include <string>

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace kolvarin {

class TKTemplateLoader;

// The small editor of the two media-information templates: the template's
// text with a help text on its placeholders, "OK" and "Cancel". Main thread.
class TfrmTemplateEditor : public QDialog {
public:
    explicit TfrmTemplateEditor(QWidget* parent = nullptr);

    // The editor's whole text (UTF-16, line breaks as typed).
    std::u16string TemplateText() const;
    void SetTemplateText(const std::u16string& text);

    QPlainTextEdit* tmemTemplateText() const { return memo_; }
    QPushButton* btnOK() const { return ok_; }
    QPushButton* btnCancel() const { return cancel_; }

private:
    QPlainTextEdit* memo_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Lets the user edit a template: on OK its text becomes the template's and
// is saved at once to FileName; Cancel changes nothing. RunModal shows the
// editor and says whether OK closed it (tests drive the editor through it).
// Returns an error text when saving failed (the template then keeps the
// new text in memory), else empty.
std::string EditTemplate(TKTemplateLoader& tmpl, const std::string& fileName, QWidget* parent,
                         const std::function<bool(TfrmTemplateEditor&)>& runModal);

} // namespace kolvarin
