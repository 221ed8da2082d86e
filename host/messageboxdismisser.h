#ifndef TINTWELLHOST_MESSAGEBOXDISMISSER_H
#define TINTWELLHOST_MESSAGEBOXDISMISSER_H

#include <QObject>
#include <QTimer>

// Closes every message box that appears, after copying its text to standard
// error. A run without anyone at the screen would otherwise wait for ever on
// a box the plug-in shows, such as a missing translation.
class MessageBoxDismisser : public QObject
{
    Q_OBJECT

public:
    explicit MessageBoxDismisser(QObject* parent = nullptr);

private:
    void dismissVisible();

    QTimer m_timer;
};

#endif
