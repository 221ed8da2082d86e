#include "languagecatalogue.h"

#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

class TestCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shippedCatalogue();
    void languagesOffered_data();
    void languagesOffered();
    void setDefault_data();
    void setDefault();
    void setDefaultWithoutSection();

private:
    QString write(const QByteArray& content);
    static QByteArray read(const QString& path);

    QTemporaryDir m_dir;
};

QString TestCatalogue::write(const QByteArray& content)
{
    const QString path = m_dir.filePath(QStringLiteral("Lang.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray TestCatalogue::read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestCatalogue::shippedCatalogue()
{
    const QByteArray bytes = read(QStringLiteral(HOST_CATALOGUE));
    // Without its mark the plug-in would read the file as GB2312.
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));

    LanguageCatalogue catalogue(QStringLiteral(HOST_CATALOGUE));
    QString error;
    QVERIFY2(catalogue.read(&error), qPrintable(error));
    QCOMPARE(catalogue.defaultId(), 0);
    const auto languages = catalogue.languages();
    QCOMPARE(languages.size(), 2);
    QCOMPARE(languages.at(0).id, 0);
    QCOMPARE(languages.at(0).name, QStringLiteral("简体中文"));
    QCOMPARE(languages.at(1).id, 1);
    QCOMPARE(languages.at(1).name, QStringLiteral("English"));
}

void TestCatalogue::languagesOffered_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("offered"); // "id:name" joined by commas
    QTest::addColumn<int>("defaultId");

    QTest::newRow("hidden and incomplete languages left out")
        << QByteArray("[LANG_MGR]\nDEFAULT=2\nLANG0_NAME=A\nLANG0_FOLDER=a\nLANG0_SHOW=1\n"
                      "LANG1_NAME=B\nLANG1_FOLDER=b\nLANG1_SHOW=2\nLANG2_NAME=C\nLANG2_SHOW=1\n"
                      "LANG3_NAME=D\nLANG3_FOLDER=d\nLANG3_SHOW=1\n")
        << "0:A,3:D" << 2;
    QTest::newRow("keys outside the section ignored")
        << QByteArray("DEFAULT=5\n[OTHER]\nLANG0_NAME=X\nLANG0_FOLDER=x\nLANG0_SHOW=1\n[LANG_MGR]\n"
                      "LANG1_NAME=Y\nLANG1_FOLDER=y\nLANG1_SHOW=1\n")
        << "1:Y" << 0;
    QTest::newRow("leading zeros, comments, last value wins")
        << QByteArray("; comment\n[LANG_MGR]\nDEFAULT=1\nDEFAULT=7\nLANG007_NAME=Old\nLANG7_NAME=New\n"
                      "# LANG7_SHOW=0\nLANG7_FOLDER=n\nLANG7_SHOW=1\n")
        << "7:New" << 7;
    QTest::newRow("UTF-16LE with its mark")
        << (QByteArray("\xFF\xFE")
            + QTextCodec::codecForName("UTF-16LE")->fromUnicode(
                QStringLiteral("[LANG_MGR]\r\nLANG0_NAME=简体中文\r\nLANG0_FOLDER=chs\r\nLANG0_SHOW=1\r\n")))
        << QStringLiteral("0:简体中文") << 0;
}

void TestCatalogue::languagesOffered()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, offered);
    QFETCH(int, defaultId);

    LanguageCatalogue catalogue(write(content));
    QString error;
    QVERIFY2(catalogue.read(&error), qPrintable(error));
    QStringList found;
    for (const LanguageCatalogue::Language& language : catalogue.languages())
        found.append(QStringLiteral("%1:%2").arg(language.id).arg(language.name));
    QCOMPARE(found.join(QLatin1Char(',')), offered);
    QCOMPARE(catalogue.defaultId(), defaultId);
}

void TestCatalogue::setDefault_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("after");

    const QByteArray shipped = read(QStringLiteral(HOST_CATALOGUE));
    QByteArray shippedEnglish = shipped;
    shippedEnglish.replace("DEFAULT=0\r\n", "DEFAULT=1\r\n");
    QTest::newRow("shipped catalogue: only the digit changes") << shipped << 1 << shippedEnglish;

    QTest::newRow("indented, LF only, other sections untouched")
        << QByteArray("[A]\nDEFAULT=3\n[LANG_MGR]\n  DEFAULT = 0\nLANG0_NAME=x\n")
        << 1 << QByteArray("[A]\nDEFAULT=3\n[LANG_MGR]\n  DEFAULT =1\nLANG0_NAME=x\n");
    QTest::newRow("every DEFAULT of the section, since the last one counts")
        << QByteArray("[LANG_MGR]\nDEFAULT=0\n[LANG_MGR]\nDEFAULT=0\n")
        << 2 << QByteArray("[LANG_MGR]\nDEFAULT=2\n[LANG_MGR]\nDEFAULT=2\n");
    QTest::newRow("added after the header when missing")
        << QByteArray("\xEF\xBB\xBF; note\r\n[LANG_MGR]\r\nLANG1_NAME=English\r\n")
        << 1 << QByteArray("\xEF\xBB\xBF; note\r\n[LANG_MGR]\r\nDEFAULT=1\r\nLANG1_NAME=English\r\n");
    const QTextCodec* utf16 = QTextCodec::codecForName("UTF-16LE");
    QTest::newRow("UTF-16LE stays UTF-16LE with its mark")
        << QByteArray("\xFF\xFE") + utf16->fromUnicode(QStringLiteral("[LANG_MGR]\r\nDEFAULT=0\r\nLANG0_NAME=中文\r\n"))
        << 1 << QByteArray("\xFF\xFE") + utf16->fromUnicode(QStringLiteral("[LANG_MGR]\r\nDEFAULT=1\r\nLANG0_NAME=中文\r\n"));
}

void TestCatalogue::setDefault()
{
    QFETCH(QByteArray, before);
    QFETCH(int, id);
    QFETCH(QByteArray, after);

    const QString path = write(before);
    LanguageCatalogue catalogue(path);
    QString error;
    QVERIFY2(catalogue.setDefaultId(id, &error), qPrintable(error));
    QCOMPARE(read(path), after);
    QCOMPARE(catalogue.defaultId(), id);
}

void TestCatalogue::setDefaultWithoutSection()
{
    const QByteArray content("[OTHER]\nDEFAULT=0\n");
    const QString path = write(content);
    LanguageCatalogue catalogue(path);
    QString error;
    QVERIFY(!catalogue.setDefaultId(1, &error));
    QCOMPARE(error, path + QStringLiteral(": no [LANG_MGR] section"));
    QCOMPARE(read(path), content);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_host_catalogue.moc"
