// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_INKMANAGEMENT_H
#define VQTINTWELL_INKMANAGEMENT_H

#include <QDialog>
#include <QPoint>

#include <memory>

class DynamicLibLogger;

namespace Ui {
class InkManagement;
}

// The plug-in's main window: the device's inks with their remaining amounts,
// and the way to the refill history. It reads the ink list once, while it is
// being constructed, and is run modally by the launcher.
class InkManagement : public QDialog
{
    Q_OBJECT

public:
    explicit InkManagement(int reserved, QWidget* parent = nullptr);
    ~InkManagement() override;

    // True when the dialog was closed through one of its close buttons; the
    // launcher reports it to the host.
    bool closedByButton() const { return m_closedByButton; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private slots:
    void on_pushButton_close_clicked();
    void on_pushButton_inkRefillLog_clicked();

private:
    void init();
    void retranslate();
    void loadInkList();

    bool m_closedByButton = false;
    std::unique_ptr<Ui::InkManagement> ui;
    DynamicLibLogger* m_logger = nullptr;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

#endif
