// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_CTRANSLATORMGR_H
#define VQTINTWELL_CTRANSLATORMGR_H

#include "lang/langinfo.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

class QIODevice;
class QTextCodec;
class QTranslator;

// File name of the plug-in's translation, the same in every language folder.
extern const QString g_qmFileName;

// The plug-in's language manager: reads the host's language catalogue
// (<appdir>/Lang/Lang.ini), loads the translation of the default language into
// a translator of its own and hands that translator to the dialogs.
//
// The translator belongs to the plug-in alone and is never installed into the
// application, so the host's texts and the plug-in's never mix.
class CTranslatorMgr : public QObject
{
    Q_OBJECT

public:
    static CTranslatorMgr* instance();

    explicit CTranslatorMgr(QObject* parent = nullptr);
    ~CTranslatorMgr() override;

    // Owned by the manager; the same object for the manager's whole life.
    QTranslator* translator() const;

    // Reads the catalogue again and reloads the translator. Failures are
    // reported in message boxes only.
    void loadTranslator();
    void loadLangIni();

    // The translation file of language 'langId', or an empty text when the
    // catalogue doesn't show that language.
    QString qmFilePath(qint32 langId) const;
    qint32 defaultLangId() const;
    // Languages that are shown and have both a name and a folder, by number.
    QList<LangInfo> visibleLangList() const;

    // A visible text of the dialog class 'context', as the plug-in's
    // translator gives it for the English 'sourceText'; empty when the loaded
    // translation has no entry, and callers show it as it comes. Named like
    // QCoreApplication::translate, so that lupdate finds every call with
    // literal arguments.
    static QString translate(const char* context, const char* sourceText);

    // The catalogue's codec, chosen by its byte-order mark; the device's read
    // position is left where it was.
    static QTextCodec* codecForDevice(QIODevice* device);

private:
    void readCatalogueLine(const QString& line, bool& inLangSection);
    void readLangKey(const QString& key, const QString& value);

    QTranslator* m_translator = nullptr;
    QMap<qint32, LangInfo> m_langMap;
    bool m_loaded = false;
    qint32 m_defaultLangId = 0;
};

#endif
