#include "memoryimage.h"

#include "core/comm/codec.h"
#include "core/config/document.h"

#include <cstring>

namespace {

// Radio-owned header, 0x0000-0x000F. The programming software reads it but never interprets
// it; it only has to look like something a radio would keep there.
constexpr char DemoHeader[] = "VIRTUAL RADIO 01";
static_assert(sizeof DemoHeader - 1 == 16);

// Local information area, offsets from its start. Texts end at their first 0xFF (or at the
// end of the field); the unused stretches stay 0xFF.
//   +0x00  8 unused          +0x40 16 maintained date
//   +0x08  4 area code       +0x50 16 dealer code
//   +0x0C  4 unused          +0x60 16 stock date
//   +0x10 16 serial number   +0x70 16 sell date
//   +0x20 16 produced date   +0x80 16 seller
//   +0x30  8 manufacture     +0x90 96 maintenance description
//   +0x38  4 user code       +0xF0 16 unused
struct SampleText {
    int offset;
    int length;
    const char* text;
};
constexpr SampleText DemoInformation[] = {
    {0x08, 4, "0595"},
    {0x10, 16, "20240315000042"},
    {0x20, 16, "2024-03-15"},
    {0x30, 8, "03-1-E"},
    {0x38, 4, "001A"},
    {0x40, 16, "2024-09-02"},
    {0x50, 16, "HF-DEALER-07"},
    {0x60, 16, "2024-04-01"},
    {0x70, 16, "2024-04-20"},
    {0x80, 16, "Counter 2"},
    {0x90, 96, "Microphone connector replaced; receiver sensitivity checked."},
};

} // namespace

QByteArray demoInformationArea() {
    QByteArray area(InformationAreaSize, char(0xFF));
    for (const SampleText& s : DemoInformation) {
        const int n = int(std::strlen(s.text));
        Q_ASSERT(n <= s.length && s.offset + s.length <= InformationAreaSize);
        area.replace(s.offset, n, s.text);
    }
    return area;
}

std::optional<QByteArray> defaultMemoryImage(const Product& product, QString* error) {
    Document doc(product);
    doc.initialiseDefaults();
    QByteArray image;
    clearRadioImage(product, image);
    if (const auto problem = buildRadioImage(doc, image)) {
        *error =
            QStringLiteral("the default configuration does not fit the radio: %1").arg(*problem);
        return std::nullopt;
    }
    if (image.size() != product.memorySize) {
        *error = QStringLiteral("the default image has %1 bytes instead of %2")
                     .arg(image.size())
                     .arg(product.memorySize);
        return std::nullopt;
    }
    image.replace(0, 16, DemoHeader);
    image.replace(product.infoBase(), InformationAreaSize, demoInformationArea());
    return image;
}
