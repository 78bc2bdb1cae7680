// Any bytes imported as a channel list, in both forms: a refused list changes nothing; an
// accepted one exports and imports again without a change, and never breaks the group rules.
#include "core/config/datafile.h"
#include "exchange/channelcsv.h"
#include "fuzzsupport.h"

#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzEnvironment env;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const Product* p : {&meridoxProduct(), &solvirProduct()}) {
        Document doc(*p);
        doc.initialiseDefaults();
        const QByteArray before = encodeRecord(*p, doc.config);
        const ChannelImportResult r = importChannelsCsv(doc, bytes, int(size % 7) - 1);
        if (!r.ok) {
            FUZZ_CHECK(!r.problems.isEmpty());
            FUZZ_CHECK(encodeRecord(*p, doc.config) == before);
            continue;
        }
        FUZZ_CHECK(r.problems.isEmpty() && r.channelCount > 0);
        for (int g = 0; g < GroupCount; ++g) {
            const int count = doc.config.groupChannelCount[size_t(g)];
            FUZZ_CHECK(count >= 1 && count <= ChannelsPerGroup);
            std::set<int> numbers;
            for (int k = 1; k <= count; ++k) {
                const ChannelEntry& e = doc.config.entry(g, k);
                FUZZ_CHECK(e.channelNo >= 1 && e.channelNo <= ChannelsPerGroup);
                FUZZ_CHECK(numbers.insert(e.channelNo).second);
            }
        }
        const QByteArray accepted = encodeRecord(*p, doc.config);
        const ChannelImportResult again = importChannelsCsv(doc, exportChannelsCsv(doc));
        FUZZ_CHECK(again.ok);
        FUZZ_CHECK(encodeRecord(*p, doc.config) == accepted);
    }
    return 0;
}
