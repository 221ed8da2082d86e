// SPDX-License-Identifier: MIT
// A minimal host of the VqTintwell plug-in: a device with two inks and one
// refill, the library loaded from beside the executable, and the ink
// management window opened over a window of the host's.
//
// With --auto-close it needs no one at the screen: it closes the window
// through its own button and exits 0 when the show call reported that, and
// every array came back; 1 otherwise.
#include <vqtintwell/vqtintwellloader.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// Each fill call hands out a new array; the plug-in gives every one back
// through FreeRecords.
class MinimalInkHost : public IInkHost
{
public:
    void WriteLog(const char* line) override { std::printf("plug-in log: %s\n", line); }
    void FreeRecords(InkRecord* records) override
    {
        m_outstanding -= records ? 1 : 0;
        delete[] records;
    }
    bool IsInkLimited() override { return true; }
    bool GetInkList(InkRecordList* list) override { return fill(list, 2); }
    bool GetRefillLog(InkRecordList* list) override { return fill(list, 1); }

    int outstanding() const { return m_outstanding; }

private:
    bool fill(InkRecordList* list, int count)
    {
        const char* const names[] = {"Cyan", "Black"};
        list->records = new InkRecord[count]();
        list->count = count;
        ++m_outstanding;
        for (int i = 0; i < count; ++i) {
            // The local 8-bit code page; plain ASCII reads the same in all.
            std::strcpy(list->records[i].name, names[i]);
            list->records[i].amount = 250.0 / (i + 1);
            list->records[i].year = 2025, list->records[i].month = 12, list->records[i].day = 1;
        }
        return true;
    }

    int m_outstanding = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    MinimalInkHost host; // outlives the interface object it is handed to
    VqTintwellLoader tintwell;
    if (!tintwell.load(QApplication::applicationDirPath() + QStringLiteral("/VqTintwell"))) {
        std::fprintf(stderr, "%s\n", qPrintable(tintwell.errorString()));
        return 1;
    }
    tintwell->SetHost(&host); // also loads the translation named by Lang/Lang.ini

    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal host"));
    window.show();
    if (app.arguments().contains(QStringLiteral("--auto-close"))) {
        // The window is modal: a timer started before the call reaches it.
        auto* closer = new QTimer(&window);
        QObject::connect(closer, &QTimer::timeout, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                if (auto* close = dialog->findChild<QPushButton*>(QStringLiteral("pushButton_close")))
                    close->click();
        });
        closer->start(50);
    }
    const bool closedByButton = tintwell->ShowForWidget(&window, 0);
    std::printf("ShowForWidget returned %s\n", closedByButton ? "true" : "false");
    return closedByButton && host.outstanding() == 0 ? 0 : 1;
}
