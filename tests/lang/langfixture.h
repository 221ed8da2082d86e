#ifndef VQTINTWELL_TESTS_LANGFIXTURE_H
#define VQTINTWELL_TESTS_LANGFIXTURE_H

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTextCodec>
#include <QTimer>

// Each language test owns its application directory, so the Lang folder it
// writes there is its own.
namespace LangFixture {

inline QString appDir() { return QCoreApplication::applicationDirPath(); }
inline QString langDir() { return appDir() + QStringLiteral("/Lang"); }
inline void removeLangDir() { QDir(langDir()).removeRecursively(); }

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool writeCatalogue(const QByteArray& bytes) { return writeFile(langDir() + QStringLiteral("/Lang.ini"), bytes); }

// Encodes 'text' without the codec's own mark and puts 'mark' in front, so a
// test says exactly which bytes start the file.
inline QByteArray encode(const char* codecName, const QString& text, const QByteArray& mark = {})
{
    QTextCodec* codec = QTextCodec::codecForName(codecName);
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    return codec ? mark + codec->fromUnicode(text.constData(), text.size(), &state) : QByteArray();
}

inline QByteArray utf8WithMark(const QString& text) { return encode("UTF-8", text, QByteArrayLiteral("\xEF\xBB\xBF")); }

// Copies a compiled test translation into the language folder 'folder'; the
// marker "garbage" writes a file that is no translation at all.
inline bool installQm(const QString& folder, const QString& marker)
{
    const QString target = langDir() + QLatin1Char('/') + folder + QStringLiteral("/VqTintwell.qm");
    if (marker == QLatin1String("garbage"))
        return writeFile(target, QByteArrayLiteral("this is not a compiled translation"));
    QFile source(QStringLiteral(VQ_LANG_TEST_DATA "/") + marker + QStringLiteral(".qm"));
    return source.open(QIODevice::ReadOnly) && writeFile(target, source.readAll());
}

// Message boxes run their own event loop; while one lives, this polls the
// top-level widgets, records each box as "W|title|text" or "C|title|text" and
// closes it through Ok. Every box must be parentless, modal and have Ok as
// its only button; one that isn't is recorded as malformed.
class BoxCatcher : public QObject
{
public:
    QStringList seen;

    BoxCatcher()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const auto widgets = QApplication::topLevelWidgets();
            for (QWidget* widget : widgets) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (!box || !box->isVisible())
                    continue;
                const bool wellFormed = !box->parentWidget() && box->isModal()
                    && box->standardButtons() == QMessageBox::Ok && box->buttons().size() == 1;
                const char* kind = box->icon() == QMessageBox::Warning ? "W"
                    : box->icon() == QMessageBox::Critical ? "C" : "?";
                seen.append(QLatin1String(wellFormed ? "" : "malformed:") + QLatin1String(kind) + QLatin1Char('|')
                            + box->windowTitle() + QLatin1Char('|') + box->text());
                if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                    ok->click();
                else
                    box->done(0); // already recorded as malformed; must not hang
            }
        });
        m_timer.start(5);
    }

private:
    QTimer m_timer;
};

} // namespace LangFixture

#endif
