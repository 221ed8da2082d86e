// SPDX-License-Identifier: MIT
#include "dialogs/focusmark.h"

#include <QEvent>
#include <QPushButton>
#include <QStyle>
#include <QVariant>

namespace {

constexpr char Property[] = "keyboardFocus";

} // namespace

FocusMark::FocusMark(QWidget* window)
    : QObject(window)
    , m_window(window)
{
    window->installEventFilter(this);
    const auto buttons = window->findChildren<QPushButton*>();
    for (QPushButton* button : buttons)
        button->installEventFilter(this);
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        setShown(true);
        break;
    case QEvent::MouseButtonPress:
        setShown(false);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void FocusMark::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    // A style sheet reads a property when it polishes a widget, so each
    // button is polished again.
    const auto buttons = m_window->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        button->setProperty(Property, shown);
        button->style()->unpolish(button);
        button->style()->polish(button);
    }
}
