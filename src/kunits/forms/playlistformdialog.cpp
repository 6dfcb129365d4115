#include "forms/playlistformdialog.h"

#include <QBoxLayout>
#include <QPushButton>

#include "playback/ksystem.h"

namespace kolvarin {

TKPlaylistDialog::TKPlaylistDialog(const char* name, QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QString::fromLatin1(name));
}

void TKPlaylistDialog::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (PlaySystem)
        PlaySystem->SwapMemory();
}

void TKPlaylistDialog::AddButtonRow(QBoxLayout& layout, std::initializer_list<QPushButton*> buttons,
                                    QPushButton* cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons)
        row->addWidget(button);
    layout.addLayout(row);
    if (buttons.size() > 0)
        (*buttons.begin())->setDefault(true);
    if (cancel)
        connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
}

} // namespace kolvarin
