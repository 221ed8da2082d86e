// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_FOCUSMARK_H
#define VQTINTWELL_FOCUSMARK_H

#include <QObject>

class QWidget;

// Shows which push button of a window has the keyboard focus only while the
// operator works the window with the keyboard, as desktops show focus cues:
// a key pressed in the window brings the mark, a mouse press takes it away
// again. A window opened, or a button clicked, with the mouse keeps the
// plain look. The style sheet draws the mark on the focused button whose
// property "keyboardFocus" is true.
class FocusMark : public QObject
{
    Q_OBJECT

public:
    // Watches 'window' and its push buttons; 'window' owns the mark.
    explicit FocusMark(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setShown(bool shown);

    QWidget* m_window;
    bool m_shown = false;
};

#endif
