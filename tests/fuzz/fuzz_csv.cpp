// Any bytes imported as a channel list, in both forms, and pasted as rows from the clipboard: a
// refused list changes nothing; an accepted one exports (or copies) and comes back without a
// change, never breaks the group rules, and its undo step puts the record back byte for byte.
#include "core/config/datafile.h"
#include "core/config/documentstate.h"
#include "exchange/channelcsv.h"
#include "fuzzsupport.h"

#include <set>

namespace {
void checkGroups(const Document& doc) {
    for (int g = 0; g < GroupCount; ++g) {
        const int count = doc.config().groupChannelCount[size_t(g)];
        FUZZ_CHECK(count >= 1 && count <= ChannelsPerGroup);
        std::set<int> numbers;
        for (int k = 1; k <= count; ++k) {
            const ChannelEntry& e = doc.config().entry(g, k);
            FUZZ_CHECK(e.channelNo >= 1 && e.channelNo <= ChannelsPerGroup);
            FUZZ_CHECK(numbers.insert(e.channelNo).second);
        }
    }
}

void pasteRows(const Product& p, const QByteArray& bytes) {
    Document doc(p);
    doc.initialiseDefaults();
    const DocumentState start = DocumentState::of(doc);
    const QByteArray before = encodeRecord(p, doc.config());
    const int group = int(bytes.size() % GroupCount);
    const ChannelImportResult r = pasteChannelRows(doc, bytes, group, bytes.size() % 60 + 1);
    if (!r.ok) {
        FUZZ_CHECK(!r.problems.isEmpty());
        FUZZ_CHECK(encodeRecord(p, doc.config()) == before);
        return;
    }
    checkGroups(doc);
    const QByteArray accepted = encodeRecord(p, doc.config());
    // Copied and pasted over themselves, the rows change nothing.
    QList<int> all;
    for (int k = 1; k <= doc.config().groupChannelCount[size_t(group)]; ++k)
        all << doc.config().entry(group, k).channelNo;
    FUZZ_CHECK(pasteChannelRows(doc, channelRowsText(doc, group, all), group, 1).ok);
    FUZZ_CHECK(encodeRecord(p, doc.config()) == accepted);
    // Undone and redone, the step gives back each record exactly.
    const StateChange change = StateChange::between(start, DocumentState::of(doc));
    change.apply(doc, false);
    FUZZ_CHECK(encodeRecord(p, doc.config()) == before);
    change.apply(doc, true);
    FUZZ_CHECK(encodeRecord(p, doc.config()) == accepted);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzEnvironment env;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const Product* p : {&meridoxProduct(), &solvirProduct()}) {
        pasteRows(*p, bytes);
        Document doc(*p);
        doc.initialiseDefaults();
        const QByteArray before = encodeRecord(*p, doc.config());
        const ChannelImportResult r = importChannelsCsv(doc, bytes, int(size % 7) - 1);
        if (!r.ok) {
            FUZZ_CHECK(!r.problems.isEmpty());
            FUZZ_CHECK(encodeRecord(*p, doc.config()) == before);
            continue;
        }
        FUZZ_CHECK(r.problems.isEmpty() && r.channelCount > 0);
        checkGroups(doc);
        const QByteArray accepted = encodeRecord(*p, doc.config());
        const ChannelImportResult again = importChannelsCsv(doc, exportChannelsCsv(doc));
        FUZZ_CHECK(again.ok);
        FUZZ_CHECK(encodeRecord(*p, doc.config()) == accepted);
    }
    return 0;
}
