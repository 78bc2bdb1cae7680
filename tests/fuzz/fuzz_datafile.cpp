// Any file content opened as a data file: a refused file changes nothing; an accepted one is
// exactly its first record, and every editing path, the radio image build and Save work on it.
#include "core/channels/channelrules.h"
#include "core/comm/codec.h"
#include "core/config/datafile.h"
#include "fuzzsupport.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzEnvironment env;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const Product* p : {&meridoxProduct(), &solvirProduct()}) {
        Document doc(*p);
        doc.initialiseDefaults();
        doc.setOptionWord(0, 7, QString()); // an unsaved edit
        const QByteArray working = encodeRecord(*p, doc.config());
        const QByteArray snapshot = encodeRecord(*p, doc.snapshot());
        const QString path = env.scratchFile();
        {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) abort();
            f.write(bytes);
        }
        const OpenResult r = openDataFile(doc, path);
        if (r != OpenResult::Opened) {
            FUZZ_CHECK(encodeRecord(*p, doc.config()) == working);
            FUZZ_CHECK(encodeRecord(*p, doc.snapshot()) == snapshot);
            FUZZ_CHECK(doc.fileName() == QLatin1String("new.dat"));
            if (r == OpenResult::FileError && bytes.size() >= p->recordLength)
                FUZZ_CHECK(recordDamage(*decodeRecord(*p, bytes)));
            continue;
        }
        FUZZ_CHECK(bytes.size() >= p->recordLength);
        FUZZ_CHECK(encodeRecord(*p, doc.snapshot()) == bytes.left(p->recordLength));
        FUZZ_CHECK(encodeRecord(*p, doc.config()) == bytes.left(p->recordLength));
        FUZZ_CHECK(!doc.isModified());
        // Whatever the file holds, showing and editing it must be safe.
        for (int g = 0; g < GroupCount; ++g) {
            const int count = std::clamp<int>(doc.config().groupChannelCount[size_t(g)], 0, 60);
            for (int k = 1; k <= count; ++k) {
                shownFrequency(doc, doc.config().entry(g, k).rxFreq.text());
                shownFrequency(doc, doc.config().entry(g, k).txFreq.text());
            }
        }
        // Every column of every group, on a channel in use and on one that is not.
        for (int g = 0; g < GroupCount; ++g) {
            doc.setCurrentGroup(g);
            const int n = 1 + int((bytes.size() + size_t(g)) % 60);
            for (int column = ColRx; column <= ColScan; ++column) {
                const QString value = column <= ColTx ? QStringLiteral("27.5")
                                                      : QString::number(int(bytes.size() + g) % 3);
                doc.setChannelCell(n, column, value);
                doc.setChannelCell(1, column, column <= ColTx ? QString() : QStringLiteral("1"));
            }
            doc.setChannelCell(n, ColRx, QString()); // a mistyped RX deletes the channel
        }
        FUZZ_CHECK(!recordDamage(doc.config()));
        QByteArray image;
        clearRadioImage(*p, image);
        buildRadioImage(doc, image); // may refuse, but never crashes
        FUZZ_CHECK(saveDataFile(doc, path));
    }
    return 0;
}
