// A host that loads the library, shows its window once, destroys its
// application object and ends without unloading the library.
#include "common/dialogdriver.h"
#include "common/recordinghost.h"

#include <QApplication>
#include <QLibrary>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    RecordingHost host;
    host.inkList.records = {RecordingHost::ink("Cyan", 250)};
    // Never unloaded: QLibrary unloads only on unload(), not when destroyed.
    QLibrary library(QString::fromLocal8Bit(argv[1]));
    {
        QApplication app(argc, argv);
        if (!library.load()) {
            std::fprintf(stderr, "%s\n", qPrintable(library.errorString()));
            return 1;
        }
        auto newInterface = reinterpret_cast<VqNewInterfaceFn>(library.resolve("NewInterface"));
        auto releaseInterface = reinterpret_cast<VqReleaseInterfaceFn>(library.resolve("ReleaseInterface"));
        if (!newInterface || !releaseInterface)
            return 1;
        ITintwell* object = newInterface();
        object->SetHost(&host);
        DialogDriver::whenShown(QStringLiteral("InkManagement"),
                                [](QWidget* dialog) { DialogDriver::click(dialog, "pushButton_close"); });
        const bool closed = object->ShowForWindow(nullptr, 0);
        releaseInterface(object);
        if (!closed)
            return 1;
    }
    std::printf("application gone, leaving without unloading\n");
    return host.outstanding() == 0 && host.freeCalls == 1 ? 0 : 1;
}
