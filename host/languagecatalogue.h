#ifndef TINTWELLHOST_LANGUAGECATALOGUE_H
#define TINTWELLHOST_LANGUAGECATALOGUE_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The host's language catalogue Lang/Lang.ini, which the plug-in reads on
// every SetHost. The host lists the languages it offers and switches the
// default by rewriting the DEFAULT line, leaving every other byte alone.
class LanguageCatalogue
{
public:
    struct Language
    {
        int id = -1;
        QString name;
    };

    explicit LanguageCatalogue(const QString& path);

    // Lang/Lang.ini beside the running executable, where the plug-in looks.
    static QString defaultPath();

    QString path() const { return m_path; }

    // False, with 'error' naming the file, when it cannot be read.
    bool read(QString* error);

    // The languages marked to be shown that have a name and a folder, in
    // ascending number, as the catalogue lists them after the last read().
    QVector<Language> languages() const { return m_languages; }
    int defaultId() const { return m_defaultId; }

    // Rewrites DEFAULT in the language section, or adds it after the section
    // header, keeping the byte-order mark, line ends and all other lines.
    bool setDefaultId(int id, QString* error);

private:
    struct Text
    {
        QByteArray mark;  // the byte-order mark, written back unchanged
        QByteArray codec; // the codec the plug-in reads the file with
        QStringList lines; // split at LF; a CR stays at the end of its line
    };

    bool load(Text* text, QString* error) const;
    void parse(const Text& text);

    QString m_path;
    QVector<Language> m_languages;
    int m_defaultId = 0;
};

#endif
