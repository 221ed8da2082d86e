#include "languagecatalogue.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextCodec>

namespace {

const QString languageSection = QStringLiteral("LANG_MGR");
const QString defaultKey = QStringLiteral("DEFAULT");

enum class LineKind { Blank, Section, Key };

struct Line
{
    LineKind kind = LineKind::Blank;
    QString section; // for a section header
    QString key;     // for a key line
    QString value;
};

// Same reading rules as the plug-in, so both agree on what the file says.
Line classify(const QString& raw)
{
    Line line;
    const QString text = raw.trimmed();
    if (text.isEmpty() || text.startsWith(QLatin1Char(';')) || text.startsWith(QLatin1Char('#')))
        return line;
    if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']'))) {
        line.kind = LineKind::Section;
        line.section = text.mid(1, text.size() - 2);
        return line;
    }
    const int equals = text.indexOf(QLatin1Char('='));
    if (equals < 1)
        return line;
    line.kind = LineKind::Key;
    line.key = text.left(equals).trimmed();
    line.value = text.mid(equals + 1).trimmed();
    return line;
}

} // namespace

LanguageCatalogue::LanguageCatalogue(const QString& path)
    : m_path(path)
{
}

QString LanguageCatalogue::defaultPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Lang/Lang.ini");
}

bool LanguageCatalogue::read(QString* error)
{
    Text text;
    if (!load(&text, error))
        return false;
    parse(text);
    return true;
}

bool LanguageCatalogue::setDefaultId(int id, QString* error)
{
    Text text;
    if (!load(&text, error))
        return false;

    const QString value = QString::number(id);
    bool inSection = false;
    int headerLine = -1;
    bool replaced = false;
    for (int i = 0; i < text.lines.size(); ++i) {
        QString& raw = text.lines[i];
        const Line line = classify(raw);
        if (line.kind == LineKind::Section) {
            inSection = line.section == languageSection;
            if (inSection && headerLine < 0)
                headerLine = i;
        } else if (line.kind == LineKind::Key && inSection && line.key == defaultKey) {
            // Keep the indentation and the line end; the plug-in takes the
            // last DEFAULT, so every one of them gets the new value.
            const int equals = raw.indexOf(QLatin1Char('='));
            const bool cr = raw.endsWith(QLatin1Char('\r'));
            raw = raw.left(equals + 1) + value + (cr ? QStringLiteral("\r") : QString());
            replaced = true;
        }
    }
    if (!replaced) {
        if (headerLine < 0) {
            *error = QStringLiteral("%1: no [%2] section").arg(m_path, languageSection);
            return false;
        }
        const bool cr = text.lines.at(headerLine).endsWith(QLatin1Char('\r'));
        text.lines.insert(headerLine + 1,
                          defaultKey + QLatin1Char('=') + value + (cr ? QStringLiteral("\r") : QString()));
    }

    QSaveFile file(m_path);
    const QByteArray bytes = text.mark
        + QTextCodec::codecForName(text.codec)->fromUnicode(text.lines.join(QLatin1Char('\n')));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("%1: cannot write: %2").arg(m_path, file.errorString());
        return false;
    }
    parse(text);
    return true;
}

bool LanguageCatalogue::load(Text* text, QString* error) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: cannot read the language catalogue: %2")
                     .arg(m_path, file.errorString());
        return false;
    }
    QByteArray bytes = file.readAll();
    // The plug-in decides the encoding by the byte-order mark alone.
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text->mark = bytes.left(3);
        text->codec = "UTF-8";
    } else if (bytes.startsWith("\xFF\xFE")) {
        text->mark = bytes.left(2);
        text->codec = "UTF-16LE";
    } else {
        text->codec = "GB2312";
    }
    bytes.remove(0, text->mark.size());
    const QTextCodec* codec = QTextCodec::codecForName(text->codec);
    if (!codec) {
        *error = QStringLiteral("%1: this Qt has no %2 codec").arg(m_path, QString::fromLatin1(text->codec));
        return false;
    }
    text->lines = codec->toUnicode(bytes).split(QLatin1Char('\n'));
    return true;
}

void LanguageCatalogue::parse(const Text& text)
{
    struct Entry
    {
        QString name;
        QString folder;
        bool show = false;
    };
    static const QRegularExpression languageKey(QStringLiteral("^LANG(\\d+)_(ID|NAME|FOLDER|SHOW)$"));

    QMap<int, Entry> entries;
    m_defaultId = 0;
    bool inSection = false;
    for (const QString& raw : text.lines) {
        const Line line = classify(raw);
        if (line.kind == LineKind::Section) {
            inSection = line.section == languageSection;
            continue;
        }
        if (line.kind != LineKind::Key || !inSection)
            continue;
        if (line.key == defaultKey) {
            m_defaultId = line.value.toInt();
            continue;
        }
        const QRegularExpressionMatch match = languageKey.match(line.key);
        if (!match.hasMatch())
            continue;
        Entry& entry = entries[match.captured(1).toInt()];
        const QString field = match.captured(2);
        if (field == QLatin1String("NAME"))
            entry.name = line.value;
        else if (field == QLatin1String("FOLDER"))
            entry.folder = line.value;
        else if (field == QLatin1String("SHOW"))
            entry.show = line.value.toInt() == 1;
    }

    m_languages.clear();
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (it->show && !it->name.isEmpty() && !it->folder.isEmpty())
            m_languages.append({it.key(), it->name});
    }
}
