#pragma once

#include "core/config/document.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// The radio memory image and the conversion between it and the configuration record.
//
// meridox memory (8192 bytes)               solvir memory (4096 bytes)
//   0x0000-0x000F radio header (read only)    0x0000-0x000F header (written too)
//   0x0010-0x195F channel slots 360 x 18      0x0010-0x0E1F slots 360 x 10
//   0x1D00-0x1D2F channel-present bitmap      0x0E20-0x0E4F
//   0x1D30-0x1D5F scan-add bitmap             0x0E50-0x0E7F
//   0x1D60-0x1D81 optional features           0x0E80-      (words 0..36)
//   0x1D90-0x1D9D model header (ident reply)  0x0EA0-0x0EA7
//   0x1DA0/0x1DC0 message lines, 32 bytes     0x0EB0/0x0ED0
//   0x1F00-0x1FFF local information area      0x0F00-0x0FFF

// Every byte 0xFF, then both channel bitmaps 0x00. The image is resized to the product's
// memory size.
void clearRadioImage(const Product& p, QByteArray& image);

// Fills the image (already cleared) from the record. Refuses, before anything is written to a
// radio, a value the radio cannot hold: returns the message naming the channel or setting
// (for example "Group B channel 12: transmit frequency 99.000000 MHz is too far outside the
// band"); nothing on success. On refusal the image content is unspecified.
std::optional<QString> buildRadioImage(const Document& doc, QByteArray& image);

// Decodes the image into a copy of the record and, only when every field decoded, stores it
// with the model and band it names (model, band, limits). Returns the error
// message naming the channel or setting on failure, leaving the document untouched.
std::optional<QString> parseRadioImage(Document& doc, const QByteArray& image);

// The twelve texts of the local information area, in the order of the FactoryInformationWindow text
// boxes Text1(0)..Text1(11); each is cut at its first 0xFF or 0x00 byte.
using LocalInformation = std::array<QString, 12>;
LocalInformation parseLocalInformation(const Product& p, const QByteArray& image);

// Byte form of one frequency (meridox: 3 BCD bytes, offset low, sign/offset high; solvir: 4
// BCD bytes), exposed for tests. encodeFrequency gives the unset form FF.. for no frequency and
// nothing when the frequency has no byte form (an offset above 3276 steps of 10 Hz, or digits
// that are not plain). A channel whose receive frequency is unset is refused by the build.
std::optional<QByteArray> encodeFrequency(const Document& doc, const QString& stored);
struct DecodedFrequency {
    bool numeric = false;  // false: the digits were not BCD (the frequency stays unknown)
    QString text;          // decimal digits of Hz when numeric
    int extraHz = 0;       // size of the offset in Hz (meridox); the sign bit says subtract
    bool overflow = false; // more than 3276 steps: the offset does not fit 16 bits of Hz
};
DecodedFrequency decodeFrequency(const Product& p, const QByteArray& bytes);
