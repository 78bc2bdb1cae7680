// Any radio memory parsed into a configuration: a refused image changes nothing; an accepted
// one builds back into an image that reads back the same way.
#include "core/comm/codec.h"
#include "core/config/datafile.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzEnvironment env;
    if (size < 1) return 0;
    const Product& p = (data[0] & 1) ? solvirProduct() : meridoxProduct();
    QByteArray image(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    // Most inputs are laid over a valid image so the interesting areas are reached.
    if (!(data[0] & 2)) {
        static const auto defaultImage = [](const Product& product) {
            QByteArray image;
            Document d(product);
            d.initialiseDefaults();
            clearRadioImage(product, image);
            if (buildRadioImage(d, image)) abort();
            return image;
        };
        static const QByteArray images[2] = {defaultImage(meridoxProduct()),
                                             defaultImage(solvirProduct())};
        QByteArray base = images[data[0] & 1];
        const int at = (data[0] >> 2) * 64 % p.memorySize;
        base.replace(at, std::min<qsizetype>(image.size(), p.memorySize - at),
                     image.left(p.memorySize - at));
        image = base;
    }
    parseLocalInformation(p, image);

    Document doc(p);
    doc.initialiseDefaults();
    const QByteArray before = encodeRecord(p, doc.config());
    const QString band = doc.band();
    if (parseRadioImage(doc, image)) {
        FUZZ_CHECK(encodeRecord(p, doc.config()) == before);
        FUZZ_CHECK(doc.band() == band);
        return 0;
    }
    FUZZ_CHECK(image.size() == p.memorySize);
    QByteArray first;
    clearRadioImage(p, first);
    if (buildRadioImage(doc, first)) return 0; // e.g. a frequency far outside the band it names
    FUZZ_CHECK(first.size() == p.memorySize);
    Document again(p);
    again.initialiseDefaults();
    FUZZ_CHECK(!parseRadioImage(again, first));
    QByteArray second;
    clearRadioImage(p, second);
    FUZZ_CHECK(!buildRadioImage(again, second));
    FUZZ_CHECK(first == second);
    return 0;
}
