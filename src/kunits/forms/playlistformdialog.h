#pragma once

#include <initializer_list>

#include <QString>
#include <QWidget>

#include "core/text/klanguage.h"
#include "forms/applylanguage.h"

class QBoxLayout;
class QPushButton;

namespace kolvarin {

// What the playlist's tool windows (search, add URL, add disc, edit entry)
// share: a tool window, shown non-modally, whose hiding trims the working
// set, with its buttons in a row at the bottom right. Main thread only.
class TKPlaylistDialog : public QWidget {
public:
    explicit TKPlaylistDialog(const char* name, QWidget* parent = nullptr);

protected:
    void hideEvent(QHideEvent* event) override;
    // The buttons right-aligned in a row under the layout; the first is
    // the default button, a button named cancel hides the window.
    void AddButtonRow(QBoxLayout& layout, std::initializer_list<QPushButton*> buttons, QPushButton* cancel);
};

} // namespace kolvarin
