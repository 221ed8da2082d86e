// SPDX-License-Identifier: MIT
#include "hostwindow.h"

#include "inkhost.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextCodec>
#include <QTime>

#include <cstdio>

namespace {

QString catalogue()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Lang/Lang.ini");
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// The host's catalogue as the plug-in reads it: UTF-16LE or UTF-8 after
// their byte-order marks, GB2312 without one. The text keeps everything
// after the mark, a second mark included, so that writing it back in the
// same codec after the same mark gives the same bytes.
struct Catalogue
{
    QByteArray mark;
    QTextCodec* codec = nullptr;
    QString text;

    static Catalogue read()
    {
        QFile file(catalogue());
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        Catalogue result;
        for (const char* mark : {"\xFF\xFE", "\xEF\xBB\xBF"})
            if (bytes.startsWith(mark))
                result.mark = mark;
        result.codec = QTextCodec::codecForName(result.mark == "\xFF\xFE"   ? "UTF-16LE"
                                                    : result.mark.isEmpty() ? "GB2312"
                                                                            : "UTF-8");
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        const QByteArray body = bytes.mid(result.mark.size());
        result.text = result.codec->toUnicode(body.constData(), body.size(), &state);
        return result;
    }

    // Replaces the catalogue at once, or leaves it as it was.
    bool write(QString* error) const
    {
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        QSaveFile file(catalogue());
        if (file.open(QIODevice::WriteOnly) && file.write(mark) == mark.size()
            && file.write(codec->fromUnicode(text.constData(), text.size(), &state)) >= 0 && file.commit())
            return true;
        *error = file.errorString();
        return false;
    }
};

} // namespace

HostWindow::HostWindow(ITintwell* plugin, InkHost* host, const QString& deviceName)
    : m_plugin(plugin)
    , m_host(host)
    , m_languages(new QComboBox)
    , m_log(new QPlainTextEdit)
{
    setWindowTitle(QStringLiteral("Tintwell reference host"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    const DeviceModel& device = host->device();
    layout->addWidget(new QLabel(QStringLiteral("Device: %1, %2 inks, ink limited: %3, %4 refills")
                                     .arg(deviceName)
                                     .arg(device.inks.size())
                                     .arg(boolText(device.limited))
                                     .arg(device.refills.size())));
    auto* buttons = new QHBoxLayout;
    auto* overWindow = new QPushButton(QStringLiteral("Open over native window"));
    auto* insideWidget = new QPushButton(QStringLiteral("Open inside widget"));
    connect(overWindow, &QPushButton::clicked, this, &HostWindow::openOverNativeWindow);
    connect(insideWidget, &QPushButton::clicked, this, &HostWindow::openInsideWidget);
    buttons->addWidget(overWindow);
    buttons->addWidget(insideWidget);
    buttons->addStretch();
    buttons->addWidget(new QLabel(QStringLiteral("Plug-in language:")));
    buttons->addWidget(m_languages);
    layout->addLayout(buttons);
    m_log->setReadOnly(true);
    layout->addWidget(m_log, 1);
    setCentralWidget(central);
    resize(720, 460);

    // The host ships its own catalogue, so it knows the languages to offer.
    const QString text = Catalogue::read().text;
    const QRegularExpression name(QStringLiteral("^LANG(\\d+)_NAME=(.*)$"), QRegularExpression::MultilineOption);
    for (auto it = name.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        m_languages->addItem(match.captured(2).trimmed(), match.captured(1).toInt());
    }
    const QRegularExpressionMatch chosen =
        QRegularExpression(QStringLiteral("^DEFAULT=(\\d+)"), QRegularExpression::MultilineOption).match(text);
    m_languages->setCurrentIndex(m_languages->findData(chosen.captured(1).toInt()));
    connect(m_languages, QOverload<int>::of(&QComboBox::activated), this,
            [this](int index) { chooseLanguage(m_languages->itemData(index).toInt()); });
    connect(host, &InkHost::logLine, m_log, &QPlainTextEdit::appendPlainText);
}

bool HostWindow::chooseLanguage(int id)
{
    Catalogue file = Catalogue::read();
    const QRegularExpression line(QStringLiteral("^DEFAULT=\\d*"), QRegularExpression::MultilineOption);
    const int index = m_languages->findData(id);
    if (index < 0 || !file.text.contains(line)) {
        report(QStringLiteral("%1 offers no language %2").arg(catalogue()).arg(id));
        return false;
    }
    // Only the DEFAULT line changes; the rest stays byte for byte.
    file.text.replace(line, QStringLiteral("DEFAULT=%1").arg(id));
    QString error;
    if (!file.write(&error)) {
        report(QStringLiteral("cannot write %1: %2").arg(catalogue(), error));
        return false;
    }
    m_languages->setCurrentIndex(index);
    // The plug-in reads the catalogue again on every SetHost.
    report(QStringLiteral("Language %1; SetHost returned %2")
               .arg(m_languages->itemText(index), boolText(m_plugin->SetHost(m_host))));
    return true;
}

bool HostWindow::openOverNativeWindow()
{
    // Off Windows the plug-in takes a handle for the WId of a window of this
    // process, which is what winId() gives everywhere.
    const bool result = m_plugin->ShowForWindow(reinterpret_cast<HWND>(winId()), 0);
    report(QStringLiteral("ShowForWindow returned %1").arg(boolText(result)));
    m_host->checkAllReturned();
    return result;
}

bool HostWindow::openInsideWidget()
{
    const bool result = m_plugin->ShowForWidget(this, 0);
    report(QStringLiteral("ShowForWidget returned %1").arg(boolText(result)));
    m_host->checkAllReturned();
    return result;
}

void HostWindow::report(const QString& line)
{
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
    m_log->appendPlainText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss  ")) + line);
}
