// The library's dynamic symbol table must offer a host exactly the two
// factory functions, under their plain C names, and nothing else.
#include <QFile>
#include <QtTest>

#include <elf.h>

#include <cstring>

class TestExports : public QObject
{
    Q_OBJECT

private slots:
    // The global and weak symbols the ELF shared object defines for dynamic
    // linking, read from its section headers.
    void onlyTheFactoryFunctionsAreExported()
    {
        QFile library(QStringLiteral(VQ_PLUGIN_PATH));
        QVERIFY2(library.open(QIODevice::ReadOnly), qPrintable(library.errorString()));
        const QByteArray image = library.readAll();
        auto read = [&image](size_t offset, auto* value) {
            if (offset + sizeof *value <= size_t(image.size()))
                std::memcpy(value, image.constData() + offset, sizeof *value);
        };
        Elf64_Ehdr header{};
        read(0, &header);
        QStringList names;
        for (size_t i = 0; i < header.e_shnum; ++i) {
            Elf64_Shdr symbols{}, strings{};
            read(header.e_shoff + i * header.e_shentsize, &symbols);
            if (symbols.sh_type != SHT_DYNSYM)
                continue;
            read(header.e_shoff + symbols.sh_link * header.e_shentsize, &strings);
            for (size_t s = 1; s < symbols.sh_size / sizeof(Elf64_Sym); ++s) {
                Elf64_Sym symbol{};
                read(symbols.sh_offset + s * sizeof symbol, &symbol);
                const int binding = ELF64_ST_BIND(symbol.st_info);
                if (symbol.st_shndx != SHN_UNDEF && (binding == STB_GLOBAL || binding == STB_WEAK))
                    names.append(QString::fromLatin1(image.constData() + strings.sh_offset + symbol.st_name));
            }
        }
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("NewInterface"), QStringLiteral("ReleaseInterface")}));
    }
};

QTEST_GUILESS_MAIN(TestExports)
#include "tst_exports.moc"
