// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_INKREFILLLOG_H
#define VQTINTWELL_INKREFILLLOG_H

#include <QDialog>
#include <QPoint>

#include <memory>

namespace Ui {
class InkRefillLog;
}

// The device's refill history, newest first. It reads the history once, while
// it is being constructed, and is run modally over the ink management window.
class InkRefillLog : public QDialog
{
    Q_OBJECT

public:
    explicit InkRefillLog(QWidget* parent = nullptr);
    ~InkRefillLog() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private slots:
    void on_pushButton_close_clicked();

private:
    void retranslate();
    void loadRefillLog();

    std::unique_ptr<Ui::InkRefillLog> ui;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

#endif
