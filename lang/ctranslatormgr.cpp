// SPDX-License-Identifier: MIT
#include "lang/ctranslatormgr.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTranslator>

const QString g_qmFileName = QStringLiteral("VqTintwell.qm");

namespace {

QString applicationDir()
{
    return QCoreApplication::applicationDirPath();
}

// The boxes are deliberately parentless and untranslated: they report that
// the translation itself is broken, and come up while the host is still
// handing over its interface, before any window of ours exists.
void showBox(QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.exec();
}

} // namespace

CTranslatorMgr* CTranslatorMgr::instance()
{
    static CTranslatorMgr manager;
    return &manager;
}

CTranslatorMgr::CTranslatorMgr(QObject* parent)
    : QObject(parent)
    , m_translator(new QTranslator)
{
}

CTranslatorMgr::~CTranslatorMgr()
{
    delete m_translator;
    m_translator = nullptr;
}

QTranslator* CTranslatorMgr::translator() const
{
    return m_translator;
}

QTextCodec* CTranslatorMgr::codecForDevice(QIODevice* device)
{
    const QByteArray head = device->peek(3);
    const char* name = "GB2312";
    if (head.size() >= 2) {
        if (head.startsWith("\xFF\xFE"))
            name = "UTF-16LE";
        else if (head.startsWith("\xEF\xBB\xBF"))
            name = "UTF-8";
    }
    QTextCodec* codec = QTextCodec::codecForName(name);
    // A Qt built without one of the three codecs still reads ASCII
    // catalogues correctly through the local code page.
    return codec ? codec : QTextCodec::codecForLocale();
}

void CTranslatorMgr::loadLangIni()
{
    m_langMap.clear();
    m_loaded = false;
    m_defaultLangId = 0;

    const QString path = applicationDir() + QStringLiteral("/Lang/Lang.ini");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showBox(QMessageBox::Warning, QStringLiteral("Warning"), QStringLiteral("Failed to open INI file:") + path);
        return;
    }

    // The codec is the one the mark chose: a big-endian UTF-16 mark, for
    // one, leaves the file to GB2312. The decoder drops a leading mark; with
    // UTF-16LE the first character is taken for a mark once more, so that a
    // mark never ends up in the first line whatever the decoder does.
    const QTextCodec* codec = codecForDevice(&file);
    QString text = codec->toUnicode(file.readAll());
    if (codec->name() == "UTF-16LE" && text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    bool inLangSection = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines)
        readCatalogueLine(line.trimmed(), inLangSection);

    file.close();
    m_loaded = true;
}

void CTranslatorMgr::readCatalogueLine(const QString& line, bool& inLangSection)
{
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
        return;

    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
        inLangSection = line.mid(1, line.size() - 2) == QLatin1String("LANG_MGR");
        return;
    }

    if (!inLangSection)
        return;
    const int equals = line.indexOf(QLatin1Char('='));
    if (equals < 1)
        return;
    const QString key = line.left(equals).trimmed();
    const QString value = line.mid(equals + 1).trimmed();

    if (key == QLatin1String("DEFAULT")) {
        bool ok = false;
        const int id = value.toInt(&ok, 10);
        m_defaultLangId = ok ? id : 0;
        return;
    }
    readLangKey(key, value);
}

void CTranslatorMgr::readLangKey(const QString& key, const QString& value)
{
    static const QRegularExpression langKey(QStringLiteral("^LANG(\\d+)_(ID|NAME|FOLDER|SHOW)$"));
    const QRegularExpressionMatch match = langKey.match(key);
    if (!match.hasMatch())
        return;

    // Leading zeros name the same language; a number beyond the type's range
    // reads as 0, as toInt() gives it.
    const qint32 id = match.captured(1).toInt(nullptr, 10);
    const QString field = match.captured(2);

    auto it = m_langMap.find(id);
    if (it == m_langMap.end()) {
        LangInfo info;
        info.id = id;
        it = m_langMap.insert(id, info);
    }

    if (field == QLatin1String("NAME")) {
        it->name = value;
    } else if (field == QLatin1String("FOLDER")) {
        it->folder = value;
        // Filled in one after the other, as the catalogue always has been.
        it->qmFile = QStringLiteral("%1/Lang/%2/%3").arg(applicationDir());
        it->qmFile = it->qmFile.arg(value);
        it->qmFile = it->qmFile.arg(g_qmFileName);
    } else if (field == QLatin1String("SHOW")) {
        // toInt() gives 0 for a word, so only a real 1 shows the language.
        it->show = value.toInt(nullptr, 10) == 1;
    }
    // ID only makes the entry exist: a language's number is always the n of
    // its keys, whatever the ID value says.
}

void CTranslatorMgr::loadTranslator()
{
    loadLangIni();

    const QString chosenPath = qmFilePath(defaultLangId());
    QString path = chosenPath;
    if (path.isEmpty() || !QFile::exists(path)) {
        path = applicationDir() + QStringLiteral("/Lang/chs/") + g_qmFileName;
        if (!QFile::exists(path)) {
            showBox(QMessageBox::Critical, QStringLiteral("Error"),
                    QStringLiteral("Cannot find the \"%1\" file").arg(chosenPath));
        }
    }

    // Loading also when nothing was found empties the translator, so that a
    // language that went away doesn't linger from an earlier load.
    if (!m_translator->load(path)) {
        showBox(QMessageBox::Warning, QStringLiteral("Warning"),
                QStringLiteral("Load translator file") + path + QStringLiteral("failed!"));
    }
}

QString CTranslatorMgr::qmFilePath(qint32 langId) const
{
    if (!m_loaded)
        return {};
    const auto it = m_langMap.constFind(langId);
    if (it == m_langMap.constEnd() || !it->show)
        return {};
    return it->qmFile;
}

qint32 CTranslatorMgr::defaultLangId() const
{
    return m_loaded ? m_defaultLangId : 0;
}

QList<LangInfo> CTranslatorMgr::visibleLangList() const
{
    QList<LangInfo> languages;
    if (!m_loaded)
        return languages;
    for (const LangInfo& info : m_langMap) {
        if (info.show && !info.name.isEmpty() && !info.folder.isEmpty())
            languages.append(info);
    }
    return languages;
}

QString CTranslatorMgr::translate(const char* context, const char* sourceText)
{
    return instance()->translator()->translate(context, sourceText, nullptr, -1);
}
