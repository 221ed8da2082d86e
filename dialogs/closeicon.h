// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_CLOSEICON_H
#define VQTINTWELL_CLOSEICON_H

#include <QObject>

class QAbstractButton;

// Gives the close button of a title bar its cross from one icon that the
// whole process shares. Qt caches the scaled pixmaps of an icon in the
// process-wide pixmap cache under the serial number of the icon's own
// pixmap, and both the form's icon and the style sheet's image would load
// the cross anew for every window: each opening would leave entries there
// that nothing asks for again, pushing out the host's own. The sheet still
// paints the button, only its image is taken over: the cross goes on top,
// where the sheet would draw it.
class CloseIcon : public QObject
{
    Q_OBJECT

public:
    // 'button' owns the CloseIcon.
    explicit CloseIcon(QAbstractButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

#endif
