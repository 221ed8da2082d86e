#include "hostwindow.h"

#include "inkhost.h"
#include "languagecatalogue.h"

#include "plugin/vqtintwell.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTime>
#include <QVBoxLayout>

#include <cstdio>

namespace {

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

HostWindow::HostWindow(ITintwell* plugin, InkHost* host, LanguageCatalogue* catalogue,
                       const QString& deviceSource, QWidget* parent)
    : QMainWindow(parent)
    , m_plugin(plugin)
    , m_host(host)
    , m_catalogue(catalogue)
{
    setObjectName(QStringLiteral("HostWindow"));
    setWindowTitle(QStringLiteral("Tintwell reference host"));
    setCentralWidget(createControls(deviceSource));
    resize(720, 460);

    connect(m_host, &InkHost::logLine, this, [this](const QString& line) {
        appendToPanel(QStringLiteral("plug-in log: ") + line);
    });
    connect(m_host, &InkHost::contractProblem, this, [this](const QString& message) {
        appendToPanel(QStringLiteral("CONTRACT: ") + message);
    });
    fillLanguages();
}

QWidget* HostWindow::createControls(const QString& deviceSource)
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    const DeviceModel& model = m_host->model();
    auto* device = new QLabel(central);
    device->setObjectName(QStringLiteral("label_device"));
    device->setText(QStringLiteral("Device: %1\n%2 inks, ink limited: %3, %4 refills in the history\n"
                                   "GetInkList fails: %5, GetRefillLog fails: %6")
                        .arg(deviceSource)
                        .arg(model.inks.size())
                        .arg(yesNo(model.limited))
                        .arg(model.refillLog.size())
                        .arg(yesNo(model.failInkList), yesNo(model.failRefillLog)));
    layout->addWidget(device);

    auto* buttons = new QHBoxLayout;
    auto* overWindow = new QPushButton(QStringLiteral("Open over native window"), central);
    overWindow->setObjectName(QStringLiteral("pushButton_showForWindow"));
    connect(overWindow, &QPushButton::clicked, this, &HostWindow::openOverNativeWindow);
    buttons->addWidget(overWindow);
    auto* insideWidget = new QPushButton(QStringLiteral("Open inside widget"), central);
    insideWidget->setObjectName(QStringLiteral("pushButton_showForWidget"));
    connect(insideWidget, &QPushButton::clicked, this, &HostWindow::openInsideWidget);
    buttons->addWidget(insideWidget);
    buttons->addStretch();
    buttons->addWidget(new QLabel(QStringLiteral("Plug-in language:"), central));
    m_languages = new QComboBox(central);
    m_languages->setObjectName(QStringLiteral("comboBox_language"));
    connect(m_languages, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &HostWindow::chooseLanguage);
    buttons->addWidget(m_languages);
    layout->addLayout(buttons);

    m_log = new QPlainTextEdit(central);
    m_log->setObjectName(QStringLiteral("plainTextEdit_log"));
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(5000);
    layout->addWidget(m_log, 1);
    return central;
}

bool HostWindow::openOverNativeWindow()
{
    report(QStringLiteral("ShowForWindow(main window, 0) ..."));
    // Off Windows the plug-in takes a handle to be the WId of a window of
    // this process, which is what winId() gives on every platform.
    const bool result = m_plugin->ShowForWindow(reinterpret_cast<HWND>(winId()), 0);
    report(QStringLiteral("ShowForWindow returned %1").arg(boolText(result)));
    m_host->checkAllReturned();
    return result;
}

bool HostWindow::openInsideWidget()
{
    report(QStringLiteral("ShowForWidget(main window, 0) ..."));
    const bool result = m_plugin->ShowForWidget(this, 0);
    report(QStringLiteral("ShowForWidget returned %1").arg(boolText(result)));
    m_host->checkAllReturned();
    return result;
}

void HostWindow::report(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
    appendToPanel(line);
}

void HostWindow::fillLanguages()
{
    const QSignalBlocker blocker(m_languages);
    m_languages->clear();
    if (!m_catalogue || m_catalogue->languages().isEmpty()) {
        m_languages->addItem(QStringLiteral("(no catalogue)"));
        m_languages->setEnabled(false);
        return;
    }
    const auto languages = m_catalogue->languages();
    for (const LanguageCatalogue::Language& language : languages) {
        m_languages->addItem(language.name, language.id);
        if (language.id == m_catalogue->defaultId())
            m_languages->setCurrentIndex(m_languages->count() - 1);
    }
}

void HostWindow::chooseLanguage(int index)
{
    if (!m_catalogue || index < 0)
        return;
    const int id = m_languages->itemData(index).toInt();
    QString error;
    if (!m_catalogue->setDefaultId(id, &error)) {
        report(error);
        fillLanguages();
        return;
    }
    // The plug-in reads the catalogue again on every SetHost.
    const bool result = m_plugin->SetHost(m_host);
    report(QStringLiteral("Language %1 (%2) set in %3; SetHost returned %4")
               .arg(m_languages->itemText(index))
               .arg(id)
               .arg(m_catalogue->path(), boolText(result)));
}

void HostWindow::appendToPanel(const QString& line)
{
    m_log->appendPlainText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss  ")) + line);
}
