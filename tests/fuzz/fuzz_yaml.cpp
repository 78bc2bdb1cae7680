// Any text imported as a configuration: never a crash, every refusal with its reasons, and a
// text that is taken gives a record a data file may hold, which exports and imports back to
// itself whatever the base.
#include "core/config/datafile.h"
#include "exchange/configtext.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzEnvironment env;
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const Product* p : {&meridoxProduct(), &solvirProduct()}) {
        Document base(*p);
        base.initialiseDefaults();
        const ConfigTextImport r = importConfigurationText(*p, text, base.config());
        FUZZ_CHECK(r.record.has_value() == r.problems.isEmpty());
        if (!r.record) continue;
        FUZZ_CHECK(!recordDamage(*r.record));
        const QByteArray again = exportConfigurationText(*p, *r.record);
        const ConfigTextImport back = importConfigurationText(*p, again, RadioConfig{});
        FUZZ_CHECK(back.record);
        FUZZ_CHECK(encodeRecord(*p, *back.record) == encodeRecord(*p, *r.record));
        FUZZ_CHECK(exportConfigurationText(*p, *back.record) == again);
    }
    return 0;
}
