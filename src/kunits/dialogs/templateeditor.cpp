#include "dialogs/templateeditor.h"

#include <filesystem>
#include <functional>

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/text/ktemplates.h"
#include "dialogs/captionstrip.h"

namespace kolvarin {

TfrmTemplateEditor::TfrmTemplateEditor(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmTemplateEditor"));
    setWindowTitle(QStringLiteral("Template editor"));
    ApplyDialogPalette(this);
    setStyleSheet(QStringLiteral(
        "QPlainTextEdit { background: #1D2026; border: 1px solid #343A46; border-radius: 4px; color: #E4E7EC; }"
        "QPushButton { background: #2C313B; border: 1px solid #343A46; border-radius: 4px; padding: 5px 16px;"
        " color: #E4E7EC; min-width: 64px; }"
        "QPushButton:hover { background: #343A46; }"
        "QPushButton#btnOK { background: #2E9BD6; border-color: #2E9BD6; color: #FFFFFF; }"
        "QLabel#lblHelpText { color: #9AA3B2; }"));
    resize(DesignedSize({334, 372}, font()));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 1, 1, 1);
    outer->setSpacing(0);
    auto* strip = new TCaptionStrip(this);
    strip->setFixedHeight(28);
    outer->addWidget(strip);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(14, 12, 14, 12);
    body->setSpacing(8);
    outer->addLayout(body, 1);
    body->addWidget(new QLabel(QStringLiteral("Template text:"), this));
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("tmemTemplateText"));
    body->addWidget(memo_, 1);
    auto* help = new QLabel(QStringLiteral("Help: the placeholders are replaced where the text is shown.\n"
                                           "%FILENAME%  the file name\n%CAPTION%  the playlist caption\n"
                                           "%TIME%  the length\n%STREAMINFOS%  a line per stream"),
                            this);
    help->setObjectName(QStringLiteral("lblHelpText"));
    help->setWordWrap(true);
    body->addWidget(help);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("btnOK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    body->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

std::u16string TfrmTemplateEditor::TemplateText() const { return memo_->toPlainText().toStdU16String(); }

void TfrmTemplateEditor::SetTemplateText(const std::u16string& text)
{
    memo_->setPlainText(QString::fromStdU16String(text));
}

std::string EditTemplate(TKTemplateLoader& tmpl, const std::string& fileName, QWidget* parent,
                         const std::function<bool(TfrmTemplateEditor&)>& runModal)
{
    TfrmTemplateEditor editor(parent);
    // The memo shows line breaks as typed; the template keeps them as CR LF.
    std::u16string shown = tmpl.Text;
    for (size_t at = shown.find(u"\r\n"); at != std::u16string::npos; at = shown.find(u"\r\n", at))
        shown.erase(at, 1);
    editor.SetTemplateText(shown);
    if (!(runModal ? runModal(editor) : editor.exec() == QDialog::Accepted))
        return {};
    std::u16string text;
    for (char16_t c : editor.TemplateText()) {
        if (c == u'\n')
            text += u'\r';
        text += c;
    }
    tmpl.Text = std::move(text);
    try {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(fileName).parent_path(), ec);
        tmpl.SaveToFile(fileName);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

} // namespace kolvarin
