#ifndef VQTINTWELL_TESTS_LANGFIXTURE_H
#define VQTINTWELL_TESTS_LANGFIXTURE_H

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTextCodec>
#include <QTimer>
#include <QVector>

// Each language test owns its application directory, so the Lang folder it
// writes there is its own.
namespace LangFixture {

inline QString appDir()
{
    return QCoreApplication::applicationDirPath();
}

inline QString langDir()
{
    return appDir() + QStringLiteral("/Lang");
}

inline QString qmPath(const QString& folder)
{
    return langDir() + QLatin1Char('/') + folder + QStringLiteral("/VqTintwell.qm");
}

inline void removeLangDir()
{
    QDir(langDir()).removeRecursively();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool writeCatalogue(const QByteArray& bytes)
{
    return writeFile(langDir() + QStringLiteral("/Lang.ini"), bytes);
}

// Encodes 'text' without the codec's own mark, then puts 'mark' in front, so
// that a test says exactly which bytes start the file.
inline QByteArray encode(const char* codecName, const QString& text, const QByteArray& mark = {})
{
    QTextCodec* codec = QTextCodec::codecForName(codecName);
    if (!codec)
        return {};
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    return mark + codec->fromUnicode(text.constData(), text.size(), &state);
}

inline QByteArray utf8WithMark(const QString& text)
{
    return encode("UTF-8", text, QByteArrayLiteral("\xEF\xBB\xBF"));
}

// Copies a compiled translation into the language folder 'folder'; the
// marker "garbage" writes a file that is no translation at all.
inline bool installQm(const QString& folder, const QString& marker)
{
    if (marker == QLatin1String("garbage"))
        return writeFile(qmPath(folder), QByteArrayLiteral("this is not a compiled translation"));
    QFile source(QStringLiteral(VQ_LANG_TEST_DATA) + QLatin1Char('/') + marker + QStringLiteral(".qm"));
    if (!source.open(QIODevice::ReadOnly))
        return false;
    return writeFile(qmPath(folder), source.readAll());
}

struct SeenBox
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    int buttonCount = 0;
    bool parentless = false;
    bool modal = false;

    // "W|Warning|text" or "C|Error|text", the form the tests expect them in.
    QString summary() const
    {
        const QString kind = icon == QMessageBox::Warning ? QStringLiteral("W")
            : icon == QMessageBox::Critical               ? QStringLiteral("C")
                                                          : QStringLiteral("?");
        return kind + QLatin1Char('|') + title + QLatin1Char('|') + text;
    }
};

// Message boxes run their own event loop; while one lives, this polls the
// top-level widgets from a timer, records every box it finds and closes it
// through its Ok button, so the code under test carries on.
class BoxCatcher : public QObject
{
public:
    BoxCatcher()
    {
        connect(&m_timer, &QTimer::timeout, this, &BoxCatcher::poll);
        m_timer.start(5);
    }

    QVector<SeenBox> seen;

    QStringList summaries() const
    {
        QStringList list;
        for (const SeenBox& box : seen)
            list.append(box.summary());
        return list;
    }

private:
    void poll()
    {
        const auto widgets = QApplication::topLevelWidgets();
        for (QWidget* widget : widgets) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible())
                continue;
            SeenBox record;
            record.icon = box->icon();
            record.title = box->windowTitle();
            record.text = box->text();
            record.buttons = box->standardButtons();
            record.buttonCount = box->buttons().size();
            record.parentless = box->parentWidget() == nullptr;
            record.modal = box->isModal();
            seen.append(record);
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->done(0); // a box without Ok is a fault too, but mustn't hang
        }
    }

    QTimer m_timer;
};

} // namespace LangFixture

#endif
