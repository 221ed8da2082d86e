// The interface object is a QObject whose cast by name also answers for the
// host-facing interface, so code holding either part can reach the other.
#include "plugin/ctintwell.h"

#include <QtTest>

class TestInterfaceObject : public QObject
{
    Q_OBJECT

private slots:
    void castByName()
    {
        CTintwell object;
        QCOMPARE(QString::fromLatin1(object.metaObject()->className()), QStringLiteral("CTintwell"));
        QCOMPARE(object.qt_metacast("CTintwell"), static_cast<void*>(&object));
        QCOMPARE(object.qt_metacast("ITintwell"), static_cast<void*>(static_cast<ITintwell*>(&object)));
        QCOMPARE(object.qt_metacast("QObject"), static_cast<void*>(static_cast<QObject*>(&object)));
        QCOMPARE(object.qt_metacast("QWidget"), nullptr);
    }

    void factoryMakesParentlessObjects()
    {
        ITintwell* first = NewInterface();
        ITintwell* second = NewInterface();
        QVERIFY(first != second);
        auto* object = dynamic_cast<CTintwell*>(first);
        QVERIFY(object);
        QCOMPARE(object->parent(), nullptr);

        QPointer<QObject> watch(object);
        ReleaseInterface(first);
        QVERIFY(watch.isNull());
        ReleaseInterface(second);
        ReleaseInterface(nullptr);
    }
};

QTEST_MAIN(TestInterfaceObject)
#include "tst_interfaceobject.moc"
