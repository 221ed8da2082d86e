// The host's SetHost is what loads the translation, every time it hands over
// an interface, and only then.
#include "lang/ctranslatormgr.h"
#include "langfixture.h"
#include "plugin/ctintwell.h"

#include "common/recordinghost.h"

#include <QtTest>

using namespace LangFixture;

namespace {

QString title()
{
    return CTranslatorMgr::text("InkManagement", "Ink Management");
}

QByteArray catalogueChoosing(int language)
{
    return utf8WithMark(QStringLiteral("[LANG_MGR]\nDEFAULT=%1\n"
                                       "LANG0_FOLDER=chs\nLANG0_SHOW=1\n"
                                       "LANG1_FOLDER=en\nLANG1_SHOW=1\n")
                            .arg(language));
}

} // namespace

class TestLangSetHost : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { removeLangDir(); }

    void everySetHostLoads()
    {
        QVERIFY(installQm(QStringLiteral("chs"), QStringLiteral("marker_b")));
        QVERIFY(installQm(QStringLiteral("en"), QStringLiteral("marker_a")));
        QVERIFY(writeCatalogue(catalogueChoosing(1)));

        RecordingHost host;
        ITintwell* tintwell = NewInterface();
        BoxCatcher boxes;
        QVERIFY(tintwell->SetHost(&host));
        QCOMPARE(title(), QStringLiteral("A"));

        // The same host again, with the catalogue changed in between.
        QVERIFY(writeCatalogue(catalogueChoosing(0)));
        QVERIFY(tintwell->SetHost(&host));
        QCOMPARE(title(), QStringLiteral("B"));

        // Another interface object shares the one manager.
        ITintwell* second = NewInterface();
        QVERIFY(writeCatalogue(catalogueChoosing(1)));
        QVERIFY(second->SetHost(&host));
        QCOMPARE(title(), QStringLiteral("A"));
        QCOMPARE(boxes.summaries(), QStringList());

        // Without an interface nothing is read: no box for the missing
        // catalogue, and the translation stays.
        removeLangDir();
        QVERIFY(!tintwell->SetHost(nullptr));
        QCOMPARE(boxes.summaries(), QStringList());
        QCOMPARE(title(), QStringLiteral("A"));

        // With one, the missing files are reported and the translator emptied.
        QVERIFY(tintwell->SetHost(&host));
        QCOMPARE(boxes.seen.size(), 3);
        QCOMPARE(title(), QString());

        ReleaseInterface(second);
        ReleaseInterface(tintwell);
        QVERIFY(host.logLines.isEmpty());
    }
};

QTEST_MAIN(TestLangSetHost)
#include "tst_langsethost.moc"
